// The state of one run that lives for the whole process: the mode, the
// JobList and the position in it, and the RecoveryFile, the JobList's copy
// on disk from which "/R" continues an interrupted run:
//   line 0  a warning not to edit the file
//   line 1  DESTINAZIONE::FRAMMENTI::GRUPPI
//   line 2+ the texts still to convert, in order; each text alone until
//           its folder is prepared (the question about old files
//           answered), then with ::position::track, the first file of the
//           text that is not complete. A run works on several texts at
//           once (the last files of one while the first of the next are
//           made), so more than one line may carry them.
//   then    kSettingsSection and the settings that shape the files
// Every text line ends with ::>folder when the text's folder is not named
// after the text (job_line.h has the syntax).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One line of the JobList, with the slot where the conversion keeps the size
// of the text that the line names.
struct TJobLine {
  TJobLine(std::string text_ = "", int32_t size_ = 0, std::string folder_ = "")
      : text(std::move(text_)), size(size_), folder(std::move(folder_)) {}
  std::string text;
  int32_t size = 0;
  // The name of the text's folder in the destination, decided for the whole
  // run before any file is made; empty until then.
  std::string folder;
  // The text's folder is prepared: old files are gone with the user's
  // consent, and a resumed run goes on without asking again. Then the
  // checkpoint holds: where the first file not complete starts, and its
  // number (position -1: every file is made, the grouping step remains).
  bool started = false;
  int32_t position = 0;
  int32_t track = 1;
  // A digest of the text's bytes as it was cut (0 in the RecoveryFiles of
  // earlier versions): a changed text is not resumed.
  int32_t digest = 0;
};
using TJobList = std::vector<TJobLine>;

struct TRunState {
  bool TestMode = false;       // "/TEST": speak aloud, write no file
  bool ResumeMode = false;     // "/R": take the JobList from the RecoveryFile
  bool BannerPrinted = false;  // the banner is on the console already
  std::string RecoveryFilePath;
  // The RecoveryFile is not the first one, and the hint to resume names it:
  // given with "/R=file", or a slot beside the first (program_files.h).
  bool RecoveryFileNamed = false;
  // A resumed run's: the other interrupted conversions found, for "/R".
  std::vector<std::string> OtherRecoveryFiles;
  // The RecoveryFile holds this run's JobList: a new run writes it only when
  // its first text is ready to be converted, so that a run that makes no
  // file leaves none. Read by the interruption handler's thread.
  struct TFlag {
    std::atomic<bool> value{false};
    TFlag() = default;
    TFlag(const TFlag& other) : value(other.value.load()) {}
    TFlag& operator=(const TFlag& other) {
      value = other.value.load();
      return *this;
    }
  } RecoveryFileWritten;
  TJobList JobList;
  // The text being cut into fragments: where its next fragment starts and
  // the number of its next MP3 file.
  int32_t TextPosition = 0;
  int32_t TrackNumber = 1;
  // The settings that shape the files, as "KEY=value" lines: kept in the
  // RecoveryFile after the JobList, under kSettingsSection. Empty in a
  // RecoveryFile of an earlier version, which keeps only line 1's sizes.
  std::vector<std::string> SettingsRecord;
  // The texts of the run that were not converted (missing, not texts,
  // declined, in use), each reported when met; the run ends with their list.
  std::vector<std::string> SkippedTexts;
};

inline constexpr const char* kSettingsSection = "[IMPOSTAZIONI]";

extern TRunState RunState;

// Writes the JobList to the RecoveryFile, replacing it whole. A new run's
// first write, before its first file, first keeps a RecoveryFile found
// there, of a conversion that did not end, under the first free name of
// "file.1", "file.2", ..., with a warning that names its text and how to
// resume it; that write raises the file layer's error when it fails, later
// ones "Errore durante la scrittura del file di ripristino".
void SaveJobList();

// Saves the JobList with the text of its line marked as done up to
// position, with track the number of its next file; position -1 marks a
// text whose files are all made and wait for the grouping step. The text
// counts as started from then on. Without line: the first text (line 2).
void SaveCheckpoint(size_t line, int32_t position, int32_t track);
inline void SaveCheckpoint(int32_t position, int32_t track) { SaveCheckpoint(2, position, track); }

// The JobList's lines as the RecoveryFile holds them.
std::string JobListText();

[[noreturn]] void RaiseRecoveryFileError();

// The line that tells how to resume the run, after an interruption.
std::string ResumeHint();
