#include "lame_stream.h"

#include <lame/lame.h>

#include <cstdarg>

namespace {

// libmp3lame fills tables shared by all its instances while setting one up,
// so set-up and tear-down of streams take turns.  Encoding needs no lock:
// those tables hold the same values whichever stream filled them last.
std::mutex& setupMutex() {
  static std::mutex mutex;
  return mutex;
}

// The library's own reports would land on the console; the caller learns
// everything it needs from the result codes.
void quiet(const char*, va_list) {}

// Worst case bytes that libmp3lame may produce for `samples` output samples
// (its documented bound), and never less than what a flush may need.
constexpr std::uint32_t kFlushBytes = 7200;

std::uint32_t outputBound(std::uint32_t chunk, std::uint32_t inRate, std::uint32_t outRate) {
  // When resampling up, one input chunk becomes more output samples.
  std::uint64_t samples = chunk;
  if (outRate > inRate) samples = (samples * outRate + inRate - 1) / inRate;
  return static_cast<std::uint32_t>((samples * 5 + 3) / 4) + kFlushBytes;
}

BE_ERR checkRecord(const BE_CONFIG& config) {
  if (config.dwConfig != BE_CONFIG_LAME || config.dwStructSize < BE_CONFIG_SIZE)
    return BE_ERR_INVALID_FORMAT;
  // Mono constant bit rate is all this library makes.
  if (config.nMode != BE_MP3_MODE_MONO || config.bEnableVBR != 0 || config.dwSampleRate == 0 ||
      config.dwBitrate == 0 || config.dwEmphasis > 3)
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  return BE_ERR_SUCCESSFUL;
}

}  // namespace

LameStream::LameStream(lame_global_struct* flags) : flags_(flags) {}

LameStream::~LameStream() {
  std::lock_guard<std::mutex> lock(setupMutex());
  lame_close(flags_);
}

BE_ERR LameStream::open(const BE_CONFIG& config, std::unique_ptr<LameStream>& stream) {
  const BE_ERR checked = checkRecord(config);
  if (checked != BE_ERR_SUCCESSFUL) return checked;

  const std::uint32_t inRate = config.dwSampleRate;
  const std::uint32_t outRate = config.dwReSampleRate != 0 ? config.dwReSampleRate : inRate;

  // `made` is declared before the lock so that a refused stream is closed
  // (which takes the lock again) after the lock is released.
  std::unique_ptr<LameStream> made;
  int initResult = 0;
  {
    std::lock_guard<std::mutex> lock(setupMutex());
    lame_t flags = lame_init();
    if (flags == nullptr) return BE_ERR_NO_MORE_HANDLES;
    made.reset(new LameStream(flags));

    lame_set_errorf(flags, quiet);
    lame_set_debugf(flags, quiet);
    lame_set_msgf(flags, quiet);
    lame_set_in_samplerate(flags, static_cast<int>(inRate));
    lame_set_out_samplerate(flags, static_cast<int>(outRate));
    lame_set_num_channels(flags, 1);
    lame_set_mode(flags, MONO);
    lame_set_VBR(flags, vbr_off);
    lame_set_brate(flags, static_cast<int>(config.dwBitrate));
    lame_set_original(flags, config.bOriginal != 0);
    lame_set_error_protection(flags, config.bCRC != 0);
    lame_set_copyright(flags, config.bCopyright != 0);
    lame_set_extension(flags, config.bPrivate != 0);
    lame_set_emphasis(flags, static_cast<int>(config.dwEmphasis));
    // The file is MPEG audio frames and nothing else: no Xing/Info
    // frame in front, no ID3 tag of the library's own.
    lame_set_bWriteVbrTag(flags, 0);
    lame_set_write_id3tag_automatic(flags, 0);
    initResult = lame_init_params(flags);
  }
  // libmp3lame accepts almost anything and quietly moves an output rate or
  // a bit rate that MPEG audio does not have to the nearest one it has.
  // The caller asked for exact values, so a moved value is a refusal.
  if (initResult < 0 || lame_get_out_samplerate(made->flags_) != static_cast<int>(outRate) ||
      lame_get_brate(made->flags_) != static_cast<int>(config.dwBitrate))
    return BE_ERR_INVALID_FORMAT_PARAMETERS;

  const int frameSize = lame_get_framesize(made->flags_);
  if (frameSize <= 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  made->samplesPerChunk_ = static_cast<std::uint32_t>(frameSize);
  made->minOutputBytes_ = outputBound(made->samplesPerChunk_, inRate, outRate);
  stream = std::move(made);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR LameStream::encode(const std::int16_t* samples, std::uint32_t count, std::uint8_t* output,
                          std::uint32_t* outputBytes) {
  if (outputBytes == nullptr || output == nullptr || (samples == nullptr && count != 0))
    return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *outputBytes = 0;
  // The output bound holds for one chunk at most.
  if (count > samplesPerChunk_) return BE_ERR_INVALID_FORMAT_PARAMETERS;

  std::lock_guard<std::mutex> lock(mutex_);
  if (flushed_) return BE_ERR_INVALID_HANDLE;
  if (count == 0) return BE_ERR_SUCCESSFUL;
  // Mono: libmp3lame reads the left channel only.
  const int written = lame_encode_buffer(flags_, samples, samples, static_cast<int>(count), output,
                                         static_cast<int>(minOutputBytes_));
  if (written == -1) return BE_ERR_BUFFER_TOO_SMALL;
  if (written < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *outputBytes = static_cast<std::uint32_t>(written);
  return BE_ERR_SUCCESSFUL;
}

BE_ERR LameStream::flush(std::uint8_t* output, std::uint32_t* outputBytes) {
  if (outputBytes == nullptr || output == nullptr) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *outputBytes = 0;

  std::lock_guard<std::mutex> lock(mutex_);
  // A stream ends once; after that only closing it is left.
  if (flushed_) return BE_ERR_INVALID_HANDLE;
  flushed_ = true;
  const int written = lame_encode_flush(flags_, output, static_cast<int>(minOutputBytes_));
  if (written == -1) return BE_ERR_BUFFER_TOO_SMALL;
  if (written < 0) return BE_ERR_INVALID_FORMAT_PARAMETERS;
  *outputBytes = static_cast<std::uint32_t>(written);
  return BE_ERR_SUCCESSFUL;
}
