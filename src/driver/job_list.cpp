#include "driver/job_list.h"

#include <algorithm>
#include <functional>

#include "config/parse_setting.h"
#include "base/settings.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/job_line.h"
#include "base/messages.h"
#include "base/run_results.h"
#include "base/run_state.h"
#include "engine/text_folders.h"
#include "platform/files.h"

namespace {

// A name that names no text is left out, to be reported; the batch goes on.
void SkipMissing(const std::string& name, const std::function<void()>& add,
                 std::vector<std::string>* failures) {
  std::string failure = FailureOf(add);
  if (failure.empty()) return;
  failures->push_back(failure);
  RunState.SkippedTexts.push_back(name);
  ReportTextResult({name, "", 0, 0, "skipped", failure});
}

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

// A folder name as the program makes them: one name in the destination.
bool IsPlainFolderName(const std::string& name) {
  return name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find(platform::kPathSeparator) == std::string::npos;
}

// A started text's checkpoint, within what the text can give: every file
// holds at least one byte of it, so files before the position are at most
// as many as its bytes, and a text whose files wait for the grouping step
// has at most twice as many files as the file has bytes (a line counts two
// more than its length).
void RestoreCheckpoint(const TJobLineFields& fields, TJobLine* line) {
  line->started = !fields.numbers.empty();
  if (fields.numbers.size() > 0) line->position = fields.numbers[0];
  if (fields.numbers.size() > 1) line->track = fields.numbers[1];
  if (fields.numbers.size() > 2) line->digest = fields.numbers[2];
  int32_t position = line->position, track = line->track;
  if (position < -1 || track < 1) RaiseRecoveryFileError();
  int64_t size = platform::FileSize(fields.name);  // a missing text is skipped
  int64_t limit = position >= 0 ? int64_t{position} + 1 : 2 * size + 2;
  if (size >= 0 && track > limit) RaiseRecoveryFileError();
}

// The settings that a RecoveryFile of an earlier version does not hold take
// the values with which that version made its files: the text lower-cased,
// not normalised, no dictionary, no chapters, folders of MP3 files.
void KeepEarlierReading(TSettings& settings) {
  auto recorded = [](const std::string& key) {
    for (const std::string& line : RunState.SettingsRecord)
      if (line.compare(0, key.size() + 1, key + "=") == 0) return true;
    return false;
  };
  if (!recorded("MAIUSCOLE")) settings.MAIUSCOLE = false;
  if (!recorded("NORMALIZZA")) settings.NORMALIZZA = false;
  if (!recorded("CAPITOLI")) settings.CAPITOLI = false;
  if (!recorded("FORMATO")) settings.FORMATO = kFormatMp3;
  if (!recorded("DIZIONARIO")) {
    settings.DIZIONARIO.clear();
    settings.IMPRONTADIZIONARIO.clear();
  }
}

}  // namespace

void BuildJobList(const std::vector<std::string>& arguments) {
  RunState.JobList.clear();
  RunState.JobList.push_back({msg::kRecoveryWarningLine, 0});
  RunState.JobList.push_back(
      {EncodeJobLine({Settings.DESTINAZIONE, {Settings.FRAMMENTI, Settings.GRUPPI}, ""}), 0});
  std::vector<std::string> failures;
  auto addText = [&](const std::string& name) {
    SkipMissing(name, [&] { RunState.JobList.push_back(TJobLine(ResolveFileName(name, ".TXT"))); },
                &failures);
  };
  for (const std::string& argument : arguments) {
    if (!argument.empty() && argument[0] == '@') {
      std::vector<std::string> lines;
      SkipMissing(argument, [&] { lines = LoadTextList(argument.substr(1), ".LST"); }, &failures);
      for (const std::string& line : lines) addText(line);
    } else if (argument.find_first_of("*?") != std::string::npos) {
      SkipMissing(argument, [&] { AddPattern(argument); }, &failures);
    } else {
      addText(argument);
    }
  }
  // With no text left, the last failure ends the run; only an empty list
  // file leaves the list without texts and without a failure.
  bool empty = RunState.JobList.size() < 3;
  for (size_t i = 0; i + (empty ? 1 : 0) < failures.size(); ++i)
    PrintErrorLine(msg::kErrorPrefix + failures[i]);
  if (empty) RaiseError(failures.empty() ? msg::kNoTextFiles : failures.back());
  if (!RunState.TestMode) AssignTextFolders(&RunState.JobList);
  RunState.SettingsRecord = RecordSettings(Settings);
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
  KeepEarlierReading(settings);
  const std::vector<std::string> after = RecordSettings(settings);
  for (size_t i = 0; i < before.size(); ++i)
    for (const std::string& key : given)
      if (before[i] != after[i] && before[i].compare(0, key.size() + 1, key + "=") == 0)
        overridden = true;
  if (lines.size() < 3) RaiseRecoveryFileError();
  TJobLineFields layout = DecodeJobLine(lines[1]);
  if (!layout.folder.empty()) RaiseRecoveryFileError();
  settings.DESTINAZIONE = layout.name;
  if (layout.numbers.size() > 0) settings.FRAMMENTI = layout.numbers[0];
  settings.GRUPPI = layout.numbers.size() > 1 ? layout.numbers[1] : 0;
  // The program writes only sizes within the options' ranges; anything else
  // is an edited or damaged file, and would size the fragment buffers wrong.
  if (settings.FRAMMENTI < kMinFragmentKb * 1024 || settings.FRAMMENTI > kMaxFragmentKb * 1024 ||
      (settings.GRUPPI != 0 && (settings.GRUPPI < kMinGroupSize || settings.GRUPPI > kMaxGroupSize)))
    RaiseRecoveryFileError();
  RunState.JobList.clear();
  RunState.JobList.push_back({lines[0], 0});
  RunState.JobList.push_back({lines[1], 0});
  for (size_t i = 2; i < lines.size(); ++i) {
    TJobLineFields fields = DecodeJobLine(lines[i]);
    if (!fields.folder.empty() && !IsPlainFolderName(fields.folder)) RaiseRecoveryFileError();
    RunState.JobList.push_back({fields.name, 0, fields.folder});
    RestoreCheckpoint(fields, &RunState.JobList.back());
  }
  AssignTextFolders(&RunState.JobList);
  RunState.RecoveryFileWritten.value = true;  // the run's own, to rewrite and end
  if (overridden) PrintErrorLine(msg::kResumeWarning);
}
