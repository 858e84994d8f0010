// The main dialog as it opens and closes: its templates, lists, states, caption and saving.
#include "DialogFixture.h"
#include "app/Messages.h"
#include "framework/WinApp.h"
#include "settings/OptionStore.h"
#include "ui/BuildDate.h"

#include <algorithm>
#include <vector>

namespace {

std::vector<CString> ListItems(HWND combo)
{
    std::vector<CString> items;
    int count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        CString item;
        int length = static_cast<int>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0));
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.GetBuffer(length + 1)));
        item.ReleaseBuffer(length);
        items.push_back(item);
    }
    return items;
}

// The dialog's child windows in template order (their Z order).
std::vector<HWND> Children(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// Labels, frames and lines have no identifier of their own.
bool IsUnnamed(HWND control)
{
    int id = GetDlgCtrlID(control);
    return id == IDC_STATIC || id == 0xFFFF;
}

// A label or a group box, by its text.
HWND FindLabel(HWND dialog, const wchar_t* text)
{
    for (HWND child : Children(dialog))
        if (IsUnnamed(child) && ui::GetText(child) == text)
            return child;
    return nullptr;
}

bool HasStyle(HWND window, LONG style)
{
    return (GetWindowLongW(window, GWL_STYLE) & style) == style;
}

}  // namespace

TEST_F(MainDialogTest, OpensWithTheDropHintTheDefaultsAndTheDatedCaption)
{
    CTolvaneDlg& dialog = Open();
    EXPECT_EQ(Text(IDC_SOURCE_INFO), L"Drag & Drop file here.");
    EXPECT_EQ(Text(IDC_SOURCE_PATH), L"");
    EXPECT_EQ(Text(IDC_COMMAND_LINE), L"");
    EXPECT_EQ(Text(IDC_EXTRA_ARGS), L"");
    EXPECT_EQ(dialog.GetWindowText(), L"Tolvane - " + GetBuildDateText());
    EXPECT_FALSE(GetBuildDateText().IsEmpty());

    // The defaults, and the destination folder found for the user.
    EXPECT_FALSE(dialog.m_strDestPath.IsEmpty());
    EXPECT_EQ(Text(IDC_DEST_PATH), dialog.m_strDestPath);
    EXPECT_TRUE(Checked(IDC_CODEC_VP8));
    EXPECT_FALSE(Checked(IDC_CODEC_MPEG));
    const struct { int id; const wchar_t* text; } texts[] = {
        {IDC_VIDEO_SIZE, L"640x480"}, {IDC_VIDEO_BITRATE, L"4000"}, {IDC_VIDEO_QSCALE, L"8"},
        {IDC_VIDEO_FPS, L"30"}, {IDC_VIDEO_GOP, L"120"}, {IDC_AUDIO_BITRATE, L"128"},
        {IDC_AUDIO_SAMPLERATE, L"44100"}, {IDC_AUDIO_CHANNEL, L"2(stereo)"},
    };
    for (const auto& t : texts)
        EXPECT_EQ(Text(t.id), t.text) << t.id;
    const struct { int id; bool checked; } checks[] = {
        {IDC_CHANGE_VIDEO_SIZE, false}, {IDC_CHANGE_VIDEO_FPS, false}, {IDC_NO_AUDIO, false},
        {IDC_BITRATE_FILENAME, false}, {IDC_ENCRYPTION, false}, {IDC_2PASS_ENCODING, true}, {IDC_VIDEO_VBR, false},
    };
    for (const auto& c : checks)
        EXPECT_EQ(Checked(c.id), c.checked) << c.id;

    const struct { int id; bool enabled; } states[] = {
        {IDC_START, true}, {IDC_STOP, false}, {IDC_VIDEO_BITRATE, true}, {IDC_VIDEO_QSCALE, false},
        {IDC_2PASS_ENCODING, true}, {IDC_VIDEO_SIZE, false}, {IDC_VIDEO_FPS, false},
        {IDC_AUDIO_BITRATE, true}, {IDC_AUDIO_SAMPLERATE, true}, {IDC_AUDIO_CHANNEL, true},
    };
    for (const auto& s : states)
        EXPECT_EQ(Enabled(s.id), s.enabled) << s.id;

    EXPECT_NE(dialog.m_hIcon, nullptr);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Window(), WM_QUERYDRAGICON, 0, 0)), dialog.m_hIcon);
    EXPECT_EQ(reinterpret_cast<HICON>(SendMessageW(Window(), WM_GETICON, ICON_BIG, 0)), dialog.m_hIcon);
}

