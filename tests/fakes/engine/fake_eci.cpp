// A fake speech engine with the engine library's C interface, for tests of
// the program's pipeline. It "speaks" every byte of the text as one sample
// whose value is the byte's unsigned value (1..255), so a test can read back
// exactly which text reached which file.
//
// Environment (read at every eciNew):
//   NARRAVOX_FAKE_ECI_LOG=path
//       Appends one line per call to the file, flushed at once:
//         eciNew -> #1                           (#: its number of eciNew calls)
//         eciSetParam 9 327680 -> 65536
//         eciSetVoiceParam 0 2 120 -> 100
//         eciCopyVoice 3 0 -> 1
//         eciAddText "`p1000\r\n" -> 1          (quoted, see fake_text.h)
//         eciSetOutputBuffer 331200 -> 1
//         eciRegisterCallback set                (or "null")
//         eciSynthesize -> 1
//         callback 0 1234 -> 1                   (one line per buffer offered)
//         eciSynchronize -> 1
//         eciProgStatus -> 2
//         eciErrorMessage "injected failure of eciAddText (call 3)"
//         eciGetVoiceName 3 "fake-3" -> 1        (no name for a voice refused)
//         eciDelete
//       Numbers are decimal. A buffer that the callback answers 0 is offered
//       again after 1 ms; only the final answer (1 or 2) is logged, so the
//       log does not depend on timing. An injected failure ends its line
//       with " (injected)". A buffer still refused after 30 s ends the
//       synthesis instead of hanging the test: "callback 0 1234 -> 0 (gave
//       up)", and eciSynchronize fails with status 9.
//   NARRAVOX_FAKE_ECI_FAIL=name:n[:code][,name:n[:code]...]
//       The entry point `name` fails on its n-th call: it returns its failure
//       value (eciNew NULL, eciSetParam and eciSetVoiceParam -1, the boolean
//       entry points 0; eciDelete and eciRegisterCallback do nothing), and
//       eciProgStatus then reports `code` (default 2) and eciErrorMessage
//       "injected failure of <name> (call <n>)". eciNew counts its calls per
//       process; every other entry point counts from the latest eciNew.
//       A failing eciSynchronize delivers nothing and drops the queued text.
//   NARRAVOX_FAKE_ECI_MARK=1
//       Every synthesis starts with the engine's language and the active
//       voice's parameters spoken as text, "[L=327680 V=0,100,...]", so that
//       a test can tell which settings made a file.
//   NARRAVOX_FAKE_ECI_FILL=n
//       Offers at most n samples per buffer instead of the caller's whole
//       buffer (every buffer but the last of a synthesis is then n samples).
//   NARRAVOX_FAKE_ECI_NO_AUDIO=1
//       The system has no audio output device: a synthesis without output
//       buffer (read aloud) fails in eciSynchronize, which drops the queued
//       text, with status ECI_STATUS_NO_AUDIO_OUTPUT ("eciSynchronize -> 0
//       (no audio output)").
//   NARRAVOX_FAKE_ECI_VOICES=n
//       The engine has the presets 1 to n only (0 to 8, default 8):
//       eciGetVoiceName and eciCopyVoice refuse the others.
//   NARRAVOX_FAKE_ECI_HOLD=path
//       Every eciSynchronize of the process but its first waits, before it
//       delivers anything, while the file at path exists: a test holds a
//       run after its first file for as long as it needs.
//
// Behaviour:
//   - Text is queued by eciAddText and delivered by eciSynchronize, on the
//     caller's thread, through the registered callback into the caller's
//     buffer. Answer 0 offers the same buffer again, 1 refills it, 2 stops
//     the synthesis (eciSynchronize still returns 1).
//   - Parameter 1 = 1 (annotated text): "`p" and digits N become
//     rate * N / 2000 samples of value 0 (N/2 ms at the rate of parameter 5:
//     0 8000, 1 11025, 2 22050 Hz); other "`" annotations produce nothing.
//     Parameter 1 = 0: every byte, backquote included, is a sample.
//   - Without an output buffer (test mode) eciSynchronize succeeds silently,
//     discarding the queued text, which the log already shows (but see
//     NARRAVOX_FAKE_ECI_NO_AUDIO).
//   - Voice n is named "fake-n".
//   - Every parameter and voice parameter is accepted, remembered and
//     answered with its previous value (defaults: parameter 5 = 1,
//     parameter 9 = 0x10000, all others 0; voices: pitch 100 for voice 0
//     and 100 + 10 n for preset n, speed 175, volume 65535).
#define ECI_IMPLEMENTATION
#include "narravox/eci_api.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

