#include "engine/output_layout.h"

#include <cstdio>
#include <vector>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/pipeline.h"
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

}  // namespace

TTextNames NamesOfText(const std::string& path) {
  TTextNames names;
  size_t slash = path.rfind(kSeparator);
  std::string file = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = file.rfind('.');
  names.TextName = dot == std::string::npos ? file : file.substr(0, dot);
  names.SpokenName = platform::FileNameToAnsi(names.TextName);
  if (platform::kUnixConventions && platform::FileExists(Settings.DESTINAZIONE + names.TextName))
    names.TextName += ".mp3";
  names.TextFolder = Settings.DESTINAZIONE + names.TextName + kSeparator;
  names.FolderIdName =
      Settings.CARTELLEROCKBOX ? std::string("_dirname.talk") : Settings.NOMEFILE + "000.mp3";
  return names;
}

std::string Mp3FileName(int32_t track) { return Settings.NOMEFILE + Numbered("%.3d.mp3", track); }

void CreateOutputFolder(const std::string& folder) {
  if (!platform::CreateFolderWithParents(folder))
    RaiseErrorWithCode(msg::kCannotCreateFolder, folder, -1);
}

void PrepareFolder(const std::string& folder, const TTextNames& names, bool* askBeforeDelete) {
  std::vector<platform::FoundEntry> entries;
  platform::FindFiles(folder + Settings.NOMEFILE + "???.mp3", &entries);
  std::vector<std::string> found;
  for (const platform::FoundEntry& entry : entries)
    if (!entry.isFolder && !entry.isHidden && !entry.isSystem) found.push_back(entry.name);
  if (!found.empty() && Settings.CONFERMACANCELLA) {
    if (*askBeforeDelete &&
        !AskYesNo(FormatText(msg::kAskDeleteMp3, {WithoutSeparator(names.TextFolder)}))) {
      PrintLine(msg::kInterrupted);
      RaiseSilentAbort();
    }
    *askBeforeDelete = false;
  }
  for (const std::string& name : found) {
    int32_t number = 0;
    std::string digits = UpperAscii(name.substr(Settings.NOMEFILE.size(), 3));
    if (text::ParseInteger(digits, &number) && number > 0) platform::DeleteFile(folder + name);
  }
  if (platform::FileExists(folder + names.FolderIdName))
    platform::DeleteFile(folder + names.FolderIdName);
}

void WriteFolderClip(const std::string& path, const std::string& text) {
  struct Quiet {
    Quiet() { SuppressProgress = true; }
    ~Quiet() { SuppressProgress = false; }
  } quiet;
  CreateOutputFile(path);
  // A stream opened at activation and never used is closed first.
  CloseEncoderStream();
  OpenEncoderStream();
  AddAnnotatedText("\r\n`p500\r\n");
  AddText(text.c_str());
  SynthesizeAndWait();
  FinishMp3File(nullptr);
}

void GroupTextFiles(const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, bool* askBeforeDelete) {
  const int32_t G = Settings.GRUPPI, N = trackCount;
  const std::string n = std::to_string(N);
  if (G == 0 || N <= G) {
    if (Settings.IDENTIFICACARTELLA)
      WriteFolderClip(names.TextFolder + names.FolderIdName,
                      ClipText(msg::kFolderClipFiles, {names.SpokenName, "1", n, n}));
    return;
  }
  if (textPosition >= 0) SaveCheckpoint(-1, N);
  int32_t groups = (N + G - 1) / G;
  if (Settings.RIUNISCIGRUPPI && Settings.IDENTIFICACARTELLA)
    WriteFolderClip(Settings.DESTINAZIONE + names.TextName + kSeparator + names.FolderIdName,
                    ClipText(msg::kFolderClipGroups,
                             {names.SpokenName, std::to_string(groups), n}));
  int32_t first = 1;
  for (int32_t g = 1; g <= groups; ++g) {
    std::string folder = GroupFolder(names, g);
    CreateOutputFolder(folder);
    if (textPosition != -1) PrepareFolder(folder + kSeparator, names, askBeforeDelete);
    if (Settings.IDENTIFICACARTELLA) {
      int32_t last = first + G - 1 < N ? first + G - 1 : N;
      WriteFolderClip(folder + kSeparator + names.FolderIdName,
                      ClipText(msg::kFolderClipFiles, {names.SpokenName, std::to_string(first),
                                                       std::to_string(last), n}));
      first += G;
    }
  }
  std::string target;
  for (int32_t t = 1, g = 1; t <= N; ++t) {
    if (t % G == 1) target = GroupFolder(names, g++) + kSeparator;
    std::string name = Mp3FileName(t);
    if (textPosition == -1 && !platform::FileExists(names.TextFolder + name)) continue;
    if (!platform::MoveFile(names.TextFolder + name, target + name))
      RaiseErrorWithCode(msg::kCannotMoveFile, names.TextFolder + name, -1);
  }
  if (!Settings.RIUNISCIGRUPPI) platform::RemoveFolder(Settings.DESTINAZIONE + names.TextName);
}
