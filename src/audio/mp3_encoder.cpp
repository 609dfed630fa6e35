#include "audio/mp3_encoder.h"

#include <cstring>

#include "audio/dyna_link.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"

namespace {

// The bit rates of mono MPEG audio by sampling rate: MPEG 2.5 below 16 kHz,
// MPEG 2 below 32 kHz, MPEG 1 above; and the /RS value that picks each.
struct TMpegRange {
  int32_t belowRate;
  int32_t lowest, highest;
  const char* option;
  int32_t example;
};
const TMpegRange kMpegRanges[] = {
    {16000, 8, 64, "/RS=11", 11025},
    {32000, 8, 160, "/RS=22", 22050},
    {96000, 32, 320, "/RS=44", 44100},
};

const TMpegRange& RangeAt(int32_t rate) {
  for (const TMpegRange& range : kMpegRanges)
    if (rate < range.belowRate) return range;
  return kMpegRanges[2];
}

bool Allows(const TMpegRange& range, int32_t bitrate) {
  return bitrate >= range.lowest && bitrate <= range.highest;
}

}  // namespace

TEncoderRates EncoderRates() {
  TEncoderRates rates;
  rates.pipelineUpsamples = Settings.RESAMPLE < 0;
  rates.mp3 = Settings.RESAMPLE == 0   ? Settings.SAMPLE
              : Settings.RESAMPLE < 0 ? 4 * Settings.SAMPLE
                                      : Settings.RESAMPLE;
  rates.input = rates.pipelineUpsamples ? rates.mp3 : Settings.SAMPLE;
  return rates;
}

void CheckBitrate() {
  const int32_t rate = EncoderRates().mp3, bitrate = Settings.BITRATE;
  const TMpegRange& range = RangeAt(rate);
  if (Allows(range, bitrate)) return;
  std::string message =
      FormatText(msg::kBitrateRefused, {std::to_string(bitrate), std::to_string(rate),
                                        std::to_string(range.lowest),
                                        std::to_string(range.highest)});
  // The middle range first: it keeps the files smallest.
  std::string options;
  for (int i : {1, 2, 0}) {
    if (&kMpegRanges[i] == &range || !Allows(kMpegRanges[i], bitrate)) continue;
    options += (options.empty() ? "" : msg::kOr) + std::string(kMpegRanges[i].option);
  }
  if (!options.empty())
    message += FormatText(msg::kBitrateHint, {std::to_string(bitrate), options});
  RaiseError(message);
}

void CheckEncoder(uint32_t result) {
  if (result != 0)
    RaiseError(FormatText(msg::kEncoderError, {std::to_string(static_cast<int32_t>(result))}));
}

TEncoderBinding::TEncoderBinding() {
  const TEncoderRates rates = EncoderRates();
  std::memset(&config_, 0, sizeof config_);
  config_.dwConfig = BE_CONFIG_LAME;
  config_.dwStructVersion = BE_CONFIG_VERSION;
  config_.dwStructSize = BE_CONFIG_SIZE;
  config_.dwSampleRate = static_cast<uint32_t>(rates.input);
  config_.dwReSampleRate = static_cast<uint32_t>(rates.mp3);
  config_.nMode = BE_MP3_MODE_MONO;
  config_.dwBitrate = static_cast<uint32_t>(Settings.BITRATE);
  config_.bOriginal = -1;
}

TEncoderBinding::~TEncoderBinding() {
  try {
    CloseStream();
  } catch (...) {  // a library that cannot be bound has no stream open
  }
  DLFreeLib(library_);
}

template <typename Proc>
Proc TEncoderBinding::Bound(Proc& slot, const char* name) {
  return DLBind(slot, Settings.MP3DLL, name, library_);
}

void TEncoderBinding::OpenStream(uint32_t* chunkSamples, uint32_t* minOutput) {
  uint32_t chunk = 0, minimum = 0;
  CheckEncoder(Bound(slots_.InitStream, "beInitStream")(&config_, &chunk, &minimum, &stream_));
  if (chunkSamples) *chunkSamples = chunk;
  if (minOutput) *minOutput = minimum;
}

BE_ERR TEncoderBinding::EncodeChunk(uint32_t samples, const int16_t* input, uint8_t* output,
                                    uint32_t* outputBytes) {
  return Bound(slots_.EncodeChunk, "beEncodeChunk")(stream_, samples, input, output, outputBytes);
}

BE_ERR TEncoderBinding::Flush(uint8_t* output, uint32_t* outputBytes) {
  return Bound(slots_.DeinitStream, "beDeinitStream")(stream_, output, outputBytes);
}

void TEncoderBinding::CloseStream() {
  if (stream_ == 0) return;
  HBE_STREAM stream = stream_;
  stream_ = 0;
  Bound(slots_.CloseStream, "beCloseStream")(stream);
}