#include "fake_settings.h"
#include "fake_text.h"

namespace {

using fake_eci::Settings;

struct Instance {
  int64_t number = 0;
  int32_t params[64] = {};
  int32_t voices[9][8] = {};
  std::vector<int16_t> queued;
  int16_t* buffer = nullptr;
  int32_t buffer_samples = 0;
  EciCallback callback = nullptr;
  void* user_data = nullptr;
  int32_t status = 0;
  std::string message;
};

// How long a buffer may be refused before the synthesis gives up, and the
// status it then reports.
const std::chrono::seconds kRefusalLimit(30);
const int32_t kGaveUpStatus = 9;

std::mutex g_mutex;  // the fake is called from one thread, but be safe
Settings g_settings;
int64_t g_new_calls = 0;
std::map<std::string, int64_t> g_calls;

void Log(const std::string& line) {
  if (g_settings.log_path.empty()) return;
  if (std::FILE* f = std::fopen(g_settings.log_path.c_str(), "ab")) {
    std::fputs((line + "\n").c_str(), f);
    std::fclose(f);
  }
}

// Counts a call and tells whether it is one planned to fail.
const fake_eci::PlannedFailure* CountCall(const std::string& name) {
  int64_t n = name == "eciNew" ? ++g_new_calls : ++g_calls[name];
  for (const auto& f : g_settings.failures)
    if (f.name == name && f.call == n) return &f;
  return nullptr;
}

std::string Result(int64_t value, const fake_eci::PlannedFailure* failure) {
  return " -> " + std::to_string(value) + (failure ? " (injected)" : "");
}

void Record(Instance* e, const fake_eci::PlannedFailure* failure) {
  if (!e || !failure) return;
  e->status = failure->code;
  e->message =
      "injected failure of " + failure->name + " (call " + std::to_string(failure->call) + ")";
}

int32_t RateHz(const Instance* e) {
  switch (e->params[ECI_PARAM_SAMPLE_RATE]) {
    case ECI_RATE_8000:
      return 8000;
    case ECI_RATE_22050:
      return 22050;
    default:
      return 11025;
  }
}

Instance* AsInstance(ECIHand h) { return static_cast<Instance*>(h); }

}  // namespace

extern "C" {

ECI_EXPORT ECIHand ECI_CALL eciNew(void) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_settings = fake_eci::ReadSettings();
  g_calls.clear();
  const auto* failure = CountCall("eciNew");
  if (failure) {
    Log("eciNew -> null (injected)");
    return nullptr;
  }
  Instance* e = new (std::nothrow) Instance();
  if (!e) return nullptr;
  e->number = g_new_calls;  // the call count, so that a test can aim at the next call
  e->params[ECI_PARAM_SAMPLE_RATE] = ECI_RATE_11025;
  e->params[ECI_PARAM_DIALECT] = ECI_DIALECT_US_ENGLISH;
  for (int32_t n = 0; n <= 8; ++n) {
    int32_t* voice = e->voices[n];
    voice[ECI_VOICE_PITCH] = 100 + 10 * n;  // the presets told apart
    voice[ECI_VOICE_SPEED] = 175;
    voice[ECI_VOICE_VOLUME] = 65535;
  }
  Log("eciNew -> #" + std::to_string(e->number));
  return e;
}

