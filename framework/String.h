#pragma once
// Wide (UTF-16) string in the manner of the classic framework's CString.
#include <windows.h>
#include <cstdarg>
#include <string>

class CString {
public:
    CString() = default;
    CString(const wchar_t* text) : m_str(text ? text : L"") {}
    CString(const wchar_t* text, int length) : m_str(text, length) {}
    CString(wchar_t ch, int repeat = 1) : m_str(repeat, ch) {}

    // Narrow text: UTF-8, or the thread's ANSI code page.
    static CString FromUtf8(const char* text, int length = -1);
    static CString FromAnsi(const char* text, int length = -1);
    static CString FromCodePage(UINT codePage, const char* text, int length);

    int GetLength() const { return static_cast<int>(m_str.size()); }
    bool IsEmpty() const { return m_str.empty(); }
    void Empty() { m_str.clear(); }
    const wchar_t* GetString() const { return m_str.c_str(); }
    operator const wchar_t*() const { return m_str.c_str(); }
    wchar_t GetAt(int index) const { return m_str[index]; }
    wchar_t operator[](int index) const { return m_str[index]; }

    CString& operator+=(const CString& other) { m_str += other.m_str; return *this; }
    CString& operator+=(const wchar_t* text) { if (text) m_str += text; return *this; }
    CString& operator+=(wchar_t ch) { m_str += ch; return *this; }

    int Compare(const wchar_t* text) const { return m_str.compare(text ? text : L""); }
    // Ordinal, case-insensitive comparison (CompareStringOrdinal).
    int CompareNoCase(const wchar_t* text) const;

    // printf-style formatting with Windows semantics: %s takes a wide string.
    void Format(const wchar_t* format, ...);
    void FormatV(const wchar_t* format, va_list args);
    void AppendFormat(const wchar_t* format, ...);

    // Replaces every occurrence, left to right, without rescanning inserted text.
    int Replace(const wchar_t* oldText, const wchar_t* newText);
    int Find(const wchar_t* sub, int start = 0) const;
    int Find(wchar_t ch, int start = 0) const;
    int ReverseFind(wchar_t ch) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Left(int count) const;
    CString Right(int count) const;

    // Direct access for Win32 calls that fill a buffer.
    wchar_t* GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

private:
    std::wstring m_str;
};

inline CString operator+(const CString& a, const CString& b) { CString r(a); r += b; return r; }
inline CString operator+(const CString& a, const wchar_t* b) { CString r(a); r += b; return r; }
inline CString operator+(const wchar_t* a, const CString& b) { CString r(a); r += b; return r; }
inline CString operator+(const CString& a, wchar_t b) { CString r(a); r += b; return r; }
inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, const wchar_t* b) { return a.Compare(b) == 0; }
inline bool operator==(const wchar_t* a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return !(a == b); }
inline bool operator!=(const CString& a, const wchar_t* b) { return !(a == b); }
