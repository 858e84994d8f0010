#pragma once
// The folder that receives the output until the user picks another one.
#include "framework/String.h"

#include <windows.h>

// Explorer's table of the user's and the machine's special folders.
extern const wchar_t kShellFoldersKeyPath[];

// The folder of the running executable, with its trailing backslash; read once per process.
CString GetProgramFolder();

// Reads a text value of the folder table under root into folder; false when it is missing,
// unreadable or longer than MAX_PATH - 1 characters.
bool ReadShellFolder(const wchar_t* valueName, wchar_t (&folder)[MAX_PATH], HKEY root,
                     const wchar_t* keyPath = kShellFoldersKeyPath);

// The current user's "Common Documents", else the user's "Personal", else the machine's
// "Personal", else the program folder.
CString GetDefaultDestFolder(const wchar_t* keyPath = kShellFoldersKeyPath);
