#include "engine.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "espeak_runtime.h"

namespace eci {
namespace {

// Pauses before offering a buffer again that the caller has not processed:
// the first one short, each one after twice as long, up to the longest, so
// that a caller done within microseconds is not kept a whole millisecond.
const auto kFirstRetryWait = std::chrono::microseconds(20);
const auto kRetryWait = std::chrono::milliseconds(1);

bool IsKnownParam(int32_t param) {
  return param == ECI_PARAM_ANNOTATED_INPUT || param == ECI_PARAM_OPTION_3 ||
         param == ECI_PARAM_SAMPLE_RATE || param == ECI_PARAM_REAL_WORLD_UNITS ||
         param == ECI_PARAM_DIALECT || param == ECI_PARAM_OPTION_10;
}

}  // namespace

Engine::Engine() {
  params_[ECI_PARAM_SAMPLE_RATE] = ECI_RATE_11025;
  params_[ECI_PARAM_DIALECT] = ECI_DIALECT_US_ENGLISH;
  params_[ECI_PARAM_REAL_WORLD_UNITS] = 1;
  voices_[0] = DefaultVoice();
  for (int32_t i = 1; i <= kPresetVoices; ++i) voices_[i] = *PresetVoice(i);
  std::string error;
  native_rate_ = EspeakRuntime::Initialize(error);
  if (native_rate_ <= 0) Fail(kEngineInitFailed, error);
}

Engine::~Engine() = default;

bool Engine::Fail(int32_t code, const std::string& text) {
  failure_.code = code;
  failure_.text = text;
  return false;
}

int Engine::OutputRate() const {
  switch (params_[ECI_PARAM_SAMPLE_RATE]) {
    case ECI_RATE_8000:
      return 8000;
    case ECI_RATE_11025:
      return 11025;
    default:
      return 22050;
  }
}

std::string Engine::VoiceName() const {
  std::string name = LanguageOfDialect(params_[ECI_PARAM_DIALECT]);
  if (voices_[0].variant) name += std::string("+") + voices_[0].variant;
  return name;
}

int32_t Engine::SetParam(int32_t param, int32_t value) {
  if (!IsKnownParam(param)) {
    Fail(kBadParameter, "parameter " + std::to_string(param) + " is not supported");
    return -1;
  }
  if (param == ECI_PARAM_DIALECT && !LanguageOfDialect(value)) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(value));
    Fail(kBadParameter, std::string("dialect ") + hex + " is not available");
    return -1;
  }
  if (param == ECI_PARAM_SAMPLE_RATE && (value < ECI_RATE_8000 || value > ECI_RATE_22050)) {
    Fail(kBadParameter, "sample rate code " + std::to_string(value) +
                            " is not supported (0: 8000, 1: 11025, 2: 22050 Hz)");
    return -1;
  }
  int32_t previous = params_[param];
  params_[param] = value;
  return previous;
}

bool Engine::CopyVoice(int32_t from, int32_t to) {
  if (to < 0 || to > kPresetVoices || from < 0 || from > kPresetVoices)
    return Fail(kBadParameter, "voice numbers run from 0 to 8");
  voices_[to] = voices_[from];
  return true;
}

int32_t Engine::SetVoiceParam(int32_t voice, int32_t param, int32_t value) {
  if (voice < 0 || voice > kPresetVoices) {
    Fail(kBadParameter, "voice numbers run from 0 to 8");
    return -1;
  }
  Voice& v = voices_[voice];
  int32_t* field = nullptr;
  int32_t low = 0, high = 0;
  switch (param) {
    case ECI_VOICE_PITCH:
      field = &v.pitch_hz;
      low = 40;
      high = 422;
      break;
    case ECI_VOICE_SPEED:
      field = &v.speed_wpm;
      low = 70;
      high = 1297;
      break;
    case ECI_VOICE_VOLUME:
      field = &v.volume;
      low = 0;
      high = 65535;
      break;
    default:
      Fail(kBadParameter, "voice parameter " + std::to_string(param) + " is not supported");
      return -1;
  }
  if (value < low || value > high) {
    Fail(kBadParameter, "voice parameter " + std::to_string(param) + " takes " +
                            std::to_string(low) + " to " + std::to_string(high) + ", not " +
                            std::to_string(value));
    return -1;
  }
  int32_t previous = *field;
  *field = value;
  return previous;
}

bool Engine::AddText(const char* text) {
  if (!text) return Fail(kBadArgument, "no text");
  AppendText(text, params_[ECI_PARAM_ANNOTATED_INPUT] != 0, queued_);
  return true;
}

bool Engine::Synthesize() {
  if (native_rate_ <= 0) return Fail(kEngineInitFailed, failure_.text);
  if (run_) return Fail(kWrongState, "a synthesis is running: call eciSynchronize first");
  SynthesisSettings s;
  s.voice_name = VoiceName();
  s.pitch = EspeakPitch(voices_[0]);
  s.rate = EspeakRate(voices_[0]);
  s.volume = EspeakVolume(voices_[0]);
  s.native_rate = native_rate_;
  s.output_rate = OutputRate();
  s.playback = buffer_ == nullptr;
  // Room for one whole caller buffer of look-ahead, so that synthesis of
  // the next buffer overlaps the caller's work on the current one.
  s.queue_samples = static_cast<size_t>(buffer_samples_) + 8192;
  run_.reset(new SynthesisRun(std::move(queued_), s));
  queued_.clear();
  return true;
}

bool Engine::Deliver() {
  for (;;) {
    size_t n = run_->Read(buffer_, static_cast<size_t>(buffer_samples_));
    if (n == 0) return true;
    if (!callback_) continue;
    int32_t answer;
    auto wait = std::chrono::duration_cast<std::chrono::microseconds>(kFirstRetryWait);
    while ((answer = callback_(this, ECI_MSG_WAVEFORM_BUFFER, static_cast<int32_t>(n),
                               user_data_)) == ECI_DATA_NOT_PROCESSED) {
      std::this_thread::sleep_for(wait);
      if (wait < kRetryWait) wait *= 2;
    }
    if (answer == ECI_DATA_ABORT) {
      run_->Abort();
      return true;
    }
    if (n < static_cast<size_t>(buffer_samples_)) return true;
  }
}

bool Engine::Synchronize() {
  if (!run_) return true;
  if (buffer_) Deliver();
  std::string error;
  const bool ok = run_->Finish(error);
  const bool no_output = run_->NoAudioOutput();
  run_.reset();
  if (ok) return true;
  return Fail(no_output ? kNoAudioOutput : kSynthesisFailed, error);
}

bool Engine::SetOutputBuffer(int32_t samples, int16_t* buffer) {
  if (run_) return Fail(kWrongState, "a synthesis is running: call eciSynchronize first");
  if (buffer && samples <= 0) return Fail(kBadArgument, "the output buffer has no room");
  buffer_ = samples > 0 ? buffer : nullptr;
  buffer_samples_ = buffer_ ? samples : 0;
  return true;
}

void Engine::RegisterCallback(EciCallback callback, void* user_data) {
  callback_ = callback;
  user_data_ = user_data;
}

bool Engine::NameOfVoice(int32_t voice, std::string& name) {
  if (voice < 0 || voice > kPresetVoices)
    return Fail(kBadParameter, "voice numbers run from 0 to 8");
  const Voice& v = voices_[voice];
  name = v.variant ? v.variant : LanguageOfDialect(params_[ECI_PARAM_DIALECT]);
  return true;
}

}  // namespace eci
