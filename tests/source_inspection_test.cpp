// Source inspection through the real MediaInfo.dll, on clips that the real ffmpeg.exe makes.
#include "FileBytes.h"
#include "media/SourceInspection.h"
#include "settings/DefaultDestination.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The converter's sources: 0 a test picture, 1 a stereo tone, 2 a mono tone. 2.5 s long, so
// that the play time reads 2 s whatever a container adds.
const wchar_t kSources[] =
    L"-f lavfi -i testsrc=size=160x120:rate=25:duration=2.5 "
    L"-f lavfi -i sine=frequency=440:sample_rate=44100:duration=2.5 "
    L"-f lavfi -i sine=frequency=660:sample_rate=44100:duration=2.5 ";
const std::wstring kStereo = L"-map 0:v -map 1:a -ac 2 ";
const std::wstring kMono = L"-map 0:v -map 2:a -ac 1 ";
const std::wstring kNoAudio = L"-map 0:v ";

struct Clip {
    const wchar_t* file;
    std::wstring outputOptions;  // for this clip's output in the converter's one run
    // What was asked of the converter, in the library's names for the formats.
    const wchar_t* videoCodec;
    int videoKb;       // 0: the encoder only aims at a rate; -1: the container records none
    const wchar_t* audioCodec;
    int channels;
    int audioKb;       // exact for constant-rate audio
    int audioKbSlack;  // the tolerance for an encoder that only aims at a rate
};

// What the encoders aim at; over so short a clip of so small a frame they spend about that.
const int kVideoTargetKb = 200;

std::vector<Clip> Clips()
{
    const std::wstring mpeg4 = L"-c:v mpeg4 -b:v 200k ";
    // Uncompressed 160 x 120 x 24 bits at 25 frames per second: 11520 kbit/s.
    const std::wstring raw = L"-c:v rawvideo -pix_fmt bgr24 ";
    return {
        // The AAC encoder spends less than asked on a plain tone.
        {L"aac.mp4", kStereo + mpeg4 + L"-c:a aac -b:a 128k", L"MPEG-4 Visual", 0, L"AAC", 2, 96, 64},
        {L"mp3.avi", kStereo + mpeg4 + L"-c:a libmp3lame -b:a 128k", L"MPEG-4 Visual", 0, L"MPEG Audio", 2, 128, 0},
        // 44100 Hz x 16 bits x 1 channel: 705.6 kbit/s.
        {L"pcm.avi", kMono + raw + L"-c:a pcm_s16le", L"RGB", 11520, L"PCM", 1, 705, 0},
        {L"ac3.avi", kStereo + L"-c:v mpeg1video -b:v 200k -c:a ac3 -b:a 192k", L"MPEG Video", 0, L"AC-3", 2, 192, 0},
        // Matroska keeps no stream sizes; Vorbis states its nominal rate in its header.
        {L"vorbis.mkv", kStereo + L"-c:v libvpx -b:v 200k -c:a libvorbis -b:a 128k", L"VP8", -1, L"Vorbis", 2, 128,
         0},
        {L"silent.avi", kNoAudio + mpeg4, L"MPEG-4 Visual", 0, L"", 0, 0, 0},
    };
}

// The seven lines of the English information text, taken apart.
struct InfoLines {
    int width = -1, height = -1, videoKb = -1, channels = -1, audioKb = -1, seconds = -1;
    std::wstring videoCodec, audioCodec;
};

bool TakeLine(std::wstring& text, const std::wstring& label, const std::wstring& unit, std::wstring& value)
{
    const size_t end = text.find(L"\r\n");
    if (end == std::wstring::npos || text.compare(0, label.size(), label) != 0 || end < label.size() + unit.size()
        || text.compare(end - unit.size(), unit.size(), unit) != 0)
        return false;
    value = text.substr(label.size(), end - label.size() - unit.size());
    text.erase(0, end + 2);
    return true;
}

bool TakeNumber(std::wstring& text, const std::wstring& label, const std::wstring& unit, int& number)
{
    std::wstring value;
    if (!TakeLine(text, label, unit, value) || value.empty())
        return false;
    size_t used = 0;
    number = std::stoi(value, &used);
    return used == value.size();
}

