// UTF-8, strictly: no overlong forms, no surrogates, nothing above U+10FFFF.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

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

}  // namespace text
