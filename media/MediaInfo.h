#pragma once
// The media-information library (MediaInfo.dll), reached through its C interface at run time.
#include "framework/String.h"

#include <windows.h>
#include <cstddef>

// Kinds of stream that the library describes.
enum MediaStreamKind {
    MEDIA_STREAM_GENERAL = 0,
    MEDIA_STREAM_VIDEO = 1,
    MEDIA_STREAM_AUDIO = 2,
};

class CMediaInfo {
public:
    // dllPath must be a full path: the library is never looked for anywhere else.
    // Without the library, or when it gives no handle, every Open answers 0.
    explicit CMediaInfo(const wchar_t* dllPath);
    ~CMediaInfo();
    CMediaInfo(const CMediaInfo&) = delete;
    CMediaInfo& operator=(const CMediaInfo&) = delete;

    bool HasHandle() const { return m_hHandle != nullptr; }

    // Non-zero when the file was opened and parsed.
    size_t Open(const CString& path);
    // A property of the first stream of the kind, as text; empty when the library has none.
    CString Get(int streamKind, const wchar_t* parameter);
    // Ends the file's description; the handle can open the next file.
    void Close();

private:
    typedef void* (WINAPI* NewFunction)();
    typedef size_t (WINAPI* OpenFunction)(void* handle, const wchar_t* path);
    typedef const wchar_t* (WINAPI* GetFunction)(void* handle, int streamKind, size_t streamNumber,
                                                 const wchar_t* parameter, int infoKind, int searchKind);
    typedef void (WINAPI* CloseFunction)(void* handle);
    typedef void (WINAPI* DeleteFunction)(void* handle);

    bool BindFunctions(HMODULE hLibrary);

    void* m_hHandle = nullptr;
    NewFunction m_pfnNew = nullptr;
    OpenFunction m_pfnOpen = nullptr;
    GetFunction m_pfnGet = nullptr;
    CloseFunction m_pfnClose = nullptr;
    DeleteFunction m_pfnDelete = nullptr;
};
