// UTF-8, strictly: no overlong forms, no surrogates, nothing above U+10FFFF;
// and UTF-16 texts, which are read as UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace text {

// One character read from UTF-8 text. length is the number of bytes taken,
// at least 1; valid is false for a malformed sequence, which then covers the
// lead byte and the continuation bytes that were still acceptable.
struct Utf8Char {
  uint32_t code;
  size_t length;
  bool valid;
};

// Decodes the character at text[i] (i < text.size()).
Utf8Char DecodeUtf8(const std::string& text, size_t i);

// Appends the UTF-8 form of a Unicode character.
void AppendUtf8(uint32_t code, std::string* out);

// The UTF-8 form of UTF-16 bytes (little-endian unless bigEndian). A
// surrogate without its partner, and an odd final byte, become U+FFFD.
std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian);

// A text that begins with a UTF-16 byte-order mark (FF FE little-endian,
// FE FF big-endian) becomes UTF-8, the UTF-8 mark taking the place of its
// own; false, and the text unchanged, without one.
bool DecodeUtf16Text(std::string* text);

}  // namespace text
