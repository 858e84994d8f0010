#include "ui/LogView.h"

#include <richedit.h>

#include <climits>

namespace {
// The colour that a code's letter selects; false for letters that select none.
bool GetCodeColor(wchar_t letter, COLORREF& color)
{
    switch (letter) {
    case L'r': color = RGB(255, 0, 0); return true;
    case L'g': color = RGB(0, 255, 0); return true;
    case L'b': color = RGB(0, 0, 255); return true;
    case L'w': color = RGB(255, 255, 255); return true;
    case L'k': color = RGB(0, 0, 0); return true;
    default: return false;
    }
}
}

CLogView::~CLogView()
{
    if (m_hFont)
        DeleteObject(m_hFont);
}

bool CLogView::Create(HWND hParent, HINSTANCE hInstance, int x, int y, int width, int height)
{
    m_hEdit = CreateWindowExW(WS_EX_CLIENTEDGE, L"RichEdit20W", L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY |
                                  ES_NOHIDESEL,
                              x, y, width, height, hParent, reinterpret_cast<HMENU>(1), hInstance, nullptr);
    LOGFONTW logFont = {};
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(logFont), &logFont);
    m_hFont = CreateFontIndirectW(&logFont);
    if (m_hEdit) {
        SendMessageW(m_hEdit, WM_SETFONT, reinterpret_cast<WPARAM>(m_hFont), FALSE);
        // The default limit of about 32 000 characters would silently drop a long conversion's output.
        SendMessageW(m_hEdit, EM_EXLIMITTEXT, 0, INT_MAX);
    }
    return true;
}

void CLogView::AppendText(const wchar_t* text)
{
    if (!m_hEdit)
        return;
    int end = GetWindowTextLengthW(m_hEdit);
    SendMessageW(m_hEdit, EM_SETSEL, end, end);
    CHARFORMAT2W format = {};
    format.cbSize = sizeof(format);
    format.dwMask = CFM_COLOR;
    format.crTextColor = m_crCurrent;
    SendMessageW(m_hEdit, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    SendMessageW(m_hEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text));
    SendMessageW(m_hEdit, EM_SCROLLCARET, 0, 0);
}

void CLogView::AppendColoredText(const CString& text)
{
    CString pending;
    int length = text.GetLength();
    for (int i = 0; i < length; ++i) {
        if (text[i] == L'@' && i + 2 < length && text[i + 1] == L'@') {
            if (!pending.IsEmpty()) {
                AppendText(pending);
                pending.Empty();
            }
            COLORREF color;
            if (GetCodeColor(text[i + 2], color))
                SetColor(color);
            i += 2;
            continue;
        }
        pending += text[i];
    }
    if (!pending.IsEmpty())
        AppendText(pending);
}
