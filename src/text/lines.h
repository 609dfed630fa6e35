// Lines and whole numbers as the program reads them from its files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace text {

// Splits a text into lines at CR LF, lone CR and lone LF; a final line end
// makes no empty last line, and a NUL character ends the text.
std::vector<std::string> SplitLines(const std::string& text);

// A whole number: an optional sign, then decimal digits or, when hex is
// allowed, hexadecimal digits after "$", "X" or "0X"; 32-bit range.
bool ParseInteger(const std::string& value, int32_t* n, bool hex = true);

}  // namespace text
