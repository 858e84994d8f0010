#include "conversion/Redirect.h"

#include <cstring>

namespace {

// How long the readers may take to reach the end of their pipes once the child has exited.
// Only a program that the child started and that still holds the pipes makes them wait longer.
const DWORD kDrainTimeoutMs = 500;
// Bound on waiting for a run's thread to end; only a notification that blocks reaches it.
const DWORD kThreadEndTimeoutMs = 5000;
const DWORD kCancelRetryMs = 10;
const UINT kStoppedExitCode = 1;

void CloseAndClear(HANDLE& handle)
{
    if (handle) {
        CloseHandle(handle);
        handle = NULL;
    }
}

bool IsCurrentThread(HANDLE thread)
{
    return thread && GetThreadId(thread) == GetCurrentThreadId();
}

// An anonymous pipe of which only the child's end is inheritable.
bool CreateChildPipe(HANDLE& childEnd, HANDLE& parentEnd, bool childReads)
{
    HANDLE readEnd = NULL;
    HANDLE writeEnd = NULL;
    if (!CreatePipe(&readEnd, &writeEnd, NULL, CRedirect::kPipeSize))
        return false;
    childEnd = childReads ? readEnd : writeEnd;
    parentEnd = childReads ? writeEnd : readEnd;
    return SetHandleInformation(childEnd, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT) != FALSE;
}

// Starts the program with the three handles as its standard handles and without a console:
// no console window, and no console host process to start and end with each run. It inherits
// these handles and no other, so that a child started at the same time by another thread
// cannot hold our pipes open. Default security: the process is open to this user only.
// Returns the process or NULL.
HANDLE CreateChildProcess(const CString& commandLine, HANDLE stdinRead, HANDLE stdoutWrite, HANDLE stderrWrite)
{
    HANDLE inherited[3] = {stdinRead, stdoutWrite, stderrWrite};
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(NULL, 1, 0, &size);
    std::vector<BYTE> attributeBuffer(size);
    LPPROC_THREAD_ATTRIBUTE_LIST attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBuffer.data());
    if (!InitializeProcThreadAttributeList(attributes, 1, 0, &size))
        return NULL;

    HANDLE process = NULL;
    if (UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, inherited, sizeof(inherited), NULL, NULL)) {
        STARTUPINFOEXW startup = {};
        startup.StartupInfo.cb = sizeof(startup);
        startup.StartupInfo.dwFlags = STARTF_USESTDHANDLES | STARTF_USESHOWWINDOW;
        startup.StartupInfo.wShowWindow = SW_HIDE;
        startup.StartupInfo.hStdInput = stdinRead;
        startup.StartupInfo.hStdOutput = stdoutWrite;
        startup.StartupInfo.hStdError = stderrWrite;
        startup.lpAttributeList = attributes;
        // CreateProcessW may write to the command line.
        std::vector<wchar_t> line(commandLine.GetString(), commandLine.GetString() + commandLine.GetLength() + 1);
        PROCESS_INFORMATION info = {};
        if (CreateProcessW(NULL, line.data(), NULL, NULL, TRUE, DETACHED_PROCESS | EXTENDED_STARTUPINFO_PRESENT,
                           NULL, NULL, &startup.StartupInfo, &info)) {
            CloseHandle(info.hThread);
            process = info.hProcess;
        }
    }
    DeleteProcThreadAttributeList(attributes);
    return process;
}

}  // namespace

CRedirect::CRedirect()
    : m_hStopEvent(NULL), m_hParentStdinWrite(NULL), m_hParentStdoutRead(NULL), m_hParentStderrRead(NULL),
      m_hStdoutThread(NULL), m_hStderrThread(NULL), m_hWaitThread(NULL), m_hProcess(NULL),
      m_bRunning(false), m_bStopRequested(false), m_bReadersQuit(false),
      m_bStdoutReading(false), m_bStderrReading(false)
{
}

// By now the object is a plain CRedirect again: a notification still coming calls the empty
// versions here, never an owner's override.
CRedirect::~CRedirect()
{
    StopChild();
}

