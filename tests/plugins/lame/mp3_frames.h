// Reading back what an encoder wrote: MPEG audio frame headers, and the
// samples that libmpg123 decodes from them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Mp3Frame {
  std::size_t offset = 0;
  std::size_t length = 0;  // bytes, header included
  int version = 0;         // 10 = MPEG 1, 20 = MPEG 2, 25 = MPEG 2.5
  int layer = 0;
  int kbps = 0;
  int rate = 0;
  bool mono = false;
  bool crc = false;
  bool privateBit = false;
  bool copyright = false;
  bool original = false;
  int emphasis = 0;
};

// Cuts the bytes into layer III frames lying back to back from the first
// byte to the last.  False (with the frames found so far) as soon as a byte
// does not start a frame where one is due, or the last frame is cut short:
// so any tag or stray header fails it.
bool splitFrames(const std::vector<std::uint8_t>& mp3, std::vector<Mp3Frame>& frames);

struct DecodedAudio {
  bool ok = false;
  long rate = 0;
  int channels = 0;
  std::vector<std::int16_t> samples;
};

DecodedAudio decodeMp3(const std::vector<std::uint8_t>& mp3);