TEST_F(MainDialogTest, LogPaneTakesThePlaceOfItsPlaceholder)
{
    CTolvaneDlg& dialog = Open();
    HWND log = dialog.m_logView.m_hEdit;
    ASSERT_NE(log, nullptr);
    EXPECT_EQ(ui::GetWindowClass(log), L"RichEdit20W");
    EXPECT_TRUE(IsWindowVisible(log));
    RECT placeholder, pane;
    GetWindowRect(Item(IDC_LOG_PLACEHOLDER), &placeholder);
    GetWindowRect(log, &pane);
    EXPECT_TRUE(EqualRect(&placeholder, &pane));
    EXPECT_TRUE(HasStyle(log, ES_READONLY | ES_MULTILINE | ES_NOHIDESEL));
    EXPECT_FALSE(HasStyle(log, WS_HSCROLL));
}

TEST_F(MainDialogTest, ListsOfferTheirValuesInTheirOwnOrder)
{
    Open();
    const struct { int id; std::vector<CString> items; } lists[] = {
        {IDC_VIDEO_SIZE, {L"320x240", L"480x320", L"640x480", L"1024x768", L"800x450", L"1024x576", L"1280x720"}},
        {IDC_VIDEO_BITRATE, {L"500", L"1000", L"1500", L"2000", L"3000", L"4000", L"5000", L"6000", L"7000", L"8000"}},
        {IDC_VIDEO_QSCALE, {L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"12", L"14", L"16", L"18",
                            L"20", L"25", L"31"}},
        {IDC_VIDEO_FPS, {L"24", L"30", L"60"}},
        {IDC_VIDEO_GOP, {L"30", L"60", L"120", L"180", L"240"}},
        {IDC_AUDIO_BITRATE, {L"64", L"96", L"128", L"160", L"192", L"256"}},
        {IDC_AUDIO_SAMPLERATE, {L"32000", L"44100", L"48000"}},
        {IDC_AUDIO_CHANNEL, {L"1(mono)", L"2(stereo)"}},
    };
    for (const auto& list : lists) {
        EXPECT_EQ(ListItems(Item(list.id)), list.items) << list.id;
        // Only the channel list cannot be typed into.
        LONG kind = GetWindowLongW(Item(list.id), GWL_STYLE) & 3;
        EXPECT_EQ(kind, list.id == IDC_AUDIO_CHANNEL ? CBS_DROPDOWNLIST : CBS_DROPDOWN) << list.id;
    }
    Type(IDC_AUDIO_CHANNEL, L"6(surround)");
    EXPECT_EQ(Text(IDC_AUDIO_CHANNEL), L"2(stereo)");
}

