#include "audio/mp3_encoder.h"

#include <cstring>

#include "audio/dyna_link.h"
#include "audio/pipeline.h"
#include "base/settings.h"
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

}  // namespace

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
  if (Settings.RESAMPLE == 0) {
    EncoderConfig.dwSampleRate = EncoderConfig.dwReSampleRate = rate;
  } else if (Settings.RESAMPLE < 0) {
    EncoderConfig.dwSampleRate = EncoderConfig.dwReSampleRate = 4 * rate;
    SetUpsampling(true);
  } else {
    EncoderConfig.dwSampleRate = rate;
    EncoderConfig.dwReSampleRate = static_cast<uint32_t>(Settings.RESAMPLE);
  }
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
