#include <windows.h>

// Placeholder until the main dialog exists.
int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    MessageBoxW(nullptr, L"Tolvane", L"Tolvane", MB_OK);
    return 0;
}
