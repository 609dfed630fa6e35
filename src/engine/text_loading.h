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

// Reads size bytes of the file; a text with a UTF-16 byte-order mark is
// given as UTF-8 with the UTF-8 mark, so that positions in it are those of
// a UTF-8 text. Raises "Impossibile trovare il file" when it cannot be
// opened and "Errore durante la lettura del file" when reading or closing
// fails.
std::string LoadText(const std::string& path, int32_t size);

// The number of bytes of text, up to its first NUL byte, that are in set.
int32_t CountCharsInSet(const TCharSet& set, const std::string& text);

// Makes a loaded text ready for fragmentation: NUL bytes become blanks, the
// character set is decided (textType one of the values above; oemText keeps
// the decision for DOS texts and is the run's fixed choice otherwise; a text
// with a UTF-8 byte-order mark is UTF-8 whatever the type), the
// warnings of a doubtful decision or of a UTF-8 text with invalid bytes
// (naming the text by name) are printed, and the text is converted to ANSI.
void PrepareText(std::string* text, int32_t textType, bool* oemText,
                 const std::string& name = "");

// UTF-8 recognition and conversion, for texts of today's systems.
struct TUtf8Census {
  int32_t multiByte = 0;     // valid sequences of two bytes or more
  int32_t invalidBytes = 0;  // bytes of malformed sequences
  bool byteOrderMark = false;
};
TUtf8Census CountUtf8(const std::string& text);
// A byte-order mark, or at least one multi-byte sequence and no invalid one.
bool LooksLikeUtf8(const std::string& text);
// What automatic detection reads as UTF-8: what LooksLikeUtf8 accepts, and a
// text that is overwhelmingly UTF-8 with a few stray bytes of another code
// page: at least 10 valid multi-byte sequences and fewer than one invalid
// byte in 20 of them.
bool MostlyUtf8(const TUtf8Census& census);
// Converts UTF-8 (with or without byte-order mark) to Windows-1252;
// characters outside it become their closest plain form, or "?". An invalid
// byte becomes "?", or with invalidAs1252 the Windows-1252 character it is.
std::string Utf8ToAnsi(const std::string& text, bool invalidAs1252 = false);
