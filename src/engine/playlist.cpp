#include "engine/playlist.h"

#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "engine/mp3_length.h"
#include "platform/files.h"

std::string PlaylistName(const TTextNames& names) { return names.TextName + ".m3u8"; }

void WritePlaylist(const TTextNames& names, int32_t trackCount,
                   const std::vector<std::string>& titles) {
  const std::string folder = GroupedFilesFolder(names, trackCount);
  std::string entries;
  int64_t longest = 1;
  for (int32_t t = 1; t <= trackCount; ++t) {
    const std::string relative = GroupedFilePath(names, trackCount, t);
    std::string bytes;
    platform::ReadWholeFile(folder + relative, &bytes);
    const int64_t seconds = (Mp3Length(bytes).Milliseconds() + 500) / 1000;
    if (seconds > longest) longest = seconds;
    const std::string& title = static_cast<size_t>(t) <= titles.size() ? titles[t - 1] : names.TagName;
    entries += "#EXTINF:" + std::to_string(seconds) + "," + title + "\n" + relative + "\n";
  }
  // The lines of a complete HLS list as well, which players of extended
  // M3U lists pass over and with which ffmpeg's tools read it.
  const std::string list = "#EXTM3U\n#EXT-X-VERSION:3\n#EXT-X-PLAYLIST-TYPE:VOD\n"
                           "#EXT-X-TARGETDURATION:" + std::to_string(longest) + "\n" + entries +
                           "#EXT-X-ENDLIST\n";
  const std::string path = folder + PlaylistName(names);
  if (!platform::ReplaceFileContent(path, list)) RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
}

void RemovePlaylist(const TTextNames& names) {
  for (const std::string& folder : {names.TextFolder, Settings.DESTINAZIONE})
    if (platform::FileExists(folder + PlaylistName(names))) platform::DeleteFile(folder + PlaylistName(names));
}
