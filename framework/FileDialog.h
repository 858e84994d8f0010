#pragma once
// The system's Open dialog for one existing file.
#include "framework/String.h"

#include <commdlg.h>

#include <vector>

class CFileDialog {
public:
    explicit CFileDialog(HWND hParentWnd);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK when the user chose a file, else IDCANCEL.
    INT_PTR DoModal();
    // The chosen file's full path.
    CString GetPathName() const { return CString(m_fileName.data()); }

    OPENFILENAMEW m_ofn;

private:
    std::vector<wchar_t> m_fileName;  // room for the longest path the system allows
};
