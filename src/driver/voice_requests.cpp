#include "driver/voice_requests.h"

#include <string>
#include <vector>

#include "audio/eci_engine.h"
#include "audio/fragment_job.h"
#include "audio/library_folder.h"
#include "audio/processing.h"
#include "audio/speech_files.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "engine/engine_text.h"
#include "engine/output_layout.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

constexpr int32_t kPresetVoices = 8;

// The sample as a fragment is spoken: the settings' pauses around it, read
// as the settings read a text (no dictionary of the user's).
std::vector<TSpeechPart> SampleSpeech() {
  std::vector<TSpeechPart> parts;
  if (!Settings.PAUSATESTA.empty()) parts.push_back({true, Settings.PAUSATESTA});
  parts.push_back({false, EngineText(msg::kVoiceSampleText, reading::TUserDictionary())});
  if (!Settings.PAUSACODA.empty()) parts.push_back({true, Settings.PAUSACODA});
  return parts;
}

// Reads the speech aloud, as the test mode reads a text; false when the
// engine has no audio output device to speak on.
bool SpeakAloud(const std::string& library, const std::vector<TSpeechPart>& speech) {
  RunState.TestMode = true;
  TProcessing processing(library, TProcessing::TRole::Coordinator);
  processing.Start();
  try {
    processing.Engine().QueueSpeech(speech);
    processing.Engine().SynthesizeAndWait();
  } catch (const EError&) {
    if (processing.Engine().Status() != ECI_STATUS_NO_AUDIO_OUTPUT) throw;
    return false;
  }
  return true;
}

// Speaks the speech into the MP3 file at path, made whole or not at all
// (an interruption discards it), with the engine started anew.
void WriteSample(const std::string& library, const std::vector<TSpeechPart>& speech,
                 const std::string& path) {
  RunState.TestMode = false;
  TProcessing processing(library, TProcessing::TRole::Coordinator);
  processing.Start();
  TFragmentJob job;
  job.number = 1;
  job.path = path;
  job.parts = speech;
  WriteFragmentFile(processing, job);
}

}  // namespace

void ListVoices() {
  std::vector<std::string> lines = {msg::kVoiceListHeader};
  {
    TInLibraryFolder folder;
    TEngineBinding engine(folder.Library());
    engine.Activate();
    const bool named = engine.NamesVoices();
    for (int32_t n = 1; n <= kPresetVoices; ++n) {
      std::string name;
      if (named && !engine.VoiceName(n, &name)) continue;
      const std::string number = std::to_string(n);
      const char* const word = msg::kVoiceNames[n - 1];
      const char* const sound = msg::kVoiceSounds[n - 1];
      lines.push_back(name.empty() ? FormatText(msg::kVoiceLine, {number, word, sound})
                                   : FormatText(msg::kVoiceLineNamed, {number, word, sound, name}));
    }
  }
  lines.push_back(msg::kVoiceDefaultLine);
  for (const std::string& line : lines) PrintLine(line);
}

void SpeakVoiceSample() {
  const std::vector<TSpeechPart> speech = SampleSpeech();
  // The destination is a full path, which the library's folder leaves as it is.
  const std::string& destination = Settings.DESTINAZIONE;
  const std::string path = destination + msg::kVoiceSampleFile;
  {
    TInLibraryFolder folder;
    if (SpeakAloud(folder.Library(), speech)) return;
    if (!platform::FolderExists(destination))
      CreateOutputFolder(destination.substr(0, destination.size() - 1));
    WriteSample(folder.Library(), speech, path);
  }
  PrintLine(FormatText(msg::kVoiceSampleInFile, {path}));
}
