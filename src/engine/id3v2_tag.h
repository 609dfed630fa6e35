// The ID3v2.3 tag at the start of every MP3 file of a fragment, when
// ID3TAG is V2: its text frames are UTF-16 with a byte-order mark, so that
// every character of the text's name survives.
#pragma once

#include <cstdint>
#include <string>

struct TId3v2Fields {
  std::string album;     // UTF-8: the text's name as its file is named
  int32_t track = 0;     // the file's number: title "Track n", track "n"
  int32_t tracks = 0;    // with chapters, the text's files: track "n/N"
  std::string title;     // UTF-8, with chapters: the file's chapter title
  std::string artist;    // UTF-8, the author when known: TPE1
  int year = 0;          // four digits
  int32_t language = 0;  // the engine dialect of LINGUA
};

// The whole tag: header and the frames TIT2, TPE1 (with an artist), TALB,
// TRCK, TCON (Speech), TYER, TLAN and COMM, without padding.
std::string Id3v2Tag(const TId3v2Fields& fields);

// The ISO-639-2 code of an engine dialect ("ita", "eng" ...).
const char* Iso639Language(int32_t dialect);
