// Texts as the conversion reads them: measured, loaded whole, made safe for
// line splitting, recognised as DOS, Windows or UTF-8 text, converted to the
// ANSI code page and split into lines.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A set of byte values: value b is in the set when bit (b mod 8) of byte
// (b div 8) is 1.
using TCharSet = uint8_t[32];

extern const TCharSet DosAccentSet;      // OEM é à è ì ò ù
extern const TCharSet WindowsAccentSet;  // ANSI à è é ì ò ù

// The values of TIPOTESTO: 0 automatic, 1 Windows, 2 DOS, 3 UTF-8.
constexpr int32_t kTextAuto = 0;
constexpr int32_t kTextWindows = 1;
constexpr int32_t kTextDos = 2;
constexpr int32_t kTextUtf8 = 3;

// The size of a text file, 0 when it cannot be opened or measured.
int32_t TextFileSize(const std::string& path);

// Reads size bytes of the file. Raises "Impossibile trovare il file" when it
// cannot be opened and "Errore durante la lettura del file" when reading or
// closing fails.
std::string LoadText(const std::string& path, int32_t size);

// The number of bytes of text, up to its first NUL byte, that are in set.
int32_t CountCharsInSet(const TCharSet& set, const std::string& text);

// Makes a loaded text ready for fragmentation: NUL bytes become blanks, the
// character set is decided (textType one of the values above; oemText keeps
// the decision for DOS texts and is the run's fixed choice otherwise), the
// doubtful-detection warning is printed, and the text is converted to ANSI.
void PrepareText(std::string* text, int32_t textType, bool* oemText);

// UTF-8 recognition and conversion, for texts of today's systems.
bool LooksLikeUtf8(const std::string& text);
// Converts UTF-8 (with or without byte-order mark) to Windows-1252;
// characters outside it become their closest plain form, or "?".
std::string Utf8ToAnsi(const std::string& text);
