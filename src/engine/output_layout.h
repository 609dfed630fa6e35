// Where the MP3 files of a text go: the text's folder, the numbered file
// names, the group folders and the spoken folder identifier clips
// (old_files.h has the clean-up of old files, text_folders.h how the
// folders are decided).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/processing.h"
#include "base/run_state.h"

struct TTextNames {
  // The name of the text's folder in the destination: the text file's name
  // without folder and extension, unless the run decided otherwise.
  std::string TextName;
  std::string SpokenName;    // the same as ANSI text, for speaking and tagging
  std::string TagName;       // the same as UTF-8, for the tags that hold any character
  std::string TextFolder;    // DESTINAZIONE + TextName + separator
  std::string FolderIdName;  // the identifier clip's file name
};

// The names of the text of a JobList line.
TTextNames NamesOfText(const TJobLine& line);

// The lock file that a conversion holds in the folder of the text it
// converts, so that no other run touches the folder meanwhile.
inline constexpr const char* kTextFolderLockName = ".narravox.lock";

// NOMEFILE followed by the track number, at least three digits, and ".mp3".
std::string Mp3FileName(int32_t track);

// The RockBox clip that speaks the name of the MP3 file called name.
std::string FileClipName(const std::string& name);

// Creates a folder with its parents; raises "Impossibile creare la cartella".
void CreateOutputFolder(const std::string& folder);

// After the last fragment of the current text: moves its trackCount files
// into group folders when they are more than GRUPPI, and writes the
// identifier clips; with CLIPFILE, first writes the file clips that are
// missing, and moves each file with its clip. textPosition -1 marks a grouping step resumed after an
// interruption. The clips are spoken by processing. Old files in the group
// folders go without a question: the user allowed it when the text started.
// True when the files went to group folders beside the text's folder,
// which is then left empty for the caller to remove.
// fileClips: what each file's clip says, from the first (the text's name and
// the file's number where it has none).
bool GroupTextFiles(TProcessing& processing, const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, const std::vector<std::string>& fileClips = {});

// Where a text's trackCount files are once grouped: the folder that holds
// them all (its own folder, or the destination when group folders beside it
// replace it), and the path of file track relative to that folder.
std::string GroupedFilesFolder(const TTextNames& names, int32_t trackCount);
std::string GroupedFilePath(const TTextNames& names, int32_t trackCount, int32_t track);
