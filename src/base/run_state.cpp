#include "base/run_state.h"

#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/job_line.h"
#include "base/messages.h"
#include "platform/files.h"
#include "text/lines.h"

TRunState RunState;

std::string JobListText() {
  std::string text;
  const TJobList& list = RunState.JobList;
  for (size_t i = 0; i < list.size(); ++i) {
    if (i < 2) {
      text += list[i].text;  // the warning and the layout line, as made
    } else {
      // A folder named after its text goes without saying.
      const std::string& folder = list[i].folder;
      TJobLineFields fields{list[i].text, {}, folder == TextNameOfFile(list[i].text) ? "" : folder};
      if (list[i].started) fields.numbers = {list[i].position, list[i].track};
      if (list[i].started && list[i].digest != 0) fields.numbers.push_back(list[i].digest);
      text += EncodeJobLine(fields);
    }
    text += "\r\n";
  }
  if (!RunState.SettingsRecord.empty()) {
    text += std::string(kSettingsSection) + "\r\n";
    for (const std::string& line : RunState.SettingsRecord) text += line + "\r\n";
  }
  return text;
}


void SaveCheckpoint(size_t index, int32_t position, int32_t track) {
  TJobLine& line = RunState.JobList[index];
  line.position = position;
  line.track = track;
  line.started = true;
  SaveJobList();
}

namespace {

// The text that a RecoveryFile was converting, for the warning that keeps it.
std::string TextOfRecoveryFile(const std::string& path) {
  std::string content;
  if (!platform::ReadWholeFile(path, &content)) return "?";
  std::vector<std::string> lines = text::SplitLines(content);
  if (lines.size() < 3) return "?";
  try {
    return DecodeJobLine(lines[2]).name;
  } catch (const EError&) {
    return "?";
  }
}

void KeepInterruptedRun() {
  const std::string& path = RunState.RecoveryFilePath;
  if (RunState.ResumeMode || !platform::FileExists(path)) return;
  std::string kept;
  for (int n = 1;; ++n) {
    kept = path + "." + std::to_string(n);
    if (!platform::FileExists(kept) && !platform::FolderExists(kept)) break;
  }
  std::string text = TextOfRecoveryFile(path);
  if (!platform::MoveFile(path, kept)) RaiseFileCreateError(kept);
  PrintErrorLine(FormatText(msg::kRecoveryFileKept, {text, kept, kept}));
}

}  // namespace

void SaveJobList() {
  const std::string& path = RunState.RecoveryFilePath;
  if (RunState.RecoveryFileWritten.value) {
    if (!platform::ReplaceFileContent(path, JobListText())) RaiseError(msg::kRecoveryFileWrite);
    return;
  }
  KeepInterruptedRun();
  if (!platform::ReplaceFileContent(path, JobListText())) RaiseFileCreateError(path);
  RunState.RecoveryFileWritten.value = true;
}

void RaiseRecoveryFileError() { RaiseError(msg::kRecoveryFileDamaged); }

std::string ResumeHint() {
  return RunState.RecoveryFileNamed ? FormatText(msg::kResumeHintFile, {RunState.RecoveryFilePath})
                                    : std::string(msg::kResumeHint);
}
