#include "engine/mp3_length.h"

namespace {

// The bit rates (kbit/s) of layer III by index, MPEG-1 and MPEG-2/2.5.
const int kBitrates[2][16] = {
    {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
    {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}};
const int kSampleRates[3] = {44100, 48000, 32000};

}  // namespace

TMp3Length Mp3Length(const std::string& bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  size_t size = bytes.size();
  if (size >= 128 && bytes.compare(size - 128, 3, "TAG") == 0) size -= 128;
  size_t at = 0;
  if (size >= 10 && bytes.compare(0, 3, "ID3") == 0)
    at = 10 + ((size_t{b[6]} & 0x7F) << 21 | (size_t{b[7]} & 0x7F) << 14 |
               (size_t{b[8]} & 0x7F) << 7 | (size_t{b[9]} & 0x7F));
  int64_t samples = 0;
  int rate = 0;
  while (at + 4 <= size) {
    if (b[at] != 0xFF || (b[at + 1] & 0xE0) != 0xE0 || ((b[at + 1] >> 1) & 3) != 1) break;
    const int version = (b[at + 1] >> 3) & 3;  // 3 MPEG-1, 2 MPEG-2, 0 MPEG-2.5
    const int bitrateIndex = b[at + 2] >> 4, rateIndex = (b[at + 2] >> 2) & 3;
    if (version == 1 || rateIndex == 3 || kBitrates[version == 3 ? 0 : 1][bitrateIndex] == 0) break;
    rate = kSampleRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int bitrate = kBitrates[version == 3 ? 0 : 1][bitrateIndex] * 1000;
    const int perFrame = version == 3 ? 1152 : 576;
    const size_t length = static_cast<size_t>(perFrame / 8 * bitrate / rate + ((b[at + 2] >> 1) & 1));
    samples += perFrame;
    at += length;
  }
  TMp3Length length;
  length.rate = rate;
  length.samples = rate == 0 ? 0 : samples;
  return length;
}

