// The option parser: one "KEY=value" text, from the command line or from the
// configuration file, applied to the settings.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/settings.h"

// Applies a setting text (a leading "/" is allowed) to settings; false when
// the text is not a valid setting. Never raises for a bad setting. On POSIX
// a path's leading "~" is the home folder, and a library (ECIDLL, MP3DLL)
// is stored by its full path: a relative name lies in libraryFolder (the
// configuration file's, with its final separator), or in the current folder
// when that is empty, as for the command line.
bool ParseSetting(const std::string& text, TSettings& settings = EditableSettings(),
                  const std::string& libraryFolder = std::string());

// The settings that shape the files a conversion writes (the voice, the
// audio format, the tags, titles, pauses, names and clips), as "KEY=value"
// lines that ParseSetting takes back to the same values.
std::vector<std::string> RecordSettings(const TSettings& settings);

// Whether key (upper case, without "/" and "=") is a key of a setting, in
// its long or short form.
bool IsSettingKey(const std::string& key);

// What the help and the manual page say of every setting, in the table's
// order: its keys, the group it is listed in, what it does, what it takes
// and its default.
enum class TSettingGroup { Reading, Writing, Voice, Files, Running };
struct TSettingHelp {
  std::string key, shortKey;  // shortKey empty when it has none
  TSettingGroup group;
  std::string summary, values, defaultValue;
};
std::vector<TSettingHelp> SettingsHelp();

// Raises "Parametro non valido " followed by the argument as typed.
[[noreturn]] void RaiseInvalidParameter(const std::string& argument);
// What is wrong with a "KEY=value" text that ParseSetting refused, in words.
std::string SettingProblem(const std::string& text);

// The help of "--help" on POSIX: the usage, every setting of the table by
// group with its keys, what it takes and its default, and the requests.
std::string LongHelpText();
// A setting's keys as the help lists them: "/VE, /VELOCITA".
std::string HelpKeys(const TSettingHelp& row);

// The two parts of the command-line help text, each printed as one line.
extern const char* const HelpText1;
extern const char* const HelpText2;
