// File names and whole text files as lists of lines.
#pragma once

#include <string>
#include <vector>

// The full path of an existing file named name; when there is none and the
// full path holds no dot, name with the default extension ext (tried as
// written, then in lower case on systems with case-sensitive names).
// Raises "Impossibile trovare il file" naming name as given.
std::string ResolveFileName(const std::string& name, const std::string& ext);

// Resolves name with ResolveFileName and loads the file's lines.
std::vector<std::string> LoadTextList(const std::string& name, const std::string& ext);

// The program file's full path with its extension replaced by ext (appended
// when the program file has none).
std::string ProgramFileWithExtension(const std::string& ext);
