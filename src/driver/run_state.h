// The state of one run that lives for the whole process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One line of the JobList, with the slot where the conversion keeps the size
// of the text that the line names.
struct TJobLine {
  std::string text;
  int32_t size = 0;
};
using TJobList = std::vector<TJobLine>;

struct TRunState {
  bool TestMode = false;       // "/TEST": speak aloud, write no file
  bool ResumeMode = false;     // "/R": take the JobList from the RecoveryFile
  bool BannerPrinted = false;  // the banner is on the console already
  std::string RecoveryFilePath;
  TJobList JobList;
  int32_t TextPosition = 0;  // where the next fragment of the current text starts
  int32_t TrackNumber = 1;   // number of the next MP3 file of the current text
};

extern TRunState Run;
