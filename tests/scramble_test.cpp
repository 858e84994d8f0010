#include "FileBytes.h"
#include "conversion/Scramble.h"
#include "conversion/ScrambleKey.h"

#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;
using Names = std::set<std::wstring>;

constexpr DWORD kMiB = 1024 * 1024;
constexpr DWORD kWaitBoundMs = 10000;

Bytes Pattern(std::size_t size, unsigned seed)
{
    Bytes data(size);
    unsigned state = seed;
    for (unsigned char& b : data) {
        state = state * 1103515245u + 12345u;
        b = static_cast<unsigned char>(state >> 16);
    }
    return data;
}

Bytes WithKeyStream(const Bytes& data)
{
    Bytes out(data);
    for (std::size_t k = 0; k < out.size(); ++k)
        out[k] ^= ScrambleKey[k % kScrambleKeySize];
    return out;
}

bool WriteBytes(const CString& path, const Bytes& data)
{
    return testfiles::WriteWholeFile(path, data.data(), data.size());
}

// Whole contents of a small file; a marker text when it cannot be read.
Bytes ReadBytes(const CString& path)
{
    Bytes data;
    return testfiles::ReadWholeFile(path, &data) ? data : Bytes{'?', '?'};
}

// Names in a folder (given with its trailing backslash), with the size of each file.
std::vector<std::pair<std::wstring, ULONGLONG>> ListFolder(const CString& folder)
{
    std::vector<std::pair<std::wstring, ULONGLONG>> entries;
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW(folder + L"*", &found);
    if (find == INVALID_HANDLE_VALUE)
        return entries;
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            entries.emplace_back(name, (ULONGLONG(found.nFileSizeHigh) << 32) | found.nFileSizeLow);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return entries;
}

Names NamesIn(const CString& folder)
{
    Names names;
    for (const auto& entry : ListFolder(folder))
        names.insert(entry.first);
    return names;
}

// Waits until a file that is not one of known holds data: the scrambler's temporary file.
bool WaitForPartialCopy(const CString& folder, const Names& known)
{
    const ULONGLONG deadline = GetTickCount64() + kWaitBoundMs;
    while (GetTickCount64() < deadline) {
        for (const auto& entry : ListFolder(folder)) {
            if (!known.count(entry.first) && entry.second > 0)
                return true;
        }
        Sleep(1);
    }
    return false;
}

void RemoveTree(const CString& folder)
{
    for (const auto& entry : ListFolder(folder)) {
        const CString path = folder + entry.first.c_str();
        if (GetFileAttributesW(path) & FILE_ATTRIBUTE_DIRECTORY)
            RemoveTree(path + L"\\");
        else
            DeleteFileW(path);
    }
    RemoveDirectoryW(folder);
}

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

// The server end of a named pipe that stands in for a source file, so that the test
// decides when the reader gets more data and when the source breaks down.
class PipeSource {
public:
    PipeSource()
    {
        static unsigned s_nSerial = 0;
        m_strName.Format(L"\\\\.\\pipe\\tolvane-scramble-%lu-%u", GetCurrentProcessId(), ++s_nSerial);
        m_hPipe = CreateNamedPipeW(m_strName, PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_BYTE | PIPE_WAIT, 1, 64 * 1024, 64 * 1024, 0, nullptr);
        m_hEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    }
    ~PipeSource()
    {
        Break();
        CloseHandle(m_hEvent);
    }
    PipeSource(const PipeSource&) = delete;
    PipeSource& operator=(const PipeSource&) = delete;

    const CString& Path() const { return m_strName; }

    bool AwaitReader()
    {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = m_hEvent;
        if (ConnectNamedPipe(m_hPipe, &overlapped) || GetLastError() == ERROR_PIPE_CONNECTED)
            return true;
        return GetLastError() == ERROR_IO_PENDING && Finish(overlapped);
    }

    bool Send(const Bytes& data)
    {
        OVERLAPPED overlapped = {};
        overlapped.hEvent = m_hEvent;
        DWORD written = 0;
        if (WriteFile(m_hPipe, data.data(), static_cast<DWORD>(data.size()), &written, &overlapped))
            return true;
        return GetLastError() == ERROR_IO_PENDING && Finish(overlapped);
    }

    // Closes the server end: once the reader has taken what is buffered, its reads fail.
    void Break()
    {
        if (m_hPipe != INVALID_HANDLE_VALUE)
            CloseHandle(m_hPipe);
        m_hPipe = INVALID_HANDLE_VALUE;
    }

private:
    bool Finish(OVERLAPPED& overlapped)
    {
        DWORD transferred = 0;
        if (WaitForSingleObject(m_hEvent, kWaitBoundMs) != WAIT_OBJECT_0) {
            CancelIoEx(m_hPipe, &overlapped);
            GetOverlappedResult(m_hPipe, &overlapped, &transferred, TRUE);
            return false;
        }
        return GetOverlappedResult(m_hPipe, &overlapped, &transferred, FALSE) != FALSE;
    }

