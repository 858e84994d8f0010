#pragma once
// The read-only rich-edit pane that shows the program's messages and the converter's output.
// Appended text may carry colour codes: "@@" and one of r, g, b, w, k switches the colour of
// what follows; "@@" with any other character is removed and changes nothing.
#include "framework/String.h"

class CLogView {
public:
    CLogView() = default;
    ~CLogView();
    CLogView(const CLogView&) = delete;
    CLogView& operator=(const CLogView&) = delete;

    // Creates the window (class RichEdit20W, control identifier 1) over the given client
    // rectangle of parent, and its font. Without the rich-edit library there is no window and
    // every append does nothing.
    bool Create(HWND hParent, HINSTANCE hInstance, int x, int y, int width, int height);

    // Inserts text at the end, in the colour last set, and scrolls to it.
    void AppendText(const wchar_t* text);
    // The colour of the text appended from now on.
    void SetColor(COLORREF color) { m_crCurrent = color; }
    // Appends text, turning its colour codes into colour changes.
    void AppendColoredText(const CString& text);
    bool IsEmpty() const { return !m_hEdit || GetWindowTextLengthW(m_hEdit) == 0; }

    HWND m_hEdit = nullptr;
    HFONT m_hFont = nullptr;
    COLORREF m_crDefault = RGB(0, 0, 0);  // restored after every formatted append
    // Given to each appended text itself: a colour set on the insertion point would be lost as
    // soon as the user selects text in the pane, and would colour that selection instead.
    COLORREF m_crCurrent = RGB(0, 0, 0);
};
