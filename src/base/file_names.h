// File names and whole text files as lists of lines.
#pragma once

#include <string>
#include <vector>

// The full path of an existing file named name; when there is none and the
// full path holds no dot, name with the default extension ext (tried as
// written, then in lower case on systems with case-sensitive names).
// A folder or device of that name, when no file is found, is given as it
// is (it is not a text, and the conversion says so). Raises "Impossibile
// trovare il file" naming name as given.
std::string ResolveFileName(const std::string& name, const std::string& ext);

// The name of the text file at path without folder and extension, which
// names the text's folder; a name that would be empty or dots alone ("..",
// from "...txt") becomes "_" followed by the whole file name.
std::string TextNameOfFile(const std::string& path);

// A path of a setting as a shell would have expanded it, which it does not
// after "=": on POSIX a leading "~" alone or followed by "/" stands for the
// user's home folder. "~user", any path when the home folder is unknown and
// every path on Windows stay as given.
std::string ExpandHomeFolder(const std::string& path);

// Resolves name with ResolveFileName and loads the file's lines.
std::vector<std::string> LoadTextList(const std::string& name, const std::string& ext);

// The program file's full path with its extension replaced by ext (appended
// when the program file has none).
std::string ProgramFileWithExtension(const std::string& ext);
