#include "conversion/Scramble.h"

#include "conversion/ScrambleKey.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

// Reads and writes go in blocks of a whole number of key tables, large enough to keep
// the calls few and small enough to keep memory use modest.
constexpr DWORD kBlockSize = 1024 * kScrambleKeySize;

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : m_hFile(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    bool IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFile; }
    bool Close()
    {
        if (!IsOpen())
            return true;
        const BOOL closed = CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE m_hFile;
};

bool IsCancelled(const std::atomic<bool>* cancel)
{
    return cancel && cancel->load();
}

// data holds the file's bytes from offset on; the table position follows the offset, so
// a read that returns less than a full block does not shift the key.
void CombineWithKey(unsigned char* data, DWORD size, ULONGLONG offset)
{
    std::size_t keyIndex = static_cast<std::size_t>(offset % kScrambleKeySize);
    DWORD done = 0;
    while (done < size) {
        const DWORD run = std::min<DWORD>(size - done, static_cast<DWORD>(kScrambleKeySize - keyIndex));
        unsigned char* block = data + done;
        const unsigned char* key = ScrambleKey + keyIndex;
        for (DWORD i = 0; i < run; ++i)
            block[i] ^= key[i];
        done += run;
        keyIndex = 0;
    }
}

// A new, empty file beside target; its name goes to tempPath.
HANDLE CreateTempFileBeside(const CString& target, CString& tempPath)
{
    static std::atomic<unsigned> s_nSerial{0};
    for (int attempt = 0; attempt < 16; ++attempt) {
        tempPath.Format(L"%s.%lx-%x.tmp", target.GetString(), GetCurrentProcessId(), s_nSerial++);
        const HANDLE file = CreateFileW(tempPath, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    return INVALID_HANDLE_VALUE;
}

ScrambleResult CopyScrambled(HANDLE source, HANDLE target, unsigned char* buffer,
                             const std::atomic<bool>* cancel)
{
    ULONGLONG offset = 0;
    for (;;) {
        if (IsCancelled(cancel))
            return ScrambleResult::Cancelled;
        DWORD got = 0;
        if (!ReadFile(source, buffer, kBlockSize, &got, nullptr))
            return ScrambleResult::Failed;
        if (got == 0)
            return ScrambleResult::Done;
        CombineWithKey(buffer, got, offset);
        DWORD written = 0;
        if (!WriteFile(target, buffer, got, &written, nullptr) || written != got)
            return ScrambleResult::Failed;
        offset += got;
    }
}

} // namespace

ScrambleResult ScrambleFile(const CString& source, const CString& target,
                            const std::atomic<bool>* cancel)
{
    FileHandle in(CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!in.IsOpen())
        return ScrambleResult::Failed;
    std::unique_ptr<unsigned char[]> buffer(new (std::nothrow) unsigned char[kBlockSize]);
    if (!buffer)
        return ScrambleResult::Failed;

    CString tempPath;
    FileHandle out(CreateTempFileBeside(target, tempPath));
    if (!out.IsOpen())
        return ScrambleResult::Failed;

    ScrambleResult result = CopyScrambled(in.Get(), out.Get(), buffer.get(), cancel);
    in.Close();
    if (!out.Close() && result == ScrambleResult::Done)
        result = ScrambleResult::Failed;
    if (result == ScrambleResult::Done && IsCancelled(cancel))
        result = ScrambleResult::Cancelled;
    if (result == ScrambleResult::Done && !MoveFileExW(tempPath, target, MOVEFILE_REPLACE_EXISTING))
        result = ScrambleResult::Failed;
    if (result != ScrambleResult::Done)
        DeleteFileW(tempPath);
    return result;
}

CString ScrambledOutputPath(const CString& outputBase)
{
    return outputBase + L".avx";
}

ScrambleResult ScrambleOutput(const CString& outputBase, const std::atomic<bool>* cancel)
{
    return ScrambleFile(outputBase + L".avi", ScrambledOutputPath(outputBase), cancel);
}
