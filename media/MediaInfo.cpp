#include "media/MediaInfo.h"

#include <shlwapi.h>

namespace {

// The value as text, found by the parameter's name.
const int kInfoText = 1;
const int kSearchByName = 0;

template <typename Function>
bool BindFunction(HMODULE hLibrary, const char* name, Function& function)
{
    // Through void(*)(): the cast between unrelated function types is deliberate.
    function = reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(hLibrary, name)));
    return function != nullptr;
}

}  // namespace

CMediaInfo::CMediaInfo(const wchar_t* dllPath)
{
    // A bare or relative name would let the loader search the working directory.
    if (!dllPath || PathIsRelativeW(dllPath))
        return;
    // Its own dependencies resolve from its folder. It stays loaded until the process ends.
    HMODULE hLibrary = LoadLibraryExW(dllPath, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (hLibrary && BindFunctions(hLibrary))
        m_hHandle = m_pfnNew();
}

CMediaInfo::~CMediaInfo()
{
    if (m_hHandle)
        m_pfnDelete(m_hHandle);
}

bool CMediaInfo::BindFunctions(HMODULE hLibrary)
{
    return BindFunction(hLibrary, "MediaInfo_New", m_pfnNew)
        && BindFunction(hLibrary, "MediaInfo_Open", m_pfnOpen)
        && BindFunction(hLibrary, "MediaInfo_Get", m_pfnGet)
        && BindFunction(hLibrary, "MediaInfo_Close", m_pfnClose)
        && BindFunction(hLibrary, "MediaInfo_Delete", m_pfnDelete);
}

size_t CMediaInfo::Open(const CString& path)
{
    return m_hHandle ? m_pfnOpen(m_hHandle, path) : 0;
}

CString CMediaInfo::Get(int streamKind, const wchar_t* parameter)
{
    if (!m_hHandle)
        return CString();
    // The answer lives in the library until its next call: copy it at once.
    return CString(m_pfnGet(m_hHandle, streamKind, 0, parameter, kInfoText, kSearchByName));
}

void CMediaInfo::Close()
{
    if (m_hHandle)
        m_pfnClose(m_hHandle);
}
