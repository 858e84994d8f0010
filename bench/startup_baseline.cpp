// The baseline of the start-up benchmark: the smallest Win32 program that shows a dialog box
// (one caption, one label, one button, from an in-memory template) and waits for the user.
#include <windows.h>

#include <vector>

namespace {

void Append(std::vector<WORD>& words, const wchar_t* text)
{
    do
        words.push_back(*text);
    while (*text++);
}

void AppendItem(std::vector<WORD>& words, DWORD style, short x, short y, short cx, short cy, WORD id,
                WORD classAtom, const wchar_t* text)
{
    while (words.size() % 2)  // items start on a DWORD boundary
        words.push_back(0);
    DLGITEMTEMPLATE item = {style | WS_CHILD | WS_VISIBLE, 0, x, y, cx, cy, id};
    const WORD* raw = reinterpret_cast<const WORD*>(&item);
    words.insert(words.end(), raw, raw + sizeof(item) / sizeof(WORD));
    words.push_back(0xFFFF);
    words.push_back(classAtom);
    Append(words, text);
    words.push_back(0);  // no creation data
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(window, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int)
{
    std::vector<WORD> words;
    DLGTEMPLATE dialog = {DS_MODALFRAME | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 2, 0, 0, 200, 60};
    const WORD* raw = reinterpret_cast<const WORD*>(&dialog);
    words.insert(words.end(), raw, raw + sizeof(dialog) / sizeof(WORD));
    words.push_back(0);  // no menu
    words.push_back(0);  // the standard dialog class
    Append(words, L"Baseline");
    words.push_back(9);
    Append(words, L"MS Shell Dlg");
    AppendItem(words, SS_LEFT, 10, 10, 180, 10, 0xFFFF, 0x0082, L"A minimal dialog box.");
    AppendItem(words, BS_DEFPUSHBUTTON | WS_TABSTOP, 140, 35, 50, 14, IDOK, 0x0080, L"OK");
    return static_cast<int>(DialogBoxIndirectParamW(instance, reinterpret_cast<LPCDLGTEMPLATEW>(words.data()),
                                                    nullptr, DialogProc, 0));
}
