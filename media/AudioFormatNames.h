#pragma once
// Readable names of the audio format tags of RIFF WAVE format headers.
#include <windows.h>

#include "framework/String.h"

// The name of the tag in the low 16 bits of tag; the higher bits are ignored.
CString GetAudioFormatName(DWORD tag);
