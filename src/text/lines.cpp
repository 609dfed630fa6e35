#include "text/lines.h"

namespace text {

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.find('\0');
  if (end == std::string::npos) end = text.size();
  size_t start = 0;
  while (start < end) {
    size_t stop = start;
    while (stop < end && text[stop] != '\r' && text[stop] != '\n') ++stop;
    lines.emplace_back(text, start, stop - start);
    if (stop < end && text[stop] == '\r' && stop + 1 < end && text[stop + 1] == '\n') ++stop;
    start = stop + 1;
  }
  return lines;
}

bool ParseInteger(const std::string& value, int32_t* n, bool hex) {
  size_t i = 0;
  bool negative = false;
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
  int base = 10;
  if (hex && i < value.size() && (value[i] == '$' || value[i] == 'X')) {
    base = 16;
    ++i;
  } else if (hex && value.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  }
  if (i == value.size()) return false;
  int64_t magnitude = 0;
  for (; i < value.size(); ++i) {
    char c = value[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > int64_t(INT32_MAX) + 1) return false;
  }
  int64_t result = negative ? -magnitude : magnitude;
  if (result > INT32_MAX || result < INT32_MIN) return false;
  *n = static_cast<int32_t>(result);
  return true;
}

}  // namespace text
