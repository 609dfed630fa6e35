// The state of one run that lives for the whole process: the mode, the
// JobList and the position in it, and the RecoveryFile, the JobList's copy
// on disk from which "/R" continues an interrupted run:
//   line 0  a warning not to edit the file
//   line 1  DESTINAZIONE::FRAMMENTI::GRUPPI
//   line 2  the current text, alone or with ::TextPosition::TrackNumber
//   line 3+ the texts still to convert
//   then    kSettingsSection and the settings that shape the files
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
  bool RecoveryFileNamed = false;  // given with "/R=file", not the default one
  TJobList JobList;
  int32_t TextPosition = 0;  // where the next fragment of the current text starts
  int32_t TrackNumber = 1;   // number of the next MP3 file of the current text
  // The settings that shape the files, as "KEY=value" lines: kept in the
  // RecoveryFile after the JobList, under kSettingsSection. Empty in a
  // RecoveryFile of an earlier version, which keeps only line 1's sizes.
  std::vector<std::string> SettingsRecord;
};

inline constexpr const char* kSettingsSection = "[IMPOSTAZIONI]";

extern TRunState RunState;

// "text::n1::n2", the form of the RecoveryFile's lines 1 and 2.
std::string JoinJobLine(const std::string& text, int32_t first, int32_t second);

// Splits "text::n1::n2"; a number is written only when it is present.
// Raises the RecoveryFile error for a malformed number.
std::string SplitJobLine(const std::string& line, int32_t* first, int32_t* second);

// Writes the JobList to the RecoveryFile, replacing it whole; false when it
// cannot, with the system's error code as the last error.
bool WriteJobList();
// The same, raising "Errore durante la scrittura del file di ripristino".
void SaveJobList();

// Saves the JobList with its current text marked as done up to position,
// with track the number of the next file; position -1 marks a text whose
// files are all made and wait for the grouping step.
void SaveCheckpoint(int32_t position, int32_t track);

[[noreturn]] void RaiseRecoveryFileError();

// The line that tells how to resume the run, after an interruption.
std::string ResumeHint();
