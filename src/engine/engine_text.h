// The text the engine reads, from the fragment's text as it was cut: the
// Italian normalisation, the user's dictionaries and the letter case, as the
// settings want them. The fragment's boundaries, and so the positions of
// the RecoveryFile, never depend on any of these.
#pragma once

#include <string>

#include "reading/user_dictionary.h"

// Reads the dictionaries named in DIZIONARIO (full paths joined by ";"):
// raises "Impossibile leggere il file" or the dictionary's error, which
// names the file and the line.
reading::TUserDictionary LoadUserDictionaries(const std::string& joined);

// One part of a fragment (Windows-1252) as the engine is to read it.
std::string EngineText(const std::string& part, const reading::TUserDictionary& dictionary);