BOOL CRedirect::StartChild(const CString& commandLine)
{
    StopChild();
    if (m_hWaitThread || m_hStdoutThread || m_hStderrThread)
        return FALSE;  // the earlier run's threads are still there

    m_bStopRequested = false;
    m_bReadersQuit = false;
    HANDLE childStdin = NULL;
    HANDLE childStdout = NULL;
    HANDLE childStderr = NULL;
    bool piped = CreateChildPipe(childStdin, m_hParentStdinWrite, true) &&
                 CreateChildPipe(childStdout, m_hParentStdoutRead, false) &&
                 CreateChildPipe(childStderr, m_hParentStderrRead, false);
    m_hStopEvent = CreateEventW(NULL, TRUE, FALSE, NULL);
    if (piped && m_hStopEvent)
        m_hProcess = CreateChildProcess(commandLine, childStdin, childStdout, childStderr);
    // From now on only the child (and what inherits from it) holds the write ends, so the
    // readers see the end of their pipes when it has gone.
    CloseAndClear(childStdin);
    CloseAndClear(childStdout);
    CloseAndClear(childStderr);
    if (!m_hProcess) {
        ReleaseRun();
        return FALSE;
    }

    // Suspended until OnProcessStarted has run, so that no notification comes before it.
    m_hStdoutThread = CreateThread(NULL, 0, StdoutReaderProc, this, CREATE_SUSPENDED, NULL);
    m_hStderrThread = CreateThread(NULL, 0, StderrReaderProc, this, CREATE_SUSPENDED, NULL);
    if (m_hStdoutThread && m_hStderrThread)
        m_hWaitThread = CreateThread(NULL, 0, ProcessWaitProc, this, CREATE_SUSPENDED, NULL);
    if (!m_hWaitThread) {
        // The run cannot go on without its threads: end the child; readers quit before reading.
        m_bReadersQuit = true;
        TerminateProcess(m_hProcess, kStoppedExitCode);
        for (HANDLE reader : {m_hStdoutThread, m_hStderrThread}) {
            if (reader) {
                ResumeThread(reader);
                WaitForSingleObject(reader, kThreadEndTimeoutMs);
            }
        }
        ReleaseRun();
        return FALSE;
    }

    m_bRunning = true;
    OnProcessStarted(commandLine);
    ResumeThread(m_hStdoutThread);
    ResumeThread(m_hStderrThread);
    ResumeThread(m_hWaitThread);
    return TRUE;
}

void CRedirect::StopChild()
{
    if (m_hProcess) {
        // Marked before the child is terminated, so the end is reported as stopped however
        // the wait thread wakes.
        m_bStopRequested = true;
        m_bReadersQuit = true;
        TerminateProcess(m_hProcess, kStoppedExitCode);
        SetEvent(m_hStopEvent);
    }
    // A reader cannot wait for its own end: the run ends once its notification returns, and
    // the next StartChild or StopChild releases it.
    if (IsCurrentThread(m_hStdoutThread) || IsCurrentThread(m_hStderrThread))
        return;
    ReleaseRun();
}

// Closes all that the last run holds once its threads have ended. When they do not end in
// time, everything stays held for the next call.
void CRedirect::ReleaseRun()
{
    ReleaseEndedWaitThreads();
    if (IsCurrentThread(m_hWaitThread)) {
        // Called from inside OnProcessEnded: this thread ends when that returns.
        m_endedWaitThreads.push_back(m_hWaitThread);
        m_hWaitThread = NULL;
    } else if (m_hWaitThread) {
        if (WaitForSingleObject(m_hWaitThread, kThreadEndTimeoutMs) != WAIT_OBJECT_0)
            return;
        CloseAndClear(m_hWaitThread);
    }
    // The wait thread ends only after both readers have ended.
    CloseAndClear(m_hStdoutThread);
    CloseAndClear(m_hStderrThread);
    CloseAndClear(m_hParentStdinWrite);
    CloseAndClear(m_hParentStdoutRead);
    CloseAndClear(m_hParentStderrRead);
    CloseAndClear(m_hProcess);
    CloseAndClear(m_hStopEvent);
}

