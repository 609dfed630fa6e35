// The progress display: elapsed time, percentage and remaining time.
#pragma once

#include <cstdint>
#include <string>

#include "base/durations.h"

// "1h2m3s" style; "0s" for 0; empty for 1 to 999 ms and for negative values.
std::string FormatDuration(int32_t ms);

struct TProgress {
  uint32_t StartTicks = 0;  // tick count when the conversion started
  int32_t TotalBytes = 0;   // bytes of all texts, less a resumed text's offset
  int32_t DoneBytes = 0;    // bytes converted; -1 asks for the final form
  std::string ProgressText;
  int32_t ElapsedMs = 0;
  int32_t Percent = 0;       // of the last update, 0 to 100
  int32_t RemainingMs = -1;  // of the last update; -1 when there is no estimate

  // Recomputes ProgressText (and ElapsedMs when DoneBytes is above 0) at the
  // tick count now.
  void Update(uint32_t nowTicks);
  // The text put before a progress line: elapsed, blank, ProgressText, ": ".
  std::string Prefix() const;
  // The progress in words, for a line that a screen reader reads aloud:
  // "25 %, mancano circa 47 secondi", or "0 %" before any estimate.
  std::string Words() const;
};
