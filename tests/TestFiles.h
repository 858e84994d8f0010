#pragma once
// Folders and media files for the tests: a fresh temporary folder, and short clips that the
// real converter makes.
#include "FileBytes.h"
#include "RunHidden.h"
#include "framework/String.h"

#include <windows.h>

#include <string>

namespace testfiles {

// A two-second 320x240 clip with MPEG-1 video and a 440 Hz tone in MPEG audio.
inline bool MakeClip(const CString& path)
{
    return RunHidden(L"\"" TOLVANE_WIN_BIN_DIR L"ffmpeg.exe\" -nostdin -loglevel error -y "
                     L"-f lavfi -i testsrc=size=320x240:rate=25:duration=2 -f lavfi -i sine=frequency=440:duration=2 "
                     L"-c:v mpeg1video -b:v 500k -c:a mp2 -b:a 128k \"" + path + L"\"");
}

inline bool WriteTextFile(const CString& path, const char* text)
{
    return WriteWholeFile(path, text, strlen(text));
}

inline void RemoveTree(const CString& folder)
{
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"\\*", &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            CString name(found.cFileName);
            if (name == L"." || name == L"..")
                continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(folder + L"\\" + name);
            else
                DeleteFileW(folder + L"\\" + name);
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    RemoveDirectoryW(folder);
}

// A new empty folder under the temporary folder, removed with its contents on destruction.
class CTempFolder {
public:
    explicit CTempFolder(const wchar_t* name)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_strPath.Format(L"%s%s-%lu", temp, name, GetCurrentProcessId());
        RemoveTree(m_strPath);
        CreateDirectoryW(m_strPath, nullptr);
    }
    ~CTempFolder() { RemoveTree(m_strPath); }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    CString Path(const wchar_t* name) const { return m_strPath + L"\\" + name; }

    CString m_strPath;
};

}  // namespace testfiles
