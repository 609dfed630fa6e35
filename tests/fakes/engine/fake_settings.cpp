#include "fake_settings.h"

#include <cstdlib>

namespace fake_eci {
namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

bool ParseNumber(const std::string& text, int64_t& out) {
  if (text.empty() || text.size() > 12) return false;
  int64_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  out = n;
  return true;
}

}  // namespace

std::vector<PlannedFailure> ParseFailures(const std::string& text) {
  std::vector<PlannedFailure> out;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(',', start);
    if (end == std::string::npos) end = text.size();
    const std::string item = text.substr(start, end - start);
    start = end + 1;
    size_t colon = item.find(':');
    if (colon == std::string::npos || colon == 0) continue;
    size_t colon2 = item.find(':', colon + 1);
    PlannedFailure f;
    f.name = item.substr(0, colon);
    int64_t code = f.code;
    if (!ParseNumber(item.substr(colon + 1, colon2 == std::string::npos ? std::string::npos
                                                                        : colon2 - colon - 1),
                     f.call) ||
        f.call < 1)
      continue;
    if (colon2 != std::string::npos && !ParseNumber(item.substr(colon2 + 1), code)) continue;
    f.code = static_cast<int32_t>(code);
    out.push_back(f);
  }
  return out;
}

Settings ReadSettings() {
  Settings s;
  s.log_path = Env("NARRAVOX_FAKE_ECI_LOG");
  s.failures = ParseFailures(Env("NARRAVOX_FAKE_ECI_FAIL"));
  s.mark = !Env("NARRAVOX_FAKE_ECI_MARK").empty();
  s.no_audio = !Env("NARRAVOX_FAKE_ECI_NO_AUDIO").empty();
  s.hold_path = Env("NARRAVOX_FAKE_ECI_HOLD");
  int64_t voices = 0;
  if (ParseNumber(Env("NARRAVOX_FAKE_ECI_VOICES"), voices) && voices <= 8)
    s.voices = static_cast<int32_t>(voices);
  int64_t fill = 0;
  if (ParseNumber(Env("NARRAVOX_FAKE_ECI_FILL"), fill) && fill < INT32_MAX)
    s.fill = static_cast<int32_t>(fill);
  return s;
}

}  // namespace fake_eci
