// Measures the redirector with the fake converter: the throughput of 200 MB of output against
// the same child writing to NUL, and how long StopChild takes while a child is writing.
#include "conversion/Redirect.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const unsigned long long kSize = 200ull << 20;
const int kThroughputRounds = 3;
const int kStops = 21;

// Counts the bytes and signals the first piece and the end.
class CountingRedirect : public CRedirect {
public:
    CountingRedirect()
        : m_hFirstText(CreateEventW(nullptr, TRUE, FALSE, nullptr)), m_hEnded(CreateEventW(nullptr, TRUE, FALSE, nullptr))
    {
    }
    ~CountingRedirect()
    {
        StopChild();
        CloseHandle(m_hFirstText);
        CloseHandle(m_hEnded);
    }
    BOOL Start(const CString& line)
    {
        m_bytes = 0;
        m_seen = false;
        ResetEvent(m_hFirstText);
        ResetEvent(m_hEnded);
        return StartChild(line);
    }
    std::atomic<unsigned long long> m_bytes{0};
    HANDLE m_hFirstText;
    HANDLE m_hEnded;

protected:
    void OnStdoutText(const char* text) override { Count(text); }
    void OnStderrText(const char* text) override { Count(text); }
    void OnProcessEnded(DWORD, bool) override { SetEvent(m_hEnded); }

private:
    void Count(const char* text)
    {
        m_bytes += strlen(text);
        if (!m_seen.exchange(true))
            SetEvent(m_hFirstText);
    }
    std::atomic<bool> m_seen{false};
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The same child with its output on NUL, started and waited for directly.
double RunToNul(const CString& commandLine)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE nul = CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable,
                             OPEN_EXISTING, 0, nullptr);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    std::vector<wchar_t> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr, &startup, &info))
        return -1;
    WaitForSingleObject(info.hProcess, INFINITE);
    QueryPerformanceCounter(&end);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    CloseHandle(nul);
    return Seconds(start, end);
}

// The same child writing into one plain pipe that this thread reads in a loop, with the
// redirector's buffer sizes: what the pipes themselves cost.
double RunThroughPlainPipe(const CString& commandLine)
{
    SECURITY_ATTRIBUTES inheritable = {sizeof(inheritable), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    CreatePipe(&readEnd, &writeEnd, &inheritable, CRedirect::kPipeSize);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = startup.hStdError = writeEnd;
    std::vector<wchar_t> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
    PROCESS_INFORMATION info = {};
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(writeEnd);
    unsigned long long bytes = 0;
    std::vector<char> buffer(CRedirect::kReadSize);
    DWORD count = 0;
    while (started && ReadFile(readEnd, buffer.data(), CRedirect::kReadSize, &count, nullptr))
        bytes += count;
    QueryPerformanceCounter(&end);
    CloseHandle(readEnd);
    if (!started)
        return -1;
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return bytes == kSize ? Seconds(start, end) : -1;
}

double RunRedirected(CountingRedirect& redirect, const CString& commandLine)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    if (!redirect.Start(commandLine))
        return -1;
    WaitForSingleObject(redirect.m_hEnded, INFINITE);
    QueryPerformanceCounter(&end);
    return redirect.m_bytes == kSize ? Seconds(start, end) : -1;
}

}  // namespace

int wmain()
{
    wchar_t path[MAX_PATH];
    CString self(path, static_cast<int>(GetModuleFileNameW(nullptr, path, MAX_PATH)));
    const CString fake = L"\"" + self.Left(self.ReverseFind(L'\\') + 1) + L"fake_converter.exe\"";
    CString writeAll;
    writeAll.Format(L"%s outbytes=%I64u,16384", fake.GetString(), kSize);
    CountingRedirect redirect;

    std::vector<double> nulTimes, pipeTimes, redirectedTimes;
    for (int round = 0; round < kThroughputRounds; ++round) {
        nulTimes.push_back(RunToNul(writeAll));
        pipeTimes.push_back(RunThroughPlainPipe(writeAll));
        redirectedTimes.push_back(RunRedirected(redirect, writeAll));
        if (nulTimes.back() < 0 || pipeTimes.back() < 0 || redirectedTimes.back() < 0) {
            fprintf(stderr, "a throughput run failed\n");
            return 1;
        }
    }
    const double nul = Median(nulTimes);
    const double pipe = Median(pipeTimes);
    const double redirected = Median(redirectedTimes);
    printf("throughput, %llu MB written 16 KB a write, median of %d runs:\n", kSize >> 20, kThroughputRounds);
    printf("  to NUL %.2f s; into a plain pipe read in a loop %.2f s; through the redirector %.2f s (%.0f MB/s)\n",
           nul, pipe, redirected, (kSize >> 20) / redirected);
    printf("  ratio against NUL %.2f (goal at most 1.2); against the plain pipe %.2f\n", redirected / nul,
           redirected / pipe);

    // A child that writes until it is stopped.
    CString writeForever;
    writeForever.Format(L"%s mixed=%I64u,4096", fake.GetString(), ~0ull >> 1);
    std::vector<double> stops;
    for (int i = 0; i < kStops; ++i) {
        if (!redirect.Start(writeForever) || WaitForSingleObject(redirect.m_hFirstText, 10000) != WAIT_OBJECT_0) {
            fprintf(stderr, "a stop run failed\n");
            return 1;
        }
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        redirect.StopChild();
        QueryPerformanceCounter(&end);
        stops.push_back(Seconds(start, end) * 1000);
    }
    printf("stop latency: median %.1f ms, longest %.1f ms over %d stops (goal under 100 ms)\n", Median(stops),
           *std::max_element(stops.begin(), stops.end()), kStops);
    return 0;
}
