#pragma once
// The rich-edit control's library, loaded for the whole run so that the log pane's window class
// exists. Loaded by full path from the system folder, never from the program's or the working folder.
#include <windows.h>

class CRichEditLibrary {
public:
    CRichEditLibrary();  // RichEd32.dll, else RichEd20.dll; the handle stays null if neither loads
    ~CRichEditLibrary();
    CRichEditLibrary(const CRichEditLibrary&) = delete;
    CRichEditLibrary& operator=(const CRichEditLibrary&) = delete;

    HMODULE m_hModule = nullptr;
};

// A library of the system folder, by its full path; null when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* fileName);
