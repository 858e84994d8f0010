// The program: its process-wide objects and the application that runs the main dialog.
#include "app/Messages.h"
#include "app/RichEditLibrary.h"
#include "framework/WinApp.h"
#include "media/MediaInfo.h"
#include "resources/resource.h"
#include "settings/DefaultDestination.h"
#include "ui/TolvaneDlg.h"

#include <commctrl.h>

class CTolvaneApp : public CWinAppEx {
public:
    CTolvaneApp();
    BOOL InitInstance() override;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CTolvaneApp, CWinAppEx)
    ON_COMMAND(ID_HELP, &CWinApp::OnHelp)
END_MESSAGE_MAP()

CTolvaneApp::CTolvaneApp()
{
    // No library of this process is ever looked for in the working directory.
    SetDllDirectoryW(L"");
}

// Built in this order before the program starts, destroyed in reverse order after it ends.
CTolvaneApp theApp;
CMediaInfo theMediaInfo(GetProgramFolder() + L"MediaInfo.dll");
CRichEditLibrary theRichEdit;

BOOL CTolvaneApp::InitInstance()
{
    INITCOMMONCONTROLSEX controls = {};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_WIN95_CLASSES;
    InitCommonControlsEx(&controls);
    CWinAppEx::InitInstance();

    CTolvaneDlg dialog(IsKoreanUser() ? IDD_TOLVANE_DIALOG_KO : IDD_TOLVANE_DIALOG_EN, theMediaInfo);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    // The dialog was the program; no message loop follows.
    return FALSE;
}