    CString m_strName;
    HANDLE m_hPipe = INVALID_HANDLE_VALUE;
    HANDLE m_hEvent = nullptr;
};

class ScrambleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static unsigned s_nSerial = 0;
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        m_strRoot.Format(L"%stolvane-scramble-%lu-%u\\", temp, GetCurrentProcessId(), ++s_nSerial);
        ASSERT_TRUE(CreateDirectoryW(m_strRoot, nullptr));
    }
    void TearDown() override { RemoveTree(m_strRoot); }

    CString NewFolder(const wchar_t* name)
    {
        const CString folder = m_strRoot + name + L"\\";
        EXPECT_TRUE(CreateDirectoryW(folder, nullptr)) << name;
        return folder;
    }

    CString m_strRoot;
};

// First in the file, so that the peak working set before it is that of a fresh process.
TEST_F(ScrambleTest, LargeFileIsStreamedInConstantMemory)
{
    const CString folder = NewFolder(L"large");
    const LONGLONG size = 128LL * kMiB + 1000;
    // A file of zero bytes, made at once by setting its end; its scrambled copy is the key stream.
    HANDLE file = CreateFileW(folder + L"clip.avi", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER end;
    end.QuadPart = size;
    ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
    CloseHandle(file);

    const SIZE_T peakBefore = PeakWorkingSet();
    ASSERT_EQ(ScrambleFile(folder + L"clip.avi", folder + L"clip.avx"), ScrambleResult::Done);
    const SIZE_T peakAfter = PeakWorkingSet();
    EXPECT_GT(peakBefore, 0u);
    EXPECT_LT(peakAfter - peakBefore, 4u * kMiB) << "peak working set grew by " << (peakAfter - peakBefore);

    Bytes keyBlock(kMiB);
    for (std::size_t k = 0; k < keyBlock.size(); ++k)
        keyBlock[k] = ScrambleKey[k % kScrambleKeySize];
    file = CreateFileW(folder + L"clip.avx", GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    Bytes block(kMiB);
    LONGLONG total = 0;
    int wrongBlocks = 0;
    DWORD got = 0;
    while (ReadFile(file, block.data(), kMiB, &got, nullptr) && got > 0) {
        // Every read but the last is a whole number of tables, so each starts with key byte 0.
        if (std::memcmp(block.data(), keyBlock.data(), got) != 0)
            ++wrongBlocks;
        total += got;
    }
    CloseHandle(file);
    EXPECT_EQ(total, size);
    EXPECT_EQ(wrongBlocks, 0);
}

TEST_F(ScrambleTest, EveryByteIsCombinedWithTheKeyAtItsOffsetAndTwiceGivesTheOriginal)
{
    // Sizes around the table length and around the block size used for reading.
    const std::size_t sizes[] = {0, 1, 1023, 1024, 1025, kMiB - 1, kMiB + 1025, 3 * kMiB};
    for (std::size_t size : sizes) {
        SCOPED_TRACE(size);
        const CString folder = NewFolder(std::to_wstring(size).c_str());
        const Bytes plain = Pattern(size, static_cast<unsigned>(size));
        ASSERT_TRUE(WriteBytes(folder + L"clip.avi", plain));

        ASSERT_EQ(ScrambleFile(folder + L"clip.avi", folder + L"clip.avx"), ScrambleResult::Done);
        const Bytes scrambled = ReadBytes(folder + L"clip.avx");
        EXPECT_TRUE(scrambled == WithKeyStream(plain));
        if (size == 1025) {
            EXPECT_EQ(scrambled[1024], plain[1024] ^ ScrambleKey[0]);
        }

        ASSERT_EQ(ScrambleFile(folder + L"clip.avx", folder + L"again.avi"), ScrambleResult::Done);
        EXPECT_TRUE(ReadBytes(folder + L"again.avi") == plain);
        EXPECT_TRUE(ReadBytes(folder + L"clip.avi") == plain);
        EXPECT_EQ(NamesIn(folder), (Names{L"clip.avi", L"clip.avx", L"again.avi"}));
    }
}

TEST_F(ScrambleTest, ReplacesAnOlderLongerCopy)
{
    const CString folder = NewFolder(L"replace");
    const Bytes plain = Pattern(1500, 7);
    ASSERT_TRUE(WriteBytes(folder + L"clip.avi", plain));
    ASSERT_TRUE(WriteBytes(folder + L"clip.avx", Pattern(5000, 8)));

    ASSERT_EQ(ScrambleFile(folder + L"clip.avi", folder + L"clip.avx"), ScrambleResult::Done);
    EXPECT_TRUE(ReadBytes(folder + L"clip.avx") == WithKeyStream(plain));
    EXPECT_EQ(NamesIn(folder), (Names{L"clip.avi", L"clip.avx"}));
}

TEST_F(ScrambleTest, OutputCopyLiesBesideTheAviUnderAHangulPath)
{
    const CString folder = NewFolder(L"변환 결과");
    const CString base = folder + L"[out] 여름 휴가_4000k";
    EXPECT_EQ(ScrambledOutputPath(base), base + L".avx");
    const Bytes plain = Pattern(3000, 9);
    ASSERT_TRUE(WriteBytes(base + L".avi", plain));

    ASSERT_EQ(ScrambleOutput(base), ScrambleResult::Done);
    EXPECT_TRUE(ReadBytes(base + L".avx") == WithKeyStream(plain));
    EXPECT_TRUE(ReadBytes(base + L".avi") == plain);
    EXPECT_EQ(NamesIn(folder), (Names{L"[out] 여름 휴가_4000k.avi", L"[out] 여름 휴가_4000k.avx"}));
}

TEST_F(ScrambleTest, FailuresKeepTheOlderCopyAndLeaveNoTemporaryFile)
{
    const Bytes oldCopy = Pattern(4000, 10);
    // Each case prepares its folder (holding clip.avi unless said otherwise) and returns a
    // handle that it keeps open during the attempt, or INVALID_HANDLE_VALUE.
    struct Case {
        const wchar_t* name;
        bool writeOldCopy;
        std::function<HANDLE(const CString& folder)> prepare;
        Names expectedNames;
    };
    const Case cases[] = {
        {L"no source", true,
         [](const CString& folder) { DeleteFileW(folder + L"clip.avi"); return INVALID_HANDLE_VALUE; },
         {L"clip.avx"}},
        {L"no source and no older copy", false,
         [](const CString& folder) { DeleteFileW(folder + L"clip.avi"); return INVALID_HANDLE_VALUE; },
         {}},
        {L"source open for writing elsewhere", true,
         [](const CString& folder) {
             return CreateFileW(folder + L"clip.avi", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         },
         {L"clip.avi", L"clip.avx"}},
        {L"target is a folder", false,
         [](const CString& folder) {
             CreateDirectoryW(folder + L"clip.avx", nullptr);
             return INVALID_HANDLE_VALUE;
         },
         {L"clip.avi", L"clip.avx"}},
        {L"older copy open without sharing", true,
         [](const CString& folder) {
             return CreateFileW(folder + L"clip.avx", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
         },
         {L"clip.avi", L"clip.avx"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const CString folder = NewFolder(c.name);
        ASSERT_TRUE(WriteBytes(folder + L"clip.avi", Pattern(2500, 11)));
        if (c.writeOldCopy) {
            ASSERT_TRUE(WriteBytes(folder + L"clip.avx", oldCopy));
        }
        const HANDLE held = c.prepare(folder);

        EXPECT_EQ(ScrambleFile(folder + L"clip.avi", folder + L"clip.avx"), ScrambleResult::Failed);
        if (held != INVALID_HANDLE_VALUE)
            CloseHandle(held);
        EXPECT_EQ(NamesIn(folder), c.expectedNames);
        if (c.writeOldCopy) {
            EXPECT_TRUE(ReadBytes(folder + L"clip.avx") == oldCopy);
        }
    }
}

TEST_F(ScrambleTest, ReadFailureOrCancelMidwayKeepsTheOlderCopy)
{
    const Bytes oldCopy = Pattern(4000, 12);
    struct Case {
        const wchar_t* name;
        ScrambleResult expected;
    };
    const Case cases[] = {
        {L"source breaks", ScrambleResult::Failed},
        {L"cancelled", ScrambleResult::Cancelled},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const CString folder = NewFolder(c.name);
        ASSERT_TRUE(WriteBytes(folder + L"clip.avx", oldCopy));
        PipeSource source;
        std::atomic<bool> cancel{false};
        ScrambleResult result = ScrambleResult::Done;
        const HANDLE finished = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread worker([&] {
            result = ScrambleFile(source.Path(), folder + L"clip.avx", &cancel);
            SetEvent(finished);
        });

        // The first blocks reach the temporary file, then the source fails or Stop comes.
        const bool reachedMidway = source.AwaitReader() && source.Send(Pattern(2 * kMiB, 13)) &&
                                   WaitForPartialCopy(folder, {L"clip.avx"});
        if (c.expected == ScrambleResult::Cancelled) {
            cancel = true;
            source.Send(Pattern(100, 14));  // wakes a reader that waits for data
        } else {
            source.Break();
        }
        const bool finishedInTime = WaitForSingleObject(finished, kWaitBoundMs) == WAIT_OBJECT_0;
        source.Break();  // a reader still waiting for data now fails and returns
        worker.join();
        CloseHandle(finished);

        EXPECT_TRUE(reachedMidway);
        EXPECT_TRUE(finishedInTime);
        EXPECT_EQ(result, c.expected);
        EXPECT_EQ(NamesIn(folder), (Names{L"clip.avx"}));
        EXPECT_TRUE(ReadBytes(folder + L"clip.avx") == oldCopy);
    }
}

} // namespace
