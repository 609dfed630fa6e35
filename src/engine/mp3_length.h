// The length of an MP3 file's audio as a decoder plays it, read from its
// frame headers: every Layer III frame counts its samples (1152 in MPEG-1,
// 576 in MPEG-2 and 2.5), so the count is exact, not estimated from the
// size or the bit rate. It includes the encoder's delay and the padding of
// the last frame, which a decoder plays as well.
#pragma once

#include <cstdint>
#include <string>

struct TMp3Length {
  int64_t samples = 0;
  int32_t rate = 0;  // Hz; 0 when the file has no frame
  // Rounded to the nearest.
  int64_t Milliseconds() const { return rate == 0 ? 0 : (samples * 1000 + rate / 2) / rate; }
};

// The frames after any ID3v2 tag, up to any ID3v1 tag; the count stops at
// the first bytes that are not a frame.
TMp3Length Mp3Length(const std::string& bytes);
