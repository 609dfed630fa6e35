// The JobList of a run: made from the command line's file arguments, or
// taken from the RecoveryFile by "/R".
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
