#include "config/config_file.h"

#include "config/parse_setting.h"
#include "driver/errors.h"
#include "driver/file_names.h"
#include "driver/messages.h"

namespace {

bool IsHeader(const std::string& line) {
  static const std::string kHeader = "[NARRAVOX]";
  size_t start = 0, end = line.size();
  while (start < end && static_cast<unsigned char>(line[start]) <= 32) ++start;
  while (end > start && static_cast<unsigned char>(line[end - 1]) <= 32) --end;
  if (end - start != kHeader.size()) return false;
  for (size_t i = 0; i < kHeader.size(); ++i) {
    char c = line[start + i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    if (c != kHeader[i]) return false;
  }
  return true;
}

}  // namespace

std::string ConfigFilePath() { return ProgramFileWithExtension(".INI"); }

void ApplyConfigurationLines(const std::vector<std::string>& lines) {
  bool headerAllowed = true;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (headerAllowed && IsHeader(line)) {
      headerAllowed = false;
      continue;
    }
    if (line.empty() || line[0] == ';') continue;
    if (!ParseSetting(line)) RaiseError(msg::kConfigLineError + std::to_string(i + 1));
    headerAllowed = false;
  }
}

void LoadConfiguration() { ApplyConfigurationLines(LoadTextList(ConfigFilePath(), "")); }