::testing::AssertionResult ParseInfo(const CString& info, InfoLines& lines)
{
    std::wstring text = info.GetString(), size;
    const bool parsed = TakeLine(text, L"Video resolution: ", L"", size)
        && swscanf(size.c_str(), L"%d x %d", &lines.width, &lines.height) == 2
        && TakeLine(text, L"Video codec: ", L"", lines.videoCodec)
        && TakeNumber(text, L"Video bitrate: ", L"kb", lines.videoKb)
        && TakeLine(text, L"Audio codec: ", L"", lines.audioCodec)
        && TakeNumber(text, L"Audio channels: ", L"", lines.channels)
        && TakeNumber(text, L"Audio bitrate: ", L"kb", lines.audioKb)
        && TakeNumber(text, L"Play time: ", L" sec ", lines.seconds) && text.empty();
    if (parsed)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "not an information text: " << ::testing::PrintToString(info.GetString());
}

class SourceInspectionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_media = std::make_unique<CMediaInfo>(GetProgramFolder() + L"MediaInfo.dll");
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        s_folder = std::wstring(temp) + L"tolvane_sources_" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        CreateDirectoryW(s_folder.c_str(), nullptr);
        std::wstring arguments = kSources;
        for (const Clip& clip : Clips())
            arguments += clip.outputOptions + L" \"" + s_folder + clip.file + L"\" ";
        s_bMade = RunConverter(arguments);
    }

    static void TearDownTestSuite()
    {
        s_media.reset();
        for (const std::wstring& name : Names())
            DeleteFileW(name.c_str());
        RemoveDirectoryW((s_folder + L"folder").c_str());
        RemoveDirectoryW(s_folder.c_str());
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_media->HasHandle()) << "MediaInfo.dll is missing beside the tests: configure the build with "
                                             "-DTOLVANE_MEDIAINFO_DLL=<path>";
        ASSERT_TRUE(s_bMade) << "ffmpeg.exe beside the tests could not make the clips";
    }

    static std::vector<std::wstring> Names()
    {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE hFind = FindFirstFileW((s_folder + L"*").c_str(), &found);
        if (hFind == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(s_folder + found.cFileName);
        } while (FindNextFileW(hFind, &found));
        FindClose(hFind);
        return names;
    }

    // Runs ffmpeg.exe beside the tests; true when it ended well within two minutes.
    static bool RunConverter(const std::wstring& arguments)
    {
        std::wstring commandLine = L"\"" + std::wstring(GetProgramFolder()) + L"ffmpeg.exe\" -hide_banner -loglevel error -y "
            + arguments;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            return false;
        DWORD exitCode = 1;
        if (WaitForSingleObject(process.hProcess, 120000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &exitCode);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode == 0;
    }

    static std::wstring PathOf(const wchar_t* file) { return s_folder + file; }

    static void WriteBytes(const std::wstring& path, const std::string& data)
    {
        ASSERT_TRUE(testfiles::WriteWholeFile(path.c_str(), data.data(), data.size()));
    }

    static std::string ReadBytes(const std::wstring& path)
    {
        std::vector<BYTE> data;
        testfiles::ReadWholeFile(path.c_str(), &data);
        return std::string(data.begin(), data.end());
    }

    static std::unique_ptr<CMediaInfo> s_media;  // one binding for every source, as in the program
    static std::wstring s_folder;
    static bool s_bMade;
};

std::unique_ptr<CMediaInfo> SourceInspectionTest::s_media;
std::wstring SourceInspectionTest::s_folder;
bool SourceInspectionTest::s_bMade = false;

