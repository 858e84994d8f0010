#include "conversion/OutputDecoder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Feeds the chunks one after the other and returns all text, flushed.
CString DecodeChunks(const std::vector<std::string>& chunks, UINT ansiCodePage)
{
    COutputDecoder decoder(ansiCodePage);
    CString text;
    for (const std::string& chunk : chunks)
        text += decoder.Decode(chunk.data(), chunk.size());
    text += decoder.Flush();
    return text;
}

}  // namespace

TEST(OutputDecoderTest, DecodesUtf8AnsiAndSplitCharacters)
{
    struct Case {
        const char* name;
        std::vector<std::string> chunks;
        UINT codePage;
        const wchar_t* want;
    };
    const std::string ga = "\xea\xb0\x80";   // 가 in UTF-8
    const std::string ga949 = "\xb0\xa1";     // 가 in code page 949
    const Case cases[] = {
        {"ascii", {"frame=  10 fps=0.0\r"}, 1252, L"frame=  10 fps=0.0\r"},
        {"utf8 whole", {"D:\\" + ga + ".mp4"}, 1252, L"D:\\가.mp4"},
        {"utf8 split 1+2", {"a" + ga.substr(0, 1), ga.substr(1) + "b"}, 1252, L"a가b"},
        {"utf8 split 2+1", {"a" + ga.substr(0, 2), ga.substr(2) + "b"}, 1252, L"a가b"},
        {"utf8 split over three chunks", {ga.substr(0, 1), ga.substr(1, 1), ga.substr(2)}, 1252, L"가"},
        {"ansi latin", {"caf\xe9"}, 1252, L"café"},
        {"ansi korean", {"x" + ga949 + "y"}, 949, L"x가y"},
        {"ansi korean split", {"x" + ga949.substr(0, 1), ga949.substr(1) + "y"}, 949, L"x가y"},
        {"ansi then utf8 chunks", {"caf\xe9 ", ga}, 1252, L"café 가"},
        {"dangling lead at the end", {"ab\xea"}, 1252, L"ab\xea"},
        {"empty", {""}, 1252, L""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DecodeChunks(c.chunks, c.codePage), c.want) << c.name;
}

TEST(OutputDecoderTest, UtfLookingLeadByteThatIsAnsiFallsBackToAnsi)
{
    // 0xEA starts a UTF-8 sequence, but the next chunk does not continue it: it was code page text.
    EXPECT_EQ(DecodeChunks({"ab\xea", "zz"}, 1252), L"abêzz");
}

TEST(OutputDecoderTest, StreamsKeepTheirOwnState)
{
    const std::string ga = "\xea\xb0\x80";
    COutputDecoder out(1252), err(1252);
    CString outText = out.Decode(ga.data(), 1);
    CString errText = err.Decode("x", 1);
    outText += out.Decode(ga.data() + 1, 2);
    EXPECT_EQ(outText, L"가");
    EXPECT_EQ(errText, L"x");
}
