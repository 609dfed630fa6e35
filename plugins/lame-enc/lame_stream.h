// One MP3 stream on libmp3lame: opened from a BE_CONFIG record, fed with
// 16-bit mono chunks, flushed once, then closed by destruction.
#pragma once

#include "narravox/bladeenc_api.h"

#include <cstdint>
#include <memory>
#include <mutex>

struct lame_global_struct;

class LameStream {
 public:
  // Checks the record, sets up libmp3lame and stores the new stream in
  // `stream`.  Returns BE_ERR_SUCCESSFUL or the reason for refusing.
  static BE_ERR open(const BE_CONFIG& config, std::unique_ptr<LameStream>& stream);

  ~LameStream();
  LameStream(const LameStream&) = delete;
  LameStream& operator=(const LameStream&) = delete;

  // Input samples per chunk: the MP3 frame size of the stream.
  std::uint32_t samplesPerChunk() const { return samplesPerChunk_; }
  // Output space a chunk or the flush may need: the caller's buffer size.
  std::uint32_t minOutputBytes() const { return minOutputBytes_; }

  // Both may be called from any thread; calls on one stream are serialised.
  BE_ERR encode(const std::int16_t* samples, std::uint32_t count, std::uint8_t* output,
                std::uint32_t* outputBytes);
  BE_ERR flush(std::uint8_t* output, std::uint32_t* outputBytes);

 private:
  explicit LameStream(lame_global_struct* flags);

  lame_global_struct* const flags_;
  std::uint32_t samplesPerChunk_ = 0;
  std::uint32_t minOutputBytes_ = 0;
  bool flushed_ = false;
  std::mutex mutex_;
};
