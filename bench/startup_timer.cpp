// Times programs from process start until their window is shown and waiting for input:
//   startup_timer <runs> <program> [<program> ...]
// The programs are started in turn, runs times each; each is closed again before the next starts.
// Prints the median of each, in milliseconds.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK AcceptProgramWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !IsWindowVisible(window) || GetWindow(window, GW_OWNER))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The program's main window once it is visible.
HWND FindVisibleWindow(DWORD processId)
{
    WindowSearch search = {processId, nullptr};
    EnumWindows(AcceptProgramWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Milliseconds from the start of the process to its shown, idle window; negative on failure.
double TimeStartup(const std::wstring& program)
{
    LARGE_INTEGER frequency, start, ready;
    QueryPerformanceFrequency(&frequency);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    HWND window = nullptr;
    DWORD begin = GetTickCount();
    while (!(window = FindVisibleWindow(process.dwProcessId)) && GetTickCount() - begin < 60000)
        Sleep(1);
    if (window)
        WaitForInputIdle(process.hProcess, 60000);
    QueryPerformanceCounter(&ready);
    if (window)
        PostMessageW(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 30000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!window)
        return -1;
    return 1000.0 * static_cast<double>(ready.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return 2;
    int runs = _wtoi(argv[1]);
    std::vector<std::vector<double>> times(argc - 2);
    for (int program = 0; program < argc - 2; ++program)
        TimeStartup(argv[program + 2]);  // a first start fills the caches; it is not counted
    for (int run = 0; run < runs; ++run) {
        for (int program = 0; program < argc - 2; ++program) {
            double ms = TimeStartup(argv[program + 2]);
            if (ms < 0) {
                fwprintf(stderr, L"%ls did not show a window\n", argv[program + 2]);
                return 1;
            }
            times[program].push_back(ms);
        }
    }
    for (size_t program = 0; program < times.size(); ++program) {
        std::vector<double>& t = times[program];
        std::sort(t.begin(), t.end());
        printf("%.1f\n", t[t.size() / 2]);
    }
    return 0;
}
