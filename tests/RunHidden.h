#pragma once
// Runs a console program without a window and waits for it, for tests and benchmarks.
#include "framework/String.h"

#include <windows.h>

#include <string>

namespace testfiles {

// True when the program ran and exited with 0 within the bound; it is killed past the bound.
inline bool RunHidden(const CString& commandLine, DWORD timeoutMs = 120000)
{
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring line(commandLine.GetString());
    if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process))
        return false;
    bool ended = WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0;
    DWORD exitCode = 1;
    if (!ended)
        TerminateProcess(process.hProcess, 1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ended && exitCode == 0;
}

}  // namespace testfiles
