#include "synthesis_run.h"

#include <algorithm>
#include <chrono>

#include "espeak_runtime.h"
#include "synthesis_process.h"

namespace eci {
namespace {

// Samples taken from the queue at a time: larger blocks mean fewer wake-ups
// of this thread and of the producer.
const size_t kReadBlock = 32768;

}  // namespace

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
  if (!settings_.playback && settings_.output_rate != settings_.native_rate) {
    resampler_.reset(new Resampler(settings_.native_rate, settings_.output_rate));
    if (!resampler_->ok()) {
      error_ = "resampler set-up failed: " + resampler_->error();
      queue_.Close();
      return;
    }
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
                                           settings_.rate, settings_.volume, &queue_, error, true))
      SetError(error);
    queue_.Close();
    return;
  }
  SampleQueue* queue = nullptr;
  const std::vector<int16_t> silence(4096, 0);
  for (const Segment& segment : segments_) {
    if (aborted_) break;
    if (!segment.IsPause()) {
      std::string error;
      if (!EspeakRuntime::Speak(segment.text, settings_.voice_name, settings_.pitch, settings_.rate,
                                settings_.volume, queue, error)) {
        SetError(error);
        break;
      }
      continue;
    }
    if (settings_.playback) {
      std::this_thread::sleep_for(std::chrono::microseconds(segment.pause_half_ms * 500));
      continue;
    }
    int64_t left = segment.pause_half_ms * settings_.native_rate / 2000;
    while (left > 0 && !aborted_) {
      size_t n = static_cast<size_t>(std::min<int64_t>(left, silence.size()));
      if (!queue_.Push(silence.data(), n)) break;
      left -= static_cast<int64_t>(n);
    }
  }
  queue_.Close();
}

bool SynthesisRun::FillPending() {
  pending_.clear();
  pending_pos_ = 0;
  while (pending_.empty() && !input_done_) {
    native_.resize(kReadBlock);
    size_t n = queue_.Pop(native_.data(), native_.size());
    if (n == 0) input_done_ = true;
    if (!resampler_) {
      native_.resize(n);
      pending_.swap(native_);
    } else if (!resampler_->Process(native_.data(), n, pending_)) {
      SetError("resampling failed: " + resampler_->error());
      Abort();
      input_done_ = true;
    }
  }
  return !pending_.empty();
}

size_t SynthesisRun::Read(int16_t* out, size_t max) {
  size_t filled = 0;
  while (filled < max && !aborted_) {
    if (pending_pos_ == pending_.size() && !FillPending()) break;
    size_t n = std::min(max - filled, pending_.size() - pending_pos_);
    std::copy(pending_.begin() + pending_pos_, pending_.begin() + pending_pos_ + n, out + filled);
    pending_pos_ += n;
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
