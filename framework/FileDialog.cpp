#include "framework/FileDialog.h"

CFileDialog::CFileDialog(HWND hParentWnd) : m_ofn(), m_fileName(32768, L'\0')
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = hParentWnd;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    m_ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    return GetOpenFileNameW(&m_ofn) ? IDOK : IDCANCEL;
}