// Template order is the tab order; both templates hold the same controls in their own order.
TEST_F(MainDialogTest, TemplatesHoldTheirControlsInTheirOwnOrder)
{
    const struct { UINT templateId; std::vector<int> ids; } templates[] = {
        {IDD_TOLVANE_DIALOG_EN,
         {1004, 1010, 1001, 1003, 1002, 1006, 1011, 1007, 1016, 1017, 1014, 1020, 1013, 1018, 1012, 1015, 1008, 1019,
          1022, 1009, 1005, 1023, 1026, 1027, 1024, 1021, 1028, 1029, 1025, 1030, 1}},
        {IDD_TOLVANE_DIALOG_KO,
         {1004, 1010, 1001, 1003, 1002, 1006, 1011, 1007, 1028, 1029, 1016, 1017, 1014, 1025, 1024, 1027, 1021, 1030,
          1023, 1026, 1020, 1013, 1018, 1012, 1015, 1008, 1019, 1022, 1009, 1005, 1}},
    };
    for (const auto& t : templates) {
        Open(t.templateId);
        std::vector<int> ids;
        for (HWND child : Children(Window()))
            if (!IsUnnamed(child))
                ids.push_back(GetDlgCtrlID(child));
        EXPECT_EQ(ids, t.ids) << t.templateId;

        // Focus starts on Start and Tab walks the order.
        EXPECT_EQ(GetFocus(), Item(IDC_START));
        EXPECT_EQ(GetNextDlgTabItem(Window(), Item(IDC_START), FALSE), Item(IDC_SOURCE_PATH));  // Stop is disabled
        // The codec buttons form one group: choosing one clears the other.
        Click(IDC_CODEC_MPEG);
        EXPECT_TRUE(Checked(IDC_CODEC_MPEG));
        EXPECT_FALSE(Checked(IDC_CODEC_VP8));
        Click(IDC_CODEC_VP8);
        EXPECT_FALSE(Checked(IDC_CODEC_MPEG));
        EXPECT_TRUE(Checked(IDC_CODEC_VP8));
        Close();
    }
}

TEST_F(MainDialogTest, TemplatesShowTheirLanguage)
{
    const struct { int id; const wchar_t* english; const wchar_t* korean; } items[] = {
        {IDC_START, L"Start", L"변환 시작"},
        {IDC_STOP, L"Stop", L"변환 중지"},
        {IDC_DEST_OPEN, L"Open", L"열기"},
        {IDC_DEFAULT, L"Default", L"초기화"},
        {IDC_CHANGE_VIDEO_SIZE, L"Resizing", L"비디오 크기"},
        {IDC_CHANGE_VIDEO_FPS, L"Video FPS", L"비디오 FPS"},
        {IDC_NO_AUDIO, L"disable audio track", L"오디오 사용 안함"},
        {IDC_BITRATE_FILENAME, L"add bitrate info to filename", L"파일명에 비트레이트 정보 표시"},
        {IDC_ENCRYPTION, L"create encrypted file", L"암호화된 파일생성"},
        {IDC_2PASS_ENCODING, L"2pass encoding", L"2-PASS 인코딩"},
        {IDC_VIDEO_VBR, L"VBR (quality-based)", L"VBR (품질 기준)"},
        {IDC_ABOUT, L"Copyright (C) 2026 Tolvane Project", L"Copyright (C) 2026 Tolvane Project"},
    };
    const struct { const wchar_t* english; const wchar_t* korean; } labels[] = {
        {L"Source File", L"원본 파일"}, {L"Information:", L"원본 파일 정보:"},
        {L"Destination File", L"대상 파일"}, {L"Video codec", L"비디오 코덱"},
        {L"Number of channels", L"오디오 채널"}, {L"Converting", L"변환"},
        {L"Additional commands(ffmpeg.exe command line):", L"추가 명령줄(ffmpeg 커맨드라인 명령어) :"},
        {L"1(best) ~ 31", L"1(최고) ~ 31"},
    };
    for (bool korean : {false, true}) {
        Open(korean ? IDD_TOLVANE_DIALOG_KO : IDD_TOLVANE_DIALOG_EN);
        for (const auto& item : items)
            EXPECT_EQ(Text(item.id), korean ? item.korean : item.english) << item.id;
        for (const auto& label : labels)
            EXPECT_NE(FindLabel(Window(), korean ? label.korean : label.english), nullptr) << label.english;
        Close();
    }
}

