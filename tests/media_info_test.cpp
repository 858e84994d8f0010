// The binding and source inspection against the fake library, for what no real file gives.
#include "media/SourceInspection.h"


#include <gtest/gtest.h>

#include <string>

namespace {

const wchar_t kFakeLibrary[] = TOLVANE_WIN_BIN_DIR L"fake_mediainfo\\MediaInfo.dll";

// The fake's own controls, reached in the copy of it that the binding loads.
struct FakeControls {
    void (WINAPI* reset)();
    void (WINAPI* setNewFails)(int fails);
    void (WINAPI* setOpenResult)(size_t result);
    void (WINAPI* setAnswer)(int streamKind, const wchar_t* parameter, const wchar_t* answer);
    const wchar_t* (WINAPI* calls)();
};

template <typename Function>
void Bind(HMODULE hFake, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(hFake, name)));
    ASSERT_NE(function, nullptr) << name;
}

// The English information text, spelled out.
CString InfoText(int width, int height, const wchar_t* videoCodec, int videoKb, const wchar_t* audioCodec,
                      int channels, int audioKb, int seconds)
{
    const std::wstring text = L"Video resolution: " + std::to_wstring(width) + L" x " + std::to_wstring(height) + L"\r\n"
        + L"Video codec: " + videoCodec + L"\r\n"
        + L"Video bitrate: " + std::to_wstring(videoKb) + L"kb\r\n"
        + L"Audio codec: " + audioCodec + L"\r\n"
        + L"Audio channels: " + std::to_wstring(channels) + L"\r\n"
        + L"Audio bitrate: " + std::to_wstring(audioKb) + L"kb\r\n"
        + L"Play time: " + std::to_wstring(seconds) + L" sec \r\n";
    return CString(text.c_str());
}

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LANGID kKorean = MAKELANGID(LANG_KOREAN, SUBLANG_KOREAN);

class MediaInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_hFake = LoadLibraryW(kFakeLibrary);
        ASSERT_NE(m_hFake, nullptr) << "the fake library is missing";
        Bind(m_hFake, "FakeMediaInfo_Reset", m_fake.reset);
        Bind(m_hFake, "FakeMediaInfo_SetNewFails", m_fake.setNewFails);
        Bind(m_hFake, "FakeMediaInfo_SetOpenResult", m_fake.setOpenResult);
        Bind(m_hFake, "FakeMediaInfo_SetAnswer", m_fake.setAnswer);
        Bind(m_hFake, "FakeMediaInfo_Calls", m_fake.calls);
        m_fake.reset();
    }
    void TearDown() override { FreeLibrary(m_hFake); }

    // A source as an older library describes it.
    void AnswerOldNames(const wchar_t* audioCodec = L"55")
    {
        m_fake.setAnswer(1, L"Width", L"720");
        m_fake.setAnswer(1, L"Height", L"576");
        m_fake.setAnswer(1, L"Codec", L"DX50");
        m_fake.setAnswer(1, L"Bitrate", L"1500000");
        m_fake.setAnswer(2, L"Codec", audioCodec);
        m_fake.setAnswer(2, L"Channels", L"2");
        m_fake.setAnswer(2, L"Bitrate", L"128000");
        m_fake.setAnswer(0, L"PlayTime", L"60500");
    }

    std::wstring Calls() const { return m_fake.calls(); }

    HMODULE m_hFake = nullptr;
    FakeControls m_fake = {};
};

