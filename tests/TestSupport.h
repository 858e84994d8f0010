#pragma once
// Included into every test: lets GoogleTest print wide strings readably.
#include "framework/String.h"

#include <ostream>

inline void PrintTo(const CString& text, std::ostream* out)
{
    int length = WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), nullptr, 0, nullptr, nullptr);
    std::string utf8(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, text.GetLength(), &utf8[0], length, nullptr, nullptr);
    *out << '"' << utf8 << '"';
}
