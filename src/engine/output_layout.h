// Where the MP3 files of a text go: the text's folder, the numbered file
// names, the clean-up of old files, the group folders and the spoken folder
// identifier clips.
#pragma once

#include <cstdint>
#include <string>

struct TTextNames {
  // The text file's name without folder and extension, which names its
  // folder; on POSIX with ".mp3" added when a file (a text without
  // extension in the destination, most often) already has that name.
  std::string TextName;
  std::string SpokenName;    // the same as ANSI text, for speaking and tagging
  std::string TextFolder;    // DESTINAZIONE + TextName + separator
  std::string FolderIdName;  // the identifier clip's file name
};

// The names of the text at path.
TTextNames NamesOfText(const std::string& path);

// NOMEFILE followed by the track number, at least three digits, and ".mp3".
std::string Mp3FileName(int32_t track);

// Creates a folder with its parents; raises "Impossibile creare la cartella".
void CreateOutputFolder(const std::string& folder);

// Removes old numbered MP3 files and the identifier clip from folder (which
// ends with a separator), asking first when askBeforeDelete is set and the
// settings want it; the user's no ends the run silently.
void PrepareFolder(const std::string& folder, const TTextNames& names, bool* askBeforeDelete);

// Speaks text into a new MP3 file at path, without tag and without
// reporting pipeline errors.
void WriteFolderClip(const std::string& path, const std::string& text);

// After the last fragment of the current text: moves its trackCount files
// into group folders when they are more than GRUPPI, and writes the
// identifier clips. textPosition -1 marks a grouping step resumed after an
// interruption.
void GroupTextFiles(const TTextNames& names, int32_t trackCount,
                    int32_t textPosition, bool* askBeforeDelete);
