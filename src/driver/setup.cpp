#include "driver/setup.h"

#include <algorithm>
#include <new>

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
#include "driver/voice_requests.h"
#include "base/messages.h"
#include "base/program_files.h"
#include "base/prompts.h"
#include "base/run_state.h"
#include "engine/conversion.h"
#include "engine/listing.h"
#include "engine/engine_text.h"
#include "platform/console.h"
#include "platform/files.h"
#include "platform/platform.h"
#include "platform/worker_process.h"

namespace {

// On POSIX the command is written as it is typed there.
std::string WithCommandName(std::string help) {
  if (!platform::kUnixConventions) return help;
  for (size_t at = 0; (at = help.find("NARRAVOX ", at)) != std::string::npos; at += 9)
    help.replace(at, 8, "narravox");
  return help;
}

[[noreturn]] void StopWithHelp(int exitCode) {
  PrintBanner();
  PrintLine(WithCommandName(HelpText1));
  PrintLine(WithCommandName(HelpText2));
  RaiseSilentAbort(exitCode);
}

// "-h", "--help" and "--version" where options stand, on POSIX: they end
// the run with exit code 0, as such requests do there.
void StopForPosixRequest(const std::string& argument) {
  if (!platform::kUnixConventions) return;
  if (argument == "-h" || argument == "--help") {
    PrintBanner();
    PrintLine(LongHelpText());
    RaiseSilentAbort(0);
  }
  if (argument == "--version") {
    platform::ConsoleWrite(msg::kBanner);
    RaiseSilentAbort(0);
  }
}

// The request about the voices that an argument where options stand makes,
// if any: "--voci", "--prova-voce", or "/V=?" as a value of the voice.
TRunRequest VoiceRequest(const std::string& argument) {
  if (argument == "--voci") return TRunRequest::ListVoices;
  if (argument == "--prova-voce") return TRunRequest::VoiceSample;
  const std::string option = UpperAscii(argument);
  if (option == "/V=?" || option == "/VOCE=?") return TRunRequest::ListVoices;
  return TRunRequest::Conversion;
}

// The destination as a full path with its final separator (empty: the
// current directory).
void SettleDestination(TSettings& settings) {
  std::string full = platform::FullPath(settings.DESTINAZIONE);
  if (full.empty() || full.back() != platform::kPathSeparator) full += platform::kPathSeparator;
  settings.DESTINAZIONE = full;
}

// Whether an argument that begins with "/" is an option. On Windows every
// one is. On POSIX, where full paths begin with "/" too, the text up to any
// "=" must be a key of the settings or one of the program's own flags.
bool IsOption(const std::string& argument) {
  if (!platform::kUnixConventions) return true;
  std::string key = UpperAscii(TrimBlanks(argument.substr(1, argument.find('=') - 1)));
  for (const char* flag : {"?", "TEST", "ELENCO", "R", "RIPRENDI", "ECISETUP"})
    if (key == flag) return true;
  return IsSettingKey(key);
}

// A full path or pattern: it holds a second "/" (no option does), or it
// names an existing file.
bool IsFileArgument(const std::string& argument) {
  return argument.find('/', 1) != std::string::npos || platform::FileExists(argument);
}

[[noreturn]] void RaiseRecoveryFileBusy(const std::string& path) {
  RaiseError(FormatText(msg::kRecoveryFileBusy, {path}) + LockHolderText(path + ".lock"));
}

// Takes the lock of the RecoveryFile at path for the whole run: true when
// taken, false when another run holds it; raises when it cannot be made.
bool TryLockRecoveryFile(const std::string& path) {
  const std::string lockPath = path + ".lock";
  platform::LockResult lock = platform::LockForProcessLife(lockPath);
  if (lock == platform::LockResult::Locked) return true;
  if (lock == platform::LockResult::Busy) return false;
  if (!platform::kUnixConventions) RaiseFileCreateError(lockPath);
  // A lock file that cannot be made in an existing folder: the folder is
  // another user's (a portable copy shared by several users) or read-only.
  int code = platform::LastErrorCode();
  const std::string folder = FolderOf(path);
  bool folderRefused = code != platform::kErrorFileNotFound &&
                       platform::KindOfPath(lockPath) == platform::PathKind::Missing &&
                       platform::FolderExists(folder);
  std::string reason = platform::ErrorCodeReason(code);
  std::string format =
      std::string(folderRefused ? msg::kRecoveryFolderReadOnly : msg::kRecoveryLockFailed) +
      (reason.empty() ? msg::kCodeSuffix : msg::kCodeReasonSuffix);
  RaiseError(
      FormatText(format, {path, folderRefused ? folder : lockPath, std::to_string(code), reason}));
}

// Runs of one user side by side each take a RecoveryFile of their own
// (program_files.h has the slots). A new run takes the first free slot; a
// resumed run the first interrupted conversion that no run holds, and the
// others wait for the next "/R".
void ChooseRecoveryFile(const std::string& first) {
  RunState.RecoveryFilePath = first;
  if (RunState.RecoveryFileNamed) {
    if (!TryLockRecoveryFile(first)) RaiseRecoveryFileBusy(first);
    return;
  }
  if (!RunState.ResumeMode) {
    // Windows keeps one conversion at a time: a second run stops.
    const int slots = platform::kUnixConventions ? kMaxRecoverySlots : 1;
    for (int slot = 1; slot <= slots; ++slot) {
      const std::string path = RecoverySlot(first, slot);
      if (!TryLockRecoveryFile(path)) continue;
      RunState.RecoveryFilePath = path;
      RunState.RecoveryFileNamed = slot > 1;
      return;
    }
    RaiseRecoveryFileBusy(first);
  }
  std::vector<std::string> interrupted;
  if (platform::FileExists(first)) interrupted.push_back(first);
  for (int slot : ExistingRecoverySlots(first)) interrupted.push_back(RecoverySlot(first, slot));
  if (interrupted.empty()) return;  // reported as missing
  for (const std::string& path : interrupted) {
    if (!TryLockRecoveryFile(path)) continue;
    RunState.RecoveryFilePath = path;
    RunState.RecoveryFileNamed = path != first;
    for (const std::string& other : interrupted)
      if (other != path) RunState.OtherRecoveryFiles.push_back(other);
    return;
  }
  RaiseRecoveryFileBusy(interrupted.front());
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

// With the settings final (a resumed run's come from its RecoveryFile):
// one stream in the test mode, which makes no file, and with the
// pipeline's own upsampling, which has always worked so.
void SettleOneStream(TSettings& settings) {
  if (RunState.TestMode || EncoderRates().pipelineUpsamples) settings.PARALLELI = 1;
}

// A DAISY book is one folder of MP3 files and their navigation, which
// players go by: no group folders, no clips, and the files' names in
// lower-case 8.3, as players that read FAT cards need. Settled before the
// RecoveryFile records the settings, so that "/R" keeps them.
void SettleTalkingBook(TSettings& settings) {
  if (settings.FORMATO != kFormatDaisy) return;
  settings.GRUPPI = 0;
  settings.RIUNISCIGRUPPI = false;
  settings.CARTELLEROCKBOX = false;
  settings.CLIPFILE = false;
  settings.IDENTIFICACARTELLA = false;
  settings.NOMEFILE.clear();
}

}  // namespace

TRunRequest SetUpRun(const std::vector<std::string>& args, reading::TUserDictionary* dictionary) {
  TSettings& settings = EditableSettings();
  settings.MP3DLL = ProgramFiles().LibraryFolder + settings.MP3DLL;
  size_t n = args.size() - 1;
  const std::string first = n >= 1 ? args[1] : std::string();

  if (first.empty()) {
    PrintBanner();
    PrintLine(platform::kUnixConventions ? msg::kHintPosix : msg::kHint);
    RaiseSilentAbort();
  }
  if (first == "/?") StopWithHelp(1);
  StopForPosixRequest(first);
  if (UpperAscii(first.substr(0, 10)) == "/ECISETUP=") {
    if (n > 1) RaiseInvalidParameter(args[2]);
    if (first.size() == 10) RaiseInvalidParameter(first);
    SetupEciPath(first.substr(10));
    RaiseSilentAbort();
  }

  LoadConfiguration();
  settings.LayoutOptionsGiven = false;
  settings.ShapingKeysGiven.clear();
  std::string namedRecoveryFile;  // given with "/R=file"
  bool optionsEnded = false;      // by "--"
  TRunRequest request = TRunRequest::Conversion;
  std::string requestArgument;  // as typed
  bool listing = false;         // "/ELENCO": what the run would make

  size_t current = 1;
  for (; current <= n; ++current) {
    const std::string& argument = args[current];
    StopForPosixRequest(argument);
    if (platform::kUnixConventions && argument == "--") {  // the end of the options
      ++current;
      optionsEnded = true;
      break;
    }
    if (VoiceRequest(argument) != TRunRequest::Conversion) {
      request = VoiceRequest(argument);
      requestArgument = argument;
      continue;
    }
    if (platform::kUnixConventions && argument == "--elenco") {
      listing = true;
      continue;
    }
    if (argument.empty() || argument[0] != '/') break;
    if (!IsOption(argument)) {
      if (IsFileArgument(argument)) break;
      RaiseInvalidParameter(argument);
    }
    std::string option = UpperAscii(argument);
    if (option == "/TEST") {
      RunState.TestMode = true;
    } else if (option == "/ELENCO") {
      listing = true;
    } else if (option == "/RIPRENDI" || option == "/R") {
      RunState.ResumeMode = true;
    } else if (option.compare(0, 3, "/R=") == 0 || option.compare(0, 10, "/RIPRENDI=") == 0) {
      // The RecoveryFile of another conversion, such as one kept aside.
      std::string name = argument.substr(argument.find('=') + 1);
      if (name.empty()) RaiseInvalidParameter(argument);
      RunState.ResumeMode = true;
      RunState.RecoveryFileNamed = true;
      namedRecoveryFile = platform::FullPath(ExpandHomeFolder(name));
    } else if (!ParseSetting(argument)) {
      RaiseInvalidParameter(argument);
    }
  }
  if (request != TRunRequest::Conversion) {
    if (current <= n)
      RaiseError(FormatText(msg::kVoiceRequestFiles, {requestArgument, args[current]}));
    if (request == TRunRequest::VoiceSample) {
      SettleDestination(settings);
      if (platform::kUnixConventions) CheckBitrate();
    }
    LocateEngine();
    return request;
  }
  if (listing) {
    // Nothing is spoken nor written: neither the engine nor a RecoveryFile.
    if (current > n) RaiseError(msg::kNoTextFiles);
    SettleDestination(settings);
    SettleTalkingBook(settings);
    BuildJobList(std::vector<std::string>(args.begin() + current, args.end()));
    return TRunRequest::Listing;
  }
  if (current > n && !RunState.ResumeMode) RaiseError(msg::kNoTextFiles);
  // On POSIX an option among the files is a mistake to point out, not a
  // file to look for (a name that exists, or a full path, is a file).
  for (size_t i = current; platform::kUnixConventions && !optionsEnded && i <= n; ++i) {
    const std::string& argument = args[i];
    if (!argument.empty() && argument[0] == '/' && IsOption(argument) && !IsFileArgument(argument))
      RaiseError(FormatText(msg::kOptionAfterFiles, {argument}));
  }

  if (RunState.TestMode) {
    settings.AVVISIFINESTRA = false;
  } else if (!RunState.ResumeMode) {
    SettleDestination(settings);
  }
  // A bit rate that MPEG audio lacks at the files' rate is refused before
  // any file is made (on Windows the encoder refuses it with its code).
  if (platform::kUnixConventions && !RunState.TestMode && !RunState.ResumeMode) CheckBitrate();
  LocateEngine();
  SettleParallelFiles(settings);
  if (settings.CARTELLEROCKBOX) settings.IDENTIFICACARTELLA = true;
  if (settings.CARTELLEROCKBOX && !settings.ROCKBOXMP3 && !SpeexClipsAvailable()) {
    PrintErrorLine(msg::kNoSpeexClips);
    settings.ROCKBOXMP3 = true;
  }
  // The results file is named as the run starts (the current directory
  // changes), and made now, so that a name that cannot be written stops
  // the run before any text.
  if (!settings.RISULTATI.empty() && !RunState.TestMode) {
    settings.RISULTATI = platform::FullPath(ExpandHomeFolder(settings.RISULTATI));
    if (!platform::AppendToFile(settings.RISULTATI, ""))
      RaiseErrorWithCode(msg::kCannotCreateFile, settings.RISULTATI, -1);
  }
  TProgramFiles files = ProgramFiles();
  const std::string& recoveryFile =
      RunState.RecoveryFileNamed ? namedRecoveryFile : files.RecoveryFile;
  RunState.RecoveryFilePath = recoveryFile;
  if (!files.Portable && !RunState.TestMode && !RunState.ResumeMode) CreateFolderOf(recoveryFile);
  // One conversion at a time per RecoveryFile, for the whole run (a missing
  // one to resume is reported as such).
  if (!RunState.TestMode && (!RunState.ResumeMode || !RunState.RecoveryFileNamed ||
                             platform::FileExists(recoveryFile)))
    ChooseRecoveryFile(recoveryFile);

  // The dictionaries are read before the JobList records their digest; a
  // resumed run reads those of its RecoveryFile, and says when they changed.
  if (!RunState.ResumeMode) {
    *dictionary = LoadUserDictionaries(settings.DIZIONARIO);
    settings.IMPRONTADIZIONARIO = dictionary->Empty() ? "" : dictionary->Digest();
    BuildJobList(std::vector<std::string>(args.begin() + current, args.end()));
  } else {
    ResumeJobList(current <= n);
    *dictionary = LoadUserDictionaries(settings.DIZIONARIO);
    if ((dictionary->Empty() ? "" : dictionary->Digest()) != settings.IMPRONTADIZIONARIO)
      PrintErrorLine(msg::kDictionaryChanged);
  }
  SettleOneStream(settings);
  SettleTalkingBook(settings);
  return TRunRequest::Conversion;
}

namespace {

// Exit codes: 0 every text converted; 1 some texts were skipped or the
// conversion failed; on POSIX 2 for an error before the conversion began
// (options, configuration, libraries, RecoveryFile) unless it is that no
// text named could be found; 128 plus the signal for an interruption. A
// request about the voices ends with 0, or with 1 when the engine failed.
int RunAndReport(const std::vector<std::string>& args) {
  bool settingUp = true;
  try {
    reading::TUserDictionary dictionary;
    const TRunRequest request = SetUpRun(args, &dictionary);
    settingUp = false;
    if (request == TRunRequest::ListVoices) {
      ListVoices();
      return 0;
    }
    if (request == TRunRequest::VoiceSample) {
      SpeakVoiceSample();
      return 0;
    }
    if (request == TRunRequest::Listing) return RunListing() > 0 ? 1 : 0;
    int code = RunConversion(dictionary) > 0 ? 1 : 0;
    const size_t others = RunState.OtherRecoveryFiles.size();
    if (others > 0 && Settings.VERBOSITA > 0)
      PrintLine(FormatText(msg::kOtherRunsToResume, {std::to_string(others)}));
    return code;
  } catch (const ESilentAbort& stop) {
    return stop.exitCode;
  } catch (const std::bad_alloc&) {
    ReportFatalError(msg::kOutOfMemory);
  } catch (const std::exception& error) {
    ReportFatalError(error.what());
  }
  return settingUp && platform::kUnixConventions && RunState.SkippedTexts.empty() ? 2 : 1;
}

}  // namespace

int NarravoxMain(const std::vector<std::string>& args) {
  int exitCode = RunAndReport(args);
  platform::GiveBackConsoleTitle();
  return exitCode;
}
