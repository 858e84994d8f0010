#include "framework/WinApp.h"

#include "framework/Dialog.h"

namespace {
CWinApp* s_pApp = nullptr;

// The executable's full path without its extension.
CString GetModuleBasePath()
{
    wchar_t path[MAX_PATH * 8];
    DWORD length = GetModuleFileNameW(nullptr, path, ARRAYSIZE(path));
    CString result(path, length < ARRAYSIZE(path) ? static_cast<int>(length) : 0);
    int dot = result.ReverseFind(L'.');
    return dot > result.ReverseFind(L'\\') ? result.Left(dot) : result;
}
}

CWinApp::CWinApp()
{
    s_pApp = this;
    m_hInstance = GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = nullptr;
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return 0;
}

void CWinApp::OnHelp()
{
    CString helpFile = GetModuleBasePath() + L".hlp";
    if (GetFileAttributesW(helpFile) != INVALID_FILE_ATTRIBUTES)
        WinHelpW(AfxGetMainWnd(), helpFile, HELP_FINDER, 0);
}

CWinApp* AfxGetApp()
{
    return s_pApp;
}

HWND AfxGetMainWnd()
{
    return s_pApp && s_pApp->m_pMainWnd ? s_pApp->m_pMainWnd->m_hWnd : nullptr;
}

CString AfxGetAppName()
{
    CString base = GetModuleBasePath();
    return base.Mid(base.ReverseFind(L'\\') + 1);
}
