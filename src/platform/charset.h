// The system's character sets: the ANSI code page (Windows-1252) of the
// program's texts and the OEM code page (850) of DOS texts. On Windows the
// system converts; elsewhere the fixed tables of the text library do.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// Converts text from the OEM code page to the ANSI code page in place.
void OemToAnsi(char* text, size_t length);
// Lower-cases ANSI text in place.
void AnsiLower(char* text, size_t length);
// A file name as ANSI text, for speaking or tagging it; on POSIX names are
// UTF-8 and characters outside the ANSI code page become "?".
std::string FileNameToAnsi(const std::string& name);
// A file name as UTF-8, for the tags that hold any character: on POSIX the
// name itself; on Windows the system's wide form of the ANSI name.
std::string FileNameToUtf8(const std::string& name);

}  // namespace platform
