#include "driver/job_list.h"

#include "config/settings.h"
#include "driver/console_out.h"
#include "driver/errors.h"
#include "driver/file_names.h"
#include "driver/messages.h"
#include "driver/run_state.h"
#include "platform/files.h"

namespace {

bool ParseDecimal(const std::string& text, int32_t* n) {
  size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
  if (i == text.size()) return false;
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
    if (value > int64_t(INT32_MAX) + 1) return false;
  }
  if (text[0] == '-') value = -value;
  if (value > INT32_MAX || value < INT32_MIN) return false;
  *n = static_cast<int32_t>(value);
  return true;
}

void AddPattern(const std::string& argument) {
  std::string pattern = platform::FullPath(argument);
  std::string folder = pattern.substr(0, pattern.rfind(platform::kPathSeparator) + 1);
  std::vector<platform::FoundEntry> entries;
  int end = platform::FindFiles(pattern, &entries);
  size_t added = 0;
  for (const platform::FoundEntry& entry : entries) {
    if (entry.isFolder || entry.isHidden || entry.isSystem) continue;
    Run.JobList.push_back({folder + entry.name, 0});
    ++added;
  }
  if (end == platform::kErrorFileNotFound || added == 0)
    RaiseErrorWithCode(msg::kFileNotFound, pattern, 0);
  if (end != platform::kErrorNoMoreFiles) RaiseErrorWithCode(msg::kSearchError, pattern, end);
}

// The RecoveryFile's content: every line ended by CR LF.
std::string JobListText() {
  std::string text;
  for (const TJobLine& line : Run.JobList) text += line.text + "\r\n";
  return text;
}

}  // namespace

void RaiseRecoveryFileError() { RaiseError(msg::kRecoveryFileDamaged); }

std::string SplitJobLine(const std::string& line, int32_t* first, int32_t* second) {
  size_t cut = line.find("::");
  if (cut == std::string::npos) return line;
  std::string rest = line.substr(cut + 2);
  size_t cut2 = rest.find("::");
  if (!ParseDecimal(rest.substr(0, cut2), first)) RaiseRecoveryFileError();
  if (cut2 != std::string::npos && !ParseDecimal(rest.substr(cut2 + 2), second))
    RaiseRecoveryFileError();
  return line.substr(0, cut);
}

void SaveJobList() {
  if (!platform::ReplaceFileContent(Run.RecoveryFilePath, JobListText()))
    RaiseError(msg::kRecoveryFileWrite);
}

void BuildJobList(const std::vector<std::string>& arguments) {
  Run.JobList.clear();
  Run.JobList.push_back({msg::kRecoveryWarningLine, 0});
  Run.JobList.push_back({Settings.DESTINAZIONE + "::" + std::to_string(Settings.FRAMMENTI) +
                             "::" + std::to_string(Settings.GRUPPI),
                         0});
  for (const std::string& argument : arguments) {
    if (!argument.empty() && argument[0] == '@') {
      for (const std::string& line : LoadTextList(argument.substr(1), ".LST"))
        Run.JobList.push_back({ResolveFileName(line, ".TXT"), 0});
    } else if (argument.find_first_of("*?") != std::string::npos) {
      AddPattern(argument);
    } else {
      Run.JobList.push_back({ResolveFileName(argument, ".TXT"), 0});
    }
  }
  // Only an empty list file can leave the list without texts.
  if (Run.JobList.size() < 3) RaiseError(msg::kNoTextFiles);
  if (Run.TestMode) return;
  if (!platform::ReplaceFileContent(Run.RecoveryFilePath, JobListText()))
    RaiseFileCreateError(Run.RecoveryFilePath);
}

void ResumeJobList(bool argumentsRemain) {
  if (argumentsRemain || !platform::FileExists(Run.RecoveryFilePath))
    RaiseError(msg::kRecoveryFileMissing);
  std::vector<std::string> lines = LoadTextList(Run.RecoveryFilePath, "");
  if (lines.size() < 3) RaiseRecoveryFileError();
  Settings.GRUPPI = 0;
  Settings.DESTINAZIONE = SplitJobLine(lines[1], &Settings.FRAMMENTI, &Settings.GRUPPI);
  // The program writes only sizes within the options' ranges; anything else
  // is an edited or damaged file, and would size the fragment buffers wrong.
  if (Settings.FRAMMENTI < 1024 || Settings.FRAMMENTI > 131072 ||
      (Settings.GRUPPI != 0 && (Settings.GRUPPI < 5 || Settings.GRUPPI > 50)))
    RaiseRecoveryFileError();
  lines[2] = SplitJobLine(lines[2], &Run.TextPosition, &Run.TrackNumber);
  if (Run.TextPosition < -1 || Run.TrackNumber < 1) RaiseRecoveryFileError();
  Run.JobList.clear();
  for (const std::string& line : lines) Run.JobList.push_back({line, 0});
  for (size_t i = 2; i < Run.JobList.size(); ++i)
    if (!platform::FileExists(Run.JobList[i].text))
      RaiseErrorWithCode(msg::kFileNotFound, Run.JobList[i].text, -1);
  if (Settings.LayoutOptionsGiven) PrintLine(msg::kResumeWarning);
}
