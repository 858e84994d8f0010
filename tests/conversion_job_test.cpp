// The conversion job driven through the dialog: the real converter on a short clip, and the
// fake converter for stops, failures, floods and many jobs in a row.
#include "AviFile.h"
#include "DialogFixture.h"
#include "ProcessCounts.h"
#include "TestFiles.h"
#include "conversion/Scramble.h"
#include "conversion/ScrambleKey.h"

#include <random>
#include <vector>

namespace {

const DWORD kJobBound = 120000;

CString FakeProgramFolder()
{
    return TOLVANE_WIN_BIN_DIR L"fake_program\\";
}

std::vector<BYTE> ReadBytes(const CString& path)
{
    std::vector<BYTE> bytes;
    testfiles::ReadWholeFile(path, &bytes);
    return bytes;
}

int CountOf(const CString& text, const wchar_t* what)
{
    int count = 0;
    for (int at = text.Find(what); at >= 0; at = text.Find(what, at + 1))
        ++count;
    return count;
}

bool EndsWith(const CString& text, const wchar_t* end)
{
    return text.Right(static_cast<int>(wcslen(end))) == end;
}

// A scrambled copy left by an earlier job, which a stopped job must keep.
const char kOlderCopy[] = "older copy";
std::vector<BYTE> OlderCopy()
{
    return std::vector<BYTE>(kOlderCopy, kOlderCopy + sizeof(kOlderCopy) - 1);
}

// Names in the folder that match the pattern.
int CountFiles(const CString& folder, const wchar_t* pattern)
{
    int count = 0;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"\\" + pattern, &found);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++count;
    while (FindNextFileW(find, &found));
    FindClose(find);
    return count;
}

}  // namespace

class ConversionJobTest : public MainDialogTest {
protected:
    static void SetUpTestSuite()
    {
        // Hangul and a placeholder text in the folder and in the source's name.
        s_folder = new testfiles::CTempFolder(L"작업 ${VIDEO_GOP}");
        s_clip = s_folder->Path(L"휴가 ${VIDEO_GOP}.mpg");
        ASSERT_TRUE(testfiles::MakeClip(s_clip));
        CreateDirectoryW(FakeProgramFolder(), nullptr);
        ASSERT_TRUE(CopyFileW(TOLVANE_WIN_BIN_DIR L"fake_converter.exe", FakeProgramFolder() + L"ffmpeg.exe", FALSE));
    }
    static void TearDownTestSuite() { delete s_folder; }

    void SetUp() override
    {
        MainDialogTest::SetUp();
        m_dest.Format(L"%s\\출력 %d", s_folder->m_strPath.GetString(), ++s_jobs);
        CreateDirectoryW(m_dest, nullptr);
    }

    // The dialog on the clip, with the converter's folder and this test's destination.
    CTolvaneDlg& OpenJob(const CString& programFolder = TOLVANE_WIN_BIN_DIR, const wchar_t* extraArgs = L"")
    {
        CTolvaneDlg& dialog = Open();
        dialog.m_strProgramFolder = programFolder;
        EXPECT_TRUE(dialog.OpenSourceFile(s_clip));
        Type(IDC_DEST_PATH, m_dest);
        Type(IDC_EXTRA_ARGS, extraArgs);
        return dialog;
    }

    bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = kJobBound)
    {
        return ui::WaitUntil([&] { PumpMessages(Window()); return condition(); }, timeoutMs);
    }
    bool Idle() const { return !m_dialog->m_bConverting && Enabled(IDC_START) && !Enabled(IDC_STOP); }
    bool Converting() const { return m_dialog->m_bConverting && !Enabled(IDC_START) && Enabled(IDC_STOP); }

    // Starts a job and waits for its end; the command lines that box 1009 showed, in order.
    std::vector<CString> RunJob()
    {
        std::vector<CString> lines;
        Click(IDC_START);
        EXPECT_TRUE(PumpUntil([&] {
            CString line = Text(IDC_COMMAND_LINE);
            if (lines.empty() || lines.back() != line)
                lines.push_back(line);
            return Idle();
        })) << LogText().GetString();
        return lines;
    }
    void StartAndWaitForConverting()
    {
        Click(IDC_START);
        ASSERT_TRUE(PumpUntil([&] { return Converting(); }));
    }
    CString Output(const wchar_t* name) const { return m_dest + L"\\" + name; }

    static testfiles::CTempFolder* s_folder;
    static CString s_clip;
    static int s_jobs;
    CString m_dest;
};