ECI_EXPORT ECIHand ECI_CALL eciDelete(ECIHand engine) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (CountCall("eciDelete")) {
    Log("eciDelete (injected)");
    return engine;
  }
  Log("eciDelete");
  delete AsInstance(engine);
  return nullptr;
}

ECI_EXPORT int32_t ECI_CALL eciProgStatus(ECIHand engine) {
  std::lock_guard<std::mutex> lock(g_mutex);
  CountCall("eciProgStatus");
  int32_t status = engine ? AsInstance(engine)->status : 0;
  Log("eciProgStatus -> " + std::to_string(status));
  return status;
}

ECI_EXPORT void ECI_CALL eciErrorMessage(ECIHand engine, void* buffer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  CountCall("eciErrorMessage");
  std::string text = engine ? AsInstance(engine)->message : std::string();
  if (text.size() > ECI_ERROR_MESSAGE_SIZE - 1) text.resize(ECI_ERROR_MESSAGE_SIZE - 1);
  if (buffer) std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<char*>(buffer));
  Log("eciErrorMessage " + fake_eci::Quote(text.c_str()));
}

ECI_EXPORT int32_t ECI_CALL eciSetParam(ECIHand engine, int32_t param, int32_t value) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciSetParam");
  int32_t result = -1;
  if (!failure && e && param >= 0 && param < 64) {
    result = e->params[param];
    e->params[param] = value;
  }
  Record(e, failure);
  Log("eciSetParam " + std::to_string(param) + " " + std::to_string(value) +
      Result(result, failure));
  return result;
}

ECI_EXPORT EciBool ECI_CALL eciCopyVoice(ECIHand engine, int32_t from_voice, int32_t to_voice) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciCopyVoice");
  EciBool ok = !failure && e && from_voice >= 0 && from_voice <= g_settings.voices &&
               to_voice >= 0 && to_voice <= g_settings.voices;
  if (ok) std::copy(e->voices[from_voice], e->voices[from_voice] + 8, e->voices[to_voice]);
  Record(e, failure);
  Log("eciCopyVoice " + std::to_string(from_voice) + " " + std::to_string(to_voice) +
      Result(ok, failure));
  return ok;
}

ECI_EXPORT int32_t ECI_CALL eciSetVoiceParam(ECIHand engine, int32_t voice, int32_t param,
                                             int32_t value) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciSetVoiceParam");
  int32_t result = -1;
  if (!failure && e && voice >= 0 && voice <= 8 && param >= 0 && param < 8) {
    result = e->voices[voice][param];
    e->voices[voice][param] = value;
  }
  Record(e, failure);
  Log("eciSetVoiceParam " + std::to_string(voice) + " " + std::to_string(param) + " " +
      std::to_string(value) + Result(result, failure));
  return result;
}

ECI_EXPORT EciBool ECI_CALL eciAddText(ECIHand engine, const char* text) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciAddText");
  EciBool ok = !failure && e && text;
  if (ok)
    fake_eci::AppendSpeech(text, e->params[ECI_PARAM_ANNOTATED_INPUT] != 0, RateHz(e), e->queued);
  Record(e, failure);
  Log("eciAddText " + fake_eci::Quote(text ? text : "") + Result(ok, failure));
  return ok;
}

ECI_EXPORT EciBool ECI_CALL eciSynthesize(ECIHand engine) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciSynthesize");
  EciBool ok = !failure && e;
  Record(e, failure);
  Log("eciSynthesize" + Result(ok, failure));
  return ok;
}

