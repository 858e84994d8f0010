#include "framework/WinApp.h"

// Placeholder until the main dialog exists.
class CTolvaneApp : public CWinAppEx {
public:
    BOOL InitInstance() override
    {
        MessageBoxW(nullptr, L"Tolvane", L"Tolvane", MB_OK);
        return FALSE;
    }
};

CTolvaneApp theApp;
