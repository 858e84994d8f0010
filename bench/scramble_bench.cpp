// Times the scrambled copy of a file against plain copies of the same file, and reports
// the process's peak working set.
//
//   scramble_bench time <source> <rounds>   rounds of CopyFileW, a plain block copy, and scramble
//   scramble_bench memory <source>          one scramble, then the peak working set
//
// The copies go beside the source as <source>.copy and <source>.avx and are deleted again.
#include "conversion/Scramble.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <iterator>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

double Timed(const std::function<bool()>& operation, bool& ok)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    ok = operation();
    QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

double Fastest(std::vector<double> values)
{
    return *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The scrambler's read and write loop without the combination and the rename.
bool BlockCopy(const CString& source, const CString& target)
{
    const DWORD blockSize = 1024 * 1024;
    HANDLE in = CreateFileW(source, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (in == INVALID_HANDLE_VALUE)
        return false;
    HANDLE out = CreateFileW(target, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        CloseHandle(in);
        return false;
    }
    std::vector<unsigned char> buffer(blockSize);
    bool ok = true;
    DWORD got = 0;
    while (ok && ReadFile(in, buffer.data(), blockSize, &got, nullptr) && got > 0) {
        DWORD written = 0;
        ok = WriteFile(out, buffer.data(), got, &written, nullptr) && written == got;
    }
    CloseHandle(in);
    return CloseHandle(out) && ok;
}

SIZE_T PeakWorkingSet()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PeakWorkingSetSize;
}

int TimeRounds(const CString& source, int rounds)
{
    const CString copy = source + L".copy";
    const CString scrambled = source + L".avx";
    struct Contender {
        const char* name;
        std::function<bool()> run;
        const wchar_t* output;
        std::vector<double> times;
    };
    Contender contenders[] = {
        {"CopyFileW", [&] { return CopyFileW(source, copy, FALSE) != FALSE; }, copy, {}},
        {"block copy", [&] { return BlockCopy(source, copy); }, copy, {}},
        {"scramble", [&] { return ScrambleFile(source, scrambled) == ScrambleResult::Done; }, scrambled, {}},
    };
    const int count = static_cast<int>(std::size(contenders));
    for (int round = 0; round < rounds; ++round) {
        std::printf("round %d:", round + 1);
        // Each round starts with another contender, so none always follows the same one.
        for (int i = 0; i < count; ++i) {
            Contender& contender = contenders[(round + i) % count];
            bool ok = false;
            contender.times.push_back(Timed(contender.run, ok));
            DeleteFileW(contender.output);
            if (!ok) {
                std::fprintf(stderr, "\n%s failed\n", contender.name);
                return 1;
            }
            std::printf(" %s %.3f s", contender.name, contender.times.back());
        }
        std::printf("\n");
    }
    // The machine's other load only adds time: the fastest round is the steadiest figure.
    for (const auto& [label, statistic] : {std::pair{"fastest", &Fastest}, std::pair{"median", &Median}}) {
        const double copyFile = statistic(contenders[0].times);
        const double blockCopy = statistic(contenders[1].times);
        const double scramble = statistic(contenders[2].times);
        std::printf("%s: CopyFileW %.3f s, block copy %.3f s, scramble %.3f s;"
                    " ratio scramble/CopyFileW %.3f, scramble/block copy %.3f\n",
                    label, copyFile, blockCopy, scramble, scramble / copyFile, scramble / blockCopy);
    }
    return 0;
}

int MeasureMemory(const CString& source)
{
    const SIZE_T before = PeakWorkingSet();
    const bool ok = ScrambleFile(source, source + L".avx") == ScrambleResult::Done;
    const SIZE_T after = PeakWorkingSet();
    DeleteFileW(source + L".avx");
    if (!ok) {
        std::fprintf(stderr, "scramble failed\n");
        return 1;
    }
    std::printf("peak working set: %.1f MiB before, %.1f MiB after\n", before / 1048576.0, after / 1048576.0);
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 4 && std::wcscmp(argv[1], L"time") == 0)
        return TimeRounds(argv[2], std::max(1, _wtoi(argv[3])));
    if (argc == 3 && std::wcscmp(argv[1], L"memory") == 0)
        return MeasureMemory(argv[2]);
    std::fprintf(stderr, "usage: scramble_bench time <source> <rounds> | memory <source>\n");
    return 2;
}
