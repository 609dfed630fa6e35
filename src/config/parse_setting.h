// The option parser: one "KEY=value" text, from the command line or from the
// configuration file, applied to the settings.
#pragma once

#include <cstdint>
#include <string>

#include "config/settings.h"

// Applies a setting text (a leading "/" is allowed) to settings; false when
// the text is not a valid setting. Never raises for a bad setting.
bool ParseSetting(const std::string& text, TSettings& settings = Settings);

// The whole-number syntax of setting values: an optional sign, then decimal
// digits, or hexadecimal digits after "$", "X" or "0X"; 32-bit range.
bool ParseInteger(const std::string& value, int32_t* n);

// Raises "Parametro non valido " followed by the argument as typed.
[[noreturn]] void RaiseInvalidParameter(const std::string& argument);

// The two parts of the command-line help text, each printed as one line.
extern const char* const HelpText1;
extern const char* const HelpText2;
