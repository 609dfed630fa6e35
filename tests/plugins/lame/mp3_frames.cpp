#include "mp3_frames.h"

#include <mpg123.h>

namespace {

bool parseHeader(const std::uint8_t* h, Mp3Frame& frame) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  static const int versions[4] = {25, 0, 20, 10};
  frame.version = versions[(h[1] >> 3) & 3];
  frame.layer = 4 - ((h[1] >> 1) & 3);
  if (frame.version == 0 || frame.layer != 3) return false;
  frame.crc = (h[1] & 1) == 0;

  static const int kbpsMpeg1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                    112, 128, 160, 192, 224, 256, 320, -1};
  static const int kbpsMpeg2[16] = {0,  8,  16, 24,  32,  40,  48,  56,
                                    64, 80, 96, 112, 128, 144, 160, -1};
  const int index = h[2] >> 4;
  frame.kbps = frame.version == 10 ? kbpsMpeg1[index] : kbpsMpeg2[index];
  static const int rates[3] = {44100, 48000, 32000};
  const int rateIndex = (h[2] >> 2) & 3;
  if (frame.kbps <= 0 || rateIndex == 3) return false;
  frame.rate = rates[rateIndex] / (frame.version == 10 ? 1 : frame.version == 20 ? 2 : 4);
  const int padding = (h[2] >> 1) & 1;
  frame.privateBit = (h[2] & 1) != 0;
  frame.mono = (h[3] >> 6) == 3;
  frame.copyright = (h[3] & 8) != 0;
  frame.original = (h[3] & 4) != 0;
  frame.emphasis = h[3] & 3;
  const int perFrame = frame.version == 10 ? 144000 : 72000;
  frame.length = static_cast<std::size_t>(perFrame * frame.kbps / frame.rate + padding);
  return true;
}

}  // namespace

bool splitFrames(const std::vector<std::uint8_t>& mp3, std::vector<Mp3Frame>& frames) {
  frames.clear();
  std::size_t at = 0;
  while (at < mp3.size()) {
    Mp3Frame frame;
    if (mp3.size() - at < 4 || !parseHeader(&mp3[at], frame)) return false;
    frame.offset = at;
    if (frame.length > mp3.size() - at) return false;
    frames.push_back(frame);
    at += frame.length;
  }
  return true;
}

DecodedAudio decodeMp3(const std::vector<std::uint8_t>& mp3) {
  DecodedAudio audio;
  mpg123_handle* decoder = mpg123_new(nullptr, nullptr);
  if (decoder == nullptr) return audio;
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  bool ok = mpg123_open_feed(decoder) == MPG123_OK &&
            mpg123_feed(decoder, mp3.data(), mp3.size()) == MPG123_OK;
  std::vector<unsigned char> block(16384);
  while (ok) {
    size_t got = 0;
    const int result = mpg123_read(decoder, block.data(), block.size(), &got);
    const auto* samples = reinterpret_cast<const std::int16_t*>(block.data());
    audio.samples.insert(audio.samples.end(), samples, samples + got / 2);
    if (result == MPG123_NEW_FORMAT) {
      int encoding = 0;
      mpg123_getformat(decoder, &audio.rate, &audio.channels, &encoding);
      ok = encoding == MPG123_ENC_SIGNED_16;
    } else if (result == MPG123_NEED_MORE || result == MPG123_DONE) {
      audio.ok = true;
      break;
    } else if (result != MPG123_OK) {
      ok = false;
    }
  }
  mpg123_delete(decoder);
  return audio;
}
