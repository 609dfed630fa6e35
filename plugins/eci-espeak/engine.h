#ifndef NARRAVOX_ECI_ENGINE_H
#define NARRAVOX_ECI_ENGINE_H

#define ECI_IMPLEMENTATION
#include "narravox/eci_api.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "annotated_text.h"
#include "synthesis_run.h"
#include "voices.h"

namespace eci {

// Last failure of an engine call: a status code and a short explanation.
struct Failure {
  int32_t code = 0;
  std::string text;
};

enum FailureCode : int32_t {
  kBadParameter = 1,
  kEngineInitFailed = 2,
  kSynthesisFailed = 3,
  kNoAudioOutput = ECI_STATUS_NO_AUDIO_OUTPUT,
  kWrongState = 5,
  kBadArgument = 6,
};

// One engine instance behind an ECIHand. Voice parameters are always taken
// in real-world units (Hz, words per minute, 0..65535); parameters 3, 8 and
// 10 are remembered but change nothing. Parameter and voice changes apply
// from the next eciSynthesize.
class Engine {
 public:
  Engine();
  ~Engine();

  const Failure& failure() const { return failure_; }

  int32_t SetParam(int32_t param, int32_t value);
  bool CopyVoice(int32_t from, int32_t to);
  int32_t SetVoiceParam(int32_t voice, int32_t param, int32_t value);
  bool AddText(const char* text);
  bool Synthesize();
  bool Synchronize();
  bool SetOutputBuffer(int32_t samples, int16_t* buffer);
  void RegisterCallback(EciCallback callback, void* user_data);
  // The name of voice: its espeak-ng variant, or the language's own voice.
  bool NameOfVoice(int32_t voice, std::string& name);

 private:
  bool Fail(int32_t code, const std::string& text);
  bool Deliver();
  std::string VoiceName() const;
  int OutputRate() const;

  Failure failure_;
  int native_rate_ = 0;
  std::array<int32_t, 11> params_{};
  std::array<Voice, kPresetVoices + 1> voices_;
  std::vector<Segment> queued_;
  std::unique_ptr<SynthesisRun> run_;
  int16_t* buffer_ = nullptr;
  int32_t buffer_samples_ = 0;
  EciCallback callback_ = nullptr;
  void* user_data_ = nullptr;
};

}  // namespace eci

#endif
