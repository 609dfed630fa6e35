// Durations in Italian words, for the lines that a screen reader reads.
#pragma once

#include <cstdint>
#include <string>

// A duration in words, to the second: "1 ora, 2 minuti e 3 secondi"; "meno
// di un secondo" below one second.
std::string DurationInWords(int64_t ms);
// The time left in words, rounded as an estimate deserves: seconds below a
// minute, minutes below an hour, hours and minutes above ("mancano circa 3
// minuti", "manca circa 1 ora").
std::string RemainingInWords(int32_t ms);
