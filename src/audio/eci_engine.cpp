#include "audio/eci_engine.h"

#include <cstring>
#include <utility>

#include "audio/dyna_link.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"

namespace {

int32_t RateCode(int32_t sample) {
  return sample == 8000 ? ECI_RATE_8000 : sample == 11025 ? ECI_RATE_11025 : ECI_RATE_22050;
}

}  // namespace

TEngineBinding::TEngineBinding(std::string libraryPath) : libraryPath_(std::move(libraryPath)) {}

TEngineBinding::~TEngineBinding() {
  try {
    Delete();
  } catch (...) {  // a library that cannot be bound has no instance
  }
  DLFreeLib(library_);
}

template <typename Proc>
Proc TEngineBinding::Bound(Proc& slot, const char* name) {
  return DLBind(slot, libraryPath_, name, library_);
}

int32_t TEngineBinding::SetParam(int32_t parameter, int32_t value) {
  return Bound(slots_.SetParam, "eciSetParam")(handle_, parameter, value);
}

int32_t TEngineBinding::SetVoiceParam(int32_t parameter, int32_t value) {
  return Bound(slots_.SetVoiceParam, "eciSetVoiceParam")(handle_, 0, parameter, value);
}

void TEngineBinding::Check(bool ok) {
  if (ok) return;
  int32_t code = Bound(slots_.ProgStatus, "eciProgStatus")(handle_);
  char explanation[ECI_ERROR_MESSAGE_SIZE + 1];
  std::memset(explanation, 0, sizeof explanation);
  Bound(slots_.ErrorMessage, "eciErrorMessage")(handle_, explanation);
  explanation[ECI_ERROR_MESSAGE_SIZE] = 0;
  std::string message = FormatText(msg::kEngineError, {std::to_string(code)});
  if (explanation[0]) message += FormatText(msg::kEngineInfo, {explanation});
  RaiseError(message);
}

void TEngineBinding::Activate() {
  handle_ = Bound(slots_.New, "eciNew")();
  if (!handle_) RaiseError(msg::kEngineActivation);
  CheckParam(SetParam(ECI_PARAM_DIALECT, Settings.LINGUA));
  CheckParam(SetParam(ECI_PARAM_SAMPLE_RATE, RateCode(Settings.SAMPLE)));
  CheckParam(SetParam(ECI_PARAM_OPTION_3, 1));
  CheckParam(SetParam(ECI_PARAM_OPTION_10, 0));
  CheckParam(SetParam(ECI_PARAM_REAL_WORLD_UNITS, 1));
  if (Settings.VOCE > 0) Bound(slots_.CopyVoice, "eciCopyVoice")(handle_, Settings.VOCE, 0);
  if (Settings.TONALITA > 0) CheckParam(SetVoiceParam(ECI_VOICE_PITCH, Settings.TONALITA));
  if (Settings.VELOCITA > 0) CheckParam(SetVoiceParam(ECI_VOICE_SPEED, Settings.VELOCITA));
  if (Settings.VOLUME > 0) CheckParam(SetVoiceParam(ECI_VOICE_VOLUME, Settings.VOLUME));
}

void TEngineBinding::Connect(EciCallback callback, void* data, int32_t samples,
                             int16_t* buffer) {
  Bound(slots_.RegisterCallback, "eciRegisterCallback")(handle_, callback, data);
  Check(Bound(slots_.SetOutputBuffer, "eciSetOutputBuffer")(handle_, samples, buffer) != 0);
}

void TEngineBinding::AddText(const char* text) {
  Check(Bound(slots_.AddText, "eciAddText")(handle_, text) != 0);
}

void TEngineBinding::AddAnnotatedText(const char* text) {
  CheckParam(SetParam(ECI_PARAM_ANNOTATED_INPUT, 1));
  AddText(text);
  CheckParam(SetParam(ECI_PARAM_ANNOTATED_INPUT, 0));
}

void TEngineBinding::QueueSpeech(const std::vector<TSpeechPart>& parts) {
  for (const TSpeechPart& part : parts) {
    if (part.annotated)
      AddAnnotatedText(part.text.c_str());
    else
      AddText(part.text.c_str());
  }
}

void TEngineBinding::SynthesizeAndWait() {
  Check(Bound(slots_.Synthesize, "eciSynthesize")(handle_) != 0);
  Check(Bound(slots_.Synchronize, "eciSynchronize")(handle_) != 0);
}

void TEngineBinding::Delete() {
  if (!handle_) return;
  ECIHand handle = handle_;
  handle_ = nullptr;
  Bound(slots_.Delete, "eciDelete")(handle);
}