TEST_F(SourceInspectionTest, ClipsAreDescribedAsTheyWereMade)
{
    for (const Clip& clip : Clips()) {
        SCOPED_TRACE(::testing::PrintToString(clip.file));
        CSourceDescription description;
        ASSERT_TRUE(InspectSource(*s_media, PathOf(clip.file).c_str(), description, kEnglish));
        SCOPED_TRACE(description.strInfo.GetString());
        EXPECT_EQ(description.nWidth, 160);
        EXPECT_EQ(description.nHeight, 120);
        InfoLines lines;
        ASSERT_TRUE(ParseInfo(description.strInfo, lines));
        EXPECT_EQ(lines.width, 160);
        EXPECT_EQ(lines.height, 120);
        EXPECT_EQ(lines.videoCodec, clip.videoCodec);
        if (clip.videoKb > 0) {
            EXPECT_EQ(lines.videoKb, clip.videoKb);
        } else if (clip.videoKb == 0) {
            EXPECT_GE(lines.videoKb, kVideoTargetKb / 2);
            EXPECT_LE(lines.videoKb, kVideoTargetKb * 2);
        }
        EXPECT_EQ(lines.audioCodec, clip.audioCodec);
        EXPECT_EQ(lines.channels, clip.channels);
        EXPECT_GE(lines.audioKb, clip.audioKb - clip.audioKbSlack);
        EXPECT_LE(lines.audioKb, clip.audioKb + clip.audioKbSlack);
        EXPECT_EQ(lines.seconds, 2);
    }
}

TEST_F(SourceInspectionTest, AHangulFileNameOpens)
{
    const std::wstring hangul = PathOf(L"동영상 클립.avi");
    ASSERT_TRUE(CopyFileW(PathOf(L"mp3.avi").c_str(), hangul.c_str(), FALSE));
    CSourceDescription description;
    ASSERT_TRUE(InspectSource(*s_media, hangul.c_str(), description, kEnglish));
    CSourceDescription original;
    ASSERT_TRUE(InspectSource(*s_media, PathOf(L"mp3.avi").c_str(), original, kEnglish));
    EXPECT_EQ(description.strInfo, original.strInfo);
}

TEST_F(SourceInspectionTest, WhatIsNoMediaFailsCleanly)
{
    CSourceDescription good;
    ASSERT_TRUE(InspectSource(*s_media, PathOf(L"mp3.avi").c_str(), good, kEnglish));

    WriteBytes(PathOf(L"empty.avi"), "");
    WriteBytes(PathOf(L"notes.txt"), "These are the notes of a meeting, not a video.\r\n");
    CreateDirectoryW(PathOf(L"folder").c_str(), nullptr);
    const std::wstring locked = PathOf(L"locked.avi");
    ASSERT_TRUE(CopyFileW(PathOf(L"mp3.avi").c_str(), locked.c_str(), FALSE));
    HANDLE hLock = CreateFileW(locked.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(hLock, INVALID_HANDLE_VALUE);

    const std::wstring bad[] = {PathOf(L"missing.avi"), PathOf(L"folder"), locked, PathOf(L"empty.avi"),
                                PathOf(L"notes.txt")};
    for (const std::wstring& path : bad) {
        CSourceDescription description = good;
        EXPECT_FALSE(InspectSource(*s_media, path.c_str(), description, kEnglish)) << ::testing::PrintToString(path)
            << description.strInfo.GetString();
        EXPECT_EQ(description.nWidth, 160);
        EXPECT_EQ(description.strInfo, good.strInfo);
    }
    CloseHandle(hLock);

    // The same binding goes on describing the next good source.
    CSourceDescription after;
    ASSERT_TRUE(InspectSource(*s_media, PathOf(L"mp3.avi").c_str(), after, kEnglish));
    EXPECT_EQ(after.strInfo, good.strInfo);
}

TEST_F(SourceInspectionTest, ATruncatedVideoIsDescribedAsFarAsItCanBeRead)
{
    for (const wchar_t* file : {L"mp3.avi", L"aac.mp4", L"vorbis.mkv"}) {
        const std::string data = ReadBytes(PathOf(file));
        ASSERT_GT(data.size(), 4096u);
        const std::wstring truncated = PathOf((std::wstring(L"cut_") + file).c_str());
        WriteBytes(truncated, data.substr(0, data.size() / 3));
        CSourceDescription description;
        if (InspectSource(*s_media, truncated.c_str(), description, kEnglish)) {
            InfoLines lines;
            EXPECT_TRUE(ParseInfo(description.strInfo, lines)) << ::testing::PrintToString(file);
        }
    }
}

}  // namespace
