#include "text/utf8.h"

namespace text {

Utf8Char DecodeUtf8(const std::string& text, size_t i) {
  uint8_t lead = static_cast<uint8_t>(text[i]);
  if (lead < 0x80) return {lead, 1, true};
  int extra;
  uint32_t code;
  uint8_t low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    extra = 1;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    extra = 2;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    extra = 3;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return {0, 1, false};
  }
  size_t k = 1;
  for (; k <= static_cast<size_t>(extra); ++k) {
    if (i + k >= text.size()) return {0, k, false};
    uint8_t next = static_cast<uint8_t>(text[i + k]);
    uint8_t min = k == 1 ? low : 0x80, max = k == 1 ? high : 0xBF;
    if (next < min || next > max) return {0, k, false};
    code = code << 6 | (next & 0x3F);
  }
  return {code, k, true};
}

void AppendUtf8(uint32_t code, std::string* out) {
  if (code < 0x80) {
    *out += static_cast<char>(code);
  } else if (code < 0x800) {
    *out += static_cast<char>(0xC0 | code >> 6);
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *out += static_cast<char>(0xE0 | code >> 12);
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | code >> 18);
    *out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace text
