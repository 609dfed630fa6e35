// The MP3 encoder library: its four entry points, bound on first use, the
// encoder configuration that the settings give, and its streams. One
// binding per process that encodes, owned by its processing.
#pragma once

#include <cstdint>
#include <string>

#include "narravox/bladeenc_api.h"
#include "platform/library.h"

// The rates of a conversion: the encoder's input (4 times the engine's
// when the pipeline upsamples itself) and the MP3 files'. The only reading
// of RESAMPLE.
struct TEncoderRates {
  int32_t input = 0;
  int32_t mp3 = 0;
  bool pipelineUpsamples = false;  // the pipeline's own 4x upsampling
};
TEncoderRates EncoderRates();

// Raises, naming the range allowed and the /RS values that allow it, when
// MPEG audio has no BITRATE at the MP3 files' rate.
void CheckBitrate();
// Raises "Errore encoder MP3 (codice N)" for a result other than 0.
void CheckEncoder(uint32_t result);

class TEncoderBinding {
 public:
  // The library at MP3DLL, loaded on the first call; the configuration
  // filled from the settings.
  TEncoderBinding();
  // Closes an open stream and unloads the library.
  ~TEncoderBinding();
  TEncoderBinding(const TEncoderBinding&) = delete;
  TEncoderBinding& operator=(const TEncoderBinding&) = delete;

  // Opens a stream; raises the encoder's error. The sizes it reports go to
  // chunkSamples and minOutput when given.
  void OpenStream(uint32_t* chunkSamples = nullptr, uint32_t* minOutput = nullptr);
  bool StreamOpen() const { return stream_ != 0; }
  // Encodes into the open stream; the encoder's result.
  BE_ERR EncodeChunk(uint32_t samples, const int16_t* input, uint8_t* output,
                     uint32_t* outputBytes);
  // Flushes the open stream; the encoder's result.
  BE_ERR Flush(uint8_t* output, uint32_t* outputBytes);
  // Closes an open stream without flushing it.
  void CloseStream();

 private:
  template <typename Proc>
  Proc Bound(Proc& slot, const char* name);

  platform::LibraryHandle library_ = nullptr;
  struct TSlots {
    BEINITSTREAM InitStream = nullptr;
    BEENCODECHUNK EncodeChunk = nullptr;
    BEDEINITSTREAM DeinitStream = nullptr;
    BECLOSESTREAM CloseStream = nullptr;
  } slots_;
  BE_CONFIG config_;
  HBE_STREAM stream_ = 0;  // 0 when no stream is open
};
