// Runs of the program with the real engine (libeci.so on espeak-ng) and
// encoder (liblame_enc.so): the folder's configuration, the files a run
// leaves, and runs stopped at random moments then finished with "/R".
#pragma once

#include <map>
#include <string>
#include <vector>

#include "run_program.h"

// The configuration: the real libraries, the output folder "out", no
// question about old files.
void UseRealLibraries(const ProgramFolder& folder);

// Every file under out/ with its content.
std::map<std::string, std::string> Files(const ProgramFolder& folder);

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more);

// Runs stopped at random moments by each signal, then finished with "/R"
// (or given again when stopped before its RecoveryFile), end with
// exactly the expected files. The moments are drawn between 20 ms and
// maxDelayMs.
void ExpectResumedRunsGive(const std::map<std::string, std::string>& expected,
                           void (*prepare)(const ProgramFolder&), const std::vector<std::string>& args,
                           const std::vector<int>& signals, int maxDelayMs = 1200);
