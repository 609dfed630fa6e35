// Where the MP3 files of a text go: the text's folder, the numbered file
// names, the clean-up of old files, the group folders and the spoken folder
// identifier clips.
#pragma once

#include <cstdint>
#include <string>

#include "audio/processing.h"

struct TTextNames {
  // The text file's name without folder and extension, which names its
  // folder; on POSIX with ".mp3" added when a file (a text without
  // extension in the destination, most often) already has that name.
  std::string TextName;
  std::string SpokenName;    // the same as ANSI text, for speaking and tagging
  std::string TagName;       // the same as UTF-8, for the tags that hold any character
  std::string TextFolder;    // DESTINAZIONE + TextName + separator
  std::string FolderIdName;  // the identifier clip's file name
};

// The names of the text at path.
TTextNames NamesOfText(const std::string& path);

// NOMEFILE followed by the track number, at least three digits, and ".mp3".
std::string Mp3FileName(int32_t track);

// The RockBox clip that speaks the name of the MP3 file called name.
std::string FileClipName(const std::string& name);

// Creates a folder with its parents; raises "Impossibile creare la cartella".
void CreateOutputFolder(const std::string& folder);

// Removes old numbered MP3 files with their file clips, and the identifier
// clip, from folder (which ends with a separator), asking first when askBeforeDelete is set and the
// settings want it; the user's no ends the run silently.
void PrepareFolder(const std::string& folder, const TTextNames& names, bool* askBeforeDelete);

// Deletes the files that an interrupted run left half-written in folder
// (which ends with a separator) under their temporary names: the numbered
// MP3 files, their clips and the folder's identifier clip.
void RemoveUnfinishedFiles(const std::string& folder, const TTextNames& names);

// After the last fragment of the current text: moves its trackCount files
// into group folders when they are more than GRUPPI, and writes the
// identifier clips; with CLIPFILE, first writes the file clips that are
// missing, and moves each file with its clip. textPosition -1 marks a grouping step resumed after an
// interruption. The clips are spoken by processing.
void GroupTextFiles(TProcessing& processing, const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, bool* askBeforeDelete);
