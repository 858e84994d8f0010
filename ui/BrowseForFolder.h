#pragma once
// The shell's folder picker.
#include "framework/String.h"

// The chosen folder's file-system path; empty when the user cancels or the item has no path.
CString BrowseForFolder(const wchar_t* title, HWND hOwner);
