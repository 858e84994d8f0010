#include "conversion/Redirect.h"

#include "ProcessCounts.h"
#include "fixtures/fake_converter/Pattern.h"

#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

// Generous: only a hang exceeds it.
const std::chrono::seconds kBound(10);

// The folder of this test program, where the fake converter is built too.
CString BinFolder()
{
    wchar_t path[MAX_PATH];
    CString self(path, static_cast<int>(GetModuleFileNameW(nullptr, path, MAX_PATH)));
    return self.Left(self.ReverseFind(L'\\') + 1);
}

CString FakeLine(const wchar_t* actions)
{
    return L"\"" + BinFolder() + L"fake_converter.exe\" " + actions;
}

std::string PatternText(int stream, size_t count)
{
    std::string text(count, '\0');
    PatternTable(stream).Copy(0, reinterpret_cast<unsigned char*>(&text[0]), count);
    return text;
}

// Live fake converters started by this process.
int CountLiveChildren()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof(entry);
    int count = 0;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ParentProcessID == GetCurrentProcessId() && _wcsicmp(entry.szExeFile, L"fake_converter.exe") == 0)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}

// Ends the program that the fake converter reported as "spawned <pid>" in text.
void KillSpawned(const std::string& text)
{
    size_t at = text.find("spawned ");
    ASSERT_NE(at, std::string::npos) << text;
    DWORD pid = std::stoul(text.substr(at + 8));
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
    ASSERT_NE(process, nullptr);
    TerminateProcess(process, 0);
    WaitForSingleObject(process, 10000);
    CloseHandle(process);
}

// A slim reader/writer lock held for a scope. The test's own locks must not create handles
// lazily (as the thread library's mutexes do on first contention): they would upset the counts.
class ScopedLock {
public:
    explicit ScopedLock(SRWLOCK& lock) : m_lock(lock) { AcquireSRWLockExclusive(&m_lock); }
    ~ScopedLock() { ReleaseSRWLockExclusive(&m_lock); }

private:
    SRWLOCK& m_lock;
};

// Records what each run delivers and checks the order of the notifications as they come.
class RecordingRedirect : public CRedirect {
public:
    struct Stream {
        std::string text;  // empty when the pattern is checked instead
        unsigned long long bytes = 0;
        size_t longestChunk = 0;
        int chunks = 0;
        bool patternBroken = false;
    };
    struct Run {
        Stream out;
        Stream err;
        int ends = 0;
        DWORD exitCode = 0;
        bool stopped = false;
        unsigned long long outAtEnd = 0;
        unsigned long long errAtEnd = 0;
        DWORD endThread = 0;
    };
    struct Record {
        std::vector<Run> runs;  // one for each OnProcessStarted
        int stray = 0;          // notifications before the start, after the end, or after Stop returned
        int marks = 0;          // see Mark
    };

    explicit RecordingRedirect(bool checkPattern = false)
        : m_checkPattern(checkPattern), m_outPattern(PatternTable::kStdout), m_errPattern(PatternTable::kStderr)
    {
    }
    ~RecordingRedirect() { StopChild(); }

    BOOL Start(const CString& line)
    {
        m_stopReturned = false;
        return StartChild(line);
    }
    void Stop()
    {
        StopChild();
        m_stopReturned = true;
    }
    // Forgets the runs; only while no notification can come.
    void Clear()
    {
        ScopedLock lock(m_lock);
        m_record = Record();
    }
    Record Get()
    {
        ScopedLock lock(m_lock);
        return m_record;
    }
    bool WaitFor(const std::function<bool(const Record&)>& done, std::chrono::seconds bound = kBound)
    {
        const ULONGLONG deadline = GetTickCount64() + std::chrono::milliseconds(bound).count();
        ScopedLock lock(m_lock);
        for (ULONGLONG now = GetTickCount64(); !done(m_record) && now < deadline; now = GetTickCount64())
            SleepConditionVariableSRW(&m_changed, &m_lock, static_cast<DWORD>(deadline - now), 0);
        return done(m_record);
    }
    // Counts a step that a hook has finished, for WaitFor.
    void Mark()
    {
        ScopedLock lock(m_lock);
        ++m_record.marks;
        WakeAllConditionVariable(&m_changed);
    }

