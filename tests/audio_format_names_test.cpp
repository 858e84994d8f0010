#include "FileBytes.h"
#include "media/AudioFormatNames.h"

#include <wchar.h>

#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// tests/data/audio_format_names.txt: one row per line, "0x<tag>", a tab, the name (UTF-8).
std::map<DWORD, CString> ReadExpectedNames()
{
    std::map<DWORD, CString> names;
    CString path = CString(TOLVANE_WIN_SOURCE_DIR) + L"tests\\data\\audio_format_names.txt";
    std::vector<BYTE> bytes;
    if (!testfiles::ReadWholeFile(path, &bytes))
        return names;
    CString text = CString::FromUtf8(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()));
    for (int start = 0; start < text.GetLength();) {
        int end = text.Find(L'\n', start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        start = end + 1;
        if (!line.IsEmpty() && line[line.GetLength() - 1] == L'\r')
            line = line.Left(line.GetLength() - 1);
        int tab = line.Find(L'\t');
        if (tab < 0)
            continue;
        names[wcstoul(line.Left(tab), nullptr, 16)] = line.Mid(tab + 1);
    }
    return names;
}

CString Unknown(unsigned int tag)
{
    CString text;
    text.Format(L"알수없음Unknown(code:0x%x)", tag);
    return text;
}

// Every one of the 65536 tags: the listed ones by name, the others by the fallback.
TEST(AudioFormatNamesTest, EveryTagHasItsNameOrTheFallback)
{
    const std::map<DWORD, CString> names = ReadExpectedNames();
    ASSERT_EQ(names.size(), 144u);
    int named = 0;
    for (DWORD tag = 0; tag <= 0xFFFF; ++tag) {
        auto row = names.find(tag);
        if (row != names.end()) {
            ++named;
            EXPECT_STREQ(GetAudioFormatName(tag), row->second) << std::hex << tag;
        } else if (GetAudioFormatName(tag) != Unknown(tag)) {
            ADD_FAILURE() << "tag 0x" << std::hex << tag << " should be unknown";
        }
    }
    EXPECT_EQ(named, 144);
}

TEST(AudioFormatNamesTest, OnlyTheLowSixteenBitsCount)
{
    struct Case { DWORD tag; const wchar_t* name; };
    const Case cases[] = {
        {0x0001, L"PCM AUDIO(code 0x01)"},
        {0x0055, L"MP3"},
        {0x2000, L"AC3"},
        {0x0000, L"UNKNOWN"},
        {0x10055, L"MP3"},
        {0x10000, L"UNKNOWN"},
        {0xFFFF0050, L"MPEG (Microsoft Corporation)"},
        {0x000A, L"알수없음Unknown(code:0xa)"},
        {0xFFFE, L"알수없음Unknown(code:0xfffe)"},
        {0x1000A, L"알수없음Unknown(code:0xa)"},
        {0xFFFFFFFF, L"알수없음Unknown(code:0xffff)"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(GetAudioFormatName(c.tag), c.name) << std::hex << c.tag;
}

}  // namespace
