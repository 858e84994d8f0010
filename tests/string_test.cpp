#include "framework/String.h"

#include <gtest/gtest.h>

TEST(CStringTest, FormatUsesWindowsWideSemantics)
{
    CString s;
    s.Format(L"(%s)", L"가");
    EXPECT_EQ(s, L"(가)");
    s.Format(L"%d-%dk %s/%c", -5, 4000, L"ffmpeg", L'x');
    EXPECT_EQ(s, L"-5-4000k ffmpeg/x");
    s.AppendFormat(L"[%s]", L"동영상");
    EXPECT_EQ(s, L"-5-4000k ffmpeg/x[동영상]");
    s.Format(L"%s", L"");
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringTest, ReplaceDoesNotRescanInsertedText)
{
    struct Case { const wchar_t* text; const wchar_t* from; const wchar_t* to; const wchar_t* want; int count; };
    const Case cases[] = {
        {L"a${X}b${X}", L"${X}", L"1", L"a1b1", 2},
        {L"${X}", L"${X}", L"${X}${X}", L"${X}${X}", 1},
        {L"aaa", L"aa", L"b", L"ba", 1},
        {L"none", L"${X}", L"1", L"none", 0},
        {L"abc", L"", L"z", L"abc", 0},
        {L"가나가", L"가", L"", L"나", 2},
    };
    for (const Case& c : cases) {
        CString s(c.text);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count) << c.text;
        EXPECT_EQ(s, c.want) << c.text;
    }
}

TEST(CStringTest, FindAndSubstringsStayInRange)
{
    CString s(L"D:\\Video\\holiday.mp4");
    EXPECT_EQ(s.Find(L"Video"), 3);
    EXPECT_EQ(s.Find(L'\\', 3), 8);
    EXPECT_EQ(s.Find(L"x"), -1);
    EXPECT_EQ(s.Find(L"D", 99), -1);
    EXPECT_EQ(s.ReverseFind(L'.'), 16);
    EXPECT_EQ(s.Mid(17), L"mp4");
    EXPECT_EQ(s.Mid(9, 7), L"holiday");
    EXPECT_EQ(s.Mid(50, 3), L"");
    EXPECT_EQ(s.Left(2), L"D:");
    EXPECT_EQ(s.Left(-1), L"");
    EXPECT_EQ(s.Right(3), L"mp4");
    EXPECT_EQ(s.Right(100), s);
}

TEST(CStringTest, ComparisonAndConversions)
{
    EXPECT_EQ(CString(L"LibVPX").CompareNoCase(L"libvpx"), 0);
    EXPECT_NE(CString(L"libvp").CompareNoCase(L"libvpx"), 0);
    EXPECT_NE(CString(L"libvpx"), L"LibVPX");
    EXPECT_EQ(CString::FromUtf8("\xea\xb0\x80 a"), L"가 a");
    EXPECT_EQ(CString::FromUtf8("abc", 2), L"ab");
    EXPECT_EQ(CString::FromAnsi("plain"), L"plain");
    EXPECT_EQ(CString::FromUtf8(nullptr), L"");
    CString buffer;
    wcscpy(buffer.GetBuffer(10), L"12345");
    buffer.ReleaseBuffer();
    EXPECT_EQ(buffer, L"12345");
    EXPECT_EQ(buffer.GetLength(), 5);
}
