#include "engine/output_layout.h"

#include <cstdio>
#include <utility>
#include <new>
#include <vector>

#include "audio/output_file.h"
#include "audio/speech_files.h"
#include "text/lines.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/prompts.h"
#include "base/run_state.h"
#include "platform/charset.h"
#include "platform/files.h"

namespace {

const char kSeparator = platform::kPathSeparator;

std::string WithoutSeparator(const std::string& folder) {
  return !folder.empty() && folder.back() == kSeparator ? folder.substr(0, folder.size() - 1)
                                                        : folder;
}

std::string Numbered(const char* format, int32_t n) {
  char digits[16];
  std::snprintf(digits, sizeof digits, format, n);
  return digits;
}

std::string GroupFolder(const TTextNames& names, int32_t group) {
  std::string base = Settings.DESTINAZIONE + names.TextName;
  if (Settings.RIUNISCIGRUPPI) base += kSeparator;
  return base + Numbered("%.2d", group);
}

std::string ClipText(const char* format, std::initializer_list<std::string> args) {
  return FormatText(format, args);
}

bool AllDigits(const std::string& text) {
  return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

// The names of the files in folder (which ends with a separator) that look
// like the run's MP3 files ("NOMEFILE???.mp3") or their file clips.
std::vector<std::string> PrefixedFiles(const std::string& folder) {
  std::vector<platform::FoundEntry> entries, clips;
  platform::FindFiles(folder + Settings.NOMEFILE + "???.mp3", &entries);
  // File clips go with their MP3 files, and so do those left without one.
  platform::FindFiles(folder + FileClipName(Settings.NOMEFILE + "???.mp3"), &clips);
  entries.insert(entries.end(), clips.begin(), clips.end());
  std::vector<std::string> names;
  for (const platform::FoundEntry& entry : entries)
    if (!entry.isFolder && !entry.isHidden && !entry.isSystem) names.push_back(entry.name);
  return names;
}

// Those of names that carry a file number, with their numbers.
std::vector<std::pair<int32_t, std::string>> NumberedFiles(const std::vector<std::string>& names) {
  std::vector<std::pair<int32_t, std::string>> files;
  for (const std::string& name : names) {
    int32_t number = 0;
    std::string digits = UpperAscii(name.substr(Settings.NOMEFILE.size(), 3));
    if (text::ParseInteger(digits, &number) && number > 0) files.push_back({number, name});
  }
  return files;
}

// Whether a folder named as group g of a text can be one: the text folder
// of another text ("capitolo" and "capitolo04") holds files that group g
// never holds, whatever its group size.
bool CanBeGroupFolder(const std::string& folder, int32_t group) {
  // The text folders of this run's texts are never group folders.
  for (size_t i = 2; i < RunState.JobList.size(); ++i)
    if (NamesOfText(RunState.JobList[i].text).TextFolder == folder + kSeparator) return false;
  for (const auto& file : NumberedFiles(PrefixedFiles(folder + kSeparator)))
    if (file.first <= (group - 1) * kMinGroupSize || file.first > group * kMaxGroupSize)
      return false;
  return true;
}

// The group folders that an earlier conversion of the text left beyond the
// usedGroups that this one fills (all of them when it fills none), in
// either layout: their numbered MP3 files and clip go as the text folder's
// do, and the folder itself when nothing else is left in it.
void RemoveStaleGroupFolders(const TTextNames& names, int32_t usedGroups, bool* askBeforeDelete) {
  for (bool joined : {false, true}) {
    std::string base = Settings.DESTINAZIONE + names.TextName;
    if (joined) base += kSeparator;
    std::string folderPart = base.substr(base.rfind(kSeparator) + 1);
    std::vector<platform::FoundEntry> entries;
    platform::FindFiles(base + "*", &entries);
    for (const platform::FoundEntry& entry : entries) {
      if (!entry.isFolder || entry.name.compare(0, folderPart.size(), folderPart) != 0) continue;
      std::string digits = entry.name.substr(folderPart.size());
      int32_t group = 0;
      if (digits.size() < 2 || !AllDigits(digits) || !text::ParseInteger(digits, &group, false))
        continue;
      if (joined == Settings.RIUNISCIGRUPPI && group >= 1 && group <= usedGroups) continue;
      std::string folder = base.substr(0, base.size() - folderPart.size()) + entry.name;
      if (!CanBeGroupFolder(folder, group)) continue;
      PrepareFolder(folder + kSeparator, names, askBeforeDelete);
      RemoveUnfinishedFiles(folder + kSeparator, names);
      platform::RemoveFolder(folder);
    }
  }
}

bool SpeexClips() { return Settings.CARTELLEROCKBOX && !Settings.ROCKBOXMP3; }
bool FileClips() { return Settings.CARTELLEROCKBOX && Settings.CLIPFILE; }

void WriteFolderClip(TProcessing& processing, const std::string& path, const std::string& text) {
  WriteClipFile(processing, path, text, SpeexClips());
}

// Moves folder + name to target + name, unless a resumed grouping step
// finds it moved already.
void MoveIntoGroup(const std::string& folder, const std::string& name, const std::string& target,
                   bool resumed) {
  if (resumed && !platform::FileExists(folder + name)) return;
  if (!platform::MoveFile(folder + name, target + name))
    RaiseErrorWithCode(msg::kCannotMoveFile, folder + name, -1);
}

}  // namespace

TTextNames NamesOfText(const std::string& path) {
  TTextNames names;
  size_t slash = path.rfind(kSeparator);
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = file.rfind('.');
  names.TextName = dot == std::string::npos ? file : file.substr(0, dot);
  names.SpokenName = platform::FileNameToAnsi(names.TextName);
  names.TagName = platform::FileNameToUtf8(names.TextName);
  if (platform::kUnixConventions && platform::FileExists(Settings.DESTINAZIONE + names.TextName))
    names.TextName += ".mp3";
  names.TextFolder = Settings.DESTINAZIONE + names.TextName + kSeparator;
  names.FolderIdName =
      Settings.CARTELLEROCKBOX ? std::string("_dirname.talk") : Settings.NOMEFILE + "000.mp3";
  return names;
}

std::string Mp3FileName(int32_t track) { return Settings.NOMEFILE + Numbered("%.3d.mp3", track); }

std::string FileClipName(const std::string& name) { return name + ".talk"; }

void CreateOutputFolder(const std::string& folder) {
  if (!platform::CreateFolderWithParents(folder))
    RaiseErrorWithCode(msg::kCannotCreateFolder, folder, -1);
}

void PrepareFolder(const std::string& folder, const TTextNames& names, bool* askBeforeDelete) {
  const std::vector<std::string> found = PrefixedFiles(folder);
  if (!found.empty() && Settings.CONFERMACANCELLA) {
    if (*askBeforeDelete &&
        !AskYesNo(FormatText(msg::kAskDeleteMp3, {WithoutSeparator(names.TextFolder)}))) {
      PrintLine(msg::kInterrupted);
      // Nothing was converted: a new run leaves no RecoveryFile behind.
      if (!RunState.ResumeMode) platform::DeleteFile(RunState.RecoveryFilePath);
      RaiseSilentAbort();
    }
    *askBeforeDelete = false;
  }
  for (const auto& file : NumberedFiles(found)) platform::DeleteFile(folder + file.second);
  if (platform::FileExists(folder + names.FolderIdName))
    platform::DeleteFile(folder + names.FolderIdName);
}

void RemoveUnfinishedFiles(const std::string& folder, const TTextNames& names) {
  for (const std::string& pattern :
       {TemporaryNamePattern(folder, Settings.NOMEFILE),
        TemporaryName(folder + FileClipName(Settings.NOMEFILE + "???.mp3")),
        TemporaryName(folder + names.FolderIdName)}) {
    std::vector<platform::FoundEntry> entries;
    platform::FindFiles(pattern, &entries);
    for (const platform::FoundEntry& entry : entries)
      if (!entry.isFolder) platform::DeleteFile(folder + entry.name);
  }
}

void GroupTextFiles(TProcessing& processing, const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, bool* askBeforeDelete) {
  const int32_t G = Settings.GRUPPI, N = trackCount;
  const std::string n = std::to_string(N);
  for (int32_t t = 1; FileClips() && t <= N; ++t) {
    std::string name = Mp3FileName(t);
    if (platform::FileExists(names.TextFolder + name) &&
        !platform::FileExists(names.TextFolder + FileClipName(name)))
      WriteFolderClip(processing, names.TextFolder + FileClipName(name),
                      ClipText(msg::kFileClip, {names.SpokenName, std::to_string(t)}));
  }
  if (G == 0 || N <= G) {
    RemoveStaleGroupFolders(names, 0, askBeforeDelete);
    if (Settings.IDENTIFICACARTELLA)
      WriteFolderClip(processing, names.TextFolder + names.FolderIdName,
                      ClipText(msg::kFolderClipFiles, {names.SpokenName, "1", n, n}));
    return;
  }
  if (textPosition >= 0) SaveCheckpoint(-1, N);
  int32_t groups = (N + G - 1) / G;
  RemoveStaleGroupFolders(names, groups, askBeforeDelete);
  if (Settings.RIUNISCIGRUPPI && Settings.IDENTIFICACARTELLA)
    WriteFolderClip(processing,
                    Settings.DESTINAZIONE + names.TextName + kSeparator + names.FolderIdName,
                    ClipText(msg::kFolderClipGroups,
                             {names.SpokenName, std::to_string(groups), n}));
  int32_t first = 1;
  for (int32_t g = 1; g <= groups; ++g) {
    std::string folder = GroupFolder(names, g);
    CreateOutputFolder(folder);
    RemoveUnfinishedFiles(folder + kSeparator, names);
    if (textPosition != -1) PrepareFolder(folder + kSeparator, names, askBeforeDelete);
    if (Settings.IDENTIFICACARTELLA) {
      int32_t last = first + G - 1 < N ? first + G - 1 : N;
      WriteFolderClip(processing, folder + kSeparator + names.FolderIdName,
                      ClipText(msg::kFolderClipFiles, {names.SpokenName, std::to_string(first),
                                                       std::to_string(last), n}));
      first += G;
    }
  }
  std::string target;
  for (int32_t t = 1, g = 1; t <= N; ++t) {
    if (t % G == 1) target = GroupFolder(names, g++) + kSeparator;
    std::string name = Mp3FileName(t);
    MoveIntoGroup(names.TextFolder, name, target, textPosition == -1);
    // A clip whose file was moved before an interruption follows it now.
    if (FileClips()) MoveIntoGroup(names.TextFolder, FileClipName(name), target, true);
  }
  if (!Settings.RIUNISCIGRUPPI) platform::RemoveFolder(Settings.DESTINAZIONE + names.TextName);
}
