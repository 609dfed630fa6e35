// Loads an engine library with dlopen and binds its entry points, the way
// the program does, plus a recorder for the audio it delivers.
#ifndef NARRAVOX_TESTS_ECI_LIBRARY_H
#define NARRAVOX_TESTS_ECI_LIBRARY_H

#include <dlfcn.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "narravox/eci_api.h"

struct EciLibrary {
  void* handle = nullptr;
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

  // Loads the library once per process and keeps it loaded.
  static const EciLibrary& Get(const char* path) {
    static std::vector<std::pair<std::string, std::unique_ptr<EciLibrary>>> loaded;
    for (auto& entry : loaded)
      if (entry.first == path) return *entry.second;
    auto owned = std::make_unique<EciLibrary>();
    EciLibrary* lib = owned.get();
    lib->handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (lib->handle) {
      Bind(lib->handle, "eciNew", lib->New);
      Bind(lib->handle, "eciDelete", lib->Delete);
      Bind(lib->handle, "eciProgStatus", lib->ProgStatus);
      Bind(lib->handle, "eciErrorMessage", lib->ErrorMessage);
      Bind(lib->handle, "eciSetParam", lib->SetParam);
      Bind(lib->handle, "eciCopyVoice", lib->CopyVoice);
      Bind(lib->handle, "eciSetVoiceParam", lib->SetVoiceParam);
      Bind(lib->handle, "eciAddText", lib->AddText);
      Bind(lib->handle, "eciSynthesize", lib->Synthesize);
      Bind(lib->handle, "eciSynchronize", lib->Synchronize);
      Bind(lib->handle, "eciSetOutputBuffer", lib->SetOutputBuffer);
      Bind(lib->handle, "eciRegisterCallback", lib->RegisterCallback);
    }
    loaded.emplace_back(path, std::move(owned));
    return *lib;
  }

  bool Complete() const {
    return handle && New && Delete && ProgStatus && ErrorMessage && SetParam && CopyVoice &&
           SetVoiceParam && AddText && Synthesize && Synchronize && SetOutputBuffer &&
           RegisterCallback;
  }

  std::string Message(ECIHand engine) const {
    char text[ECI_ERROR_MESSAGE_SIZE] = "";
    ErrorMessage(engine, text);
    return text;
  }

 private:
  template <typename Proc>
  static void Bind(void* handle, const char* name, Proc& slot) {
    slot = reinterpret_cast<Proc>(dlsym(handle, name));
  }
};

// Collects what the engine delivers through the callback. `answer` decides
// the reply to each offer (offer number from 1, samples offered).
struct AudioRecorder {
  std::vector<int16_t> buffer;
  std::vector<int16_t> audio;
  std::vector<int32_t> offers;  // sample count of every offer, repeats included
  std::function<int32_t(int offer, int32_t samples)> answer;

  explicit AudioRecorder(size_t buffer_samples) : buffer(buffer_samples) {}

  void Attach(const EciLibrary& lib, ECIHand engine) {
    lib.RegisterCallback(engine, &AudioRecorder::Callback, this);
    lib.SetOutputBuffer(engine, static_cast<int32_t>(buffer.size()), buffer.data());
  }

  static int32_t ECI_CALL Callback(ECIHand, int32_t message, int32_t samples, void* data) {
    auto* self = static_cast<AudioRecorder*>(data);
    if (message != ECI_MSG_WAVEFORM_BUFFER) return ECI_DATA_PROCESSED;
    self->offers.push_back(samples);
    int32_t reply = self->answer ? self->answer(static_cast<int>(self->offers.size()), samples)
                                 : ECI_DATA_PROCESSED;
    if (reply == ECI_DATA_PROCESSED)
      self->audio.insert(self->audio.end(), self->buffer.begin(), self->buffer.begin() + samples);
    return reply;
  }
};

#endif
