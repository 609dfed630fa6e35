#include "base/durations.h"

#include <vector>

#include "base/errors.h"
#include "base/messages.h"

namespace {

// "1 secondo" or "N secondi", and the like.
std::string Counted(int64_t n, const char* one, const char* many) {
  return n == 1 ? std::string(one) : FormatText(many, {std::to_string(n)});
}

// The parts joined as Italian lists them: "a", "a e b", "a, b e c".
std::string JoinedParts(const std::vector<std::string>& parts) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += i + 1 == parts.size() ? msg::kAnd : ", ";
    out += parts[i];
  }
  return out;
}

}  // namespace

std::string DurationInWords(int64_t ms) {
  if (ms < 1000) return msg::kUnderASecond;
  const int64_t seconds = ms / 1000;
  std::vector<std::string> parts;
  if (seconds >= 3600) parts.push_back(Counted(seconds / 3600, msg::kOneHour, msg::kHoursMany));
  if (seconds % 3600 >= 60)
    parts.push_back(Counted(seconds % 3600 / 60, msg::kOneMinute, msg::kMinutesMany));
  if (seconds % 60 > 0) parts.push_back(Counted(seconds % 60, msg::kOneSecond, msg::kSecondsMany));
  return JoinedParts(parts);
}

std::string RemainingInWords(int32_t ms) {
  const int64_t seconds = (static_cast<int64_t>(ms) + 500) / 1000;
  std::vector<std::string> parts;
  int64_t first;  // the number that the verb agrees with
  if (seconds == 0) return msg::kRemainingUnderASecond;
  if (seconds < 60) {
    first = seconds;
    parts.push_back(Counted(seconds, msg::kOneSecond, msg::kSecondsMany));
  } else if (seconds < 3600) {
    first = (seconds + 30) / 60;
    parts.push_back(Counted(first, msg::kOneMinute, msg::kMinutesMany));
  } else {
    const int64_t minutes = (seconds + 30) / 60;
    first = minutes / 60;
    parts.push_back(Counted(first, msg::kOneHour, msg::kHoursMany));
    if (minutes % 60 > 0) parts.push_back(Counted(minutes % 60, msg::kOneMinute, msg::kMinutesMany));
  }
  return FormatText(first == 1 && parts.size() == 1 ? msg::kRemainingOne : msg::kRemainingMany,
                    {JoinedParts(parts)});
}
