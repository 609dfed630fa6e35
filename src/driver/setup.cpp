#include "driver/setup.h"

#include <algorithm>
#include <new>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/speex_clip.h"
#include "config/config_file.h"
#include "config/engine_location.h"
#include "config/parse_setting.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "driver/job_list.h"
#include "base/messages.h"
#include "base/prompts.h"
#include "base/run_state.h"
#include "engine/conversion.h"
#include "platform/files.h"
#include "platform/worker_process.h"

namespace {

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind(platform::kPathSeparator);
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

void LockRecoveryFile() {
  const std::string& path = RunState.RecoveryFilePath;
  platform::LockResult lock = platform::LockForProcessLife(path + ".lock");
  if (lock == platform::LockResult::Busy) RaiseError(FormatText(msg::kRecoveryFileBusy, {path}));
  if (lock == platform::LockResult::Failed) RaiseFileCreateError(path + ".lock");
}

// One MP3 file in progress per processor unless PARALLELI says otherwise;
// one where worker processes are not available.
void SettleParallelFiles(TSettings& settings) {
  if (platform::WorkerProcessesAvailable()) {
    if (settings.PARALLELI == 0) settings.PARALLELI = std::min(platform::ProcessorCount(), 64);
    return;
  }
  if (settings.PARALLELI > 1)
    PrintLine(FormatText(msg::kNoParallelHere, {std::to_string(settings.PARALLELI)}));
  settings.PARALLELI = 1;
}

}  // namespace

void SetUpRun(const std::vector<std::string>& args) {
  TSettings& settings = EditableSettings();
  settings.MP3DLL = FolderOf(args[0]) + settings.MP3DLL;
  size_t n = args.size() - 1;
  const std::string first = n >= 1 ? args[1] : std::string();

  if (first.empty()) {
    PrintBanner();
    PrintLine(msg::kHint);
    RaiseSilentAbort();
  }
  if (first == "/?") {
    PrintBanner();
    PrintLine(HelpText1);
    PrintLine(HelpText2);
    RaiseSilentAbort();
  }
  if (UpperAscii(first.substr(0, 10)) == "/ECISETUP=") {
    if (n > 1) RaiseInvalidParameter(args[2]);
    if (first.size() == 10) RaiseInvalidParameter(first);
    SetupEciPath(first.substr(10));
    RaiseSilentAbort();
  }

  LoadConfiguration();
  settings.LayoutOptionsGiven = false;
  settings.ShapingOptionsGiven = false;
  std::string recoveryFile = ProgramFileWithExtension(".dat");

  size_t current = 1;
  while (current <= n && !args[current].empty() && args[current][0] == '/') {
    std::string option = UpperAscii(args[current]);
    if (option == "/TEST") {
      RunState.TestMode = true;
    } else if (option == "/RIPRENDI" || option == "/R") {
      RunState.ResumeMode = true;
    } else if (option.compare(0, 3, "/R=") == 0 || option.compare(0, 10, "/RIPRENDI=") == 0) {
      // The RecoveryFile of another conversion, such as one kept aside.
      std::string name = args[current].substr(args[current].find('=') + 1);
      if (name.empty()) RaiseInvalidParameter(args[current]);
      RunState.ResumeMode = true;
      RunState.RecoveryFileNamed = true;
      recoveryFile = platform::FullPath(name);
    } else if (!ParseSetting(args[current])) {
      RaiseInvalidParameter(args[current]);
    }
    ++current;
    if (current > n) {
      if (RunState.ResumeMode) break;
      RaiseError(msg::kNoTextFiles);
    }
  }

  if (RunState.TestMode) {
    settings.AVVISIFINESTRA = false;
  } else if (!RunState.ResumeMode) {
    // An empty destination is the current directory.
    std::string full = platform::FullPath(settings.DESTINAZIONE);
    if (full.empty() || full.back() != platform::kPathSeparator) full += platform::kPathSeparator;
    settings.DESTINAZIONE = full;
  }
  LocateEngine();
  SettleParallelFiles(settings);
  if (settings.CARTELLEROCKBOX) settings.IDENTIFICACARTELLA = true;
  if (settings.CARTELLEROCKBOX && !settings.ROCKBOXMP3 && !SpeexClipsAvailable()) {
    PrintLine(msg::kNoSpeexClips);
    settings.ROCKBOXMP3 = true;
  }
  RunState.RecoveryFilePath = recoveryFile;
  // One conversion at a time per RecoveryFile, for the whole run.
  if (!RunState.TestMode) LockRecoveryFile();

  if (RunState.ResumeMode)
    ResumeJobList(current <= n);
  else
    BuildJobList(std::vector<std::string>(args.begin() + current, args.end()));
}

namespace {

int RunAndReport(const std::vector<std::string>& args) {
  try {
    SetUpRun(args);
    return RunConversion() > 0 ? 1 : 0;
  } catch (const ESilentAbort&) {
    return 1;
  } catch (const std::bad_alloc&) {
    ReportFatalError(msg::kOutOfMemory);
  } catch (const std::exception& error) {
    ReportFatalError(error.what());
  }
  return 1;
}

}  // namespace

int NarravoxMain(const std::vector<std::string>& args) {
  int exitCode = RunAndReport(args);
  // The libraries stay loaded until the program ends.
  FreeEngineLibrary();
  FreeEncoderLibrary();
  return exitCode;
}
