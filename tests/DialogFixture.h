#pragma once
// The main dialog inside the test process, modeless on the test's thread, with the
// process-wide parts that the program gives it: the real media library and the rich edit.
#include "UiDriver.h"
#include "app/RichEditLibrary.h"
#include "media/MediaInfo.h"
#include "resources/resource.h"
#include "ui/TolvaneDlg.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <thread>

inline CMediaInfo& TheMediaInfo()
{
    static CMediaInfo media(TOLVANE_WIN_BIN_DIR L"MediaInfo.dll");
    return media;
}

inline void LoadRichEditOnce()
{
    static CRichEditLibrary library;
}

// Handles what waits in the thread's queue; keys go through the dialog as in its modal loop.
inline void PumpMessages(HWND dialog)
{
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!dialog || !IsDialogMessageW(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
}

// Runs trigger, which shows a modal window owned by owner, while another thread answers that
// window; a window that the answer leaves open is closed, so that trigger always returns.
inline void WithModalAnswer(HWND owner, const std::function<void(HWND)>& answer, const std::function<void()>& trigger)
{
    std::thread answerer([&] {
        HWND modal = ui::WaitForOwnedDialog(owner);
        if (!modal)
            return;
        answer(modal);
        if (!ui::WaitUntil([modal] { return !IsWindow(modal); }, 10000))
            PostMessageW(modal, WM_CLOSE, 0, 0);
    });
    trigger();
    answerer.join();
}

class MainDialogTest : public ::testing::Test {
protected:
    // Each test starts without stored options.
    void SetUp() override
    {
        LoadRichEditOnce();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane");
    }
    void TearDown() override { Close(); }

    CTolvaneDlg& Open(UINT templateId = IDD_TOLVANE_DIALOG_EN)
    {
        m_dialog.reset(new CTolvaneDlg(templateId, TheMediaInfo()));
        EXPECT_TRUE(m_dialog->Create());
        ShowWindow(m_dialog->m_hWnd, SW_SHOW);
        PumpMessages(m_dialog->m_hWnd);
        return *m_dialog;
    }

    // Destroys the window, which collects and saves the options, then the object.
    void Close()
    {
        if (m_dialog)
            m_dialog->DestroyWindow();
        m_dialog.reset();
    }

    HWND Window() const { return m_dialog->m_hWnd; }
    HWND Item(int id) const { return GetDlgItem(m_dialog->m_hWnd, id); }
    void Click(int id) { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    CString Text(int id) const { return ui::GetItemText(m_dialog->m_hWnd, id); }
    void Type(int id, const wchar_t* text) { ui::SetText(Item(id), text); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    CString LogText() const { return ui::GetText(m_dialog->m_logView.m_hEdit); }

    std::unique_ptr<CTolvaneDlg> m_dialog;
};
