// The ANSI code page, Windows-1252, as Unicode sees it; the same on every
// system.
#include "platform/charset.h"

namespace platform {

namespace {

// Windows-1252 bytes 0x80-0x9F; 0 where the code page leaves a byte unused.
const uint16_t kAnsiHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

int UnicodeToAnsi(uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (int i = 0; i < 32; ++i)
    if (kAnsiHigh[i] != 0 && kAnsiHigh[i] == code) return 0x80 + i;
  return -1;
}

uint32_t AnsiToUnicode(uint8_t byte) {
  return byte >= 0x80 && byte <= 0x9F ? kAnsiHigh[byte - 0x80] : byte;
}

}  // namespace platform
