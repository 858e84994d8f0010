#include "framework/Dialog.h"

#include "framework/WinApp.h"

CDialog::CDialog(UINT nIDTemplate, HWND hParentWnd)
    : m_nIDTemplate(nIDTemplate), m_hParentWnd(hParentWnd), m_hInstance(GetModuleHandleW(nullptr))
{
}

CDialog::~CDialog()
{
    DestroyWindow();
}

const MessageMap* CDialog::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMap* CDialog::GetThisMessageMap()
{
    typedef CDialog ThisClass;
    static const MessageMapEntry entries[] = {
        ON_COMMAND(IDOK, &CDialog::OnOK)
        ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
        ON_WM_HELPINFO()
        { 0, 0, 0, nullptr }
    };
    static const MessageMap map = { &CCmdTarget::GetThisMessageMap, entries };
    return &map;
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_hParentWnd ? m_hParentWnd : AfxGetMainWnd();
    return DialogBoxParamW(m_hInstance, MAKEINTRESOURCEW(m_nIDTemplate), owner, DialogProc,
                           reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::Create()
{
    return CreateDialogParamW(m_hInstance, MAKEINTRESOURCEW(m_nIDTemplate), m_hParentWnd, DialogProc,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

BOOL CDialog::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

void CDialog::EndDialog(int nResult)
{
    ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::OnInitDialog()
{
    return TRUE;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

CString CDialog::GetDlgItemText(int nID) const
{
    HWND item = GetDlgItem(nID);
    CString text;
    int length = ::GetWindowTextLengthW(item);
    text.ReleaseBuffer(::GetWindowTextW(item, text.GetBuffer(length + 1), length + 1));
    return text;
}

CString CDialog::GetWindowText() const
{
    CString text;
    int length = ::GetWindowTextLengthW(m_hWnd);
    text.ReleaseBuffer(::GetWindowTextW(m_hWnd, text.GetBuffer(length + 1), length + 1));
    return text;
}

int CDialog::MessageBox(const wchar_t* text, const wchar_t* caption, UINT nType)
{
    CString appName = AfxGetAppName();
    return ::MessageBoxW(m_hWnd, text, caption ? caption : appName.GetString(), nType);
}

void CDialog::OnPaint()
{
    PAINTSTRUCT ps;
    ::BeginPaint(m_hWnd, &ps);
    ::EndPaint(m_hWnd, &ps);
}

BOOL CDialog::OnHelpInfo(HELPINFO*)
{
    ::SendMessageW(m_hWnd, WM_COMMAND, ID_HELP, 0);
    return TRUE;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        CDialog* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(hWnd, DWLP_USER, lParam);
        dialog->m_hWnd = hWnd;
        return dialog->OnInitDialog();
    }
    CDialog* dialog = reinterpret_cast<CDialog*>(GetWindowLongPtrW(hWnd, DWLP_USER));
    if (!dialog)  // messages before WM_INITDIALOG
        return FALSE;
    INT_PTR handled = dialog->HandleMessage(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hWnd, DWLP_USER, 0);
        dialog->m_hWnd = nullptr;
    }
    return handled;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = OnWndMsg(message, wParam, lParam, result);
    // Commands that the dialog leaves alone go to the application (its Help command).
    if (!handled && message == WM_COMMAND && AfxGetApp())
        handled = AfxGetApp()->OnWndMsg(message, wParam, lParam, result);
    if (!handled)
        return FALSE;
    // A few messages answer through the dialog procedure's result, the rest through DWLP_MSGRESULT.
    if (message == WM_QUERYDRAGICON)
        return result;
    SetWindowLongPtrW(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}
