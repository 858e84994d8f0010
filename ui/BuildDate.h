#pragma once
// The build date shown in the main window's caption.
#include "framework/String.h"

// "YYYY/MM/DD" from a compiler date text such as "Aug  8 2013" (the form of __DATE__);
// empty when the text is not of that form.
CString FormatBuildDate(const char* compilerDate);

// The date this program was built.
CString GetBuildDateText();
