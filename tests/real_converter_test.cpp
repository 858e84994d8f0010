// The built command lines run the real converter, and its output is checked as a file.
#include "AviFile.h"
#include "conversion/CommandLineBuilder.h"

#include <string>

#include <gtest/gtest.h>

namespace {

const DWORD kConverterTimeoutMs = 180000;
const wchar_t kQuietArgs[] = L"-nostdin -loglevel error";

CString Quoted(const CString& text)
{
    return L"\"" + text + L"\"";
}

CString ProgramFolder()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString module(path, static_cast<int>(length));
    return module.Left(module.ReverseFind(L'\\') + 1);
}

bool FileExists(const CString& path)
{
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// Runs the command line hidden in the folder and waits for it to end.
::testing::AssertionResult RunHidden(const CString& commandLine, const CString& folder)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    std::wstring line(commandLine.GetString());
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, folder,
                        &startup, &process)) {
        return ::testing::AssertionFailure() << "cannot start, error " << GetLastError();
    }
    bool ended = WaitForSingleObject(process.hProcess, kConverterTimeoutMs) == WAIT_OBJECT_0;
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    DWORD exitCode = 1;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!ended)
        return ::testing::AssertionFailure() << "did not end within " << kConverterTimeoutMs << " ms";
    if (exitCode != 0)
        return ::testing::AssertionFailure() << "exit code " << exitCode;
    return ::testing::AssertionSuccess();
}

void RemoveFolder(const CString& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"\\*", &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                DeleteFileW(folder + L"\\" + found.cFileName);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

class RealConverterTest : public ::testing::Test {
protected:
    // One short clip with video and audio, in a folder whose name has a blank and Hangul.
    static void SetUpTestSuite()
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        s_folder.Format(L"%stolvane 변환 %lu", temp, GetCurrentProcessId());
        CreateDirectoryW(s_folder, nullptr);
        s_source = s_folder + L"\\source clip.mkv";
        s_sourceMade = FileExists(Converter()) &&
            RunHidden(Quoted(Converter()) + L" " + kQuietArgs +
                    L" -y -f lavfi -i testsrc=size=160x120:rate=25:duration=2"
                    L" -f lavfi -i sine=frequency=440:duration=2 -c:v mpeg4 -c:a pcm_s16le " +
                    Quoted(s_source),
                s_folder);
    }

    static void TearDownTestSuite() { RemoveFolder(s_folder); }

    static CString Converter() { return ProgramFolder() + L"ffmpeg.exe"; }

    void SetUp() override
    {
        ASSERT_TRUE(FileExists(Converter())) << "configure the build with TOLVANE_FFMPEG_EXE";
        ASSERT_TRUE(s_sourceMade) << "the converter could not make the source clip";
        m_options.m_strDestPath = s_folder;  // without a trailing backslash
    }

    // Builds the pass's command line, removes an older output and runs the converter.
    ::testing::AssertionResult Convert(int passMode, int sourceWidth, int sourceHeight, CCommandLine* built)
    {
        *built = BuildCommandLine(m_options, passMode, s_source, kQuietArgs, sourceWidth, sourceHeight,
                                  ProgramFolder());
        DeleteFileW(built->strOutputPath);
        return RunHidden(built->strCommandLine, s_folder);
    }

    static void ExpectMpegAudio(const AviFile& avi, DWORD samplesPerSec, WORD channels)
    {
        const AviStream* audio = avi.FindStream("auds");
        ASSERT_NE(audio, nullptr);
        WAVEFORMATEX wave;
        ASSERT_TRUE(GetWaveFormat(*audio, &wave));
        EXPECT_EQ(wave.wFormatTag, 0x50);
        EXPECT_EQ(wave.nSamplesPerSec, samplesPerSec);
        EXPECT_EQ(wave.nChannels, channels);
        EXPECT_GT(audio->length, 0u);
    }

    static CString s_folder;
    static CString s_source;
    static bool s_sourceMade;
    CConversionOptions m_options;
};

CString RealConverterTest::s_folder;
CString RealConverterTest::s_source;
bool RealConverterTest::s_sourceMade = false;

TEST_F(RealConverterTest, OnePassMpeg1WithMonoAudioBeforeTheSizeIsKnown)
{
    m_options.m_strVideoCodec = L"mpeg1video";
    m_options.m_nVideoBitrate = 500;
    m_options.m_bChangeVideoFps = 1;
    m_options.m_nVideoFps = 24;
    m_options.m_nAudioBitrate = 64;
    m_options.m_nAudioSamplerate = 22050;
    m_options.m_strAudioChannel = L"1(mono)";
    CCommandLine built;
    ASSERT_TRUE(Convert(SinglePass, 0, 0, &built)) << built.strCommandLine.GetString();

    AviFile avi;
    ASSERT_TRUE(ReadAviFile(built.strOutputPath, &avi));
    const AviStream* video = avi.FindStream("vids");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->handler, "MPG1");
    EXPECT_EQ(video->rate, 24 * video->scale);
    EXPECT_EQ(avi.width, 160u);
    EXPECT_EQ(avi.height, 120u);
    EXPECT_GT(avi.totalFrames, 0u);
    EXPECT_GT(avi.movieBytes, 0u);
    ExpectMpegAudio(avi, 22050, 1);
}

TEST_F(RealConverterTest, TwoPassVp8WritesItsPassLogBesideTheOutput)
{
    m_options.m_nVideoBitrate = 300;
    CCommandLine first;
    ASSERT_TRUE(Convert(FirstPass, 160, 120, &first)) << first.strCommandLine.GetString();
    EXPECT_TRUE(FileExists(first.strPassLogBase + L"-0.log")) << first.strPassLogBase.GetString();

    CCommandLine second;
    ASSERT_TRUE(Convert(SecondPass, 160, 120, &second)) << second.strCommandLine.GetString();
    EXPECT_STREQ(second.strOutputPath, first.strOutputPath);
    AviFile avi;
    ASSERT_TRUE(ReadAviFile(second.strOutputPath, &avi));
    const AviStream* video = avi.FindStream("vids");
    ASSERT_NE(video, nullptr);
    EXPECT_EQ(video->handler, "VP80");
    EXPECT_EQ(avi.width, 160u);
    EXPECT_EQ(avi.height, 120u);
    EXPECT_GT(avi.totalFrames, 0u);
    ExpectMpegAudio(avi, 44100, 2);
}

TEST_F(RealConverterTest, QualityPassResizesAndLeavesTheAudioOut)
{
    m_options.m_bChangeVideoSize = 1;
    m_options.m_strVideoSize = L"96x72";
    m_options.m_bNoAudio = 1;
    CCommandLine built;
    ASSERT_TRUE(Convert(QualityPass, 160, 120, &built)) << built.strCommandLine.GetString();

    AviFile avi;
    ASSERT_TRUE(ReadAviFile(built.strOutputPath, &avi));
    ASSERT_EQ(avi.streams.size(), 1u);
    EXPECT_EQ(avi.streams[0].type, "vids");
    EXPECT_EQ(avi.streams[0].handler, "VP80");
    EXPECT_EQ(avi.width, 96u);
    EXPECT_EQ(avi.height, 72u);
    EXPECT_GT(avi.movieBytes, 0u);
}

}  // namespace
