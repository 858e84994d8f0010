#pragma once
// Whole small files read and written in one call, for the tests' fixtures and checks.
#include <windows.h>

#include <cstddef>
#include <vector>

namespace testfiles {

// The whole file (under 1 GiB); false when it cannot be read.
inline bool ReadWholeFile(const wchar_t* path, std::vector<BYTE>* bytes)
{
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
    DWORD read = 0;
    if (ok) {
        bytes->resize(static_cast<size_t>(size.QuadPart));
        ok = bytes->empty() || (ReadFile(file, bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr)
                                && read == bytes->size());
    }
    CloseHandle(file);
    return ok;
}

// Creates or replaces the file with exactly these bytes.
inline bool WriteWholeFile(const wchar_t* path, const void* data, size_t size)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(file);
    return ok && written == size;
}

}  // namespace testfiles
