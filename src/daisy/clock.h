// Times of a DAISY book, kept in whole milliseconds so that every total is
// exactly the sum of the times it adds up.
#pragma once

#include <cstdint>
#include <string>

namespace daisy {

// "01:02:03.456": a SMIL full clock value, as ncc:totalTime,
// ncc:totalElapsedTime and ncc:timeInThisSmil take it.
std::string ClockValue(int64_t milliseconds);
// "3723.456s": a timecount, as a seq's dur.
std::string Timecount(int64_t milliseconds);
// "npt=3723.456s", as clip-begin and clip-end.
std::string NormalPlayTime(int64_t milliseconds);

}  // namespace daisy
