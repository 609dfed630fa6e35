#include "audio/eci_engine.h"

#include <cstring>

#include "audio/dyna_link.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
#include "base/settings.h"
#include "base/messages.h"
#include "base/run_state.h"

ECIHand EngineHandle = nullptr;

namespace {

platform::LibraryHandle EciLib = nullptr;
std::string EciLibraryPath;

// The entry points, each empty until its first call.
struct TEciSlots {
  EciNewProc New = nullptr;
  EciDeleteProc Delete = nullptr;
  EciProgStatusProc ProgStatus = nullptr;
  EciErrorMessageProc ErrorMessage = nullptr;
  EciSetParamProc SetParam = nullptr;
  EciCopyVoiceProc CopyVoice = nullptr;
  EciSetVoiceParamProc SetVoiceParam = nullptr;
  EciAddTextProc AddText = nullptr;
  EciSynthesizeProc Synthesize = nullptr;
  EciSynchronizeProc Synchronize = nullptr;
  EciSetOutputBufferProc SetOutputBuffer = nullptr;
  EciRegisterCallbackProc RegisterCallback = nullptr;
} Slots;

}  // namespace

std::string EngineLibraryPath() { return EciLibraryPath.empty() ? Settings.ECIDLL : EciLibraryPath; }

namespace {

template <typename Proc>
Proc Bound(Proc& slot, const char* name) {
  return DLBind(slot, EngineLibraryPath(), name, EciLib);
}

int32_t SetParam(int32_t parameter, int32_t value) {
  return Bound(Slots.SetParam, "eciSetParam")(EngineHandle, parameter, value);
}

int32_t SetVoiceParam(int32_t parameter, int32_t value) {
  return Bound(Slots.SetVoiceParam, "eciSetVoiceParam")(EngineHandle, 0, parameter, value);
}

int32_t RateCode(int32_t sample) {
  return sample == 8000 ? ECI_RATE_8000 : sample == 11025 ? ECI_RATE_11025 : ECI_RATE_22050;
}

}  // namespace

void SetEngineLibraryPath(const std::string& path) { EciLibraryPath = path; }


void CheckEngine(bool ok) {
  if (ok) return;
  int32_t code = Bound(Slots.ProgStatus, "eciProgStatus")(EngineHandle);
  char explanation[ECI_ERROR_MESSAGE_SIZE + 1];
  std::memset(explanation, 0, sizeof explanation);
  Bound(Slots.ErrorMessage, "eciErrorMessage")(EngineHandle, explanation);
  explanation[ECI_ERROR_MESSAGE_SIZE] = 0;
  std::string message = FormatText(msg::kEngineError, {std::to_string(code)});
  if (explanation[0]) message += FormatText(msg::kEngineInfo, {explanation});
  RaiseError(message);
}

void CheckEngineParam(int32_t result) { CheckEngine(result >= 0); }

void ActivateEngine() {
  EngineHandle = Bound(Slots.New, "eciNew")();
  if (!EngineHandle) RaiseError(msg::kEngineActivation);
  CheckEngineParam(SetParam(ECI_PARAM_DIALECT, Settings.LINGUA));
  CheckEngineParam(SetParam(ECI_PARAM_SAMPLE_RATE, RateCode(Settings.SAMPLE)));
  CheckEngineParam(SetParam(ECI_PARAM_OPTION_3, 1));
  CheckEngineParam(SetParam(ECI_PARAM_OPTION_10, 0));
  CheckEngineParam(SetParam(ECI_PARAM_REAL_WORLD_UNITS, 1));
  if (Settings.VOCE > 0) Bound(Slots.CopyVoice, "eciCopyVoice")(EngineHandle, Settings.VOCE, 0);
  if (Settings.TONALITA > 0) CheckEngineParam(SetVoiceParam(ECI_VOICE_PITCH, Settings.TONALITA));
  if (Settings.VELOCITA > 0) CheckEngineParam(SetVoiceParam(ECI_VOICE_SPEED, Settings.VELOCITA));
  if (Settings.VOLUME > 0) CheckEngineParam(SetVoiceParam(ECI_VOICE_VOLUME, Settings.VOLUME));
  if (RunState.TestMode) return;

  FillEncoderConfig();
  uint32_t chunk = 0, minOutput = 0;
  CheckEncoder(beInitStreamBound(&EncoderConfig, &chunk, &minOutput, &EncoderStream));
  AllocatePipelineBuffers(static_cast<int32_t>(chunk), static_cast<int32_t>(minOutput));
  Bound(Slots.RegisterCallback, "eciRegisterCallback")(EngineHandle, SpeechCallback, nullptr);
  CheckEngine(Bound(Slots.SetOutputBuffer, "eciSetOutputBuffer")(
                  EngineHandle, SpeechBufferCapacity(), SpeechBufferData()) != 0);
}

void AddText(const char* text) {
  CheckEngine(Bound(Slots.AddText, "eciAddText")(EngineHandle, text) != 0);
}

void AddAnnotatedText(const char* text) {
  CheckEngineParam(SetParam(ECI_PARAM_ANNOTATED_INPUT, 1));
  AddText(text);
  CheckEngineParam(SetParam(ECI_PARAM_ANNOTATED_INPUT, 0));
}

void QueueSpeech(const std::vector<TSpeechPart>& parts) {
  for (const TSpeechPart& part : parts) {
    if (part.annotated)
      AddAnnotatedText(part.text.c_str());
    else
      AddText(part.text.c_str());
  }
}

void SynthesizeAndWait() {
  CheckEngine(Bound(Slots.Synthesize, "eciSynthesize")(EngineHandle) != 0);
  CheckEngine(Bound(Slots.Synchronize, "eciSynchronize")(EngineHandle) != 0);
}

void DeleteEngine() {
  if (!EngineHandle) return;
  Bound(Slots.Delete, "eciDelete")(EngineHandle);
  EngineHandle = nullptr;
}

void FreeEngineLibrary() {
  Slots = TEciSlots();
  DLFreeLib(EciLib);
  EciLibraryPath.clear();
}
