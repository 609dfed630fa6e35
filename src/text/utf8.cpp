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

std::string Utf16ToUtf8(std::string_view bytes, bool bigEndian) {
  const uint32_t kReplacement = 0xFFFD;
  auto unit = [&](size_t i) -> uint32_t {
    uint32_t first = static_cast<uint8_t>(bytes[i]), second = static_cast<uint8_t>(bytes[i + 1]);
    return bigEndian ? first << 8 | second : second << 8 | first;
  };
  std::string out;
  out.reserve(bytes.size());
  size_t i = 0;
  for (; i + 1 < bytes.size(); i += 2) {
    uint32_t code = unit(i);
    if (code >= 0xD800 && code <= 0xDBFF && i + 3 < bytes.size()) {
      uint32_t low = unit(i + 2);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (code >= 0xD800 && code <= 0xDFFF) code = kReplacement;
    AppendUtf8(code, &out);
  }
  if (i < bytes.size()) AppendUtf8(kReplacement, &out);
  return out;
}

bool DecodeUtf16Text(std::string* text) {
  if (text->size() < 2) return false;
  uint8_t first = static_cast<uint8_t>((*text)[0]), second = static_cast<uint8_t>((*text)[1]);
  bool little = first == 0xFF && second == 0xFE, big = first == 0xFE && second == 0xFF;
  if (!little && !big) return false;
  std::string utf8 = "\xEF\xBB\xBF" + Utf16ToUtf8(std::string_view(*text).substr(2), big);
  text->swap(utf8);
  return true;
}

}  // namespace text
