// The audio path of one MP3 file: the engine fills SpeechBuffer and offers
// it through SpeechCallback; EncoderThread encodes it in place, in encoder
// chunks, into Mp3Buffer and writes the bytes to OutputFile. A five-state
// hand-over lets the engine refill the buffer as soon as its samples are
// encoded, while the thread still writes the previous bytes.
//
// PipelineState: 0 idle (the engine owns the buffer); 1 handed over, being
// encoded; 2 encoded, bytes being written; 3 the engine was told while the
// write runs; 4 the write ended before the engine was told. Negative states
// are errors that stay until the run ends: -1 Mp3Buffer could not grow, -2
// an encoder call failed, -3 a write came up short.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "narravox/eci_api.h"
#include "platform/files.h"

extern bool Upsampling;             // the pipeline upsamples 4x itself
extern int16_t LastSample;          // the previous sample, across buffers and files
extern std::atomic<int32_t> PipelineState;
extern std::atomic<int32_t> PipelineError;  // detail of a negative state
extern std::string OutputFileName;
extern int32_t SpeechProgress;      // samples of the current fragment so far
extern bool SuppressProgress;       // no running count while a clip is spoken

// Sizes fixed when the first encoder stream is open.
extern int32_t ChunkSamples;
extern int32_t EncoderMinOutput;
extern int32_t ChunksPerBuffer;
extern int32_t BufferCapacity;
extern int16_t* SpeechBuffer;

// Computes the sizes from the first stream's chunk size and minimum output,
// and allocates Mp3Buffer, SpeechBuffer and UpsampleBuffer.
void AllocatePipelineBuffers(int32_t chunkSamples, int32_t minOutput);
void FreePipelineBuffers();

// The engine's callback: answers 0 (not processed yet), 1 (processed) or 2
// (abort).
int32_t ECI_CALL SpeechCallback(ECIHand engine, int32_t message, int32_t parameter,
                                void* userData);

// Starts and stops the encoder thread.
bool StartEncoderThread();
void StopEncoderThread();

// Writes 4 samples for every source sample, interpolating from LastSample.
void Upsample4x(const int16_t* source, int16_t* destination, int32_t count);

void SetPipelineState(int32_t state);

// Creates path as the MP3 file being written; raises "Impossibile creare il
// file" when it cannot.
void CreateOutputFile(const std::string& path);
// Drains the pipeline, flushes and closes the stream, appends the tag (when
// given and all went well) and closes the file.
void FinishMp3File(const uint8_t* tag);
// Raises the error that a negative PipelineState stands for.
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
