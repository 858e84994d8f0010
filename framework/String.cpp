#include "framework/String.h"

#include <stdio.h>

#include <algorithm>

CString CString::FromCodePage(UINT codePage, const char* text, int length)
{
    CString result;
    if (!text || length == 0)
        return result;
    int wideLength = MultiByteToWideChar(codePage, 0, text, length, nullptr, 0);
    if (wideLength <= 0)
        return result;
    result.m_str.resize(wideLength);
    MultiByteToWideChar(codePage, 0, text, length, &result.m_str[0], wideLength);
    if (length < 0)  // the count included the terminator
        result.m_str.resize(wideLength - 1);
    return result;
}

CString CString::FromUtf8(const char* text, int length)
{
    return FromCodePage(CP_UTF8, text, length);
}

CString CString::FromAnsi(const char* text, int length)
{
    return FromCodePage(CP_ACP, text, length);
}

int CString::CompareNoCase(const wchar_t* text) const
{
    int result = CompareStringOrdinal(m_str.c_str(), GetLength(), text ? text : L"", -1, TRUE);
    return result - CSTR_EQUAL;
}

void CString::FormatV(const wchar_t* format, va_list args)
{
    // msvcrt's formatter, not mingw's C99 one: there %s in a wide format would mean a narrow string.
    va_list count;
    va_copy(count, args);
    int length = _vscwprintf(format, count);
    va_end(count);
    if (length <= 0) {
        m_str.clear();
        return;
    }
    std::wstring buffer(length + 1, L'\0');
    _vsnwprintf(&buffer[0], buffer.size(), format, args);
    buffer.resize(length);
    m_str.swap(buffer);
}

void CString::Format(const wchar_t* format, ...)
{
    va_list args;
    va_start(args, format);
    FormatV(format, args);
    va_end(args);
}

void CString::AppendFormat(const wchar_t* format, ...)
{
    CString appended;
    va_list args;
    va_start(args, format);
    appended.FormatV(format, args);
    va_end(args);
    m_str += appended.m_str;
}

int CString::Replace(const wchar_t* oldText, const wchar_t* newText)
{
    std::wstring from(oldText ? oldText : L"");
    std::wstring to(newText ? newText : L"");
    if (from.empty())
        return 0;
    std::wstring result;
    int count = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_str.find(from, pos)) != std::wstring::npos; pos = hit + from.size()) {
        result.append(m_str, pos, hit - pos);
        result += to;
        ++count;
    }
    if (count) {
        result.append(m_str, pos, std::wstring::npos);
        m_str.swap(result);
    }
    return count;
}

static int ToIndex(size_t pos)
{
    return pos == std::wstring::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(const wchar_t* sub, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    return ToIndex(m_str.find(sub ? sub : L"", start));
}

int CString::Find(wchar_t ch, int start) const
{
    if (start < 0 || start > GetLength())
        return -1;
    return ToIndex(m_str.find(ch, start));
}

int CString::ReverseFind(wchar_t ch) const
{
    return ToIndex(m_str.rfind(ch));
}

CString CString::Mid(int first) const
{
    return Mid(first, GetLength());
}

CString CString::Mid(int first, int count) const
{
    first = std::clamp(first, 0, GetLength());
    count = std::clamp(count, 0, GetLength() - first);
    return CString(m_str.c_str() + first, count);
}

CString CString::Left(int count) const
{
    return Mid(0, count);
}

CString CString::Right(int count) const
{
    count = std::clamp(count, 0, GetLength());
    return Mid(GetLength() - count, count);
}

wchar_t* CString::GetBuffer(int minLength)
{
    if (minLength > GetLength())
        m_str.resize(minLength);
    return &m_str[0];
}

void CString::ReleaseBuffer(int newLength)
{
    if (newLength < 0)
        newLength = static_cast<int>(wcsnlen(m_str.c_str(), m_str.size()));
    m_str.resize(std::min<size_t>(newLength, m_str.size()));
}