    // Called from inside the notifications, after they are recorded.
    std::function<void(const char*)> onStdout;
    std::function<void(DWORD, bool)> onEnd;

protected:
    void OnProcessStarted(const CString&) override
    {
        ScopedLock lock(m_lock);
        m_record.runs.push_back(Run());
        WakeAllConditionVariable(&m_changed);
    }
    void OnStdoutText(const char* text) override
    {
        Received(&Run::out, m_outPattern, text);
        if (onStdout)
            onStdout(text);
    }
    void OnStderrText(const char* text) override { Received(&Run::err, m_errPattern, text); }
    void OnProcessEnded(DWORD exitCode, bool stopped) override
    {
        {
            ScopedLock lock(m_lock);
            if (m_record.runs.empty() || m_stopReturned) {
                ++m_record.stray;
            } else {
                Run& run = m_record.runs.back();
                ++run.ends;
                run.exitCode = exitCode;
                run.stopped = stopped;
                run.outAtEnd = run.out.bytes;
                run.errAtEnd = run.err.bytes;
                run.endThread = GetCurrentThreadId();
            }
            WakeAllConditionVariable(&m_changed);
        }
        if (onEnd)
            onEnd(exitCode, stopped);
    }

private:
    void Received(Stream Run::*which, const PatternTable& pattern, const char* text)
    {
        size_t length = strlen(text);
        ScopedLock lock(m_lock);
        if (m_record.runs.empty() || m_record.runs.back().ends > 0 || m_stopReturned) {
            ++m_record.stray;
            return;
        }
        Stream& stream = m_record.runs.back().*which;
        if (!m_checkPattern)
            stream.text.append(text, length);
        else if (pattern.Matching(stream.bytes, text, length) != length)
            stream.patternBroken = true;
        stream.bytes += length;
        stream.longestChunk = std::max(stream.longestChunk, length);
        ++stream.chunks;
        WakeAllConditionVariable(&m_changed);
    }

    const bool m_checkPattern;
    const PatternTable m_outPattern;
    const PatternTable m_errPattern;
    std::atomic<bool> m_stopReturned{false};
    SRWLOCK m_lock = SRWLOCK_INIT;
    CONDITION_VARIABLE m_changed = CONDITION_VARIABLE_INIT;
    Record m_record;
};

using Record = RecordingRedirect::Record;

std::function<bool(const Record&)> Ended(size_t runs)
{
    return [runs](const Record& r) { return r.runs.size() >= runs && r.runs[runs - 1].ends > 0; };
}

std::function<bool(const Record&)> OutputArrived(unsigned long long outBytes, unsigned long long errBytes = 0)
{
    return [=](const Record& r) {
        return !r.runs.empty() && r.runs.back().out.bytes >= outBytes && r.runs.back().err.bytes >= errBytes;
    };
}

// One whole run, so that what the system sets up once on the first child is in the baseline.
void WarmUp(RecordingRedirect& redirect)
{
    ASSERT_TRUE(redirect.Start(FakeLine(L"out=warm err=up")));
    ASSERT_TRUE(redirect.WaitFor(Ended(1)));
    redirect.Stop();
    redirect.Clear();
}

TEST(RedirectTest, FailedStartAndIdleStopHoldNothing)
{
    RecordingRedirect redirect;
    WarmUp(redirect);
    const int handles = CountProcessHandles();
    const int threads = CountProcessThreads();
    ASSERT_GT(handles, 0);

    redirect.Stop();
    EXPECT_FALSE(redirect.Start(L"\"" + BinFolder() + L"no_such_program.exe\" out=x"));
    EXPECT_FALSE(redirect.IsRunning());
    redirect.Stop();

    Record record = redirect.Get();
    EXPECT_TRUE(record.runs.empty());
    EXPECT_EQ(record.stray, 0);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);
}

TEST(RedirectTest, DeliversEachStreamWholeAndThenTheEnd)
{
    struct Case {
        const wchar_t* actions;
        std::string out;
        std::string err;
        DWORD exitCode;
    };
    const Case cases[] = {
        {L"err=only\\nerrors", "", "only\nerrors", 0},
        // One write of more than a chunk.
        {L"outbytes=30000", PatternText(PatternTable::kStdout, 30000), "", 0},
        {L"out=first err=second out=third exit=7", "firstthird", "second", 7},
        // Raw bytes as written, and the command line passed whole.
        {L"\"out=가 나\" exit=259", u8"가 나", "", 259},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case with out of " << c.out.size() << " bytes, err " << c.err);
        RecordingRedirect redirect;
        ASSERT_TRUE(redirect.Start(FakeLine(c.actions)));
        ASSERT_TRUE(redirect.WaitFor(Ended(1)));
        EXPECT_FALSE(redirect.IsRunning());
        redirect.Stop();  // the threads have ended: nothing can come later

        Record record = redirect.Get();
        ASSERT_EQ(record.runs.size(), 1u);
        const RecordingRedirect::Run& run = record.runs[0];
        EXPECT_EQ(record.stray, 0);
        EXPECT_EQ(run.out.text, c.out);
        EXPECT_EQ(run.err.text, c.err);
        EXPECT_EQ(run.ends, 1);
        EXPECT_EQ(run.exitCode, c.exitCode);
        EXPECT_FALSE(run.stopped);
        EXPECT_EQ(run.outAtEnd, run.out.bytes);
        EXPECT_EQ(run.errAtEnd, run.err.bytes);
        EXPECT_NE(run.endThread, GetCurrentThreadId());
        EXPECT_LE(run.out.longestChunk, CRedirect::kChunkSize);
        EXPECT_LE(run.err.longestChunk, CRedirect::kChunkSize);
        EXPECT_GE(run.out.chunks, static_cast<int>((c.out.size() + CRedirect::kChunkSize - 1) / CRedirect::kChunkSize));
        if (c.out.empty()) {
            EXPECT_EQ(run.out.chunks, 0);
        }
    }
}

