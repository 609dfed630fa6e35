#include "daisy/clock.h"

#include <cstdio>

namespace daisy {

std::string ClockValue(int64_t milliseconds) {
  char text[48];
  std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld.%03lld",
                static_cast<long long>(milliseconds / 3600000),
                static_cast<long long>(milliseconds / 60000 % 60),
                static_cast<long long>(milliseconds / 1000 % 60),
                static_cast<long long>(milliseconds % 1000));
  return text;
}

std::string Timecount(int64_t milliseconds) {
  char text[40];
  std::snprintf(text, sizeof text, "%lld.%03llds", static_cast<long long>(milliseconds / 1000),
                static_cast<long long>(milliseconds % 1000));
  return text;
}

std::string NormalPlayTime(int64_t milliseconds) { return "npt=" + Timecount(milliseconds); }

}  // namespace daisy