testfiles::CTempFolder* ConversionJobTest::s_folder = nullptr;
CString ConversionJobTest::s_clip;
int ConversionJobTest::s_jobs = 0;

TEST_F(ConversionJobTest, OnePassMpeg1WithAudio)
{
    OpenJob();
    Click(IDC_CODEC_MPEG);
    Click(IDC_2PASS_ENCODING);  // off
    std::vector<CString> lines = RunJob();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Find(L"-pass"), -1);
    EXPECT_NE(lines[0].Find(L"-i \"" + s_clip + L"\""), -1) << "the source reaches the converter unchanged";
    CString log = LogText();
    EXPECT_EQ(CountOf(log, L"Start converting."), 1);
    EXPECT_NE(log.Find(L"Success to open file(" + s_clip + L")."), -1);
    EXPECT_TRUE(EndsWith(log, L"\r\nCompleted") || EndsWith(log, L"\rCompleted")) << log.GetString();

    AviFile avi;
    ASSERT_TRUE(ReadAviFile(Output(L"[out] 휴가 ${VIDEO_GOP}.avi"), &avi));
    ASSERT_NE(avi.FindStream("vids"), nullptr);
    EXPECT_EQ(avi.FindStream("vids")->handler, "MPG1");
    WAVEFORMATEX wave;
    ASSERT_NE(avi.FindStream("auds"), nullptr);
    ASSERT_TRUE(GetWaveFormat(*avi.FindStream("auds"), &wave));
    EXPECT_EQ(wave.wFormatTag, 0x50);
    EXPECT_EQ(wave.nSamplesPerSec, 44100u);
    EXPECT_EQ(wave.nChannels, 2);
    EXPECT_EQ(CountFiles(m_dest, L"*.log"), 0);
}

TEST_F(ConversionJobTest, TwoPassVp8WithBitrateNameAndScrambledCopy)
{
    OpenJob();
    Click(IDC_BITRATE_FILENAME);
    Click(IDC_ENCRYPTION);
    std::vector<CString> lines = RunJob();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].Find(L"-pass 1 "), -1);
    EXPECT_NE(lines[0].Find(L" -an "), -1);
    EXPECT_NE(lines[1].Find(L"-pass 2 "), -1);
    EXPECT_NE(lines[1].Find(L"-acodec mp2"), -1);
    CString log = LogText();
    EXPECT_EQ(CountOf(log, L"Start converting."), 1);
    EXPECT_TRUE(EndsWith(log, L"Completed")) << log.GetString();
    EXPECT_EQ(CountFiles(m_dest, L"*.log"), 0) << "pass logs are deleted";
    EXPECT_EQ(CountFiles(m_dest, L"*.tmp"), 0);

    const CString base = Output(L"[out] 휴가 ${VIDEO_GOP}_4000k");
    AviFile avi;
    ASSERT_TRUE(ReadAviFile(base + L".avi", &avi));
    EXPECT_EQ(avi.FindStream("vids")->handler, "VP80");
    EXPECT_NE(avi.FindStream("auds"), nullptr);

    std::vector<BYTE> plain = ReadBytes(base + L".avi");
    std::vector<BYTE> scrambled = ReadBytes(base + L".avx");
    ASSERT_EQ(scrambled.size(), plain.size());
    for (size_t k = 0; k < plain.size(); ++k)
        ASSERT_EQ(scrambled[k], plain[k] ^ ScrambleKey[k % kScrambleKeySize]) << k;
    ASSERT_EQ(ScrambleFile(base + L".avx", m_dest + L"\\again.avi"), ScrambleResult::Done);
    EXPECT_EQ(ReadBytes(m_dest + L"\\again.avi"), plain);
}

TEST_F(ConversionJobTest, QualityPassFromStoredVbrWithoutAudio)
{
    HKEY key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Tolvane", 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    DWORD one = 1;
    RegSetValueExW(key, L"VideoVBR", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    RegCloseKey(key);
    OpenJob();
    Click(IDC_NO_AUDIO);
    std::vector<CString> lines = RunJob();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].Find(L"-qmin 8 -qmax 8 -an "), -1) << lines[0];
    EXPECT_EQ(lines[0].Find(L"-pass"), -1);
    EXPECT_TRUE(EndsWith(LogText(), L"Completed"));
    AviFile avi;
    ASSERT_TRUE(ReadAviFile(Output(L"[out] 휴가 ${VIDEO_GOP}.avi"), &avi));
    EXPECT_EQ(avi.FindStream("vids")->handler, "VP80");
    EXPECT_EQ(avi.FindStream("auds"), nullptr);
}

