// Moving the options between fields and controls, the enable rule, the check boxes and Default.
#include "DialogFixture.h"

#include <vector>

TEST_F(MainDialogTest, CodecShowsMpegForEveryNameButVp8s)
{
    CTolvaneDlg& dialog = Open();
    const struct { const wchar_t* name; bool vp8; const wchar_t* collected; } cases[] = {
        {L"libvpx", true, L"libvpx"},        {L"mpeg1video", false, L"mpeg1video"},
        {L"LIBVPX", false, L"mpeg1video"},   {L"libvpx ", false, L"mpeg1video"},
        {L"vp8", false, L"mpeg1video"},      {L"", false, L"mpeg1video"},
    };
    for (const auto& c : cases) {
        dialog.m_strVideoCodec = c.name;
        dialog.ApplyOptions();
        EXPECT_EQ(Checked(IDC_CODEC_VP8), c.vp8) << c.name;
        EXPECT_EQ(Checked(IDC_CODEC_MPEG), !c.vp8) << c.name;
        EXPECT_EQ(dialog.m_strVideoCodec, c.name);  // applying leaves the field alone
        dialog.CollectOptions();
        EXPECT_EQ(dialog.m_strVideoCodec, c.collected) << c.name;
    }
    // With neither button on, the field keeps its name.
    CheckDlgButton(Window(), IDC_CODEC_MPEG, BST_UNCHECKED);
    CheckDlgButton(Window(), IDC_CODEC_VP8, BST_UNCHECKED);
    dialog.m_strVideoCodec = L"kept";
    dialog.CollectOptions();
    EXPECT_EQ(dialog.m_strVideoCodec, L"kept");
}

TEST_F(MainDialogTest, NumbersCollectAsSignedDecimalsWithZeroForAnythingElse)
{
    CTolvaneDlg& dialog = Open();
    const struct { int id; int CConversionOptions::*field; } boxes[] = {
        {IDC_VIDEO_BITRATE, &CConversionOptions::m_nVideoBitrate},
        {IDC_VIDEO_QSCALE, &CConversionOptions::m_nVideoQscale},
        {IDC_VIDEO_FPS, &CConversionOptions::m_nVideoFps},
        {IDC_VIDEO_GOP, &CConversionOptions::m_nVideoGop},
        {IDC_AUDIO_BITRATE, &CConversionOptions::m_nAudioBitrate},
        {IDC_AUDIO_SAMPLERATE, &CConversionOptions::m_nAudioSamplerate},
    };
    const struct { const wchar_t* text; int value; } texts[] = {
        {L"-5", -5}, {L"abc", 0}, {L"", 0}, {L"  42", 42}, {L"7000", 7000}, {L"x12", 0}, {L"-", 0},
    };
    for (const auto& box : boxes) {
        for (const auto& t : texts) {
            Type(box.id, t.text);
            dialog.CollectOptions();
            EXPECT_EQ(dialog.*box.field, t.value) << box.id << " [" << CString(t.text) << "]";
        }
        dialog.*box.field = -123;
        dialog.ApplyOptions();
        EXPECT_EQ(Text(box.id), L"-123");
    }
}

