#include "fake_enc_settings.h"

#include <cstdlib>
#include <sstream>

namespace {

std::string environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? std::string(value) : std::string();
}

// A whole decimal number without sign; false for anything else.
bool parseNumber(const std::string& text, std::uint32_t& value) {
  if (text.empty() || text.size() > 9) return false;
  std::uint32_t result = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    result = result * 10 + static_cast<std::uint32_t>(c - '0');
  }
  value = result;
  return true;
}

void readNumber(const char* name, std::uint32_t& value, FakeEncSettings& settings) {
  const std::string text = environment(name);
  if (!text.empty() && !parseNumber(text, value))
    settings.problems.push_back(std::string("ignored ") + name + "=" + text);
}

}  // namespace

bool parseFailRules(const std::string& text, std::vector<FakeEncFailRule>& rules) {
  bool allGood = true;
  std::istringstream list(text);
  std::string item;
  while (std::getline(list, item, ',')) {
    const std::size_t first = item.find(':');
    const std::size_t second = first == std::string::npos ? first : item.find(':', first + 1);
    FakeEncFailRule rule;
    if (second == std::string::npos || first == 0 ||
        !parseNumber(item.substr(first + 1, second - first - 1), rule.call) || rule.call == 0 ||
        !parseNumber(item.substr(second + 1), rule.result)) {
      allGood = false;
      continue;
    }
    rule.entry = item.substr(0, first);
    rules.push_back(rule);
  }
  return allGood;
}

FakeEncSettings readFakeEncSettings() {
  FakeEncSettings settings;
  settings.logPath = environment("NARRAVOX_FAKE_ENC_LOG");
  readNumber("NARRAVOX_FAKE_ENC_CHUNK", settings.samplesPerChunk, settings);
  readNumber("NARRAVOX_FAKE_ENC_MINOUT", settings.minOutputBytes, settings);
  settings.flushBytes = environment("NARRAVOX_FAKE_ENC_FLUSH");
  settings.mark = !environment("NARRAVOX_FAKE_ENC_MARK").empty();
  settings.frames = !environment("NARRAVOX_FAKE_ENC_FRAMES").empty();
  const std::string fail = environment("NARRAVOX_FAKE_ENC_FAIL");
  if (!parseFailRules(fail, settings.failRules))
    settings.problems.push_back("ignored part of NARRAVOX_FAKE_ENC_FAIL=" + fail);
  return settings;
}