TEST_F(ConversionJobTest, FailedConverterEndsTheJobWithItsExitCode)
{
    OpenJob();
    Type(IDC_SOURCE_PATH, s_folder->Path(L"no such file.mp4"));
    std::vector<CString> lines = RunJob();
    ASSERT_EQ(lines.size(), 1u) << "no second pass after a failed first pass";
    CString log = LogText();
    EXPECT_TRUE(EndsWith(log, L"Conversion failed (exit code 1)")) << log.GetString();
    EXPECT_EQ(log.Find(L"Completed"), -1);
    EXPECT_EQ(CountFiles(m_dest, L"*.log"), 0);
}

TEST_F(ConversionJobTest, MissingConverterOnlySaysSoAndStaysIdle)
{
    testfiles::CTempFolder empty(L"no converter");
    OpenJob(empty.m_strPath + L"\\");
    Click(IDC_START);
    PumpMessages(Window());
    CString log = LogText();
    EXPECT_TRUE(EndsWith(log, L"Failed to convert file")) << log.GetString();
    EXPECT_EQ(log.Find(L"Start converting."), -1);
    EXPECT_TRUE(Idle());
}

TEST_F(ConversionJobTest, StopEndsTheJobWithCancelInEitherPass)
{
    struct Case { const wchar_t* name; const wchar_t* extraArgs; const wchar_t* stopIn; };
    const Case cases[] = {
        {L"first pass", L"out=working hang", L"-pass 1 "},
        {L"second pass", L"out=working sleep=2000 writefile", L"-pass 2 "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpenJob(FakeProgramFolder(), c.extraArgs);
        Click(IDC_ENCRYPTION);
        const CString base = Output(L"[out] 휴가 ${VIDEO_GOP}");
        ASSERT_TRUE(testfiles::WriteTextFile(base + L".avx", kOlderCopy));
        StartAndWaitForConverting();
        ASSERT_TRUE(PumpUntil([&] { return Text(IDC_COMMAND_LINE).Find(c.stopIn) >= 0 && LogText().Find(L"working") >= 0; }));
        Click(IDC_STOP);
        ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
        CString log = LogText();
        EXPECT_TRUE(EndsWith(log, L"\r\nCancel") || EndsWith(log, L"\rCancel")) << log.GetString();
        EXPECT_EQ(log.Find(L"Completed"), -1);
        EXPECT_EQ(CountOf(log, L"Cancel"), 1);
        EXPECT_NE(Text(IDC_COMMAND_LINE).Find(c.stopIn), -1) << "no further pass started";
        EXPECT_EQ(ReadBytes(base + L".avx"), OlderCopy());
        Close();
    }
}

TEST_F(ConversionJobTest, StopWhileTheScrambledCopyIsWrittenCancelsIt)
{
    // A 10 GB output whose end was never written is made at once and keeps the copy busy
    // for seconds (only the part copied before Stop is ever written).
    OpenJob(FakeProgramFolder(), L"writefile=10000000000");
    Click(IDC_2PASS_ENCODING);  // one pass
    Click(IDC_ENCRYPTION);
    const CString base = Output(L"[out] 휴가 ${VIDEO_GOP}");
    ASSERT_TRUE(testfiles::WriteTextFile(base + L".avx", kOlderCopy));
    StartAndWaitForConverting();
    ASSERT_TRUE(PumpUntil([&] { return CountFiles(m_dest, L"*.tmp") == 1; }));
    EXPECT_TRUE(Converting()) << "the job lasts until its copy is written";
    Click(IDC_STOP);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    CString log = LogText();
    EXPECT_TRUE(EndsWith(log, L"\r\nCancel") || EndsWith(log, L"\rCancel")) << log.GetString();
    EXPECT_EQ(log.Find(L"Completed"), -1);
    EXPECT_EQ(CountFiles(m_dest, L"*.tmp"), 0) << "the unfinished copy is removed";
    EXPECT_EQ(ReadBytes(base + L".avx"), OlderCopy());
}

TEST_F(ConversionJobTest, ClosingIsRefusedWhileConvertingAndAllowedAfter)
{
    OpenJob(FakeProgramFolder(), L"hang");
    StartAndWaitForConverting();
    CString answered;
    WithModalAnswer(Window(), [&](HWND box) {
        answered = ui::GetItemText(box, 0xFFFF);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
    }, [&] { SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(answered, L"Converting..");
    EXPECT_TRUE(IsWindowVisible(Window()));
    EXPECT_TRUE(Converting());
    Click(IDC_STOP);
    ASSERT_TRUE(PumpUntil([&] { return Idle(); }));
    SendMessageW(Window(), WM_COMMAND, IDCANCEL, 0);
    PumpMessages(Window());
    EXPECT_FALSE(IsWindowVisible(Window())) << "the dialog has ended";
}

TEST_F(ConversionJobTest, FloodOfOutputReachesTheLogWholeAndInOrder)
{
    // Small writes first, then large ones: about 21 MB of numbered lines in all.
    const int kSmall = 300000, kLarge = 1200000;
    CString args;
    args.Format(L"lines=%d,100 lines=%d,65536", kSmall, kLarge);
    OpenJob(FakeProgramFolder(), args);
    Click(IDC_2PASS_ENCODING);  // one pass
    Click(IDC_START);
    // The window answers while the output pours in.
    std::atomic<bool> done{false};
    std::atomic<int> unanswered{0};
    HWND window = Window();
    std::thread prober([&] {
        while (!done) {
            DWORD_PTR result;
            if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result))
                ++unanswered;
            Sleep(50);
        }
    });
    bool ended = PumpUntil([&] { return Idle(); }, 300000);
    done = true;
    prober.join();
    ASSERT_TRUE(ended);
    EXPECT_EQ(unanswered, 0);

    CString log = LogText();
    // Every line of both runs of the counter, in order, each once.
    int at = log.Find(L"line 0000001");
    ASSERT_GT(at, 0);
    char expected[32];
    for (int run = 0; run < 2; ++run) {
        int count = run == 0 ? kSmall : kLarge;
        for (int n = 1; n <= count; ++n) {
            snprintf(expected, sizeof(expected), "line %07d", n);
            CString want = CString::FromUtf8(expected);
            int found = log.Find(want, at);
            ASSERT_EQ(found, at) << "run " << run << " line " << n;
            at = found + want.GetLength();
            while (at < log.GetLength() && (log[at] == L'\r' || log[at] == L'\n'))
                ++at;
        }
    }
    EXPECT_TRUE(EndsWith(log, L"Completed"));
}

TEST_F(ConversionJobTest, ManyJobsStoppedAtRandomMomentsEndIdleAndLeakNothing)
{
    const wchar_t* behaviours[] = {
        L"hang", L"out=a sleep=30", L"outbytes=40000,999 sleep=20", L"exit=3", L"err=e sleep=5 writefile",
        L"mixed=20000,500",
    };
    std::mt19937 random(20261211);
    OpenJob(FakeProgramFolder());
    Click(IDC_START);  // one job first, so that lazily made handles are there before counting
    PumpUntil([&] { return Idle(); });
    const int handlesBefore = CountProcessHandles();
    const int threadsBefore = CountProcessThreads();
    for (int job = 0; job < 100; ++job) {
        const wchar_t* behaviour = behaviours[random() % ARRAYSIZE(behaviours)];
        Type(IDC_EXTRA_ARGS, behaviour);
        if (random() % 2)
            Click(IDC_2PASS_ENCODING);
        Click(IDC_START);
        int wait = static_cast<int>(random() % 120);
        PumpUntil([] { return false; }, wait);
        if (random() % 4 != 0 || behaviour == behaviours[0])  // a hanging converter needs the Stop
            Click(IDC_STOP);
        ASSERT_TRUE(PumpUntil([&] { return Idle(); }, 30000)) << "job " << job << "\n" << LogText().GetString();
        CString log = LogText();
        EXPECT_TRUE(EndsWith(log, L"Cancel") || EndsWith(log, L"Completed") || EndsWith(log, L"Failed to convert file") ||
                    EndsWith(log, L"(exit code 3)"))
            << "job " << job;
    }
    EXPECT_TRUE(ui::WaitUntil([&] { return CountProcessThreads() <= threadsBefore; }, 10000))
        << CountProcessThreads() << " threads, " << threadsBefore << " before";
    EXPECT_LE(CountProcessHandles(), handlesBefore + 2);
}
