// The JobList, the ordered lines that describe a run, and the RecoveryFile,
// its copy on disk from which "/R" continues an interrupted run:
//   line 0  a warning not to edit the file
//   line 1  DESTINAZIONE::FRAMMENTI::GRUPPI
//   line 2  the current text, alone or with ::TextPosition::TrackNumber
//   line 3+ the texts still to convert
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builds a fresh JobList from the file arguments (names, "@" list files,
// wildcard patterns) and saves it unless in TestMode.
void BuildJobList(const std::vector<std::string>& arguments);

// Loads the JobList from the RecoveryFile and restores the destination, the
// sizes and the resume position.
void ResumeJobList(bool argumentsRemain);

// Writes the JobList to the RecoveryFile.
void SaveJobList();

// Splits "text::n1::n2"; a number is written only when it is present.
// Raises the RecoveryFile error for a malformed number.
std::string SplitJobLine(const std::string& line, int32_t* first, int32_t* second);

[[noreturn]] void RaiseRecoveryFileError();
