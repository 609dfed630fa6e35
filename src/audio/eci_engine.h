// The speech engine library: its twelve entry points, bound on first use,
// and the program's operations on the one engine instance of a run.
#pragma once

#include <string>
#include <vector>

#include "audio/fragment_job.h"

#include "narravox/eci_api.h"

extern ECIHand EngineHandle;  // null when there is none

// The library to load, when it differs from ECIDLL as set (the conversion
// gives the full path, since it changes the current directory).
void SetEngineLibraryPath(const std::string& path);
// The library that is loaded: that path, or ECIDLL.
std::string EngineLibraryPath();

// Creates and configures the engine; outside TestMode also opens the first
// encoder stream, sizes the pipeline's buffers and connects the engine to it.
// Call it before the process starts any thread: an engine may start a
// process of its own by copying this one (fork), and the copy inherits, held
// for ever, any lock that another thread held at that moment (the memory
// allocator's, under a sanitizer, hung such copies).
void ActivateEngine();
void AddText(const char* text);
// Queues text with annotations switched on for it alone.
void AddAnnotatedText(const char* text);
// Queues the parts in order, the annotated ones with annotations on.
void QueueSpeech(const std::vector<TSpeechPart>& parts);
void SynthesizeAndWait();
// Raise the engine error, with the engine's status and explanation, when a
// call failed (false, or a negative parameter result).
void CheckEngine(bool ok);
void CheckEngineParam(int32_t result);
// Deletes the engine instance, if any.
void DeleteEngine();
// Unloads the library at program end.
void FreeEngineLibrary();
