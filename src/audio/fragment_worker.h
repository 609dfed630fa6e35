// A worker process: the program started with platform::kWorkerArgument,
// writing the MP3 files of the jobs it is given.
#pragma once

#include <string>

#include "audio/fragment_job.h"

// The worker's life: takes its settings, then jobs, until its starter (the
// process numbered starter, from the command line) closes the pipe.
// Answers the exit code.
int RunWorkerProcess(const std::string& starter);

// The settings message that starts a worker: the libraries (the engine's
// at engineLibrary) and every setting that shapes the files.
TMessage WorkerSettingsMessage(const std::string& engineLibrary);
