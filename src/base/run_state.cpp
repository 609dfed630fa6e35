#include "base/run_state.h"

#include "base/errors.h"
#include "base/messages.h"
#include "platform/files.h"
#include "text/lines.h"

TRunState RunState;

namespace {

// The RecoveryFile's content: every line ended by CR LF.
std::string JobListText() {
  std::string text;
  for (const TJobLine& line : RunState.JobList) text += line.text + "\r\n";
  if (!RunState.SettingsRecord.empty()) {
    text += std::string(kSettingsSection) + "\r\n";
    for (const std::string& line : RunState.SettingsRecord) text += line + "\r\n";
  }
  return text;
}

}  // namespace

std::string JoinJobLine(const std::string& text, int32_t first, int32_t second) {
  return text + "::" + std::to_string(first) + "::" + std::to_string(second);
}

std::string SplitJobLine(const std::string& line, int32_t* first, int32_t* second) {
  size_t cut = line.find("::");
  if (cut == std::string::npos) return line;
  std::string rest = line.substr(cut + 2);
  size_t cut2 = rest.find("::");
  if (!text::ParseInteger(rest.substr(0, cut2), first, false)) RaiseRecoveryFileError();
  if (cut2 != std::string::npos && !text::ParseInteger(rest.substr(cut2 + 2), second, false))
    RaiseRecoveryFileError();
  return line.substr(0, cut);
}

bool WriteJobList() {
  return platform::ReplaceFileContent(RunState.RecoveryFilePath, JobListText());
}

void SaveJobList() {
  if (!WriteJobList()) RaiseError(msg::kRecoveryFileWrite);
}

void SaveCheckpoint(int32_t position, int32_t track) {
  TJobLine& line = RunState.JobList[2];
  std::string text = line.text;
  line.text = JoinJobLine(text, position, track);
  try {
    SaveJobList();
  } catch (...) {
    line.text = text;
    throw;
  }
  line.text = text;
}

void RaiseRecoveryFileError() { RaiseError(msg::kRecoveryFileDamaged); }

std::string ResumeHint() {
  return RunState.RecoveryFileNamed ? FormatText(msg::kResumeHintFile, {RunState.RecoveryFilePath})
                                    : std::string(msg::kResumeHint);
}
