#include "audio/mp3_encoder.h"

#include <cstring>

#include "audio/dyna_link.h"
#include "audio/pipeline.h"
#include "base/settings.h"
#include "base/errors.h"
#include "base/messages.h"

BE_CONFIG EncoderConfig;
HBE_STREAM EncoderStream = 0;

namespace {

platform::LibraryHandle Mp3Lib = nullptr;
// The entry points, each empty until its first call.
struct TEncoderSlots {
  BEINITSTREAM InitStream = nullptr;
  BEENCODECHUNK EncodeChunk = nullptr;
  BEDEINITSTREAM DeinitStream = nullptr;
  BECLOSESTREAM CloseStream = nullptr;
} Slots;

template <typename Proc>
Proc Bound(Proc& slot, const char* name) {
  return DLBind(slot, Settings.MP3DLL, name, Mp3Lib);
}

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

int32_t Mp3SampleRate() {
  if (Settings.RESAMPLE == 0) return Settings.SAMPLE;
  return Settings.RESAMPLE < 0 ? 4 * Settings.SAMPLE : Settings.RESAMPLE;
}

void CheckBitrate() {
  const int32_t rate = Mp3SampleRate(), bitrate = Settings.BITRATE;
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

BE_ERR beInitStreamBound(BE_CONFIG* config, uint32_t* samplesPerChunk, uint32_t* minOutput,
                         HBE_STREAM* stream) {
  return Bound(Slots.InitStream, "beInitStream")(config, samplesPerChunk, minOutput, stream);
}

BE_ERR beEncodeChunkBound(HBE_STREAM stream, uint32_t samples, const int16_t* input,
                          uint8_t* output, uint32_t* outputBytes) {
  return Bound(Slots.EncodeChunk, "beEncodeChunk")(stream, samples, input, output, outputBytes);
}

BE_ERR beDeinitStreamBound(HBE_STREAM stream, uint8_t* output, uint32_t* outputBytes) {
  return Bound(Slots.DeinitStream, "beDeinitStream")(stream, output, outputBytes);
}

BE_ERR beCloseStreamBound(HBE_STREAM stream) {
  return Bound(Slots.CloseStream, "beCloseStream")(stream);
}

void FillEncoderConfig() {
  std::memset(&EncoderConfig, 0, sizeof EncoderConfig);
  EncoderConfig.dwConfig = BE_CONFIG_LAME;
  EncoderConfig.dwStructVersion = BE_CONFIG_VERSION;
  EncoderConfig.dwStructSize = BE_CONFIG_SIZE;
  uint32_t rate = static_cast<uint32_t>(Settings.SAMPLE);
  EncoderConfig.dwReSampleRate = static_cast<uint32_t>(Mp3SampleRate());
  // The pipeline upsamples 4x itself and hands the encoder the new rate.
  if (Settings.RESAMPLE < 0) SetUpsampling(true);
  EncoderConfig.dwSampleRate = Settings.RESAMPLE < 0 ? EncoderConfig.dwReSampleRate : rate;
  EncoderConfig.nMode = BE_MP3_MODE_MONO;
  EncoderConfig.dwBitrate = static_cast<uint32_t>(Settings.BITRATE);
  EncoderConfig.bOriginal = -1;
}

void OpenEncoderStream() {
  uint32_t chunk = 0, minOutput = 0;
  CheckEncoder(beInitStreamBound(&EncoderConfig, &chunk, &minOutput, &EncoderStream));
}

void CheckEncoder(uint32_t result) {
  if (result != 0)
    RaiseError(FormatText(msg::kEncoderError, {std::to_string(static_cast<int32_t>(result))}));
}

void CloseEncoderStream() {
  if (EncoderStream == 0) return;
  beCloseStreamBound(EncoderStream);
  EncoderStream = 0;
}

void FreeEncoderLibrary() {
  Slots = TEncoderSlots();
  DLFreeLib(Mp3Lib);
}