TEST(RedirectTest, ChildInheritsNoHandleButItsPipes)
{
    // Any inheritable handle of this process, such as another child's pipe end.
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE event = CreateEventW(&inheritable, TRUE, FALSE, nullptr);
    const std::wstring value = std::to_wstring(reinterpret_cast<ULONG_PTR>(event));
    RecordingRedirect redirect;
    ASSERT_TRUE(redirect.Start(FakeLine((L"handle=" + value).c_str())));
    ASSERT_TRUE(redirect.WaitFor(Ended(1)));
    redirect.Stop();
    CloseHandle(event);
    EXPECT_EQ(redirect.Get().runs[0].out.text, "closed");
}

TEST(RedirectTest, StopDuringARunEndsItOnceAndReleasesEverything)
{
    RecordingRedirect redirect;
    WarmUp(redirect);
    const int handles = CountProcessHandles();
    const int threads = CountProcessThreads();

    ASSERT_TRUE(redirect.Start(FakeLine(L"out=ready hang")));
    EXPECT_TRUE(redirect.IsRunning());
    ASSERT_TRUE(redirect.WaitFor(OutputArrived(5)));
    EXPECT_EQ(CountLiveChildren(), 1);
    redirect.Stop();

    EXPECT_FALSE(redirect.IsRunning());
    EXPECT_EQ(CountLiveChildren(), 0);
    Record record = redirect.Get();
    ASSERT_EQ(record.runs.size(), 1u);
    EXPECT_EQ(record.runs[0].out.text, "ready");
    EXPECT_EQ(record.runs[0].ends, 1);
    EXPECT_TRUE(record.runs[0].stopped);
    EXPECT_EQ(record.runs[0].exitCode, 1u);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);

    redirect.Stop();
    EXPECT_EQ(redirect.Get().runs[0].ends, 1);
    EXPECT_EQ(redirect.Get().stray, 0);

    // Destroyed while its child runs, it stops the child itself.
    {
        CRedirect plain;
        ASSERT_TRUE(plain.StartChild(FakeLine(L"hang")));
        EXPECT_EQ(CountLiveChildren(), 1);
    }
    EXPECT_EQ(CountLiveChildren(), 0);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);
}

TEST(RedirectTest, InterleavedStreamsArriveWholeAndInOrder)
{
    const unsigned long long size = 50ull << 20;
    RecordingRedirect redirect(true);
    ASSERT_TRUE(redirect.Start(FakeLine((L"mixed=" + std::to_wstring(size) + L",7000").c_str())));
    ASSERT_TRUE(redirect.WaitFor(Ended(1), std::chrono::seconds(120)));
    redirect.Stop();

    Record record = redirect.Get();
    ASSERT_EQ(record.runs.size(), 1u);
    const RecordingRedirect::Run& run = record.runs[0];
    EXPECT_EQ(run.out.bytes, size);
    EXPECT_EQ(run.err.bytes, size);
    EXPECT_FALSE(run.out.patternBroken);
    EXPECT_FALSE(run.err.patternBroken);
    EXPECT_LE(run.out.longestChunk, CRedirect::kChunkSize);
    EXPECT_EQ(run.ends, 1);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_FALSE(run.stopped);
}

