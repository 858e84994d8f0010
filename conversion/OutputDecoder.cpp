#include "conversion/OutputDecoder.h"

namespace {

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Length of the UTF-8 sequence that starts with this byte; 0 when it cannot start one.
size_t SequenceLength(unsigned char c)
{
    if (c < 0x80) return 1;
    if (c >= 0xC2 && c <= 0xDF) return 2;
    if (c >= 0xE0 && c <= 0xEF) return 3;
    if (c >= 0xF0 && c <= 0xF4) return 4;
    return 0;
}

// Where a trailing, not yet complete UTF-8 sequence begins; bytes.size() when there is none.
size_t IncompleteTailStart(const std::string& bytes)
{
    size_t n = bytes.size();
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        unsigned char c = static_cast<unsigned char>(bytes[n - back]);
        if (IsContinuation(c))
            continue;
        size_t need = SequenceLength(c);
        return need > back ? n - back : n;
    }
    return n;
}

bool IsValidUtf8(const std::string& bytes)
{
    return bytes.empty() ||
           MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                               nullptr, 0) > 0;
}

}  // namespace

CString COutputDecoder::Decode(const char* bytes, size_t length)
{
    std::string chunk(bytes, length);
    CString text;
    if (!m_strCarry.empty()) {
        if (m_bCarryIsUtf8) {
            size_t need = SequenceLength(static_cast<unsigned char>(m_strCarry[0]));
            size_t used = 0;
            while (m_strCarry.size() + used < need && used < chunk.size() &&
                   IsContinuation(static_cast<unsigned char>(chunk[used])))
                ++used;
            if (m_strCarry.size() + used == need) {
                text = CString::FromUtf8((m_strCarry + chunk.substr(0, used)).c_str(), static_cast<int>(need));
                chunk.erase(0, used);
            } else if (used == chunk.size()) {
                m_strCarry += chunk;  // still incomplete
                return text;
            } else {
                chunk = m_strCarry + chunk;  // it was no UTF-8 after all
            }
        } else {
            chunk = m_strCarry + chunk;  // a DBCS lead byte and its trail byte
        }
        m_strCarry.clear();
    }
    return text + DecodeRest(chunk);
}

CString COutputDecoder::DecodeRest(const std::string& bytes)
{
    size_t tail = IncompleteTailStart(bytes);
    std::string complete = bytes.substr(0, tail);
    if (IsValidUtf8(complete)) {
        m_strCarry = bytes.substr(tail);
        m_bCarryIsUtf8 = true;
        return CString::FromUtf8(complete.data(), static_cast<int>(complete.size()));
    }
    return DecodeAnsiKeepingLeadByte(bytes);
}

CString COutputDecoder::DecodeAnsiKeepingLeadByte(const std::string& bytes)
{
    size_t end = 0;
    while (end < bytes.size()) {
        size_t step = IsDBCSLeadByteEx(m_nAnsiCodePage, static_cast<BYTE>(bytes[end])) ? 2 : 1;
        if (end + step > bytes.size())
            break;
        end += step;
    }
    m_strCarry = bytes.substr(end);
    m_bCarryIsUtf8 = false;
    return CString::FromCodePage(m_nAnsiCodePage, bytes.data(), static_cast<int>(end));
}

CString COutputDecoder::Flush()
{
    // An incomplete UTF-8 sequence is no valid UTF-8: what is left is taken as code page text.
    std::string rest;
    rest.swap(m_strCarry);
    return CString::FromCodePage(m_nAnsiCodePage, rest.data(), static_cast<int>(rest.size()));
}
