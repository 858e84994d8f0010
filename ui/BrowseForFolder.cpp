#include "ui/BrowseForFolder.h"

#include <shlobj.h>

#include <vector>

CString BrowseForFolder(const wchar_t* title, HWND hOwner)
{
    wchar_t displayName[MAX_PATH];
    BROWSEINFOW info = {};
    info.hwndOwner = hOwner;
    info.pszDisplayName = displayName;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (!item)
        return CString();
    std::vector<wchar_t> path(32768, L'\0');  // the longest path the system allows
    BOOL converted = SHGetPathFromIDListEx(item, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
    CoTaskMemFree(item);
    return converted ? CString(path.data()) : CString();
}