TEST(RedirectTest, NextRunStartsRightAfterTheEndIsHandled)
{
    RecordingRedirect redirect;
    WarmUp(redirect);
    const int handles = CountProcessHandles();
    const int threads = CountProcessThreads();

    // As the two-pass job does: the owner starts the next pass as soon as it sees the end,
    // while the wait thread of the pass before may still be returning.
    const size_t passes = 10;
    for (size_t pass = 1; pass <= passes; ++pass) {
        ASSERT_TRUE(redirect.Start(FakeLine(L"out=pass err=log exit=3")));
        ASSERT_TRUE(redirect.WaitFor(Ended(pass)));
    }
    redirect.Stop();

    Record record = redirect.Get();
    ASSERT_EQ(record.runs.size(), passes);
    for (const RecordingRedirect::Run& run : record.runs) {
        EXPECT_EQ(run.out.text, "pass");
        EXPECT_EQ(run.err.text, "log");
        EXPECT_EQ(run.ends, 1);
        EXPECT_EQ(run.exitCode, 3u);
        EXPECT_FALSE(run.stopped);
    }
    EXPECT_EQ(record.stray, 0);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);
}

TEST(RedirectTest, StartAndStopFromInsideOnProcessEnded)
{
    RecordingRedirect redirect;
    WarmUp(redirect);
    const int handles = CountProcessHandles();
    const int threads = CountProcessThreads();

    std::atomic<int> ends{0};
    std::atomic<bool> secondStarted{false};
    std::atomic<int> handlesAfterInnerStop{-1};
    redirect.onEnd = [&](DWORD, bool) {
        if (++ends == 1) {
            secondStarted = redirect.StartChild(FakeLine(L"out=second exit=2")) != FALSE;
        } else {
            // From the wait thread itself: it cannot wait for its own end, but releases the
            // rest of the run at once.
            redirect.StopChild();
            handlesAfterInnerStop = CountProcessHandles();
        }
        redirect.Mark();
    };
    ASSERT_TRUE(redirect.Start(FakeLine(L"out=first exit=1")));
    ASSERT_TRUE(redirect.WaitFor([](const Record& r) { return r.marks == 2; }));
    EXPECT_TRUE(secondStarted);
    EXPECT_FALSE(redirect.IsRunning());
    EXPECT_LE(handlesAfterInnerStop, handles + 1);  // the calling thread's own handle is kept
    redirect.Stop();

    Record record = redirect.Get();
    ASSERT_EQ(record.runs.size(), 2u);
    EXPECT_EQ(record.runs[0].out.text, "first");
    EXPECT_EQ(record.runs[0].exitCode, 1u);
    EXPECT_EQ(record.runs[1].out.text, "second");
    EXPECT_EQ(record.runs[1].exitCode, 2u);
    for (const RecordingRedirect::Run& run : record.runs) {
        EXPECT_EQ(run.ends, 1);
        EXPECT_FALSE(run.stopped);
    }
    EXPECT_EQ(record.stray, 0);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);
}

TEST(RedirectTest, OneRedirectorsStopLeavesAnotherRunning)
{
    RecordingRedirect stopped;
    RecordingRedirect running(true);
    HANDLE stopDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    // Holds the running one's output reader at its first chunk until the other has stopped,
    // so that most of its output comes after that stop.
    running.onStdout = [&](const char*) { WaitForSingleObject(stopDone, 10000); };

    ASSERT_TRUE(stopped.Start(FakeLine(L"out=x hang")));
    ASSERT_TRUE(stopped.WaitFor(OutputArrived(1)));
    const unsigned long long size = 4u << 20;
    ASSERT_TRUE(running.Start(FakeLine(L"outbytes=4194304,4096")));
    ASSERT_TRUE(running.WaitFor(OutputArrived(1)));
    stopped.Stop();
    SetEvent(stopDone);
    ASSERT_TRUE(running.WaitFor(Ended(1)));
    running.Stop();
    CloseHandle(stopDone);

    EXPECT_TRUE(stopped.Get().runs[0].stopped);
    const RecordingRedirect::Run run = running.Get().runs[0];
    EXPECT_EQ(run.out.bytes, size);
    EXPECT_FALSE(run.out.patternBroken);
    EXPECT_FALSE(run.stopped);
}

TEST(RedirectTest, ProgramKeepingThePipesOpenDelaysNoEnd)
{
    struct Case {
        const wchar_t* actions;
        bool stop;
    };
    // The fake starts a copy of itself that inherits the pipes and hangs.
    const Case cases[] = {
        {L"out=child spawn=hang", false},  // the child exits at once
        {L"spawn=hang hang", true},        // the child runs until stopped
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stop ? "stopped" : "ends by itself");
        RecordingRedirect redirect;
        ASSERT_TRUE(redirect.Start(FakeLine(c.actions)));
        ASSERT_TRUE(redirect.WaitFor([](const Record& r) {
            return !r.runs.empty() && r.runs[0].out.text.find('\n') != std::string::npos;
        }));
        const auto before = std::chrono::steady_clock::now();
        if (c.stop)
            redirect.Stop();
        else
            EXPECT_TRUE(redirect.WaitFor(Ended(1)));
        redirect.Stop();
        EXPECT_LT(std::chrono::steady_clock::now() - before, kBound);

        Record record = redirect.Get();
        ASSERT_EQ(record.runs.size(), 1u);
        EXPECT_EQ(record.runs[0].ends, 1);
        EXPECT_EQ(record.runs[0].stopped, c.stop);
        EXPECT_EQ(record.runs[0].exitCode, c.stop ? 1u : 0u);
        KillSpawned(record.runs[0].out.text);
    }
}

