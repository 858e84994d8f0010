#include "ui/BuildDate.h"

#include <cstdio>
#include <cstring>

CString FormatBuildDate(const char* compilerDate)
{
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char monthName[4] = {};
    int day = 0;
    int year = 0;
    CString text;
    if (sscanf(compilerDate, "%3s %d %d", monthName, &day, &year) != 3 || day < 1 || day > 31)
        return text;
    for (int month = 0; month < 12; ++month) {
        if (strcmp(monthName, kMonths[month]) == 0) {
            text.Format(L"%04d/%02d/%02d", year, month + 1, day);
            break;
        }
    }
    return text;
}

CString GetBuildDateText()
{
    return FormatBuildDate(__DATE__);
}