// Nothing shows the quantiser box, the VBR box and their labels, also when VBR is stored as on.
TEST_F(MainDialogTest, HiddenControlsStayHidden)
{
    for (UINT templateId : {IDD_TOLVANE_DIALOG_EN, IDD_TOLVANE_DIALOG_KO}) {
        for (int storedVbr : {0, 1}) {
            CConversionOptions stored;
            stored.m_bVideoVBR = storedVbr;
            SaveOptions(stored);
            Open(templateId);
            bool korean = templateId == IDD_TOLVANE_DIALOG_KO;
            std::vector<HWND> hidden = {Item(IDC_LOG_PLACEHOLDER), Item(IDC_VIDEO_QSCALE), Item(IDC_VIDEO_VBR),
                                        FindLabel(Window(), korean ? L"비디오 품질" : L"Video quality"),
                                        FindLabel(Window(), korean ? L"1(최고) ~ 31" : L"1(best) ~ 31")};
            for (HWND child : Children(Window())) {
                bool shouldHide = std::find(hidden.begin(), hidden.end(), child) != hidden.end();
                EXPECT_EQ(IsWindowVisible(child) != FALSE, !shouldHide)
                    << templateId << " " << GetDlgCtrlID(child) << " " << ui::GetText(child).GetLength();
            }
            EXPECT_EQ(Checked(IDC_VIDEO_VBR), storedVbr == 1);
            // Quality-based encoding has no bitrate and one pass.
            EXPECT_EQ(Enabled(IDC_VIDEO_BITRATE), storedVbr == 0);
            EXPECT_EQ(Enabled(IDC_2PASS_ENCODING), storedVbr == 0);
            EXPECT_EQ(Enabled(IDC_VIDEO_QSCALE), storedVbr == 1);
            Click(IDC_DEFAULT);
            EXPECT_TRUE(Enabled(IDC_VIDEO_BITRATE));
            EXPECT_TRUE(Enabled(IDC_2PASS_ENCODING));
            EXPECT_FALSE(IsWindowVisible(Item(IDC_VIDEO_VBR)));
            EXPECT_FALSE(IsWindowVisible(Item(IDC_VIDEO_QSCALE)));
            Close();
        }
    }
}