ECI_EXPORT EciBool ECI_CALL eciSynchronize(ECIHand engine) {
  std::unique_lock<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciSynchronize");
  if (failure || !e) {
    if (e) e->queued.clear();
    Record(e, failure);
    Log("eciSynchronize" + Result(0, failure));
    return 0;
  }
  if (!e->buffer && g_settings.no_audio) {
    e->queued.clear();
    e->status = ECI_STATUS_NO_AUDIO_OUTPUT;
    e->message = "no audio output device is available to speak on";
    Log("eciSynchronize -> 0 (no audio output)");
    return 0;
  }
  static int syntheses = 0;
  if (++syntheses > 1 && !g_settings.hold_path.empty()) {
    lock.unlock();
    while (std::filesystem::exists(g_settings.hold_path))
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    lock.lock();
  }
  std::vector<int16_t> speech;
  if (g_settings.mark) {
    std::string mark = "[L=" + std::to_string(e->params[ECI_PARAM_DIALECT]) + " V=";
    for (int32_t value : e->voices[0]) mark += std::to_string(value) + ",";
    mark += "]";
    fake_eci::AppendSpeech(mark.c_str(), false, RateHz(e), speech);
  }
  speech.insert(speech.end(), e->queued.begin(), e->queued.end());
  e->queued.clear();
  if (e->buffer && e->callback) {
    size_t size = static_cast<size_t>(e->buffer_samples);
    if (g_settings.fill > 0) size = std::min(size, static_cast<size_t>(g_settings.fill));
    for (size_t pos = 0; pos < speech.size();) {
      size_t n = std::min(size, speech.size() - pos);
      std::copy(speech.begin() + pos, speech.begin() + pos + n, e->buffer);
      pos += n;
      // The callback may call back into the engine: release the lock.
      lock.unlock();
      const auto give_up = std::chrono::steady_clock::now() + kRefusalLimit;
      int32_t answer;
      while ((answer = e->callback(e, ECI_MSG_WAVEFORM_BUFFER, static_cast<int32_t>(n),
                                   e->user_data)) == ECI_DATA_NOT_PROCESSED &&
             std::chrono::steady_clock::now() < give_up)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      lock.lock();
      if (answer == ECI_DATA_NOT_PROCESSED) {
        e->status = kGaveUpStatus;
        e->message =
            "the callback refused a buffer for " + std::to_string(kRefusalLimit.count()) + " s";
        Log("callback 0 " + std::to_string(n) + " -> 0 (gave up)");
        Log("eciSynchronize -> 0");
        return 0;
      }
      Log("callback 0 " + std::to_string(n) + " -> " + std::to_string(answer));
      if (answer == ECI_DATA_ABORT) break;
    }
  }
  Log("eciSynchronize -> 1");
  return 1;
}

ECI_EXPORT EciBool ECI_CALL eciSetOutputBuffer(ECIHand engine, int32_t samples, int16_t* buffer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciSetOutputBuffer");
  EciBool ok = !failure && e && samples >= 0;
  if (ok) {
    e->buffer = samples > 0 ? buffer : nullptr;
    e->buffer_samples = samples;
  }
  Record(e, failure);
  Log("eciSetOutputBuffer " + std::to_string(samples) + Result(ok, failure));
  return ok;
}

ECI_EXPORT void ECI_CALL eciRegisterCallback(ECIHand engine, EciCallback callback,
                                             void* user_data) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  if (CountCall("eciRegisterCallback")) {
    Log("eciRegisterCallback (injected)");
    return;
  }
  if (e) {
    e->callback = callback;
    e->user_data = user_data;
  }
  Log(std::string("eciRegisterCallback ") + (callback ? "set" : "null"));
}

ECI_EXPORT EciBool ECI_CALL eciGetVoiceName(ECIHand engine, int32_t voice, void* buffer) {
  std::lock_guard<std::mutex> lock(g_mutex);
  Instance* e = AsInstance(engine);
  const auto* failure = CountCall("eciGetVoiceName");
  EciBool ok = !failure && e && buffer && voice >= 0 && voice <= g_settings.voices;
  const std::string name = "fake-" + std::to_string(voice);
  if (ok) std::copy(name.c_str(), name.c_str() + name.size() + 1, static_cast<char*>(buffer));
  Record(e, failure);
  Log("eciGetVoiceName " + std::to_string(voice) + (ok ? " " + fake_eci::Quote(name.c_str()) : "") +
      Result(ok, failure));
  return ok;
}

}  // extern "C"
