// The audio path of one MP3 file: the engine fills the speech buffer and
// offers it through SpeechCallback; the encoder thread encodes it in place,
// in encoder chunks, and writes the bytes to the output file. A five-state
// hand-over lets the engine refill the buffer as soon as its samples are
// encoded, while the thread still writes the previous bytes.
#pragma once

#include <cstdint>
#include <string>

#include "narravox/eci_api.h"
#include "platform/files.h"

// The hand-over, then the errors, which stay until the run ends.
enum class TPipelineState {
  Idle,                  // the engine owns the buffer
  Encoding,              // handed over, being encoded
  Writing,               // encoded, the bytes being written; the engine not told
  WritingEngineTold,     // the engine was told while the write runs
  WrittenEngineNotTold,  // the write ended before the engine was told
  OutOfMemory,           // the MP3 buffer could not grow
  EncoderFailed,         // an encoder call failed
  WriteFailed,           // a write came up short
};

TPipelineState CurrentPipelineState();

// Back to the pipeline of a fresh process: idle, no upsampling, silence
// before the first sample. For a process that converts more than once.
void ResetPipeline();

// Whether the pipeline upsamples 4x itself; set before the buffers are
// allocated.
void SetUpsampling(bool on);
bool IsUpsampling();

// Computes the sizes from the first stream's chunk size and minimum output,
// and allocates the MP3 buffer, the speech buffer and the upsampling buffer.
void AllocatePipelineBuffers(int32_t chunkSamples, int32_t minOutput);
void FreePipelineBuffers();

// The buffer that the engine fills, in samples: whole encoder chunks.
int32_t SpeechBufferCapacity();
int16_t* SpeechBufferData();

// The engine's callback: answers 0 (not processed yet), 1 (processed) or 2
// (abort).
int32_t ECI_CALL SpeechCallback(ECIHand engine, int32_t message, int32_t parameter,
                                void* userData);

// With verbosity 3 the callback shows the samples of the current fragment
// so far; this starts the count again.
void ResetSpeechProgress();
// While one lives, the callback shows no running count: a clip is spoken.
class TQuietProgress {
 public:
  TQuietProgress();
  ~TQuietProgress();
  TQuietProgress(const TQuietProgress&) = delete;
  TQuietProgress& operator=(const TQuietProgress&) = delete;
};

// Starts and stops the encoder thread.
bool StartEncoderThread();
void StopEncoderThread();

// Writes 4 samples for every source sample, interpolating from previous,
// the sample before source; answers the last sample, the next call's
// previous.
int16_t Upsample4x(int16_t previous, const int16_t* source, int16_t* destination,
                   int32_t count);

// Creates path as the MP3 file being written; raises "Impossibile creare il
// file" when it cannot.
void CreateOutputFile(const std::string& path);
// Drains the pipeline, flushes and closes the stream, appends the tag (when
// given and all went well) and closes the file.
void FinishMp3File(const uint8_t* tag);
// Raises the error that an error state stands for.
void CheckPipelineError();
// Writes bytes to the output file beside the encoder's: a tag before the
// audio, or a clip that is not MP3. False on a short write, with the
// system's error code in *error.
bool WriteOutputBytes(const uint8_t* data, size_t size, int32_t* error);
// Closes the output file of a clip that is not MP3; false, with the file
// deleted, when the system lost bytes at closing.
bool CloseOutputFile();

// While a sink is set, the engine's buffers go to it and not to the encoder
// thread: for a clip that is not MP3. Set and cleared between syntheses.
using TSampleSink = void (*)(const int16_t* samples, int32_t count, void* context);
void DivertSamples(TSampleSink sink, void* context);

// Closes and deletes the MP3 file being written, if any.
void DiscardOutputFile();
// As DiscardOutputFile, then keeps every other thread from touching the
// output file until the process ends: for the interruption handler.
void DiscardOutputFileForGood();
