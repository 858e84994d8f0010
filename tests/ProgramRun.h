#pragma once
// Starts the real Tolvane.exe as a separate process and finds its main window.
#include "UiDriver.h"

#include <windows.h>

#include <string>
#include <vector>

class CProgramRun {
public:
    CProgramRun() = default;
    ~CProgramRun()
    {
        if (m_process.hProcess) {
            if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT)
                TerminateProcess(m_process.hProcess, 1);
            WaitForSingleObject(m_process.hProcess, 10000);
            CloseHandle(m_process.hProcess);
            CloseHandle(m_process.hThread);
        }
    }
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    // Starts the program with the arguments after its own name; each "NAME=value" of
    // environment replaces or adds that variable for it. Returns its main window once it is
    // shown and waiting for input, or null.
    HWND Start(const CString& program, const CString& arguments = L"", const std::vector<CString>& environment = {})
    {
        std::wstring commandLine = L"\"" + std::wstring(program.GetString()) + L"\"";
        if (!arguments.IsEmpty())
            commandLine += L" " + std::wstring(arguments.GetString());
        std::vector<wchar_t> block = MakeEnvironment(environment);
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                            environment.empty() ? nullptr : block.data(), nullptr, &startup, &m_process))
            return nullptr;
        DWORD processId = m_process.dwProcessId;
        m_hMain = ui::WaitForTopLevelDialog([processId](HWND window) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            return owner == processId && ui::GetText(window).Find(L"Tolvane - ") == 0;
        });
        if (m_hMain)
            WaitForInputIdle(m_process.hProcess, 30000);
        return m_hMain;
    }

    // Waits for the process to end; its exit code, or -1 when it did not end in time.
    long WaitForExit(DWORD timeoutMs = 30000)
    {
        if (WaitForSingleObject(m_process.hProcess, timeoutMs) != WAIT_OBJECT_0)
            return -1;
        DWORD exitCode = 0;
        GetExitCodeProcess(m_process.hProcess, &exitCode);
        return static_cast<long>(exitCode);
    }

    bool IsRunning() const { return WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT; }

    HWND Item(int id) const { return GetDlgItem(m_hMain, id); }

    PROCESS_INFORMATION m_process = {};
    HWND m_hMain = nullptr;

private:
    static std::vector<wchar_t> MakeEnvironment(const std::vector<CString>& overrides)
    {
        std::vector<std::wstring> variables;
        wchar_t* current = GetEnvironmentStringsW();
        for (const wchar_t* entry = current; *entry; entry += wcslen(entry) + 1)
            variables.push_back(entry);
        FreeEnvironmentStringsW(current);
        for (const CString& change : overrides) {
            std::wstring text(change.GetString());
            std::wstring name = text.substr(0, text.find(L'=') + 1);
            for (auto it = variables.begin(); it != variables.end();)
                it = _wcsnicmp(it->c_str(), name.c_str(), name.size()) == 0 ? variables.erase(it) : it + 1;
            variables.push_back(text);
        }
        std::vector<wchar_t> block;
        for (const std::wstring& variable : variables)
            block.insert(block.end(), variable.c_str(), variable.c_str() + variable.size() + 1);
        block.push_back(L'\0');
        return block;
    }
};
