// A worker process: the program started with platform::kWorkerArgument,
// writing the MP3 files of the jobs it is given.
#pragma once

#include <cstdint>
#include <string>

#include "audio/fragment_job.h"

// Writes bytes to the output file beside the encoder's; on a short write
// deletes the file and raises the write error that names path.
void WriteOrDiscard(const uint8_t* data, size_t size, const std::string& path);

// Speaks job into its MP3 file, written under TemporaryName and renamed
// when whole; raises the error that stops it, with nothing of it left.
void WriteFragmentFile(const TFragmentJob& job);

// The worker's life: takes its settings, then jobs, until its starter (the
// process numbered starter, from the command line) closes the pipe.
// Answers the exit code.
int RunWorkerProcess(const std::string& starter);

// The settings message that starts a worker: the libraries and every
// setting that shapes the files.
TMessage WorkerSettingsMessage();
