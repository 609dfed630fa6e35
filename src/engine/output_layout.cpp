#include "engine/output_layout.h"

#include <cstdio>
#include <utility>
#include <new>
#include <vector>

#include "audio/output_file.h"
#include "audio/speech_files.h"
#include "base/file_names.h"
#include "engine/old_files.h"
#include "text/lines.h"
#include "base/settings.h"
#include "text/ascii.h"
#include "base/console_out.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/run_state.h"
#include "platform/charset.h"
#include "platform/files.h"

namespace {

const char kSeparator = platform::kPathSeparator;

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

TTextNames NamesOfText(const TJobLine& line) {
  TTextNames names;
  std::string textName = TextNameOfFile(line.text);
  names.TextName = line.folder.empty() ? textName : line.folder;
  names.SpokenName = platform::FileNameToAnsi(textName);
  names.TagName = platform::FileNameToUtf8(textName);
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

bool GroupTextFiles(TProcessing& processing, const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, const std::vector<std::string>& fileClips) {
  const int32_t G = Settings.GRUPPI, N = trackCount;
  const std::string n = std::to_string(N);
  for (int32_t t = 1; FileClips() && t <= N; ++t) {
    std::string name = Mp3FileName(t);
    if (platform::FileExists(names.TextFolder + name) &&
        !platform::FileExists(names.TextFolder + FileClipName(name)))
      WriteFolderClip(processing, names.TextFolder + FileClipName(name),
                      static_cast<size_t>(t) <= fileClips.size()
                          ? fileClips[static_cast<size_t>(t) - 1]
                          : ClipText(msg::kFileClip, {names.SpokenName, std::to_string(t)}));
  }
  if (G == 0 || N <= G) {
    RemoveStaleGroupFolders(names, 0);
    if (Settings.IDENTIFICACARTELLA)
      WriteFolderClip(processing, names.TextFolder + names.FolderIdName,
                      ClipText(msg::kFolderClipFiles, {names.SpokenName, "1", n, n}));
    return false;
  }
  if (textPosition >= 0) SaveCheckpoint(-1, N);
  int32_t groups = (N + G - 1) / G;
  RemoveStaleGroupFolders(names, groups);
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
    if (textPosition != -1) RemoveOldFiles(folder + kSeparator, names);
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
  return !Settings.RIUNISCIGRUPPI;
}

std::string GroupedFilesFolder(const TTextNames& names, int32_t trackCount) {
  const bool grouped = Settings.GRUPPI > 0 && trackCount > Settings.GRUPPI;
  if (grouped && !Settings.RIUNISCIGRUPPI) return Settings.DESTINAZIONE;
  return Settings.DESTINAZIONE + names.TextName + kSeparator;
}

std::string GroupedFilePath(const TTextNames& names, int32_t trackCount, int32_t track) {
  const int32_t G = Settings.GRUPPI;
  if (G == 0 || trackCount <= G) return Mp3FileName(track);
  const std::string folder = GroupedFilesFolder(names, trackCount);
  return GroupFolder(names, (track - 1) / G + 1).substr(folder.size()) + kSeparator +
         Mp3FileName(track);
}
