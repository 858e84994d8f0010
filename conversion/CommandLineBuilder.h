#pragma once
// The converter's command line for one pass, and the paths that a job writes or removes.
#include "conversion/ConversionOptions.h"
#include "framework/String.h"

enum PassMode { SinglePass = 0, QualityPass = 1, FirstPass = 2, SecondPass = 3 };

struct CCommandLine {
    CString strCommandLine;   // the whole line for CreateProcessW
    CString strOutputBase;    // output path without extension (m_strOutputBase)
    CString strOutputPath;    // strOutputBase + ".avi"
    CString strPassLogBase;   // destination folder + source base name
};

// programFolder holds ffmpeg.exe and ends in a backslash. A width or height of 0 or less
// means the source size is unknown. Any other pass mode than the four builds a single pass.
CCommandLine BuildCommandLine(const CConversionOptions& options, int passMode,
                              const CString& sourcePath, const CString& extraArgs,
                              int sourceWidth, int sourceHeight, const CString& programFolder);
