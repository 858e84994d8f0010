#pragma once
// The conversion options kept between runs as values of the program's registry key.
#include "conversion/ConversionOptions.h"
#include "settings/SettingsKey.h"

// Values that are missing or unreadable leave their fields as they were.
void LoadOptions(CConversionOptions& options, HKEY root = HKEY_CURRENT_USER,
                 const wchar_t* keyPath = kSettingsKeyPath);
void SaveOptions(const CConversionOptions& options, HKEY root = HKEY_CURRENT_USER,
                 const wchar_t* keyPath = kSettingsKeyPath);
