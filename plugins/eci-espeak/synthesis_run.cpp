#include "synthesis_run.h"

#include <algorithm>
#include <chrono>

#include "espeak_runtime.h"
#include "synthesis_process.h"

namespace eci {
SynthesisRun::SynthesisRun(std::vector<Segment> segments, const SynthesisSettings& settings)
    : segments_(std::move(segments)), settings_(settings), queue_(settings.queue_samples) {
  if (!queue_.ok()) {
    error_ = "no shared memory for the samples";
    return;
  }
  if (settings_.playback && !EspeakRuntime::AudioOutputAvailable()) {
    error_ = "no audio output device is available to speak on";
    no_audio_output_ = true;
    queue_.Close();
    return;
  }
  worker_ = std::thread(&SynthesisRun::Work, this);
}

SynthesisRun::~SynthesisRun() {
  Abort();
  if (worker_.joinable()) worker_.join();
  // Every synthesis of a run without error has replied: no process
  // writes into the queue any more.
  std::lock_guard<std::mutex> lock(error_mutex_);
  if (error_.empty()) queue_.Retire();
}

void SynthesisRun::SetError(const std::string& error) {
  std::lock_guard<std::mutex> lock(error_mutex_);
  if (error_.empty()) error_ = error;
}

void SynthesisRun::Work() {
  if (!settings_.playback) {
    // Every text and pause of the synthesis in one request.
    std::string batch;
    for (const Segment& segment : segments_) {
      if (segment.IsPause())
        AppendPauseSegment(batch, segment.pause_half_ms * settings_.native_rate / 2000);
      else
        AppendTextSegment(batch, segment.text);
    }
    std::string error;
    if (!aborted_ && !EspeakRuntime::Speak(batch, settings_.voice_name, settings_.pitch,
                                           settings_.rate, settings_.volume, &queue_,
                                           settings_.output_rate, error))
      SetError(error);
    queue_.Close();
    return;
  }
  for (const Segment& segment : segments_) {
    if (aborted_) break;
    if (segment.IsPause()) {
      std::this_thread::sleep_for(std::chrono::microseconds(segment.pause_half_ms * 500));
      continue;
    }
    std::string error;
    if (!EspeakRuntime::Speak(segment.text, settings_.voice_name, settings_.pitch, settings_.rate,
                              settings_.volume, nullptr, 0, error)) {
      SetError(error);
      break;
    }
  }
  queue_.Close();
}

size_t SynthesisRun::Read(int16_t* out, size_t max) {
  size_t filled = 0;
  while (filled < max && !input_done_ && !aborted_) {
    size_t n = queue_.Pop(out + filled, max - filled);
    if (n == 0) input_done_ = true;
    filled += n;
  }
  return filled;
}

void SynthesisRun::Abort() {
  aborted_ = true;
  queue_.Abort();
}

bool SynthesisRun::Finish(std::string& error) {
  if (worker_.joinable()) worker_.join();
  std::lock_guard<std::mutex> lock(error_mutex_);
  error = error_;
  return error_.empty();
}

}  // namespace eci
