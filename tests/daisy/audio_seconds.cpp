// How long an MPEG audio file plays: decoded with libmpg123, every sample
// counted; or, for the test encoder's fakes, counted from the frame headers.
#include <mpg123.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

#include "daisy/daisy_checker.h"

namespace daisy_check {

namespace {

std::optional<double> Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return std::nullopt;
}

std::optional<double> DecodedSeconds(const std::string& path, std::string* error) {
  int status = MPG123_OK;
  mpg123_handle* decoder = mpg123_new(nullptr, &status);
  if (decoder == nullptr)
    return Fail(error, "libmpg123 cannot start: " + std::string(mpg123_plain_strerror(status)));
  mpg123_param(decoder, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
  if (mpg123_open(decoder, path.c_str()) != MPG123_OK) {
    const std::string why = mpg123_strerror(decoder);
    mpg123_delete(decoder);
    return Fail(error, "libmpg123 cannot open it: " + why);
  }
  // The samples of each stretch of one format, over its rate.
  double seconds = 0;
  long rate = 0;
  std::size_t bytesPerSample = 0;  // all channels
  std::vector<unsigned char> block(65536);
  std::string why;
  for (;;) {
    std::size_t got = 0;
    const int result = mpg123_read(decoder, block.data(), block.size(), &got);
    if (got > 0 && bytesPerSample > 0) {
      seconds += static_cast<double>(got / bytesPerSample) / static_cast<double>(rate);
    }
    if (result == MPG123_NEW_FORMAT) {
      int channels = 0;
      int encoding = 0;
      mpg123_getformat(decoder, &rate, &channels, &encoding);
      bytesPerSample = static_cast<std::size_t>(channels * mpg123_encsize(encoding));
      if (rate <= 0 || bytesPerSample == 0) why = "libmpg123 found no usable audio format in it";
    } else if (result == MPG123_DONE) {
      break;
    } else if (result != MPG123_OK) {
      why = "libmpg123 cannot decode it: " + std::string(mpg123_strerror(decoder));
    }
    if (!why.empty()) break;
  }
  mpg123_close(decoder);
  mpg123_delete(decoder);
  if (!why.empty()) return Fail(error, why);
  if (rate == 0) return Fail(error, "libmpg123 decodes no audio from it");
  return seconds;
}

struct TFrame {
  std::size_t length = 0;
  int samples = 0;
  int rate = 0;
  std::size_t sideInfoEnd = 0;  // where a Xing or Info tag would start
};

// A layer III frame header at h (4 bytes).
bool ParseFrameHeader(const std::uint8_t* h, TFrame& frame) {
  if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) return false;
  const int version = (h[1] >> 3) & 3;  // 0: MPEG 2.5, 2: MPEG 2, 3: MPEG 1
  const int layer = (h[1] >> 1) & 3;    // 1: layer III
  if (version == 1 || layer != 1) return false;
  const bool mpeg1 = version == 3;
  static const int kbps1[16] = {0,   32,  40,  48,  56,  64,  80,  96,
                                112, 128, 160, 192, 224, 256, 320, 0};
  static const int kbps2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
  const int kbps = (mpeg1 ? kbps1 : kbps2)[h[2] >> 4];
  const int rateIndex = (h[2] >> 2) & 3;
  if (kbps == 0 || rateIndex == 3) return false;
  static const int rates[3] = {44100, 48000, 32000};
  frame.rate = rates[rateIndex] / (mpeg1 ? 1 : version == 2 ? 2 : 4);
  frame.samples = mpeg1 ? 1152 : 576;
  const int padding = (h[2] >> 1) & 1;
  frame.length = static_cast<std::size_t>((mpeg1 ? 144000 : 72000) * kbps / frame.rate + padding);
  const bool mono = (h[3] >> 6) == 3;
  const bool crc = (h[1] & 1) == 0;
  frame.sideInfoEnd = 4 + (crc ? 2 : 0) + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
  return true;
}

std::optional<double> FrameSeconds(const std::string& path, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(error, "it cannot be read");
  const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
  std::size_t at = 0;
  std::size_t end = bytes.size();
  // An ID3v2 tag at the start (its size is syncsafe: 7 bits a byte), an
  // ID3v1 tag in the last 128 bytes.
  if (end >= 10 && bytes[0] == 'I' && bytes[1] == 'D' && bytes[2] == '3') {
    const std::size_t size = (bytes[6] & 0x7F) << 21 | (bytes[7] & 0x7F) << 14 |
                             (bytes[8] & 0x7F) << 7 | (bytes[9] & 0x7F);
    at = 10 + size + ((bytes[5] & 0x10) ? 10 : 0);
  }
  if (end >= at + 128 && bytes[end - 128] == 'T' && bytes[end - 127] == 'A' &&
      bytes[end - 126] == 'G') {
    end -= 128;
  }
  double seconds = 0;
  bool first = true;
  int frames = 0;
  while (at < end) {
    TFrame frame;
    if (end - at < 4 || !ParseFrameHeader(&bytes[at], frame)) {
      return Fail(error, "byte " + std::to_string(at) + " does not start an MPEG layer III frame");
    }
    if (frame.length > end - at) return Fail(error, "its last frame is cut short");
    // A Xing or Info tag in the first frame is no audio (decoders skip it).
    const std::size_t tag = at + frame.sideInfoEnd;
    const bool infoFrame = first && tag + 4 <= at + frame.length &&
                           (std::equal(&bytes[tag], &bytes[tag] + 4, "Xing") ||
                            std::equal(&bytes[tag], &bytes[tag] + 4, "Info"));
    if (!infoFrame) {
      seconds += static_cast<double>(frame.samples) / frame.rate;
      ++frames;
    }
    first = false;
    at += frame.length;
  }
  if (frames == 0) return Fail(error, "it holds no MPEG audio frames");
  return seconds;
}

}  // namespace

std::optional<double> AudioFileSeconds(const std::string& path, const TOptions& options,
                                       std::string* error) {
  return options.decodeAudio ? DecodedSeconds(path, error) : FrameSeconds(path, error);
}

}  // namespace daisy_check
