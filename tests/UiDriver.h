#pragma once
// Drives windows as a user would, from another thread or another process: window messages
// below WM_USER carry their data across processes.
#include "framework/String.h"

#include <windows.h>

#include <functional>

namespace ui {

// Polls the condition every few milliseconds until it holds; false when the bound has passed.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 30000)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(10);
    }
    return true;
}

inline CString GetText(HWND window)
{
    CString text;
    LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    LRESULT copied = SendMessageW(window, WM_GETTEXT, length + 1,
                                  reinterpret_cast<LPARAM>(text.GetBuffer(static_cast<int>(length) + 1)));
    text.ReleaseBuffer(static_cast<int>(copied));
    return text;
}

inline CString GetItemText(HWND dialog, int id)
{
    return GetText(GetDlgItem(dialog, id));
}

inline CString GetWindowClass(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, ARRAYSIZE(name));
    return name;
}

inline void SetText(HWND window, const wchar_t* text)
{
    SendMessageW(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// A click that does not wait for what the click starts (a modal dialog, for instance).
inline void PostClick(HWND button)
{
    PostMessageW(button, BM_CLICK, 0, 0);
}

// A key press as the dialog's message loop sees it.
inline void PostKey(HWND window, UINT key)
{
    PostMessageW(window, WM_KEYDOWN, key, 1);
    PostMessageW(window, WM_KEYUP, key, 0xC0000001);
}

struct WindowSearch {
    const std::function<bool(HWND)>* accept;
    HWND found;
};

inline BOOL CALLBACK AcceptWindow(HWND window, LPARAM param)
{
    WindowSearch* search = reinterpret_cast<WindowSearch*>(param);
    if (!(*search->accept)(window))
        return TRUE;
    search->found = window;
    return FALSE;
}

// The first top-level window that the predicate accepts.
inline HWND FindTopLevelWindow(const std::function<bool(HWND)>& accept)
{
    WindowSearch search = {&accept, nullptr};
    EnumWindows(AcceptWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The first visible top-level dialog box that the predicate accepts.
inline HWND FindTopLevelDialog(const std::function<bool(HWND)>& accept)
{
    return FindTopLevelWindow(
        [&](HWND w) { return IsWindowVisible(w) && GetWindowClass(w) == L"#32770" && accept(w); });
}

inline HWND WaitForTopLevelDialog(const std::function<bool(HWND)>& accept, DWORD timeoutMs = 30000)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopLevelDialog(accept)) != nullptr; }, timeoutMs);
    return found;
}

// A modal dialog box that the given window owns (a message box, the file dialog, the folder
// picker), once it runs: its loop starts after its initialisation and disables the owner.
inline HWND WaitForOwnedDialog(HWND owner, DWORD timeoutMs = 30000)
{
    HWND dialog = WaitForTopLevelDialog([owner](HWND w) { return GetWindow(w, GW_OWNER) == owner; }, timeoutMs);
    if (dialog && !WaitUntil([owner] { return !IsWindowEnabled(owner); }, timeoutMs))
        return nullptr;
    return dialog;
}

// The first descendant window that the predicate accepts.
inline HWND FindDescendant(HWND parent, const std::function<bool(HWND)>& accept)
{
    WindowSearch search = {&accept, nullptr};
    EnumChildWindows(parent, AcceptWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Answers the system's Open dialog: types the path into its file-name box and presses Open.
inline bool AnswerOpenDialog(HWND dialog, const wchar_t* path)
{
    const int kFileNameCombo = 0x47C;  // cmb13, with its edit inside
    const int kFileNameEdit = 0x480;   // edt1
    HWND edit = nullptr;
    if (HWND combo = GetDlgItem(dialog, kFileNameCombo))
        edit = FindDescendant(combo, [](HWND w) { return GetWindowClass(w) == L"Edit"; });
    if (!edit)
        edit = GetDlgItem(dialog, kFileNameEdit);
    if (!edit)
        return false;
    SetText(edit, path);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    return true;
}

}  // namespace ui
