// The log pane: lines, raw text, colour codes, and a log far beyond the rich edit's default size.
#include "DialogFixture.h"

#include <richedit.h>

#include <string>
#include <vector>

namespace {

const COLORREF kBlack = RGB(0, 0, 0), kRed = RGB(255, 0, 0), kGreen = RGB(0, 255, 0), kBlue = RGB(0, 0, 255),
               kWhite = RGB(255, 255, 255);
const COLORREF kMixed = 0xFFFFFFFF;

class LogViewTest : public MainDialogTest {
protected:
    void SetUp() override
    {
        MainDialogTest::SetUp();
        Open();
        m_log = m_dialog->m_logView.m_hEdit;
        ASSERT_NE(m_log, nullptr);
    }

    // The colour of the characters first..last-1 as the rich edit holds it; kMixed when they differ.
    COLORREF ColorOf(int first, int last)
    {
        SendMessageW(m_log, EM_SETSEL, first, last);
        CHARFORMAT2W format = {};
        format.cbSize = sizeof(format);
        SendMessageW(m_log, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
        if (!(format.dwMask & CFM_COLOR))
            return kMixed;
        return (format.dwEffects & CFE_AUTOCOLOR) ? GetSysColor(COLOR_WINDOWTEXT) : format.crTextColor;
    }

    // Characters as the rich edit counts them (a line break is one).
    int Length()
    {
        GETTEXTLENGTHEX how = {GTL_NUMCHARS | GTL_PRECISE, 1200};
        return static_cast<int>(SendMessageW(m_log, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&how), 0));
    }

    // The colour that the program gives the next text it appends.
    COLORREF NextTextColor()
    {
        m_dialog->m_logView.AppendText(L"|");
        int end = Length();
        return ColorOf(end - 1, end);
    }

    void Clear() { SetWindowTextW(m_log, L""); }

    HWND m_log = nullptr;
};

}  // namespace

TEST_F(LogViewTest, ColourCodesChangeTheColourOfWhatFollowsAndAreRemoved)
{
    struct Span { int first, last; COLORREF color; };
    const struct { const wchar_t* text; const wchar_t* shown; std::vector<Span> spans; } cases[] = {
        {L"abc@@rdef", L"abcdef", {{0, 3, kBlack}, {3, 6, kRed}}},
        {L"a@b", L"a@b", {{0, 3, kBlack}}},
        {L"a@@", L"a@@", {{0, 3, kBlack}}},
        {L"@@", L"@@", {{0, 2, kBlack}}},
        {L"@@Xyz", L"yz", {{0, 2, kBlack}}},
        {L"x@@gy@@bz@@wq@@kk", L"xyzqk", {{0, 1, kBlack}, {1, 2, kGreen}, {2, 3, kBlue}, {3, 4, kWhite}, {4, 5, kBlack}}},
        {L"@@r@@@@gz", L"@gz", {{0, 3, kRed}}},
        {L"1@@9 2@@ 3", L"1 23", {{0, 4, kBlack}}},
    };
    for (const auto& c : cases) {
        Clear();
        m_dialog->LogText(L"%s", c.text);
        EXPECT_EQ(LogText(), c.shown) << CString(c.text);
        for (const Span& span : c.spans)
            EXPECT_EQ(ColorOf(span.first, span.last), span.color) << CString(c.text) << " at " << span.first;
        EXPECT_EQ(NextTextColor(), kBlack) << CString(c.text);
    }
}

TEST_F(LogViewTest, ACodeWithAnUpperCaseLetterKeepsTheCurrentColour)
{
    m_dialog->m_logView.AppendColoredText(L"@@ggreen ");
    m_dialog->m_logView.AppendColoredText(L"@@Rgo");
    EXPECT_EQ(LogText(), L"green go");
    EXPECT_EQ(ColorOf(0, 8), kGreen);
}

TEST_F(LogViewTest, SelectingTextInThePaneChangesNoColour)
{
    m_dialog->LogText(L"%s", L"@@rred");
    SendMessageW(m_log, EM_SETSEL, 0, 2);  // the user selects part of the log
    m_dialog->LogText(L"%s", L"plain");
    EXPECT_EQ(LogText(), L"redplain");
    EXPECT_EQ(ColorOf(0, 3), kRed);
    EXPECT_EQ(ColorOf(3, 8), kBlack);
}

TEST_F(LogViewTest, ACodeSplitOverTwoAppendsStaysText)
{
    m_dialog->LogText(L"%s", L"out@");
    m_dialog->LogText(L"%s", L"@rput");
    EXPECT_EQ(LogText(), L"out@@rput");
    EXPECT_EQ(ColorOf(0, 9), kBlack);
    EXPECT_EQ(NextTextColor(), kBlack);
}

TEST_F(LogViewTest, LinesStartOnANewLineExceptTheFirst)
{
    m_dialog->LogLine(L"first %s %d", L"가", 1);
    EXPECT_EQ(LogText(), L"first 가 1");
    m_dialog->LogText(L"%s", L"raw");
    m_dialog->LogLine(L"%s", L"@@bsecond");
    EXPECT_EQ(LogText(), L"first 가 1raw\r\nsecond");
    EXPECT_EQ(ColorOf(Length() - 6, Length()), kBlue);
    EXPECT_EQ(ColorOf(0, Length() - 6), kBlack);
    EXPECT_EQ(NextTextColor(), kBlack);
}

// Far beyond the rich edit's default of about 32 000 characters: nothing is lost, the end shows.
TEST_F(LogViewTest, AFiveMegabyteLogKeepsEverythingAndShowsItsLastLine)
{
    std::wstring chunk;
    for (int line = 0; line < 200; ++line)
        chunk += L"frame=  120 fps= 30 q=4.0 size=    1024kB time=00:00:04.00 bitrate=2097.2kbits/s\r\n";
    const int kChunks = static_cast<int>(5 * 1024 * 1024 / (chunk.size() * sizeof(wchar_t))) + 1;
    for (int i = 0; i < kChunks; ++i)
        m_dialog->LogText(L"%s", chunk.c_str());
    m_dialog->LogLine(L"%s", L"@@gCompleted");
    PumpMessages(Window());

    CString text = LogText();
    EXPECT_EQ(text.GetLength(), kChunks * static_cast<int>(chunk.size()) + 2 + 9);
    EXPECT_EQ(text.Right(11), L"\r\nCompleted");

    // The last line is inside the visible part of the pane.
    int lastChar = Length() - 9;
    POINTL position = {};
    SendMessageW(m_log, EM_POSFROMCHAR, reinterpret_cast<WPARAM>(&position), lastChar);
    RECT client;
    GetClientRect(m_log, &client);
    EXPECT_GE(position.y, client.top);
    EXPECT_LT(position.y, client.bottom);
    EXPECT_EQ(ColorOf(lastChar, lastChar + 9), kGreen);
}
