#pragma once
// Holds the program's own registry key while the options are read or written.
#include "framework/String.h"

#include <windows.h>

// Where the options live under the current user.
extern const wchar_t kSettingsKeyPath[];

class CSettingsKey {
public:
    CSettingsKey() = default;
    ~CSettingsKey() { Close(); }
    CSettingsKey(const CSettingsKey&) = delete;
    CSettingsKey& operator=(const CSettingsKey&) = delete;

    // Opens the key for reading and writing, creating it when it does not exist yet.
    bool OpenOrCreate(HKEY root = HKEY_CURRENT_USER, const wchar_t* keyPath = kSettingsKeyPath);
    bool IsOpen() const { return m_hKey != nullptr; }

    // text receives current first; it takes the stored text only when the value could be read.
    bool QueryString(const wchar_t* name, const CString& current, CString& text) const;
    // value changes only when the value is a REG_DWORD of exactly four bytes.
    bool QueryDword(const wchar_t* name, DWORD& value) const;

    bool SetString(const CString& text, const wchar_t* name) const;
    bool SetDword(const wchar_t* name, DWORD value) const;

    void Close();

private:
    HKEY m_hKey = nullptr;
};