TEST_F(MainDialogTest, EnterNeverClosesEscapeClosesWhenIdle)
{
    Open();
    for (int id : {IDC_SOURCE_PATH, IDC_DEST_PATH, IDC_EXTRA_ARGS}) {
        SetFocus(Item(id));
        ui::PostKey(Item(id), VK_RETURN);
        PumpMessages(Window());
        EXPECT_TRUE(IsWindowVisible(Window())) << id;
    }
    SendMessageW(Window(), WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(IsWindowVisible(Window()));

    ui::PostKey(Item(IDC_SOURCE_PATH), VK_ESCAPE);
    PumpMessages(Window());
    EXPECT_FALSE(IsWindowVisible(Window()));  // a modeless dialog is hidden by its end
}

TEST_F(MainDialogTest, ClosingWhileConvertingIsRefusedWithAMessage)
{
    CTolvaneDlg& dialog = Open();
    dialog.m_bConverting = 1;
    for (int attempt = 0; attempt < 2; ++attempt) {
        CString text, caption;
        WithModalAnswer(
            Window(),
            [&](HWND box) {
                text = ui::GetItemText(box, 0xFFFF);
                caption = ui::GetText(box);
                PostMessageW(box, WM_COMMAND, IDOK, 0);
            },
            [&] {
                if (attempt == 0)
                    ui::PostKey(Item(IDC_SOURCE_PATH), VK_ESCAPE);
                else
                    PostMessageW(Window(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close box
                PumpMessages(Window());
            });
        EXPECT_EQ(text, L"Converting..");
        EXPECT_EQ(caption, L"main_dialog_test");  // the program's name
        EXPECT_TRUE(IsWindowVisible(Window()));
    }
    dialog.m_bConverting = 0;
}

// Whatever the boxes hold when the window goes, that is what the registry keeps.
TEST_F(MainDialogTest, ClosingSavesWhatTheControlsShow)
{
    Open();
    Type(IDC_DEST_PATH, L"  D:\\나의 폴더\\\"odd\" ");
    Click(IDC_CODEC_MPEG);
    Click(IDC_CHANGE_VIDEO_SIZE);
    Type(IDC_VIDEO_SIZE, L"abc x 12");
    Type(IDC_VIDEO_BITRATE, L"-5");
    Type(IDC_VIDEO_QSCALE, L"  17");
    Click(IDC_CHANGE_VIDEO_FPS);
    Type(IDC_VIDEO_FPS, L"fps");
    Type(IDC_VIDEO_GOP, L"");
    Type(IDC_AUDIO_BITRATE, L"%s%d");
    Type(IDC_AUDIO_SAMPLERATE, L"22050");
    SendMessageW(Item(IDC_AUDIO_CHANNEL), CB_SETCURSEL, 0, 0);
    Click(IDC_NO_AUDIO);
    Click(IDC_BITRATE_FILENAME);
    Click(IDC_ENCRYPTION);
    Click(IDC_2PASS_ENCODING);
    Close();

    CConversionOptions saved;
    saved.m_strDestPath = L"unchanged";
    LoadOptions(saved);
    EXPECT_EQ(saved.m_strDestPath, L"  D:\\나의 폴더\\\"odd\" ");
    EXPECT_EQ(saved.m_strVideoCodec, L"mpeg1video");
    EXPECT_EQ(saved.m_bChangeVideoSize, 1);
    EXPECT_EQ(saved.m_strVideoSize, L"abc x 12");
    EXPECT_EQ(saved.m_nVideoBitrate, -5);
    EXPECT_EQ(saved.m_nVideoQscale, 17);
    EXPECT_EQ(saved.m_bChangeVideoFps, 1);
    EXPECT_EQ(saved.m_nVideoFps, 0);
    EXPECT_EQ(saved.m_nVideoGop, 0);
    EXPECT_EQ(saved.m_nAudioBitrate, 0);
    EXPECT_EQ(saved.m_nAudioSamplerate, 22050);
    EXPECT_EQ(saved.m_strAudioChannel, L"1(mono)");
    EXPECT_EQ(saved.m_bNoAudio, 1);
    EXPECT_EQ(saved.m_bBitrateFilename, 1);
    EXPECT_EQ(saved.m_bEncryption, 1);
    EXPECT_EQ(saved.m_b2PassEncoding, 0);
    EXPECT_EQ(saved.m_bVideoVBR, 0);

    // The next window shows them again.
    Open();
    EXPECT_EQ(Text(IDC_DEST_PATH), L"  D:\\나의 폴더\\\"odd\" ");
    EXPECT_EQ(Text(IDC_VIDEO_BITRATE), L"-5");
    EXPECT_EQ(Text(IDC_AUDIO_CHANNEL), L"1(mono)");
    EXPECT_TRUE(Checked(IDC_CODEC_MPEG));
    EXPECT_FALSE(Enabled(IDC_AUDIO_BITRATE));
}

namespace {
// An application whose Help command is counted.
class CHelpCountingApp : public CWinApp {
public:
    void OnCountHelp() { ++m_nHelpCommands; }
    int m_nHelpCommands = 0;
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHelpCountingApp, CWinApp)
    ON_COMMAND(ID_HELP, &CHelpCountingApp::OnCountHelp)
END_MESSAGE_MAP()
}  // namespace

TEST_F(MainDialogTest, F1SendsTheHelpCommandToTheApplication)
{
    CHelpCountingApp app;
    Open();
    HELPINFO help = {};
    help.cbSize = sizeof(help);
    help.iContextType = HELPINFO_WINDOW;
    SendMessageW(Window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
    EXPECT_EQ(app.m_nHelpCommands, 1);
    EXPECT_TRUE(IsWindowVisible(Window()));
}

TEST_F(MainDialogTest, AboutBoxNamesTheMakerAndTheComponentsAndEndsEveryWay)
{
    Open();
    const struct { const char* way; std::function<void(HWND)> end; } ways[] = {
        {"OK", [](HWND box) { ui::PostClick(GetDlgItem(box, IDOK)); }},
        {"Enter", [](HWND box) { ui::PostKey(GetDlgItem(box, IDOK), VK_RETURN); }},
        {"Escape", [](HWND box) { ui::PostKey(GetDlgItem(box, IDOK), VK_ESCAPE); }},
        {"close box", [](HWND box) { PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); }},
    };
    for (const auto& way : ways) {
        std::vector<CString> texts;
        bool ended = false;
        std::thread answerer([&] {
            HWND box = ui::WaitForTopLevelDialog([](HWND w) { return ui::GetText(w) == L"About"; });
            if (!box)
                return;
            for (HWND child : Children(box))
                texts.push_back(ui::GetText(child));
            way.end(box);
            ended = ui::WaitUntil([box] { return !IsWindow(box); }, 10000);
            if (!ended)
                PostMessageW(box, WM_CLOSE, 0, 0);
        });
        Click(IDC_ABOUT);
        answerer.join();
        EXPECT_TRUE(ended) << way.way;
        ASSERT_GE(texts.size(), 9u);
        EXPECT_EQ(texts[0], L"OK");
        EXPECT_EQ(texts[1], L"Tolvane, Copyright (C) 2026 Tolvane Project");
        EXPECT_EQ(texts[3], L"This application uses following software which complies with GNU GPL/LGPL license.");
        EXPECT_NE(texts[5].Find(L"support@"), -1);
        EXPECT_EQ(texts[7], L"mediainfo library(LGPL): https://mediaarea.net/MediaInfo");
        EXPECT_EQ(texts[8], L"Unofficial ffmpeg win32 build(GPL): https://ffmpeg.org");
        EXPECT_TRUE(IsWindowVisible(Window()));
    }
}

TEST(BuildDateTest, FormatsTheCompilersDate)
{
    const struct { const char* date; const wchar_t* text; } cases[] = {
        {"Aug  8 2013", L"2013/08/08"}, {"Jan  1 2020", L"2020/01/01"}, {"Dec 31 1999", L"1999/12/31"},
        {"Feb 29 2024", L"2024/02/29"}, {"Sep 10 2026", L"2026/09/10"},
        {"Foo  8 2013", L""}, {"", L""}, {"Aug 2013", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatBuildDate(c.date), c.text) << c.date;
}

// Icon group 128: 48, 32, 24, 16 pixels at 4 and 8 bits, and 256, 48, 32, 24, 16 at 32 bits.
TEST(IconResourceTest, HoldsThirteenImages)
{
#pragma pack(push, 2)
    struct GroupEntry { BYTE width, height, colors, reserved; WORD planes, bitCount; DWORD bytes; WORD id; };
    struct GroupHeader { WORD reserved, type, count; };
#pragma pack(pop)
    HRSRC resource = FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(resource, nullptr);
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(nullptr, resource)));
    const GroupHeader* header = reinterpret_cast<const GroupHeader*>(data);
    ASSERT_EQ(header->count, 13);
    std::vector<std::pair<int, int>> images;
    for (int i = 0; i < header->count; ++i) {
        const GroupEntry* entry = reinterpret_cast<const GroupEntry*>(data + sizeof(GroupHeader)) + i;
        images.emplace_back(entry->width ? entry->width : 256, entry->bitCount);
        EXPECT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(entry->id), RT_ICON), nullptr);
    }
    std::vector<std::pair<int, int>> expected = {{48, 4}, {32, 4}, {24, 4}, {16, 4}, {48, 8}, {32, 8}, {24, 8},
                                                 {16, 8}, {256, 32}, {48, 32}, {32, 32}, {24, 32}, {16, 32}};
    EXPECT_EQ(images, expected);
}
