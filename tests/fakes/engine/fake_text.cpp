#include "fake_text.h"

#include <cstdio>

namespace fake_eci {
namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void AppendSpeech(const char* text, bool annotated, int32_t rate_hz,
                  std::vector<int16_t>& samples) {
  for (const char* p = text; *p;) {
    if (!annotated || *p != '`') {
      samples.push_back(static_cast<int16_t>(static_cast<unsigned char>(*p)));
      ++p;
      continue;
    }
    ++p;
    const char* name = p;
    while (IsLetter(*p)) ++p;
    const bool pause = p - name == 1 && (*name == 'p' || *name == 'P');
    bool negative = false;
    if ((*p == '-' || *p == '+') && IsDigit(p[1])) negative = *p++ == '-';
    int64_t n = 0;
    bool digits = false;
    while (IsDigit(*p)) {
      if (n < 100000000) n = n * 10 + (*p - '0');
      digits = true;
      ++p;
    }
    if (pause && digits && !negative)
      samples.insert(samples.end(), static_cast<size_t>(rate_hz * n / 2000), 0);
  }
}

std::string Quote(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    unsigned char c = static_cast<unsigned char>(*p);
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          char hex[8];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

}  // namespace fake_eci
