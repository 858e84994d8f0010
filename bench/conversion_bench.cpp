// Conversion overhead: a two-pass job through Tolvane.exe (Start to its final message) against
// the same two command lines run directly, in the same run. Prints the ratio of the medians.
// Usage: conversion_bench.exe CLIP DEST_FOLDER [ROUNDS]
#include "ProgramRun.h"
#include "RunHidden.h"
#include "conversion/CommandLineBuilder.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

CString ProgramFolder()
{
    wchar_t path[MAX_PATH];
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    CString folder(path);
    return folder.Left(folder.ReverseFind(L'\\') + 1);
}

HWND FindLog(HWND dialog)
{
    return FindWindowExW(dialog, nullptr, L"RichEdit20W", nullptr);
}

// Seconds from Start to "Completed", or a negative number when the job failed.
double ThroughTolvane(const CString& clip, const CString& dest)
{
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Tolvane");
    CProgramRun run;
    HWND dialog = run.Start(ProgramFolder() + L"Tolvane.exe", L"", {L"LC_ALL=en_US.UTF-8"});
    if (!dialog)
        return -1;
    ui::SetText(GetDlgItem(dialog, IDC_SOURCE_PATH), clip);
    ui::SetText(GetDlgItem(dialog, IDC_DEST_PATH), dest);
    HWND log = FindLog(dialog);
    LARGE_INTEGER start = Now();
    SendMessageW(GetDlgItem(dialog, IDC_START), BM_CLICK, 0, 0);
    bool done = ui::WaitUntil([&] {
        CString text = ui::GetText(log);
        return text.Find(L"Completed") >= 0 || text.Find(L"Conversion failed") >= 0;
    }, 600000);
    LARGE_INTEGER end = Now();
    bool completed = done && ui::GetText(log).Find(L"Completed") >= 0;
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    run.WaitForExit();
    return completed ? Seconds(start, end) : -1;
}

double Direct(const CString& clip, const CString& dest)
{
    CConversionOptions options;
    options.m_strDestPath = dest;
    LARGE_INTEGER start = Now();
    for (int pass : {FirstPass, SecondPass}) {
        if (!testfiles::RunHidden(BuildCommandLine(options, pass, clip, L"", 0, 0, ProgramFolder()).strCommandLine, 600000))
            return -1;
    }
    return Seconds(start, Now());
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3) {
        fwprintf(stderr, L"usage: conversion_bench CLIP DEST_FOLDER [ROUNDS]\n");
        return 2;
    }
    CString clip(argv[1]), dest(argv[2]);
    int rounds = argc > 3 ? _wtoi(argv[3]) : 3;
    std::vector<double> tolvane, direct;
    for (int round = 0; round < rounds; ++round) {
        // Alternate the order so that neither side always runs on a warm cache.
        for (int side = 0; side < 2; ++side) {
            bool throughTolvane = (round + side) % 2 == 0;
            double seconds = throughTolvane ? ThroughTolvane(clip, dest) : Direct(clip, dest);
            if (seconds < 0) {
                fwprintf(stderr, L"round %d: the %ls conversion failed\n", round, throughTolvane ? L"Tolvane" : L"direct");
                return 1;
            }
            (throughTolvane ? tolvane : direct).push_back(seconds);
            wprintf(L"round %d %-8ls %.3f s\n", round, throughTolvane ? L"tolvane" : L"direct", seconds);
        }
    }
    double t = Median(tolvane), d = Median(direct);
    wprintf(L"median: tolvane %.3f s, direct %.3f s, ratio %.3f (goal <= 1.03)\n", t, d, t / d);
    return 0;
}
