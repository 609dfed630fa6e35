// The spoken files: an MP3 file of a fragment, and a clip that speaks a
// folder's or a file's name. Each is made whole or not at all
// (MakeOutputFile), through the processing's engine and pipeline.
#pragma once

#include <string>

#include "audio/fragment_job.h"
#include "audio/processing.h"

// Speaks job into its MP3 file: the ID3v2 tag, the audio, the ID3v1 tag.
// Raises the error that stops it, naming job.path, with nothing of it left.
// Answers the samples of speech in it, at the SAMPLE rate.
int64_t WriteFragmentFile(TProcessing& processing, const TFragmentJob& job);

// Speaks text into a clip at path, after a short pause: a RockBox Speex
// clip when speex is set, else an MP3 file without tag from a stream of its
// own. Raises as WriteFragmentFile.
void WriteClipFile(TProcessing& processing, const std::string& path, const std::string& text,
                   bool speex);
