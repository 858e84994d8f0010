// The program's entry point: hands control to the one application object.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR, int)
{
    CWinApp* app = AfxGetApp();
    if (!app)
        return 1;
    app->m_hInstance = hInstance;
    app->InitInstance();
    return app->ExitInstance();
}
