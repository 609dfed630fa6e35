// The system's character sets: the ANSI code page (Windows-1252) of the
// program's texts and the OEM code page (850) of DOS texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Converts text from the OEM code page to the ANSI code page in place.
void OemToAnsi(char* text, size_t length);
// Lower-cases ANSI text in place.
void AnsiLower(char* text, size_t length);
// The Windows-1252 byte of a Unicode character, or -1 when it has none.
int UnicodeToAnsi(uint32_t code);
// The Unicode character of a Windows-1252 byte; 0 for the five bytes the
// code page leaves unused.
uint32_t AnsiToUnicode(uint8_t byte);
// A file name as ANSI text, for speaking or tagging it; on POSIX names are
// UTF-8 and characters outside the ANSI code page become "?".
std::string FileNameToAnsi(const std::string& name);

}  // namespace platform