TEST_F(MainDialogTest, ChannelSelectsTheFirstEntryThatBeginsWithTheText)
{
    CTolvaneDlg& dialog = Open();
    const struct { const wchar_t* before; const wchar_t* channel; const wchar_t* shown; } cases[] = {
        {L"1(mono)", L"2", L"2(stereo)"},
        {L"2(stereo)", L"1", L"1(mono)"},
        {L"2(stereo)", L"1(MONO)", L"1(mono)"},
        {L"1(mono)", L"2(stereo)", L"2(stereo)"},
        {L"1(mono)", L"stereo", L"1(mono)"},  // no entry begins so: the selection stays
        {L"2(stereo)", L"3", L"2(stereo)"},
        {L"", L"3", L""},
    };
    for (const auto& c : cases) {
        SendMessageW(Item(IDC_AUDIO_CHANNEL), CB_SELECTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(c.before));
        if (!*c.before)
            SendMessageW(Item(IDC_AUDIO_CHANNEL), CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        dialog.m_strAudioChannel = c.channel;
        dialog.ApplyOptions();
        EXPECT_EQ(Text(IDC_AUDIO_CHANNEL), c.shown) << c.channel;
        dialog.CollectOptions();
        EXPECT_EQ(dialog.m_strAudioChannel, c.shown) << c.channel;
    }
}

// Seven boxes write their flag at the moment they are clicked; four also switch controls.
TEST_F(MainDialogTest, CheckBoxesTakeEffectAtOnce)
{
    CTolvaneDlg& dialog = Open();
    const struct { int box; int CConversionOptions::*flag; std::vector<int> enabledWhenOn; std::vector<int> disabledWhenOn; }
        boxes[] = {
            {IDC_CHANGE_VIDEO_SIZE, &CConversionOptions::m_bChangeVideoSize, {IDC_VIDEO_SIZE}, {}},
            {IDC_CHANGE_VIDEO_FPS, &CConversionOptions::m_bChangeVideoFps, {IDC_VIDEO_FPS}, {}},
            {IDC_NO_AUDIO, &CConversionOptions::m_bNoAudio, {}, {IDC_AUDIO_BITRATE, IDC_AUDIO_SAMPLERATE, IDC_AUDIO_CHANNEL}},
            {IDC_VIDEO_VBR, &CConversionOptions::m_bVideoVBR, {IDC_VIDEO_QSCALE}, {IDC_VIDEO_BITRATE, IDC_2PASS_ENCODING}},
            {IDC_BITRATE_FILENAME, &CConversionOptions::m_bBitrateFilename, {}, {}},
            {IDC_ENCRYPTION, &CConversionOptions::m_bEncryption, {}, {}},
            {IDC_2PASS_ENCODING, &CConversionOptions::m_b2PassEncoding, {}, {}},
        };
    for (const auto& b : boxes) {
        int initial = dialog.*b.flag;
        for (int click = 0; click < 2; ++click) {
            Click(b.box);
            int now = initial ? click : 1 - click;
            EXPECT_EQ(dialog.*b.flag, now) << b.box;
            for (int id : b.enabledWhenOn)
                EXPECT_EQ(Enabled(id), now == 1) << b.box << " " << id;
            for (int id : b.disabledWhenOn)
                EXPECT_EQ(Enabled(id), now == 0) << b.box << " " << id;
        }
    }
    // Typed values reach their fields only when the options are collected.
    Type(IDC_VIDEO_BITRATE, L"1234");
    Click(IDC_CHANGE_VIDEO_SIZE);
    EXPECT_EQ(dialog.m_nVideoBitrate, 4000);
}

TEST_F(MainDialogTest, WhileConvertingTheAudioControlsKeepTheirState)
{
    CTolvaneDlg& dialog = Open();
    dialog.m_bConverting = 1;
    dialog.UpdateControlStates();
    EXPECT_FALSE(Enabled(IDC_START));
    EXPECT_TRUE(Enabled(IDC_STOP));

    Click(IDC_NO_AUDIO);
    EXPECT_EQ(dialog.m_bNoAudio, 1);
    for (int id : {IDC_AUDIO_BITRATE, IDC_AUDIO_SAMPLERATE, IDC_AUDIO_CHANNEL})
        EXPECT_TRUE(Enabled(id)) << id;
    // Everything else the user may still change.
    for (int id : {IDC_SOURCE_PATH, IDC_SOURCE_BROWSE, IDC_DEST_PATH, IDC_DEST_BROWSE, IDC_DEST_OPEN, IDC_CODEC_MPEG,
                   IDC_CODEC_VP8, IDC_DEFAULT, IDC_EXTRA_ARGS, IDC_ABOUT, IDC_NO_AUDIO, IDC_ENCRYPTION})
        EXPECT_TRUE(Enabled(id)) << id;

    dialog.m_bConverting = 0;
    dialog.UpdateControlStates();
    EXPECT_TRUE(Enabled(IDC_START));
    EXPECT_FALSE(Enabled(IDC_STOP));
    for (int id : {IDC_AUDIO_BITRATE, IDC_AUDIO_SAMPLERATE, IDC_AUDIO_CHANNEL})
        EXPECT_FALSE(Enabled(id)) << id;
}

TEST_F(MainDialogTest, DefaultRestoresEveryOptionButTheFolderAndRewritesItsBox)
{
    CTolvaneDlg& dialog = Open();
    Type(IDC_DEST_PATH, L"C:\\collected folder");
    Type(IDC_SOURCE_PATH, L"C:\\source.avi");
    Type(IDC_EXTRA_ARGS, L"-threads 2");
    Click(IDC_CODEC_MPEG);
    Click(IDC_CHANGE_VIDEO_SIZE);
    Type(IDC_VIDEO_SIZE, L"1280x720");
    Type(IDC_VIDEO_BITRATE, L"500");
    Click(IDC_NO_AUDIO);
    Click(IDC_2PASS_ENCODING);
    SendMessageW(Item(IDC_AUDIO_CHANNEL), CB_SETCURSEL, 0, 0);
    dialog.CollectOptions();
    Type(IDC_DEST_PATH, L"C:\\typed after the collect");

    Click(IDC_DEFAULT);
    EXPECT_EQ(Text(IDC_DEST_PATH), L"C:\\collected folder");  // the field's folder, not the typed one
    EXPECT_EQ(dialog.m_strDestPath, L"C:\\collected folder");
    EXPECT_TRUE(Checked(IDC_CODEC_VP8));
    EXPECT_FALSE(Checked(IDC_CHANGE_VIDEO_SIZE));
    EXPECT_EQ(Text(IDC_VIDEO_SIZE), L"640x480");
    EXPECT_EQ(Text(IDC_VIDEO_BITRATE), L"4000");
    EXPECT_FALSE(Checked(IDC_NO_AUDIO));
    EXPECT_TRUE(Checked(IDC_2PASS_ENCODING));
    EXPECT_EQ(Text(IDC_AUDIO_CHANNEL), L"2(stereo)");
    EXPECT_FALSE(Enabled(IDC_VIDEO_SIZE));
    EXPECT_TRUE(Enabled(IDC_AUDIO_BITRATE));
    // Neither the source, nor the extra arguments, nor the information box are options.
    EXPECT_EQ(Text(IDC_SOURCE_PATH), L"C:\\source.avi");
    EXPECT_EQ(Text(IDC_EXTRA_ARGS), L"-threads 2");
    EXPECT_EQ(Text(IDC_SOURCE_INFO), L"Drag & Drop file here.");
    EXPECT_EQ(dialog.m_nVideoBitrate, 4000);
    EXPECT_EQ(dialog.m_strVideoCodec, L"libvpx");
}
