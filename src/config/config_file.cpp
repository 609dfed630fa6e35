#include "config/config_file.h"

#include "config/parse_setting.h"
#include "text/ascii.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "base/program_files.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

bool IsHeader(const std::string& line) { return UpperAscii(TrimBlanks(line)) == "[NARRAVOX]"; }

}  // namespace

std::string ConfigFilePath() { return ProgramFiles().ConfigFile; }

void ApplyConfigurationLines(const std::vector<std::string>& lines) {
  // Library names relative to the file lie beside it.
  const std::string folder = FolderOf(ConfigFilePath());
  bool headerAllowed = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (headerAllowed && IsHeader(line)) {
      headerAllowed = false;
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (ParseSetting(line, EditableSettings(), folder)) {
      headerAllowed = false;
      continue;
    }
    // On POSIX the message names the file and the problem.
    if (platform::kUnixConventions)
      RaiseError(FormatText(msg::kConfigLineProblem,
                            {ConfigFilePath(), std::to_string(i + 1), SettingProblem(line)}));
    RaiseError(msg::kConfigLineError + std::to_string(i + 1));
  }
}

void LoadConfiguration() {
  TProgramFiles files = ProgramFiles();
  if (!files.Portable && !platform::FileExists(files.ConfigFile)) return;
  ApplyConfigurationLines(LoadTextList(files.ConfigFile, ""));
}