void CRedirect::ReleaseEndedWaitThreads()
{
    for (size_t i = 0; i < m_endedWaitThreads.size();) {
        HANDLE thread = m_endedWaitThreads[i];
        if (!IsCurrentThread(thread) && WaitForSingleObject(thread, kThreadEndTimeoutMs) == WAIT_OBJECT_0) {
            CloseHandle(thread);
            m_endedWaitThreads.erase(m_endedWaitThreads.begin() + i);
        } else {
            ++i;
        }
    }
}

DWORD WINAPI CRedirect::StdoutReaderProc(LPVOID self)
{
    CRedirect* redirect = static_cast<CRedirect*>(self);
    redirect->ReadPipe(redirect->m_hParentStdoutRead, redirect->m_bStdoutReading, false);
    return 0;
}

DWORD WINAPI CRedirect::StderrReaderProc(LPVOID self)
{
    CRedirect* redirect = static_cast<CRedirect*>(self);
    redirect->ReadPipe(redirect->m_hParentStderrRead, redirect->m_bStderrReading, true);
    return 0;
}

DWORD WINAPI CRedirect::ProcessWaitProc(LPVOID self)
{
    static_cast<CRedirect*>(self)->WaitForEnd();
    return 0;
}

// Each read takes what the pipe holds, up to kReadSize bytes (fewer reads, for throughput);
// the bytes are handed on in pieces of at most kChunkSize, each zero-terminated.
void CRedirect::ReadPipe(HANDLE pipe, std::atomic<bool>& reading, bool isStderr)
{
    std::vector<char> data(kReadSize);
    char piece[kChunkSize + 1];
    for (;;) {
        // Announced before the quit flag is tested: whoever sets the flag and then finds
        // `reading` clear knows that this thread will not read again, and cancels nothing.
        reading = true;
        if (m_bReadersQuit)
            break;
        DWORD count = 0;
        BOOL ok = ReadFile(pipe, data.data(), kReadSize, &count, NULL);
        reading = false;
        // Broken pipe: the child and all that inherited the pipe have gone. Aborted: cancelled.
        if (!ok)
            break;
        for (DWORD done = 0; done < count && !m_bReadersQuit;) {
            DWORD size = count - done < kChunkSize ? count - done : kChunkSize;
            memcpy(piece, &data[done], size);
            piece[size] = '\0';
            done += size;
            if (isStderr)
                OnStderrText(piece);
            else
                OnStdoutText(piece);
        }
    }
    reading = false;
}

void CRedirect::WaitForEnd()
{
    HANDLE wake[2] = {m_hStopEvent, m_hProcess};
    WaitForMultipleObjects(2, wake, FALSE, INFINITE);
    EndReaders(m_bStopRequested ? 0 : kDrainTimeoutMs);
    // A terminated child may take a moment to be gone.
    WaitForSingleObject(m_hProcess, kThreadEndTimeoutMs);
    DWORD exitCode = 0;
    GetExitCodeProcess(m_hProcess, &exitCode);
    bool stopped = m_bStopRequested;
    m_bRunning = false;
    OnProcessEnded(exitCode, stopped);
    // OnProcessEnded may have released this run and started the next: touch nothing here.
}

// Gives the readers drainMs to reach the end of their pipes (cut short by a stop), then makes
// them quit: a program that the child started may hold the pipes open for long.
void CRedirect::EndReaders(DWORD drainMs)
{
    HANDLE readers[2] = {m_hStdoutThread, m_hStderrThread};
    const ULONGLONG deadline = GetTickCount64() + drainMs;
    for (HANDLE reader : readers) {
        ULONGLONG now = GetTickCount64();
        HANDLE wake[2] = {reader, m_hStopEvent};
        if (WaitForMultipleObjects(2, wake, FALSE, now < deadline ? static_cast<DWORD>(deadline - now) : 0) != WAIT_OBJECT_0)
            break;
    }
    m_bReadersQuit = true;
    // A cancel misses a reader that is just entering ReadFile: repeat until both have ended.
    do {
        if (m_bStdoutReading)
            CancelSynchronousIo(m_hStdoutThread);
        if (m_bStderrReading)
            CancelSynchronousIo(m_hStderrThread);
    } while (WaitForMultipleObjects(2, readers, TRUE, kCancelRetryMs) == WAIT_TIMEOUT);
}
