#include "app/RichEditLibrary.h"

#include "framework/String.h"

HMODULE LoadSystemLibrary(const wchar_t* fileName)
{
    wchar_t folder[MAX_PATH];
    UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    CString path(folder);
    path += L'\\';
    path += fileName;
    return LoadLibraryW(path);
}

CRichEditLibrary::CRichEditLibrary()
{
    m_hModule = LoadSystemLibrary(L"RichEd32.dll");
    if (!m_hModule)
        m_hModule = LoadSystemLibrary(L"RichEd20.dll");
}

CRichEditLibrary::~CRichEditLibrary()
{
    if (m_hModule)
        FreeLibrary(m_hModule);
}
