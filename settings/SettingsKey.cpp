#include "settings/SettingsKey.h"

#include <vector>

const wchar_t kSettingsKeyPath[] = L"Software\\Tolvane";

namespace {
const REGSAM kSettingsAccess = KEY_READ | KEY_WRITE;
}

bool CSettingsKey::OpenOrCreate(HKEY root, const wchar_t* keyPath)
{
    Close();
    if (RegOpenKeyExW(root, keyPath, 0, kSettingsAccess, &m_hKey) != ERROR_SUCCESS) {
        m_hKey = nullptr;
        if (RegCreateKeyExW(root, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, kSettingsAccess,
                            nullptr, &m_hKey, nullptr) != ERROR_SUCCESS)
            m_hKey = nullptr;
    }
    return m_hKey != nullptr;
}

bool CSettingsKey::QueryString(const wchar_t* name, const CString& current, CString& text) const
{
    text = current;
    if (!m_hKey)
        return false;
    DWORD size = 0;
    if (RegQueryValueExW(m_hKey, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0)
        return false;
    // Room for twice the reported size, zero-filled: data stored without its terminator still ends.
    std::vector<wchar_t> buffer(size);
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegQueryValueExW(m_hKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes)
        != ERROR_SUCCESS)
        return false;
    // The text ends at its first zero character or at the end of the data.
    int length = 0;
    const int limit = static_cast<int>(bytes / sizeof(wchar_t));
    while (length < limit && buffer[length] != L'\0')
        ++length;
    text = CString(buffer.data(), length);
    return true;
}

bool CSettingsKey::QueryDword(const wchar_t* name, DWORD& value) const
{
    if (!m_hKey)
        return false;
    DWORD type = REG_NONE;
    DWORD data = 0;
    DWORD bytes = sizeof(data);
    if (RegQueryValueExW(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &bytes) != ERROR_SUCCESS
        || type != REG_DWORD || bytes != sizeof(data))
        return false;
    value = data;
    return true;
}

bool CSettingsKey::SetString(const CString& text, const wchar_t* name) const
{
    if (!m_hKey)
        return false;
    const DWORD bytes = static_cast<DWORD>((text.GetLength() + 1) * sizeof(wchar_t));
    return RegSetValueExW(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.GetString()), bytes)
        == ERROR_SUCCESS;
}

bool CSettingsKey::SetDword(const wchar_t* name, DWORD value) const
{
    if (!m_hKey)
        return false;
    return RegSetValueExW(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value))
        == ERROR_SUCCESS;
}

void CSettingsKey::Close()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
