#include "settings/DefaultDestination.h"

const wchar_t kShellFoldersKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

namespace {
const DWORD kProgramFolderCapacity = 1040;
}

CString GetProgramFolder()
{
    static wchar_t s_szProgramFolder[kProgramFolderCapacity];
    static bool s_bProgramFolderRead = false;
    if (!s_bProgramFolderRead) {
        s_bProgramFolderRead = true;
        const DWORD length = GetModuleFileNameW(nullptr, s_szProgramFolder, kProgramFolderCapacity);
        // A cut-off name would give a wrong folder: keep none rather than that.
        if (length == 0 || length >= kProgramFolderCapacity)
            s_szProgramFolder[0] = L'\0';
        wchar_t* lastSlash = wcsrchr(s_szProgramFolder, L'\\');
        if (lastSlash)
            lastSlash[1] = L'\0';
        else
            s_szProgramFolder[0] = L'\0';
    }
    return CString(s_szProgramFolder);
}

bool ReadShellFolder(const wchar_t* valueName, wchar_t (&folder)[MAX_PATH], HKEY root, const wchar_t* keyPath)
{
    HKEY hKey = nullptr;
    if (RegOpenKeyExW(root, keyPath, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD bytes = sizeof(folder);
    const bool read = RegQueryValueExW(hKey, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &bytes)
        == ERROR_SUCCESS;
    RegCloseKey(hKey);
    if (!read)
        return false;
    // The data need not carry its terminator; a full buffer without one is a text too long.
    DWORD length = bytes / sizeof(wchar_t);
    if (length == MAX_PATH) {
        if (folder[MAX_PATH - 1] != L'\0')
            return false;
        --length;
    }
    folder[length] = L'\0';
    return true;
}

CString GetDefaultDestFolder(const wchar_t* keyPath)
{
    wchar_t folder[MAX_PATH] = {};
    if (ReadShellFolder(L"Common Documents", folder, HKEY_CURRENT_USER, keyPath)
        || ReadShellFolder(L"Personal", folder, HKEY_CURRENT_USER, keyPath)
        || ReadShellFolder(L"Personal", folder, HKEY_LOCAL_MACHINE, keyPath))
        return CString(folder);
    lstrcpynW(folder, GetProgramFolder(), MAX_PATH);
    return CString(folder);
}
