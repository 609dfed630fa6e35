#ifndef NARRAVOX_ECI_SYNTHESIS_RUN_H
#define NARRAVOX_ECI_SYNTHESIS_RUN_H

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "annotated_text.h"
#include "sample_queue.h"

namespace eci {

struct SynthesisSettings {
  std::string voice_name;  // espeak-ng voice, e.g. "it+f2"
  int pitch = 50;          // espeak-ng units
  int rate = 175;
  int volume = 100;
  int native_rate = 22050;   // espeak-ng's own rate
  int output_rate = 22050;   // rate delivered by Read()
  bool playback = false;     // speak aloud instead of delivering samples
  size_t queue_samples = 0;  // bound of the look-ahead, in output samples
};

// One synthesis of queued segments on a worker thread. In delivery mode the
// synthesis process fills a bounded queue at the output rate (it converts
// espeak-ng's samples as it makes them), so that reading is a copy.
class SynthesisRun {
 public:
  SynthesisRun(std::vector<Segment> segments, const SynthesisSettings& settings);
  ~SynthesisRun();  // aborts and joins
  SynthesisRun(const SynthesisRun&) = delete;
  SynthesisRun& operator=(const SynthesisRun&) = delete;

  // Fills out with up to max samples at the output rate; blocks until it
  // is full or the synthesis has ended. Returns the count, 0 at the end.
  size_t Read(int16_t* out, size_t max);

  // Stops the synthesis; the worker ends soon after.
  void Abort();
  // Waits for the worker; false when the synthesis failed.
  bool Finish(std::string& error);
  // Whether it failed for want of an audio output to speak on.
  bool NoAudioOutput() const { return no_audio_output_; }

 private:
  void Work();
  void SetError(const std::string& error);

  std::vector<Segment> segments_;
  SynthesisSettings settings_;
  SampleQueue queue_;
  bool input_done_ = false;
  std::atomic<bool> aborted_{false};
  bool no_audio_output_ = false;
  std::mutex error_mutex_;
  std::string error_;
  std::thread worker_;
};

}  // namespace eci

#endif
