// The progress display: percentage of the text bytes done and the time left.
#include "engine/progress.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

#include "base/durations.h"
#include "base/messages.h"

std::string FormatDuration(int32_t ms) {
  if (ms == 0) return "0s";
  std::string out;
  if (ms < 0) return out;
  int32_t hours = ms / 3600000, minutes = ms % 3600000 / 60000, seconds = ms % 60000 / 1000;
  if (hours > 0) out += std::to_string(hours) + msg::kHours;
  if (minutes > 0) out += std::to_string(minutes) + msg::kMinutes;
  if (seconds > 0) out += std::to_string(seconds) + msg::kSeconds;
  return out;
}

void TProgress::Update(uint32_t nowTicks) {
  RemainingMs = -1;
  if (DoneBytes < 0) {
    Percent = 100;
    RemainingMs = 0;
    ProgressText = "100% " + FormatDuration(ElapsedMs);
    return;
  }
  if (DoneBytes == 0) {
    Percent = 0;
    ProgressText = "0% ?";
    return;
  }
  // The tick counter may wrap in between; the unsigned difference is right.
  ElapsedMs = static_cast<int32_t>(nowTicks - StartTicks);
  if (TotalBytes <= 0) {
    // The texts changed after they were measured: nothing sensible to
    // estimate, so the work counts as done, without a time left.
    Percent = 100;
    ProgressText = "100% ";
    return;
  }
  // More done than was measured (a text grew meanwhile) is all of it.
  double pct = static_cast<double>(std::min(DoneBytes, TotalBytes)) * 100.0 / TotalBytes;
  double remaining = std::nearbyint((100.0 - pct) * (ElapsedMs / pct));
  constexpr double kMax = std::numeric_limits<int32_t>::max();
  constexpr double kMin = std::numeric_limits<int32_t>::min();
  int32_t remainingMs = remaining >= kMax ? std::numeric_limits<int32_t>::max()
                        : remaining <= kMin ? std::numeric_limits<int32_t>::min()
                                            : static_cast<int32_t>(remaining);
  long long shown = static_cast<long long>(std::nearbyint(pct));
  Percent = static_cast<int32_t>(shown);
  RemainingMs = remainingMs;
  ProgressText = std::to_string(shown) + "% " + FormatDuration(remainingMs);
}

std::string TProgress::Words() const {
  std::string words = std::to_string(Percent) + " %";
  if (RemainingMs >= 0 && Percent < 100) words += ", " + RemainingInWords(RemainingMs);
  return words;
}

std::string TProgress::Prefix() const {
  return FormatDuration(ElapsedMs) + " " + ProgressText + ": ";
}
