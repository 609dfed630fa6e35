// The configuration file beside the program: "KEY=value" lines under an
// optional "[Narravox]" header.
#pragma once

#include <string>
#include <vector>

// The configuration file's path: the program's path with ".INI".
std::string ConfigFilePath();

// Applies the setting lines of a configuration file's text, in order;
// raises "Errore nel file di configurazione, riga N" for a bad line.
void ApplyConfigurationLines(const std::vector<std::string>& lines);

// Reads the configuration file and applies it; the file is required.
void LoadConfiguration();
