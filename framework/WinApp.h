#pragma once
// The application object: one per program, its InitInstance runs the program.
#include "framework/CmdTarget.h"
#include "framework/String.h"

class CDialog;

// The framework's Help command.
const UINT ID_HELP = 0xE146;

class CWinApp : public CCmdTarget {
public:
    CWinApp();
    ~CWinApp() override;

    // Called once by the entry point and runs the program; a dialog program runs its dialog
    // modally here and returns FALSE. No message loop of the application's own follows.
    virtual BOOL InitInstance();
    // Called after InitInstance; the result is the process exit code.
    virtual int ExitInstance();

    // Default Help command: the system help viewer on the program's help file (Tolvane.hlp),
    // when there is one.
    void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    CDialog* m_pMainWnd = nullptr;  // owner of dialogs run without a parent
};

// The extended application class; the program's application derives from it.
class CWinAppEx : public CWinApp {
};

// The one application object, or null when the process has none (test programs).
CWinApp* AfxGetApp();
// The window of the application's main dialog while it runs, else null.
HWND AfxGetMainWnd();
// The executable's file name without its extension.
CString AfxGetAppName();
