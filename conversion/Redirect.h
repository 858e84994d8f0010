#pragma once
// Runs one console program as a hidden child process with its standard handles on anonymous
// pipes, and hands its output and its end to the owner through virtual notifications.
//
// Threads: each run has two reader threads (OnStdoutText, OnStderrText) and a wait thread
// (OnProcessEnded); the notifications run on those threads, never on the caller's. All of a
// run's notifications come after OnProcessStarted, and OnProcessEnded comes once per run,
// after the last piece of output. StartChild and StopChild are called by one thread at a
// time: the owner's thread, or a wait thread from inside OnProcessEnded.
//
// An owner deriving from CRedirect must call StopChild in its own destructor: by the time
// ~CRedirect runs, the owner's members and overrides are gone (~CRedirect stops the child too,
// as a safety net, and calls no override).
#include "framework/String.h"

#include <windows.h>

#include <atomic>
#include <vector>

class CRedirect {
public:
    CRedirect();
    ~CRedirect();

    // Ends and releases an earlier run first. FALSE when the program cannot be started (no
    // notification follows) or when an earlier run cannot be released (called from one of its
    // reader threads, or its threads did not end in time).
    BOOL StartChild(const CString& commandLine);
    // Terminates the child and returns once the run's threads have ended and its
    // OnProcessEnded has been delivered; no notification runs after it returns. Called from a
    // reader thread it only asks for the stop (that thread cannot wait for itself).
    void StopChild();
    // A run was started and its OnProcessEnded has not been called yet.
    bool IsRunning() const { return m_bRunning; }

    // Pieces of output never exceed this many bytes.
    static constexpr DWORD kChunkSize = 10240;
    // Buffer size asked for each pipe, and the most bytes taken from a pipe in one read.
    static constexpr DWORD kPipeSize = 65536;
    static constexpr DWORD kReadSize = 65536;

protected:
    // On the starting thread, before any other notification of the run.
    virtual void OnProcessStarted(const CString& /*commandLine*/) {}
    // Up to kChunkSize bytes as the child wrote them (a piece may end inside a line or a
    // character), zero-terminated; valid during the call.
    virtual void OnStdoutText(const char* /*text*/) {}
    virtual void OnStderrText(const char* /*text*/) {}
    // The child has gone and all its output has been delivered. exitCode is the child's own
    // (1 when StopChild terminated it); stopped tells whether StopChild ended the run, in
    // which case output after the stop was dropped. When a program that the child started
    // still holds the pipes, the run ends half a second after the child, and that program's
    // later output is dropped. StartChild and StopChild may be called from here.
    virtual void OnProcessEnded(DWORD /*exitCode*/, bool /*stopped*/) {}

private:
    CRedirect(const CRedirect&) = delete;
    CRedirect& operator=(const CRedirect&) = delete;

    static DWORD WINAPI StdoutReaderProc(LPVOID self);
    static DWORD WINAPI StderrReaderProc(LPVOID self);
    static DWORD WINAPI ProcessWaitProc(LPVOID self);
    void ReadPipe(HANDLE pipe, std::atomic<bool>& reading, bool isStderr);
    void WaitForEnd();
    void EndReaders(DWORD drainMs);
    void ReleaseRun();
    void ReleaseEndedWaitThreads();

    HANDLE m_hStopEvent;          // manual reset, signalled by StopChild
    HANDLE m_hParentStdinWrite;   // never written: the child's input stays open and empty
    HANDLE m_hParentStdoutRead;
    HANDLE m_hParentStderrRead;
    HANDLE m_hStdoutThread;
    HANDLE m_hStderrThread;
    HANDLE m_hWaitThread;
    HANDLE m_hProcess;
    // Wait threads that released their own run from inside OnProcessEnded; each is closed
    // once it has ended.
    std::vector<HANDLE> m_endedWaitThreads;

    std::atomic<bool> m_bRunning;        // between a successful start and OnProcessEnded
    std::atomic<bool> m_bStopRequested;  // StopChild was called for this run
    std::atomic<bool> m_bReadersQuit;    // readers deliver nothing more and end
    std::atomic<bool> m_bStdoutReading;  // the reader is inside ReadFile (or about to enter it)
    std::atomic<bool> m_bStderrReading;
};
