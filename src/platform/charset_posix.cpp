// The code pages of an Italian Windows system, OEM 850 and ANSI 1252, from
// fixed tables; file names are UTF-8.
#include "platform/charset.h"

#include "text/code_pages.h"
#include "text/utf8.h"

namespace platform {

void OemToAnsi(char* text, size_t length) { text::Cp850ToCp1252(text, length); }

void AnsiLower(char* text, size_t length) { text::LowerCp1252(text, length); }

std::string FileNameToAnsi(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size();) {
    text::Utf8Char c = text::DecodeUtf8(name, i);
    int ansi = c.valid ? text::UnicodeToCp1252(c.code) : -1;
    out += ansi < 0 ? '?' : static_cast<char>(ansi);
    i += c.length;
  }
  return out;
}

std::string FileNameToUtf8(const std::string& name) { return name; }

}  // namespace platform
