#pragma once

#include "settings/SettingsStore.h"

// The start-up option (show this computer's address when the program starts) and the
// first-run marker, under application "DUZodiro", section "Nomal" (spelt so in files
// that exist: never correct it).
namespace StartupOption {

// The option as stored. On a first run (marker not exactly "1") writes the marker "1"
// and the option as the Boolean text of currentOption, and returns false.
bool LoadStartupOption(SettingsStore& store, bool currentOption = false);

// Stores the check box value as decimal text: "0" or "1".
void SaveStartupOption(SettingsStore& store, int checkValue);

// The platform's text-to-Boolean reading: "True"/"False" in any letter case, a number
// is true when not zero; anything else (absent, empty, other words) is false.
bool TextToBoolean(const QString& text);

}  // namespace StartupOption
