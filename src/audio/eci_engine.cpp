#include "audio/eci_engine.h"

#include <cstring>
#include <utility>
#include <vector>

#include "audio/dyna_link.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/platform.h"

namespace {

int32_t RateCode(int32_t sample) {
  return sample == 8000 ? ECI_RATE_8000 : sample == 11025 ? ECI_RATE_11025 : ECI_RATE_22050;
}

// The library's status and explanation when the program reads aloud (/TEST)
// and the system has neither a sound server nor a playback device.
constexpr int32_t kNoAudioOutputStatus = 4;
constexpr const char* kNoAudioOutput = "no audio output device is available to speak on";
// espeak-ng's reason when its audio output cannot be opened, which ends
// the library's explanation of the failed set-up or synthesis.
constexpr const char* kAudioDeviceReason = ": Cannot initialize the audio device";

// The library's explanations (plugins/eci-espeak) and espeak-ng's reasons
// that they carry, with their Italian. Each "%s" stands for a part of the
// text that is itself translated when known: a reason, a number, a name.
struct TTranslation {
  const char* english;
  const char* italian;
};
const TTranslation kTranslations[] = {
    // Synthesis and its process.
    {kNoAudioOutput, "nessun dispositivo audio su cui leggere il testo ad alta voce"},
    {"no shared memory for the samples", "memoria condivisa per i campioni audio non disponibile"},
    {"no socket for the espeak-ng process: %s",
     "impossibile creare il canale di comunicazione con il processo di espeak-ng: %s"},
    {"no process for espeak-ng: %s", "impossibile avviare il processo di espeak-ng: %s"},
    {"the espeak-ng process did not start", "il processo di espeak-ng non si e' avviato"},
    {"espeak-ng could not be initialised", "impossibile inizializzare espeak-ng"},
    {"espeak-ng initialisation failed: %s", "inizializzazione di espeak-ng non riuscita: %s"},
    {"the espeak-ng process stopped during the synthesis",
     "il processo di espeak-ng si e' interrotto durante la sintesi"},
    {"espeak-ng synthesis failed: %s", "sintesi di espeak-ng non riuscita: %s"},
    {"espeak-ng output set-up failed: %s",
     "preparazione dell'uscita audio di espeak-ng non riuscita: %s"},
    {"espeak-ng has no voice \"%s\": %s", "espeak-ng non ha la voce \"%s\": %s"},
    {"resampling failed: %s", "conversione della frequenza di campionamento non riuscita: %s"},
    {"the sample queue cannot be shared with espeak-ng",
     "impossibile condividere con espeak-ng la coda dei campioni audio"},
    {"no sample queue came with the text",
     "il testo e' arrivato senza la coda dei campioni audio"},
    // Calls and parameters.
    {"parameter %s is not supported", "parametro %s non supportato"},
    {"dialect %s is not available", "lingua (dialetto %s) non disponibile"},
    {"sample rate code %s is not supported (0: 8000, 1: 11025, 2: 22050 Hz)",
     "codice della frequenza di campionamento %s non supportato (0: 8000, 1: 11025, "
     "2: 22050 Hz)"},
    {"voice numbers run from 0 to 8", "le voci sono numerate da 0 a 8"},
    {"voice parameter %s is not supported", "parametro della voce %s non supportato"},
    {"voice parameter %s takes %s to %s, not %s",
     "il parametro della voce %s va da %s a %s, non %s"},
    {"no text", "nessun testo"},
    {"a synthesis is running: call eciSynchronize first",
     "una sintesi e' in corso: chiamare prima eciSynchronize"},
    {"the output buffer has no room", "il buffer di uscita non ha spazio"},
    {"no engine instance", "nessuna istanza dell'engine"},
    // espeak-ng's reasons (espeak_ng_GetStatusCodeMessage).
    {"Compile error", "errore di compilazione"},
    {"Wrong version of espeak-ng-data", "versione di espeak-ng-data non corrispondente"},
    {"The FIFO buffer is full", "il buffer FIFO e' pieno"},
    {"The espeak-ng library has not been initialized",
     "la libreria espeak-ng non e' stata inizializzata"},
    {"Cannot initialize the audio device", "impossibile inizializzare il dispositivo audio"},
    {"The specified espeak-ng voice does not exist", "la voce di espeak-ng indicata non esiste"},
    {"Could not load the mbrola.dll file", "impossibile caricare il file mbrola.dll"},
    {"Could not load the specified mbrola voice file",
     "impossibile caricare il file della voce mbrola indicata"},
    {"The event buffer is full", "il buffer degli eventi e' pieno"},
    {"The requested functionality has not been built into espeak-ng",
     "la funzione richiesta non e' compresa in questa versione di espeak-ng"},
    {"The phoneme file is not in a supported format",
     "il file dei fonemi non e' in un formato supportato"},
    {"The spectral file does not contain any frame data",
     "il file spettrale non contiene dati dei frame"},
    {"The phoneme manifest file does not contain any phonemes",
     "l'elenco dei fonemi non contiene alcun fonema"},
    {"The phoneme feature is not recognised", "caratteristica del fonema non riconosciuta"},
    {"The text encoding is not supported", "codifica del testo non supportata"},
    {"Unspecified error %s", "errore non specificato %s"},
};

bool StartsWith(const std::string& text, const char* prefix) {
  return text.compare(0, std::strlen(prefix), prefix) == 0;
}

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t n = std::strlen(suffix);
  return text.size() >= n && text.compare(text.size() - n, n, suffix) == 0;
}

