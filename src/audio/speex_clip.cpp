#include "audio/speex_clip.h"

#ifdef NARRAVOX_SPEEX

#include <speex/speex.h>
#include <speex/speex_resampler.h>

#include <memory>

namespace {

constexpr int32_t kClipRate = 16000;
constexpr int kResamplerQuality = 10;
constexpr float kVbrQuality = 8.0f;
constexpr int kComplexity = 3;

std::vector<int16_t> ResampleTo16k(const std::vector<int16_t>& samples, int32_t rate) {
  if (rate == kClipRate || samples.empty()) return samples;
  int error = 0;
  std::unique_ptr<SpeexResamplerState, void (*)(SpeexResamplerState*)> resampler(
      speex_resampler_init(1, static_cast<spx_uint32_t>(rate), kClipRate, kResamplerQuality,
                           &error),
      speex_resampler_destroy);
  if (!resampler) return {};
  speex_resampler_skip_zeros(resampler.get());
  // The input followed by the resampler's latency in silence, so that the
  // last samples come out too.
  std::vector<int16_t> input = samples;
  input.resize(input.size() + static_cast<size_t>(
                                  speex_resampler_get_input_latency(resampler.get())),
               0);
  std::vector<int16_t> output(input.size() * kClipRate / static_cast<size_t>(rate) + 64);
  spx_uint32_t in = static_cast<spx_uint32_t>(input.size());
  spx_uint32_t out = static_cast<spx_uint32_t>(output.size());
  speex_resampler_process_int(resampler.get(), 0, input.data(), &in, output.data(), &out);
  output.resize(out);
  return output;
}

}  // namespace

bool SpeexClipsAvailable() { return true; }

std::string EncodeSpeexClip(const std::vector<int16_t>& samples, int32_t rate) {
  std::vector<int16_t> speech = ResampleTo16k(samples, rate);
  std::unique_ptr<void, void (*)(void*)> encoder(
      speex_encoder_init(speex_lib_get_mode(SPEEX_MODEID_WB)), speex_encoder_destroy);
  int vbr = 1, complexity = kComplexity, frameSize = 0, lookahead = 0;
  float quality = kVbrQuality;
  speex_encoder_ctl(encoder.get(), SPEEX_SET_VBR, &vbr);
  speex_encoder_ctl(encoder.get(), SPEEX_SET_VBR_QUALITY, &quality);
  speex_encoder_ctl(encoder.get(), SPEEX_SET_COMPLEXITY, &complexity);
  speex_encoder_ctl(encoder.get(), SPEEX_GET_FRAME_SIZE, &frameSize);
  speex_encoder_ctl(encoder.get(), SPEEX_GET_LOOKAHEAD, &lookahead);
  // The decoder drops the first lookahead samples; the same number of
  // zeros at the end, and the last frame filled with zeros.
  size_t total = speech.size() + static_cast<size_t>(lookahead);
  size_t frames = (total + static_cast<size_t>(frameSize) - 1) / static_cast<size_t>(frameSize);
  speech.resize(frames * static_cast<size_t>(frameSize), 0);

  SpeexBits bits;
  speex_bits_init(&bits);
  std::string clip;
  char bytes[2048];
  for (size_t f = 0; f < frames; ++f) {
    speex_encode_int(encoder.get(), speech.data() + f * static_cast<size_t>(frameSize), &bits);
    int n = speex_bits_write_whole_bytes(&bits, bytes, sizeof bytes);
    clip.append(bytes, static_cast<size_t>(n));
  }
  int n = speex_bits_write(&bits, bytes, sizeof bytes);
  clip.append(bytes, static_cast<size_t>(n));
  speex_bits_destroy(&bits);
  return clip;
}

#else  // A build without libspeex writes its RockBox clips as MP3 files.

bool SpeexClipsAvailable() { return false; }

std::string EncodeSpeexClip(const std::vector<int16_t>&, int32_t) { return std::string(); }

#endif
