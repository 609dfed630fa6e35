// The exported entry points of the engine library: each forwards to the
// Engine behind the handle.
#include <cstring>
#include <new>

#include "engine.h"

namespace {

eci::Engine* AsEngine(ECIHand h) { return static_cast<eci::Engine*>(h); }

// Reported for calls made without an engine.
eci::Failure g_no_engine{eci::kBadArgument, "no engine instance"};

}  // namespace

extern "C" {

ECI_EXPORT ECIHand ECI_CALL eciNew(void) {
  eci::Engine* engine = new (std::nothrow) eci::Engine();
  if (engine && engine->failure().code == eci::kEngineInitFailed) {
    g_no_engine = engine->failure();
    delete engine;
    return nullptr;
  }
  return engine;
}

ECI_EXPORT ECIHand ECI_CALL eciDelete(ECIHand engine) {
  delete AsEngine(engine);
  return nullptr;
}

ECI_EXPORT int32_t ECI_CALL eciProgStatus(ECIHand engine) {
  return engine ? AsEngine(engine)->failure().code : g_no_engine.code;
}

ECI_EXPORT void ECI_CALL eciErrorMessage(ECIHand engine, void* buffer) {
  if (!buffer) return;
  const std::string& text = engine ? AsEngine(engine)->failure().text : g_no_engine.text;
  size_t n = text.size() < ECI_ERROR_MESSAGE_SIZE - 1 ? text.size() : ECI_ERROR_MESSAGE_SIZE - 1;
  std::memcpy(buffer, text.data(), n);
  static_cast<char*>(buffer)[n] = '\0';
}

ECI_EXPORT int32_t ECI_CALL eciSetParam(ECIHand engine, int32_t param, int32_t value) {
  return engine ? AsEngine(engine)->SetParam(param, value) : -1;
}

ECI_EXPORT EciBool ECI_CALL eciCopyVoice(ECIHand engine, int32_t from_voice, int32_t to_voice) {
  return engine && AsEngine(engine)->CopyVoice(from_voice, to_voice);
}

ECI_EXPORT int32_t ECI_CALL eciSetVoiceParam(ECIHand engine, int32_t voice, int32_t param,
                                             int32_t value) {
  return engine ? AsEngine(engine)->SetVoiceParam(voice, param, value) : -1;
}

ECI_EXPORT EciBool ECI_CALL eciAddText(ECIHand engine, const char* text) {
  return engine && AsEngine(engine)->AddText(text);
}

ECI_EXPORT EciBool ECI_CALL eciSynthesize(ECIHand engine) {
  return engine && AsEngine(engine)->Synthesize();
}

ECI_EXPORT EciBool ECI_CALL eciSynchronize(ECIHand engine) {
  return engine && AsEngine(engine)->Synchronize();
}

ECI_EXPORT EciBool ECI_CALL eciSetOutputBuffer(ECIHand engine, int32_t samples, int16_t* buffer) {
  return engine && AsEngine(engine)->SetOutputBuffer(samples, buffer);
}

ECI_EXPORT void ECI_CALL eciRegisterCallback(ECIHand engine, EciCallback callback,
                                             void* user_data) {
  if (engine) AsEngine(engine)->RegisterCallback(callback, user_data);
}

ECI_EXPORT EciBool ECI_CALL eciGetVoiceName(ECIHand engine, int32_t voice, void* buffer) {
  std::string name;
  if (!engine || !buffer || !AsEngine(engine)->NameOfVoice(voice, name)) return 0;
  if (name.size() > ECI_VOICE_NAME_SIZE - 1) name.resize(ECI_VOICE_NAME_SIZE - 1);
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  return 1;
}

}  // extern "C"
