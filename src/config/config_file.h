// The configuration file: "KEY=value" lines under an optional "[Narravox]"
// header, beside the program or in the user's folder (base/program_files.h).
#pragma once

#include <string>
#include <vector>

// The path of the configuration file in use.
std::string ConfigFilePath();

// Applies the setting lines of a configuration file's text, in order (a
// relative library name lies in the folder of the file in use); raises
// "Errore nel file di configurazione, riga N" for a bad line.
void ApplyConfigurationLines(const std::vector<std::string>& lines);

// Reads the configuration file and applies it. The file beside the program
// is required; a missing file of the user's leaves the built-in settings.
void LoadConfiguration();
