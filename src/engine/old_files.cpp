#include "engine/old_files.h"

#include <functional>
#include <utility>
#include <vector>

#include "audio/output_file.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/prompts.h"
#include "base/run_state.h"
#include "base/settings.h"
#include "platform/files.h"
#include "text/ascii.h"
#include "text/lines.h"

namespace {

const char kSeparator = platform::kPathSeparator;

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The number of a numbered MP3 file's name as the program writes it
// (at least three digits, no zero in front of a fourth), or of its clip;
// 0 for any other name.
int32_t FileNumber(const std::string& name) {
  std::string upper = UpperAscii(name);
  std::string prefix = UpperAscii(Settings.NOMEFILE);
  if (upper.compare(0, prefix.size(), prefix) != 0) return 0;
  std::string rest = upper.substr(prefix.size());
  for (const char* ending : {".MP3.TALK", ".MP3"}) {
    std::string end = ending;
    if (rest.size() <= end.size() || rest.compare(rest.size() - end.size(), end.size(), end) != 0)
      continue;
    std::string digits = rest.substr(0, rest.size() - end.size());
    if (!AllDigits(digits) || digits.size() < 3 || (digits.size() > 3 && digits[0] == '0')) return 0;
    int32_t number = 0;
    return text::ParseInteger(digits, &number, false) ? number : 0;
  }
  return 0;
}

// The entries of folder (which ends with a separator) that pattern matches.
std::vector<platform::FoundEntry> Entries(const std::string& folder, const std::string& pattern) {
  std::vector<platform::FoundEntry> entries;
  platform::FindFiles(folder + pattern, &entries);
  return entries;
}

// The numbered MP3 files and file clips of folder, with their numbers.
std::vector<std::pair<int32_t, std::string>> NumberedFiles(const std::string& folder) {
  std::vector<std::pair<int32_t, std::string>> files;
  for (const platform::FoundEntry& entry : Entries(folder, Settings.NOMEFILE + "*.mp3*")) {
    if (entry.isFolder || entry.isSystem) continue;
    if (int32_t number = FileNumber(entry.name)) files.push_back({number, entry.name});
  }
  return files;
}

bool IsIdentifierClip(const std::string& name) {
  return UpperAscii(name) == "_DIRNAME.TALK" ||
         UpperAscii(name) == UpperAscii(Settings.NOMEFILE + "000.mp3");
}

// Whether folder, named as group g of the text, can be one (old_files.h).
bool CanBeGroupFolder(const std::string& folder, int32_t group) {
  for (size_t i = 2; i < RunState.JobList.size(); ++i)
    if (UpperAscii(Settings.DESTINAZIONE + RunState.JobList[i].folder) == UpperAscii(folder))
      return false;
  bool numbered = false;
  for (const platform::FoundEntry& entry : Entries(folder + kSeparator, "*")) {
    if (entry.isFolder || entry.name == kTextFolderLockName) return false;
    int32_t number = FileNumber(entry.name);
    if (number == 0) continue;  // the user's files stay, and do not decide
    if (number <= (group - 1) * kMinGroupSize || number > group * kMaxGroupSize) return false;
    numbered = true;
  }
  return numbered;
}

// Calls found for every group folder of an earlier conversion of the text
// beyond usedGroups (in the layout that the settings use now; all groups in
// the other one).
void ForStaleGroupFolders(const TTextNames& names, int32_t usedGroups,
                          const std::function<void(const std::string&)>& found) {
  for (bool joined : {false, true}) {
    std::string base = Settings.DESTINAZIONE + names.TextName;
    if (joined) base += kSeparator;
    std::string folderPart = base.substr(base.rfind(kSeparator) + 1);
    std::string parent = base.substr(0, base.size() - folderPart.size());
    for (const platform::FoundEntry& entry : Entries(parent, folderPart + "*")) {
      if (!entry.isFolder || UpperAscii(entry.name.substr(0, folderPart.size())) !=
                                 UpperAscii(folderPart))
        continue;
      std::string digits = entry.name.substr(folderPart.size());
      int32_t group = 0;
      if (digits.size() < 2 || !AllDigits(digits) || !text::ParseInteger(digits, &group, false) ||
          group < 1)
        continue;
      if (joined == Settings.RIUNISCIGRUPPI && group <= usedGroups) continue;
      if (CanBeGroupFolder(parent + entry.name, group)) found(parent + entry.name);
    }
  }
}

bool HasOldFiles(const TTextNames& names) {
  bool found = !NumberedFiles(names.TextFolder).empty();
  ForStaleGroupFolders(names, 0, [&](const std::string&) { found = true; });
  return found;
}

}  // namespace

bool OldFilesQuestionNeeded(const TTextNames& names) {
  return Settings.CONFERMACANCELLA && HasOldFiles(names);
}

bool ConsentToRemoveOldFiles(const TTextNames& names) {
  if (!OldFilesQuestionNeeded(names)) return true;
  std::string folder = names.TextFolder.substr(0, names.TextFolder.size() - 1);
  return AskYesNo(FormatText(msg::kAskDeleteMp3, {folder}));
}

void RemoveOldFiles(const std::string& folder, const TTextNames& names) {
  for (const auto& file : NumberedFiles(folder)) platform::DeleteFile(folder + file.second);
  for (const platform::FoundEntry& entry : Entries(folder, names.FolderIdName))
    if (!entry.isFolder) platform::DeleteFile(folder + entry.name);
}

void RemoveUnfinishedFiles(const std::string& folder, const TTextNames& names) {
  const std::string ending = UpperAscii(TemporaryName(""));
  for (const platform::FoundEntry& entry : Entries(folder, TemporaryName("*"))) {
    if (entry.isFolder) continue;
    std::string name = entry.name.substr(0, entry.name.size() - ending.size());
    if (FileNumber(name) > 0 || UpperAscii(name) == UpperAscii(names.FolderIdName))
      platform::DeleteFile(folder + entry.name);
  }
}

void RemoveStaleGroupFolders(const TTextNames& names, int32_t usedGroups) {
  ForStaleGroupFolders(names, usedGroups, [&](const std::string& folder) {
    RemoveOldFiles(folder + kSeparator, names);
    RemoveUnfinishedFiles(folder + kSeparator, names);
    for (const platform::FoundEntry& entry : Entries(folder + kSeparator, "*"))
      if (IsIdentifierClip(entry.name)) platform::DeleteFile(folder + kSeparator + entry.name);
    platform::RemoveFolder(folder);
  });
}
