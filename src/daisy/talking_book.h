// A DAISY 2.02 talking book's navigation: what the conversion knows of the
// book (its metadata, its headings in reading order and the audio files of
// each) and the files made of it. Each heading has a SMIL file of its own
// whose one `par` ties the heading in ncc.html to its audio: every file the
// heading's text takes, each clip a whole file. File names are lower-case
// 8.3 names, as players that read FAT cards need.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace daisy {

struct TClip {
  std::string file;          // the audio file's name in the book's folder
  int64_t milliseconds = 0;  // its whole length as a decoder plays it
};

struct TSection {
  int level = 1;          // 1 to 6; the first section is the title's
  std::string title;      // UTF-8
  std::vector<TClip> clips;
};

struct TBookInfo {
  std::string title, creator, publisher;  // UTF-8
  std::string date;        // yyyy-mm-dd
  std::string identifier;  // stable for the same input
  std::string language;    // an RFC 1766 code: "it", "en-GB"
  std::string generator, narrator;
  int64_t audioBytes = 0;  // of all the audio files, for ncc:kByteSize
};

struct TTalkingBook {
  TBookInfo info;
  // The first is the book's title (h1 class="title"); those after it the
  // chapters. Sections without audio have no place in the navigation and
  // are left out; levels are brought within 1 to 6, never deeper than one
  // below the section before.
  std::vector<TSection> sections;
};

struct TBookFile {
  std::string name;
  std::string content;
};

// The navigation files in the order they are to be written: the SMIL
// files, master.smil, and ncc.html last, which makes the book whole.
std::vector<TBookFile> NavigationFiles(const TTalkingBook& book);

// Whether name is one of the navigation files that NavigationFiles makes
// (ncc.html, master.smil, s0001.smil ...), in any letter case.
bool IsNavigationFileName(const std::string& name);

}  // namespace daisy
