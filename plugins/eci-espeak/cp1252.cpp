#include "cp1252.h"

#include <cstdint>

namespace eci {
namespace {

// Code points of 0x80..0x9F; 0x20 stands for the undefined codes.
const uint16_t kHighControls[32] = {
    0x20AC, 0x0020, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x0020, 0x017D, 0x0020,
    0x0020, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0020, 0x017E, 0x0178,
};

void AppendCodePoint(uint32_t cp, std::string &out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

void AppendCp1252AsUtf8(unsigned char byte, std::string &out) {
    if (byte >= 0x80 && byte <= 0x9F)
        AppendCodePoint(kHighControls[byte - 0x80], out);
    else
        AppendCodePoint(byte, out);
}

std::string Cp1252ToUtf8(const std::string &text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) AppendCp1252AsUtf8(static_cast<unsigned char>(c), out);
    return out;
}

}  // namespace eci