TEST_F(MediaInfoTest, WithoutTheLibraryEveryOpenFailsQuietly)
{
    const std::wstring system = [] {
        wchar_t folder[MAX_PATH];
        GetSystemDirectoryW(folder, MAX_PATH);
        return std::wstring(folder);
    }();
    const std::wstring unusable[] = {
        TOLVANE_WIN_BIN_DIR L"no_such_folder\\MediaInfo.dll",
        system + L"\\version.dll",  // loads, but has none of the functions
        L"MediaInfo.dll",           // a bare name is never searched for
        L"fake_mediainfo\\MediaInfo.dll",
        L"",
    };
    wchar_t workingFolder[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, workingFolder);
    ASSERT_TRUE(SetCurrentDirectoryW(TOLVANE_WIN_BIN_DIR));
    for (const std::wstring& path : unusable) {
        CMediaInfo media(path.c_str());
        EXPECT_FALSE(media.HasHandle()) << path;
        EXPECT_EQ(media.Open(L"C:\\any.avi"), 0u) << path;
        EXPECT_EQ(media.Get(1, L"Width"), L"") << path;
        media.Close();
        CSourceDescription description;
        description.nWidth = 5;
        description.strInfo = L"before";
        EXPECT_FALSE(InspectSource(media, L"C:\\any.avi", description, kEnglish)) << path;
        EXPECT_EQ(description.nWidth, 5);
        EXPECT_EQ(description.strInfo, L"before");
    }
    CMediaInfo nullName(nullptr);
    EXPECT_FALSE(nullName.HasHandle());
    SetCurrentDirectoryW(workingFolder);
    EXPECT_EQ(Calls(), L"");
}

TEST_F(MediaInfoTest, ANullHandleIsNeverUsed)
{
    m_fake.setNewFails(1);
    {
        CMediaInfo media(kFakeLibrary);
        EXPECT_FALSE(media.HasHandle());
        CSourceDescription description;
        EXPECT_FALSE(InspectSource(media, L"C:\\clip.avi", description, kEnglish));
        media.Close();
    }
    EXPECT_EQ(Calls(), L"New\n");
}

TEST_F(MediaInfoTest, OneHandleServesSourceAfterSource)
{
    CSourceDescription description;
    {
        CMediaInfo media(kFakeLibrary);
        ASSERT_TRUE(media.HasHandle());
        AnswerOldNames();
        EXPECT_TRUE(InspectSource(media, L"C:\\첫 번째.avi", description, kEnglish));
        EXPECT_EQ(description.strInfo, InfoText(720, 576, L"DX50", 1500, L"MP3", 2, 128, 60));

        // A current library answers "Format" and "BitRate" only; an empty answer asks again.
        m_fake.setAnswer(1, L"Codec", L"");
        m_fake.setAnswer(1, L"Format", L"AVC");
        m_fake.setAnswer(1, L"Bitrate", nullptr);
        m_fake.setAnswer(1, L"BitRate", L"2500000");
        m_fake.setAnswer(2, L"Codec", L"");
        m_fake.setAnswer(2, L"Format", L"AAC");
        m_fake.setAnswer(2, L"Bitrate", L"");
        m_fake.setAnswer(2, L"BitRate", L"96000");
        EXPECT_TRUE(InspectSource(media, L"D:\\second.mp4", description, kEnglish));
        EXPECT_EQ(description.strInfo, InfoText(720, 576, L"AVC", 2500, L"AAC", 2, 96, 60));
        EXPECT_EQ(Calls().find(L"Delete"), std::wstring::npos);
    }
    const std::wstring firstSource =
        L"Get 1 0 Width 1 0\nGet 1 0 Height 1 0\nGet 1 0 Codec 1 0\nGet 1 0 Bitrate 1 0\nGet 2 0 Codec 1 0\n"
        L"Get 2 0 Channels 1 0\nGet 2 0 Bitrate 1 0\nGet 0 0 PlayTime 1 0\n";
    const std::wstring secondSource =
        L"Get 1 0 Width 1 0\nGet 1 0 Height 1 0\nGet 1 0 Codec 1 0\nGet 1 0 Format 1 0\nGet 1 0 Bitrate 1 0\n"
        L"Get 1 0 BitRate 1 0\nGet 2 0 Codec 1 0\nGet 2 0 Format 1 0\nGet 2 0 Channels 1 0\nGet 2 0 Bitrate 1 0\n"
        L"Get 2 0 BitRate 1 0\nGet 0 0 PlayTime 1 0\n";
    // The fake marks any call with a handle other than the one it gave out.
    EXPECT_EQ(Calls(), L"New\nOpen C:\\첫 번째.avi\n" + firstSource + L"Close\nOpen D:\\second.mp4\n" + secondSource
                           + L"Close\nDelete\n");
}

