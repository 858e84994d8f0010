#pragma once
// This process's open handles and threads, for leak checks in tests. GetProcessHandleCount
// answers 0 under Wine, so handles are counted in the system's handle table instead.
#include <windows.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <vector>

// -1 when the table cannot be read.
inline int CountProcessHandles()
{
    std::vector<BYTE> buffer(1 << 16);
    NTSTATUS status;
    ULONG needed = 0;
    while ((status = NtQuerySystemInformation(SystemHandleInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0)
        return -1;
    const SYSTEM_HANDLE_INFORMATION* table = reinterpret_cast<const SYSTEM_HANDLE_INFORMATION*>(buffer.data());
    // The entry keeps the process identifier in 16 bits.
    const ULONG self = GetCurrentProcessId() & 0xFFFF;
    int count = 0;
    for (ULONG i = 0; i < table->Count; ++i) {
        if ((table->Handle[i].OwnerPid & 0xFFFF) == self)
            ++count;
    }
    return count;
}

// -1 when no snapshot can be taken.
inline int CountProcessThreads()
{
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return -1;
    const DWORD self = GetCurrentProcessId();
    int count = 0;
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == self)
            ++count;
    }
    CloseHandle(snapshot);
    return count;
}
