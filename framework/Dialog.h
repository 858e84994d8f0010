#pragma once
// A dialog box made from a template resource, run modally or created modeless.
// Controls are addressed by their identifiers; each operation is one Win32 call.
#include "framework/CmdTarget.h"
#include "framework/String.h"

class CDialog : public CCmdTarget {
public:
    explicit CDialog(UINT nIDTemplate, HWND hParentWnd = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; the result of EndDialog, or -1 when no window could be made.
    // Without a parent, the application's main dialog owns it.
    INT_PTR DoModal();
    // Creates the dialog modeless; its window lives until DestroyWindow.
    BOOL Create();
    BOOL DestroyWindow();
    void EndDialog(int nResult);

    // Called by the window's WM_INITDIALOG; TRUE puts the focus on the first tab stop.
    virtual BOOL OnInitDialog();
    // The OK command (Enter) and the Cancel command (Escape, the close box): both end the dialog.
    virtual void OnOK();
    virtual void OnCancel();

    HWND GetDlgItem(int nID) const { return ::GetDlgItem(m_hWnd, nID); }
    CString GetDlgItemText(int nID) const;
    void SetDlgItemText(int nID, const wchar_t* text) { ::SetDlgItemTextW(m_hWnd, nID, text); }
    // Signed: leading blanks, an optional minus and digits; any other text reads as 0.
    int GetDlgItemInt(int nID) const { return static_cast<int>(::GetDlgItemInt(m_hWnd, nID, nullptr, TRUE)); }
    void SetDlgItemInt(int nID, int value) { ::SetDlgItemInt(m_hWnd, nID, static_cast<UINT>(value), TRUE); }
    void CheckDlgButton(int nID, UINT nCheck) { ::CheckDlgButton(m_hWnd, nID, nCheck); }
    UINT IsDlgButtonChecked(int nID) const { return ::IsDlgButtonChecked(m_hWnd, nID); }
    LRESULT SendDlgItemMessage(int nID, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const
    {
        return ::SendDlgItemMessageW(m_hWnd, nID, message, wParam, lParam);
    }

    CString GetWindowText() const;
    void SetWindowText(const wchar_t* text) { ::SetWindowTextW(m_hWnd, text); }
    void SetIcon(HICON hIcon, BOOL bBigIcon)
    {
        ::SendMessageW(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(hIcon));
    }
    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    void DragAcceptFiles(BOOL bAccept = TRUE) { ::DragAcceptFiles(m_hWnd, bAccept); }
    // A message box owned by this dialog; without a caption it shows the application's name.
    int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT nType = MB_OK);

    HWND m_hWnd = nullptr;

protected:
    // The default painting of a dialog: validates the window.
    void OnPaint();
    // F1: the Help command, handled by the application's map when the dialog's has no entry.
    BOOL OnHelpInfo(HELPINFO* pHelpInfo);

    static const MessageMap* GetThisMessageMap();
    const MessageMap* GetMessageMap() const override;

    UINT m_nIDTemplate;
    HWND m_hParentWnd;
    HINSTANCE m_hInstance;

private:
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
};
