#pragma once
// Lets test failures show a CString as its text rather than as bytes.
#include "framework/String.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

inline void PrintTo(const CString& text, std::ostream* os)
{
    *os << ::testing::PrintToString(std::wstring(text.GetString()));
}
