// The speech engine library: its entry points, bound on first use,
// and the one engine instance of a process. One binding per process that
// speaks, owned by its processing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "narravox/eci_api.h"
#include "platform/library.h"

// The message of a failed engine call, from the engine's status code and
// explanation. The Linux engine library (plugins/eci-espeak) explains its
// failures in English, as its C interface does: on Linux, reading aloud
// with no audio output, or with one that cannot be opened, gets a message
// of its own that says what to do, and other explanations are shown in
// Italian where the library's text is known. Windows shows the status and
// explanation as its engine gives them.
std::string EngineErrorMessage(int32_t code, const std::string& explanation);

// The Italian text of an explanation of the Linux engine library, the
// details it carries (espeak-ng's reasons, the system's) translated too;
// a text it does not know comes back as it stands.
std::string ItalianEngineExplanation(const std::string& explanation);

// A piece of text queued for the engine, annotated (pauses) or plain.
struct TSpeechPart {
  bool annotated = false;
  std::string text;
};

class TEngineBinding {
 public:
  // The library at libraryPath (a full path: the conversion changes the
  // current directory), loaded on the first call.
  explicit TEngineBinding(std::string libraryPath);
  // Deletes the instance and unloads the library.
  ~TEngineBinding();
  TEngineBinding(const TEngineBinding&) = delete;
  TEngineBinding& operator=(const TEngineBinding&) = delete;

  const std::string& LibraryPath() const { return libraryPath_; }

  // Creates and configures the instance from the settings. Call it before
  // the process starts any thread: an engine may start a process of its
  // own by copying this one (fork), and the copy inherits, held for ever,
  // any lock that another thread held at that moment (the memory
  // allocator's, under a sanitizer, hung such copies).
  void Activate();
  // Hands the engine its output buffer and the callback that takes it.
  void Connect(EciCallback callback, void* data, int32_t samples, int16_t* buffer);

  void AddText(const char* text);
  // Queues text with annotations switched on for it alone.
  void AddAnnotatedText(const char* text);
  // Queues the parts in order, the annotated ones with annotations on.
  void QueueSpeech(const std::vector<TSpeechPart>& parts);
  void SynthesizeAndWait();
  // Deletes the instance, if any.
  void Delete();

  // The engine's status (eciProgStatus): after a failed call, what failed,
  // such as ECI_STATUS_NO_AUDIO_OUTPUT.
  int32_t Status();
  // Whether the library names its voices (eciGetVoiceName, which earlier
  // libraries lack). Loads it.
  bool NamesVoices();
  // The engine's name of voice (1 to 8 a preset) into *name; false when the
  // engine has no such voice. Only for a library that NamesVoices.
  bool VoiceName(int32_t voice, std::string* name);

 private:
  template <typename Proc>
  Proc Bound(Proc& slot, const char* name);
  int32_t SetParam(int32_t parameter, int32_t value);
  int32_t SetVoiceParam(int32_t parameter, int32_t value);
  // Raise the engine error, with the engine's status and explanation, when
  // a call failed (false, or a negative parameter result).
  void Check(bool ok);
  void CheckParam(int32_t result) { Check(result >= 0); }

  const std::string libraryPath_;
  platform::LibraryHandle library_ = nullptr;
  ECIHand handle_ = nullptr;  // null when there is none
  // The entry points, each empty until its first call.
  struct TSlots {
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
  } slots_;
};