// Whether text from `at` has the form of pattern, each "%s" taking the
// shortest part that lets the rest match; the parts go to parts.
bool Match(const char* pattern, const std::string& text, size_t at,
           std::vector<std::string>& parts) {
  if (!*pattern) return at == text.size();
  if (pattern[0] == '%' && pattern[1] == 's') {
    for (size_t end = at; end <= text.size(); ++end) {
      parts.push_back(text.substr(at, end - at));
      if (Match(pattern + 2, text, end, parts)) return true;
      parts.pop_back();
    }
    return false;
  }
  return at < text.size() && text[at] == *pattern && Match(pattern + 1, text, at + 1, parts);
}

// The format with its "%s" places filled with parts, in order.
std::string Fill(const char* format, const std::vector<std::string>& parts) {
  std::string out;
  size_t next = 0;
  for (const char* p = format; *p; ++p) {
    if (p[0] == '%' && p[1] == 's' && next < parts.size()) {
      out += parts[next++];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

// The system's reason in Italian for an error code whose English text
// (strerror) the library or espeak-ng passed on; empty when text is none.
std::string SystemReason(const std::string& text) {
  for (int code = 1; code < 256; ++code) {
    if (text == std::strerror(code)) return platform::ErrorCodeReason(code);
  }
  return "";
}

}  // namespace

std::string ItalianEngineExplanation(const std::string& explanation) {
  for (const TTranslation& entry : kTranslations) {
    std::vector<std::string> parts;
    if (!Match(entry.english, explanation, 0, parts)) continue;
    for (std::string& part : parts) part = ItalianEngineExplanation(part);
    return Fill(entry.italian, parts);
  }
  std::string reason = explanation.empty() ? "" : SystemReason(explanation);
  return reason.empty() ? explanation : reason;
}

std::string EngineErrorMessage(int32_t code, const std::string& explanation) {
  std::string message = FormatText(msg::kEngineError, {std::to_string(code)});
  if (!platform::kUnixConventions) {
    if (!explanation.empty()) message += FormatText(msg::kEngineInfo, {explanation});
    return message;
  }
  if (code == kNoAudioOutputStatus && StartsWith(explanation, kNoAudioOutput))
    return msg::kNoAudioDevice;
  if (EndsWith(explanation, kAudioDeviceReason)) return msg::kAudioDeviceFailed;
  if (!explanation.empty())
    message += FormatText(msg::kEngineInfo, {ItalianEngineExplanation(explanation)});
  return message;
}

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
  RaiseError(EngineErrorMessage(code, explanation));
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

int32_t TEngineBinding::Status() { return Bound(slots_.ProgStatus, "eciProgStatus")(handle_); }

bool TEngineBinding::NamesVoices() {
  try {
    DLGetProc(libraryPath_, "eciGetVoiceName", library_);
    return true;
  } catch (const EDLGetProcError&) {
    return false;
  }
}

bool TEngineBinding::VoiceName(int32_t voice, std::string* name) {
  auto getName = reinterpret_cast<EciGetVoiceNameProc>(
      DLGetProc(libraryPath_, "eciGetVoiceName", library_));
  // Room beyond the interface's size, and a terminator kept there, for an
  // engine that writes more.
  char buffer[2 * ECI_VOICE_NAME_SIZE] = {};
  if (!getName(handle_, voice, buffer)) return false;
  buffer[sizeof buffer - 1] = '\0';
  name->clear();
  for (const char* c = buffer; *c; ++c)
    if (static_cast<unsigned char>(*c) >= ' ') *name += *c;
  return true;
}
