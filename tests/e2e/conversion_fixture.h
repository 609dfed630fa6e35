// A program folder set up to convert with the fake engine (every text byte
// becomes one sample of its value) and the fake encoder (every sample
// becomes its low byte): each MP3 file holds the very text spoken into it.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "run_program.h"

class Conversion : public ::testing::Test {
 protected:
  // Writes the configuration: the fake libraries, the output folder "out",
  // no tail pause, plus the given lines.
  void Configure(const std::string& lines = "");
  RunResult Convert(const std::vector<std::string>& args, const std::string& input = "",
                    const std::map<std::string, std::string>& env = {});
  std::string Out(const std::string& name) const { return folder_.Read("out/" + name); }
  bool OutExists(const std::string& name) const { return folder_.Exists("out/" + name); }
  // The files of an output folder, sorted, one name a line.
  std::string Listing(const std::string& folder) const;
  // Every file under out/ with a digest of its content, one a line; the lock
  // file that an interrupted run leaves in a text's folder does not count.
  static std::string Tree(const ProgramFolder& folder);
  // The tree of an uninterrupted run of text as libro.txt with the lines.
  static std::string Reference(const std::string& lines, const std::string& text);
  // Every MP3 file of this folder's out/ is complete: it stands in reference.
  void ExpectOnlyCompleteFiles(const std::string& reference) const;

  ProgramFolder folder_{false};
};

// The configuration of these tests with the given lines.
std::string Configuration(const std::string& lines);

// n sentences, one a line.
std::string Sentences(int n);

// The name of MP3 file number n: "001.mp3".
std::string Track(int n);

// What the fake libraries make of a folder identifier clip: the clip's
// pause of 250 ms of silence between two line breaks, then its text.
std::string ClipContent(const std::string& text);

// The console lines without the progress (time and percentages), in the
// prefix of Windows or in the words of POSIX, and without the time a run
// took.
std::string WithoutProgress(const std::string& output);
