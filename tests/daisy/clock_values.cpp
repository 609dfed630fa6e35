// SMIL 1.0 clock values, as the DAISY 2.02 SMIL files and the NCC's time
// metadata write them.
#include <cctype>
#include <cmath>
#include <vector>

#include "daisy/daisy_checker.h"

namespace daisy_check {

namespace {

// Reads digits at text[at...]: true with their value and count.
bool Digits(const std::string& text, std::size_t& at, double& value, int& count) {
  value = 0;
  count = 0;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) {
    value = value * 10 + (text[at] - '0');
    ++at;
    ++count;
  }
  return count > 0;
}

// An optional ".digits": adds the fraction to value; decimals is their count.
bool Fraction(const std::string& text, std::size_t& at, double& value, int& decimals) {
  decimals = 0;
  if (at >= text.size() || text[at] != '.') return true;
  ++at;
  double digits = 0;
  if (!Digits(text, at, digits, decimals)) return false;
  value += digits / std::pow(10.0, decimals);
  return true;
}

std::optional<TClock> ClockOrCount(const std::string& text) {
  std::size_t at = 0;
  double first = 0;
  int count = 0;
  if (!Digits(text, at, first, count)) return std::nullopt;

  if (at < text.size() && text[at] == ':') {
    // Full clock "h:mm:ss(.f)" or partial clock "mm:ss(.f)".
    std::vector<double> parts{first};
    std::vector<int> widths{count};
    while (at < text.size() && text[at] == ':' && parts.size() < 3) {
      ++at;
      double part = 0;
      int width = 0;
      if (!Digits(text, at, part, width)) return std::nullopt;
      parts.push_back(part);
      widths.push_back(width);
    }
    // Minutes and seconds after a colon are two digits, 00 to 59; a
    // partial clock's minutes too.
    const std::size_t firstTwoDigit = parts.size() == 3 ? 1 : 0;
    for (std::size_t i = firstTwoDigit; i < parts.size(); ++i) {
      if (widths[i] != 2 || parts[i] > 59) return std::nullopt;
    }
    double seconds = parts.back();
    int decimals = 0;
    if (!Fraction(text, at, seconds, decimals) || at != text.size()) return std::nullopt;
    const double minutes = parts.size() == 3 ? parts[0] * 60 + parts[1] : parts[0];
    return TClock{minutes * 60 + seconds, std::pow(10.0, -decimals)};
  }

  // Timecount: "12", "12.3s", "250ms", "1.5min", "0.5h".
  double value = first;
  int decimals = 0;
  if (!Fraction(text, at, value, decimals)) return std::nullopt;
  const std::string unit = text.substr(at);
  double scale = 0;
  if (unit.empty() || unit == "s")
    scale = 1;
  else if (unit == "ms")
    scale = 0.001;
  else if (unit == "min")
    scale = 60;
  else if (unit == "h")
    scale = 3600;
  else
    return std::nullopt;
  return TClock{value * scale, std::pow(10.0, -decimals) * scale};
}

}  // namespace

std::optional<TClock> ParseClockValue(const std::string& text) {
  // Leading and trailing white space is allowed around an attribute's value.
  const auto begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return std::nullopt;
  const auto end = text.find_last_not_of(" \t\r\n");
  return ClockOrCount(text.substr(begin, end - begin + 1));
}

std::optional<TClock> ParseClipValue(const std::string& text) {
  const auto begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos || text.compare(begin, 4, "npt=") != 0) return std::nullopt;
  return ParseClockValue(text.substr(begin + 4));
}

}  // namespace daisy_check