// Runs of one redirector, each stopped at a random moment or left to end.
std::string StressRuns(unsigned seed, int runs)
{
    std::mt19937 random(seed);
    const unsigned long long size = 20000;
    RecordingRedirect redirect(true);
    for (int i = 0; i < runs; ++i) {
        const int mode = static_cast<int>(random() % 6);
        const DWORD jitter = random() % 4;
        const DWORD exitCode = 2 + i % 100;
        const std::wstring actions = L"mixed=" + std::to_wstring(size) + L",2500 sleep=" +
                                     std::to_wstring(random() % 20) + L" exit=" + std::to_wstring(exitCode);
        std::string where = "seed " + std::to_string(seed) + " run " + std::to_string(i) + " mode " + std::to_string(mode) + ": ";

        redirect.Clear();
        if (mode == 5)  // stopped from the output reader itself
            redirect.onStdout = [&redirect](const char*) { redirect.StopChild(); };
        else
            redirect.onStdout = nullptr;
        if (!redirect.Start(FakeLine(actions.c_str())))
            return where + "no start";
        switch (mode) {
        case 0:  // before any output
            Sleep(jitter);
            redirect.Stop();
            break;
        case 1:  // during the output
            if (!redirect.WaitFor(OutputArrived(1)))
                return where + "no output";
            Sleep(jitter);
            redirect.Stop();
            break;
        case 2:  // after the output, while the child sleeps and exits
            if (!redirect.WaitFor(OutputArrived(size, size)))
                return where + "output incomplete";
            Sleep(jitter);
            redirect.Stop();
            break;
        case 3:  // after the end
            if (!redirect.WaitFor(Ended(1)))
                return where + "no end";
            redirect.Stop();
            break;
        default:  // left to end; the next start releases it
            break;
        }
        if (!redirect.WaitFor(Ended(1)))
            return where + "no end";

        Record record = redirect.Get();
        if (record.runs.size() != 1)
            return where + std::to_string(record.runs.size()) + " runs";
        const RecordingRedirect::Run& run = record.runs[0];
        if (run.ends != 1 || record.stray != 0)
            return where + "ends " + std::to_string(run.ends) + ", stray " + std::to_string(record.stray);
        if (run.out.patternBroken || run.err.patternBroken || run.outAtEnd != run.out.bytes || run.errAtEnd != run.err.bytes)
            return where + "output damaged or after the end";
        if (!run.stopped && (run.exitCode != exitCode || run.out.bytes != size || run.err.bytes != size))
            return where + "unstopped run incomplete: exit " + std::to_string(run.exitCode) + ", " +
                   std::to_string(run.out.bytes) + "+" + std::to_string(run.err.bytes) + " bytes";
        if ((mode == 3 || mode == 4) && run.stopped)
            return where + "natural end marked stopped";
    }
    redirect.Stop();
    if (redirect.Get().runs[0].ends != 1)
        return "last run ended twice";
    return std::string();
}

TEST(RedirectTest, RandomStopsNeitherHangNorLeak)
{
    {
        RecordingRedirect redirect;
        WarmUp(redirect);
    }
    std::thread([] {}).join();  // the thread library keeps a few handles from its first thread on
    const int handles = CountProcessHandles();
    const int threads = CountProcessThreads();

    // Two redirectors at once, 100 runs each: their runs overlap as well.
    const unsigned seed = static_cast<unsigned>(GetTickCount());
    std::string failures[2];
    std::thread workers[2];
    for (int w = 0; w < 2; ++w)
        workers[w] = std::thread([&failures, w, seed] { failures[w] = StressRuns(seed + w, 100); });
    for (std::thread& worker : workers)
        worker.join();
    EXPECT_EQ(failures[0], "");
    EXPECT_EQ(failures[1], "");

    EXPECT_EQ(CountLiveChildren(), 0);
    EXPECT_EQ(CountProcessHandles(), handles);
    EXPECT_EQ(CountProcessThreads(), threads);
}

}  // namespace
