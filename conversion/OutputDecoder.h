#pragma once
// Turns the converter's output chunks into text. A chunk is decoded as UTF-8 when its bytes are
// valid UTF-8 (what the converter writes on Windows), else from the ANSI code page. A character
// split between two chunks is held back and completed with the next chunk. Keep one decoder per
// stream.
#include "framework/String.h"

#include <string>

class COutputDecoder {
public:
    explicit COutputDecoder(UINT ansiCodePage = CP_ACP) : m_nAnsiCodePage(ansiCodePage) {}

    CString Decode(const char* bytes, size_t length);
    // What is still held back at the end of the stream, decoded from the code page.
    CString Flush();

private:
    CString DecodeRest(const std::string& bytes);
    CString DecodeAnsiKeepingLeadByte(const std::string& bytes);

    UINT m_nAnsiCodePage;
    std::string m_strCarry;  // an incomplete character from the previous chunk
    bool m_bCarryIsUtf8 = false;
};
