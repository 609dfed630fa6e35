// The two 8-bit code pages of Italian texts: Windows-1252 (the ANSI code
// page, which the program and the speech engine read) and code page 850
// (the OEM code page of DOS texts).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace text {

// The Windows-1252 byte of a Unicode character, or -1 when it has none.
int UnicodeToCp1252(uint32_t code);
// The Unicode character of a Windows-1252 byte; 0 for the five bytes the
// code page leaves unused (0x81 0x8D 0x8F 0x90 0x9D).
uint32_t Cp1252ToUnicode(uint8_t byte);
// Appends length bytes of Windows-1252 text as UTF-8; the unused bytes
// become spaces.
void AppendCp1252AsUtf8(const char* text, size_t length, std::string* out);
// Lower-cases Windows-1252 text in place, letters with diacritics included.
void LowerCp1252(char* text, size_t length);

// Converts code page 850 text to Windows-1252 in place; line-drawing and
// block characters, which 1252 lacks, become the look-alikes Windows picks.
void Cp850ToCp1252(char* text, size_t length);

}  // namespace text
