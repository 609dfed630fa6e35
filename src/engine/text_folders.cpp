#include "engine/text_folders.h"

#include <algorithm>
#include <vector>

#include "base/console_out.h"
#include "base/errors.h"
#include "base/file_names.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/files.h"
#include "text/ascii.h"

namespace {

struct TTakenFolder {
  std::string key;   // the name in upper case
  std::string text;  // the text that goes there
};

const TTakenFolder* Find(const std::vector<TTakenFolder>& taken, const std::string& folder) {
  std::string key = UpperAscii(folder);
  for (const TTakenFolder& entry : taken)
    if (entry.key == key) return &entry;
  return nullptr;
}

}  // namespace

void AssignTextFolders(TJobList* list) {
  std::vector<TTakenFolder> taken;
  for (size_t i = 2; i < list->size(); ++i)
    if (!(*list)[i].folder.empty()) taken.push_back({UpperAscii((*list)[i].folder), (*list)[i].text});
  for (size_t i = 2; i < list->size(); ++i) {
    TJobLine& line = (*list)[i];
    if (!line.folder.empty()) continue;
    std::string folder = TextNameOfFile(line.text);
    if (platform::kUnixConventions && platform::FileExists(Settings.DESTINAZIONE + folder)) {
      PrintErrorLine(FormatText(msg::kFolderBesideFile, {Settings.DESTINAZIONE + folder, line.text,
                                                         Settings.DESTINAZIONE + folder + ".mp3"}));
      folder += ".mp3";
    }
    const TTakenFolder* other = Find(taken, folder);
    if (other && other->text == line.text) {  // the same text again, into its folder
      line.folder = folder;
      continue;
    }
    if (other) {
      std::string base = folder, first = other->text;
      for (int n = 2; Find(taken, folder); ++n) folder = base + " (" + std::to_string(n) + ")";
      PrintErrorLine(
          FormatText(msg::kTextsShareFolder, {first, line.text, Settings.DESTINAZIONE + folder}));
    }
    line.folder = folder;
    taken.push_back({UpperAscii(folder), line.text});
  }
}