TEST_F(MediaInfoTest, AFailedOpenKeepsTheEarlierSourceAndIsNotClosed)
{
    CMediaInfo media(kFakeLibrary);
    AnswerOldNames();
    CSourceDescription description;
    ASSERT_TRUE(InspectSource(media, L"C:\\good.avi", description, kEnglish));
    const CString goodInfo = InfoText(720, 576, L"DX50", 1500, L"MP3", 2, 128, 60);

    m_fake.setOpenResult(0);
    const size_t callsBefore = Calls().size();
    EXPECT_FALSE(InspectSource(media, L"C:\\bad.avi", description, kEnglish));
    EXPECT_EQ(description.nWidth, 720);
    EXPECT_EQ(description.nHeight, 576);
    EXPECT_EQ(description.strInfo, goodInfo);
    EXPECT_EQ(Calls().substr(callsBefore), L"Open C:\\bad.avi\n");

    // Any non-zero answer is an open, also one with only its high bits set.
    m_fake.setOpenResult(size_t(1) << (sizeof(size_t) * 8 - 1));
    EXPECT_TRUE(InspectSource(media, L"C:\\good.avi", description, kEnglish));
}

TEST_F(MediaInfoTest, NullAnswersReadAsEmptyAndZero)
{
    CMediaInfo media(kFakeLibrary);
    CSourceDescription description;
    description.nWidth = 640;
    description.nHeight = 480;

    AnswerOldNames();
    for (const wchar_t* parameter : {L"Codec", L"Channels", L"Bitrate"})
        m_fake.setAnswer(2, parameter, nullptr);
    ASSERT_TRUE(InspectSource(media, L"C:\\silent.avi", description, kEnglish));
    EXPECT_EQ(description.strInfo, InfoText(720, 576, L"DX50", 1500, L"", 0, 0, 60));

    AnswerOldNames();
    for (const wchar_t* parameter : {L"Width", L"Height", L"Codec", L"Bitrate"})
        m_fake.setAnswer(1, parameter, nullptr);
    ASSERT_TRUE(InspectSource(media, L"C:\\music.avi", description, kEnglish));
    EXPECT_EQ(description.nWidth, 0);
    EXPECT_EQ(description.nHeight, 0);
    EXPECT_EQ(description.strInfo, InfoText(0, 0, L"", 0, L"MP3", 2, 128, 60));
}

TEST_F(MediaInfoTest, AFileWithNeitherVideoNorAudioIsNoSource)
{
    CMediaInfo media(kFakeLibrary);
    CSourceDescription description;
    description.nWidth = 640;
    description.strInfo = L"before";
    m_fake.setAnswer(0, L"PlayTime", L"5000");
    m_fake.setAnswer(1, L"Bitrate", L"128000");
    EXPECT_FALSE(InspectSource(media, L"C:\\notes.txt", description, kEnglish));
    EXPECT_EQ(description.nWidth, 640);
    EXPECT_EQ(description.strInfo, L"before");
    // It was opened, so it is closed again.
    const std::wstring calls = Calls();
    EXPECT_EQ(calls.substr(calls.size() - 6), L"Close\n");
}

