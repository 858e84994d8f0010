#pragma once
// The scrambled copy of a finished output: every byte combined by exclusive-or with
// ScrambleKey, the table repeated from the file's first byte. Scrambling twice gives
// back the original.
#include "framework/String.h"

#include <atomic>

enum class ScrambleResult {
    Done,       // the target now holds the complete scrambled copy
    Failed,     // the source could not be read or the target not written; an older target is kept
    Cancelled,  // the cancel flag was raised; an older target is kept
};

// Writes the scrambled copy of source to target. The copy goes to a temporary file in the
// target's folder that replaces the target only once it is complete, so a failure or a
// cancel never leaves a partial target behind. Memory use does not depend on the file size.
// Runs on any thread; cancel (may be null) is polled between blocks.
ScrambleResult ScrambleFile(const CString& source, const CString& target,
                            const std::atomic<bool>* cancel = nullptr);

// outputBase is the output path without its extension: scrambles outputBase + ".avi"
// into ScrambledOutputPath(outputBase).
CString ScrambledOutputPath(const CString& outputBase);  // outputBase + ".avx"
ScrambleResult ScrambleOutput(const CString& outputBase,
                              const std::atomic<bool>* cancel = nullptr);
