#include "driver/job_list.h"

#include <algorithm>

#include "config/parse_setting.h"
#include "base/settings.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "platform/files.h"

namespace {

void AddPattern(const std::string& argument) {
  std::string pattern = platform::FullPath(argument);
  std::string folder = pattern.substr(0, pattern.rfind(platform::kPathSeparator) + 1);
  std::vector<platform::FoundEntry> entries;
  int end = platform::FindFiles(pattern, &entries);
  size_t added = 0;
  for (const platform::FoundEntry& entry : entries) {
    if (entry.isFolder || entry.isHidden || entry.isSystem) continue;
    RunState.JobList.push_back({folder + entry.name, 0});
    ++added;
  }
  if (end == platform::kErrorFileNotFound || added == 0)
    RaiseErrorWithCode(msg::kFileNotFound, pattern, 0);
  if (end != platform::kErrorNoMoreFiles) RaiseErrorWithCode(msg::kSearchError, pattern, end);
}

// A RecoveryFile still there belongs to a conversion that did not end: it
// is kept under a second name, in place of any kept before, and can be
// resumed from there.
void KeepInterruptedRun() {
  const std::string& path = RunState.RecoveryFilePath;
  if (!platform::FileExists(path)) return;
  std::string kept = path + ".1";
  if (platform::FileExists(kept)) platform::DeleteFile(kept);
  if (!platform::MoveFile(path, kept)) RaiseFileCreateError(kept);
  PrintErrorLine(FormatText(msg::kRecoveryFileKept, {kept, kept}));
}

// Takes the RecoveryFile's settings section, when it has one, off its lines
// and applies it over the configuration file and the command line.
void RestoreRecordedSettings(std::vector<std::string>* lines) {
  auto section = std::find(lines->begin(), lines->end(), kSettingsSection);
  if (section == lines->end()) return;
  RunState.SettingsRecord.assign(section + 1, lines->end());
  lines->erase(section, lines->end());
  for (const std::string& line : RunState.SettingsRecord)
    if (!ParseSetting(line)) RaiseRecoveryFileError();
}
}  // namespace

void BuildJobList(const std::vector<std::string>& arguments) {
  RunState.JobList.clear();
  RunState.JobList.push_back({msg::kRecoveryWarningLine, 0});
  RunState.JobList.push_back(
      {JoinJobLine(Settings.DESTINAZIONE, Settings.FRAMMENTI, Settings.GRUPPI), 0});
  for (const std::string& argument : arguments) {
    if (!argument.empty() && argument[0] == '@') {
      for (const std::string& line : LoadTextList(argument.substr(1), ".LST"))
        RunState.JobList.push_back({ResolveFileName(line, ".TXT"), 0});
    } else if (argument.find_first_of("*?") != std::string::npos) {
      AddPattern(argument);
    } else {
      RunState.JobList.push_back({ResolveFileName(argument, ".TXT"), 0});
    }
  }
  // Only an empty list file can leave the list without texts.
  if (RunState.JobList.size() < 3) RaiseError(msg::kNoTextFiles);
  if (RunState.TestMode) return;
  RunState.SettingsRecord = RecordSettings(Settings);
  KeepInterruptedRun();
  if (!WriteJobList()) RaiseFileCreateError(RunState.RecoveryFilePath);
}

void ResumeJobList(bool argumentsRemain) {
  TSettings& settings = EditableSettings();
  if (argumentsRemain || !platform::FileExists(RunState.RecoveryFilePath))
    RaiseError(msg::kRecoveryFileMissing);
  std::vector<std::string> lines = LoadTextList(RunState.RecoveryFilePath, "");
  // Options of the command line cannot change what the RecoveryFile keeps:
  // one that would have is reported.
  bool overridden = settings.LayoutOptionsGiven;
  const std::vector<std::string> given = settings.ShapingKeysGiven;
  const std::vector<std::string> before = RecordSettings(settings);
  RestoreRecordedSettings(&lines);
  const std::vector<std::string> after = RecordSettings(settings);
  for (size_t i = 0; i < before.size(); ++i)
    for (const std::string& key : given)
      if (before[i] != after[i] && before[i].compare(0, key.size() + 1, key + "=") == 0)
        overridden = true;
  if (lines.size() < 3) RaiseRecoveryFileError();
  settings.GRUPPI = 0;
  settings.DESTINAZIONE = SplitJobLine(lines[1], &settings.FRAMMENTI, &settings.GRUPPI);
  // The program writes only sizes within the options' ranges; anything else
  // is an edited or damaged file, and would size the fragment buffers wrong.
  if (settings.FRAMMENTI < kMinFragmentKb * 1024 || settings.FRAMMENTI > kMaxFragmentKb * 1024 ||
      (settings.GRUPPI != 0 && (settings.GRUPPI < kMinGroupSize || settings.GRUPPI > kMaxGroupSize)))
    RaiseRecoveryFileError();
  lines[2] = SplitJobLine(lines[2], &RunState.TextPosition, &RunState.TrackNumber);
  if (RunState.TextPosition < -1 || RunState.TrackNumber < 1) RaiseRecoveryFileError();
  RunState.JobList.clear();
  for (const std::string& line : lines) RunState.JobList.push_back({line, 0});
  for (size_t i = 2; i < RunState.JobList.size(); ++i)
    if (!platform::FileExists(RunState.JobList[i].text))
      RaiseErrorWithCode(msg::kFileNotFound, RunState.JobList[i].text, -1);
  if (overridden) PrintErrorLine(msg::kResumeWarning);
}