TEST_F(MediaInfoTest, NumbersAreReadAsDecimalsAndTruncated)
{
    struct Case {
        const wchar_t* width;
        const wchar_t* videoBitrate;
        const wchar_t* audioBitrate;
        const wchar_t* playTime;
        int expectedWidth, expectedVideoKb, expectedAudioKb, expectedSeconds;
    };
    const Case cases[] = {
        {L"1920", L"999", L"1999", L"59999", 1920, 0, 1, 59},
        {L" 160px", L"-1500", L"+128000", L"2000.960", 160, -1, 128, 2},
        {L"abc", L"", L"0x20000", L"\t 999", 0, 0, 0, 0},
        {L"99999999999", L"-99999999999", L"2147483647", L"-59999", 2147483647, -2147483, 2147483, -59},
    };
    CMediaInfo media(kFakeLibrary);
    AnswerOldNames();
    for (const Case& c : cases) {
        m_fake.setAnswer(1, L"Width", c.width);
        m_fake.setAnswer(1, L"Bitrate", c.videoBitrate);
        m_fake.setAnswer(1, L"BitRate", L"1");  // asked only when "Bitrate" is empty
        m_fake.setAnswer(2, L"Bitrate", c.audioBitrate);
        m_fake.setAnswer(0, L"PlayTime", c.playTime);
        CSourceDescription description;
        ASSERT_TRUE(InspectSource(media, L"C:\\clip.avi", description, kEnglish));
        EXPECT_EQ(description.nWidth, c.expectedWidth) << c.width;
        EXPECT_EQ(description.strInfo, InfoText(c.expectedWidth, 576, L"DX50", c.expectedVideoKb, L"MP3", 2,
                                                c.expectedAudioKb, c.expectedSeconds))
            << c.width;
    }
}

TEST_F(MediaInfoTest, AudioCodecIsNamedOnlyWhenItIsAWholeHexadecimalTag)
{
    struct Case { const wchar_t* codec; const wchar_t* shown; };
    const Case cases[] = {
        // Tag numbers, as older libraries give them.
        {L"55", L"MP3"},
        {L" 55 ", L"MP3"},
        {L"0x55", L"MP3"},
        {L"2000", L"AC3"},
        {L"161", L"WMAudio V2/V7/V8 / DivX Audio"},
        {L"1", L"PCM AUDIO(code 0x01)"},
        {L"10000", L"UNKNOWN"},
        {L"fffe", L"알수없음Unknown(code:0xfffe)"},
        {L"a", L"알수없음Unknown(code:0xa)"},
        // Zero, and numbers too big for a tag, stay as they are.
        {L"0", L"0"},
        {L"100000000", L"100000000"},
        // Names, as current libraries give them, and the three hexadecimal-looking exceptions.
        {L"AAC", L"AAC"},
        {L"AC3", L"AC3"},
        {L"A_AC3", L"A_AC3"},
        {L"A_AAC", L"A_AAC"},
        {L"Vorbis", L"Vorbis"},
        {L"DTS", L"DTS"},
        {L"AAC LC", L"AAC LC"},
        {L"AC-3", L"AC-3"},
        {L"E-AC-3", L"E-AC-3"},
        {L"FLAC", L"FLAC"},
        {L"ADPCM", L"ADPCM"},
        {L"MPEG Audio", L"MPEG Audio"},
        {L"-55", L"-55"},
        {L"0x", L"0x"},
    };
    CMediaInfo media(kFakeLibrary);
    for (const Case& c : cases) {
        AnswerOldNames(c.codec);
        CSourceDescription description;
        ASSERT_TRUE(InspectSource(media, L"C:\\clip.avi", description, kEnglish));
        EXPECT_EQ(description.strInfo, InfoText(720, 576, L"DX50", 1500, c.shown, 2, 128, 60)) << c.codec;
    }
}

TEST_F(MediaInfoTest, TheTextFollowsTheLanguage)
{
    CMediaInfo media(kFakeLibrary);
    AnswerOldNames(L"Vorbis");
    CSourceDescription description;
    ASSERT_TRUE(InspectSource(media, L"C:\\clip.avi", description, kKorean));
    EXPECT_EQ(description.strInfo,
              L"영상 크기: 720 x 576\r\n영상 코덱: DX50\r\n영상 비트레이트: 1500kb\r\n음성 코덱: Vorbis\r\n"
              L"음성 채널수: 2\r\n음성 비트레이트: 128kb\r\n재생 시간: 60 sec \r\n");
}

}  // namespace
