// The audio path of one MP3 file: the engine fills the speech buffer and
// offers it through the callback; the encoder thread encodes it in place,
// in encoder chunks, and writes the bytes to the output file. A five-state
// hand-over lets the engine refill the buffer as soon as its samples are
// encoded, while the thread still writes the previous bytes.
//
// One pipeline per process that encodes, owned by its processing. Three
// threads touch it: the one that speaks (it calls the engine, which calls
// the callback on it), the encoder thread, and the interruption handler,
// which only discards the output file.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "audio/eci_engine.h"
#include "audio/mp3_encoder.h"
#include "audio/output_file.h"
#include "base/mutex.h"
#include "narravox/eci_api.h"

// The hand-over, then the errors, which stay until the pipeline ends.
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

// Where the engine's buffers go instead of the encoder, while one is set:
// for a clip that is not MP3.
using TSampleSink = void (*)(const int16_t* samples, int32_t count, void* context);

class TPipeline {
 public:
  // Encodes with encoder's streams; upsamples 4x itself when the settings
  // ask for it.
  explicit TPipeline(TEncoderBinding& encoder);
  // Stops the encoder thread; a file being made is deleted.
  ~TPipeline();
  TPipeline(const TPipeline&) = delete;
  TPipeline& operator=(const TPipeline&) = delete;

  // Opens the first stream, sizes the buffers from it (whole encoder
  // chunks, 30 seconds at most), allocates them and hands the speech buffer
  // and the callback to engine. The first file uses that stream.
  void Connect(TEngineBinding& engine);
  // False, with the system's error, when the thread cannot start.
  bool StartEncoderThread();
  void StopEncoderThread();

  TPipelineState State() const EXCLUDES(lock_);
  bool IsUpsampling() const { return upsampling_; }
  // The buffer that the engine fills, in samples.
  int32_t BufferCapacity() const { return capacity_; }
  int16_t* BufferData() { return speech_.empty() ? nullptr : speech_.data(); }

  // The engine's callback, with the pipeline as its data: answers 0 (not
  // processed yet), 1 (processed) or 2 (abort).
  static int32_t ECI_CALL Callback(ECIHand engine, int32_t message, int32_t parameter,
                                   void* pipeline);
  int32_t TakeBuffer(int32_t message, int32_t parameter) EXCLUDES(lock_);

  // The callback counts the engine's samples of the current file (at the
  // SAMPLE rate), and with verbosity 3 shows the count; this starts it
  // again. While quiet (a clip is spoken) it counts nothing.
  void ResetSpeechProgress() { speechProgress_ = 0; }
  int64_t SpeechSamples() const { return speechProgress_; }
  void SetQuiet(bool quiet) { quiet_ = quiet; }
  // VERBOSITA 3: the speech made so far, after samples more.
  void ShowSpeechProgress(int32_t samples);
  // Set and cleared between syntheses.
  void DivertSamples(TSampleSink sink, void* context);

  // The encoder stream of the next file: the open one, else a new one; or
  // always a new one. Opening and closing happen here alone.
  void UseStream();
  void UseFreshStream();
  void CloseStream();

  // The file that the encoder's bytes go to.
  TOutputFile& Output() { return output_; }
  // Drains the pipeline, flushes the stream into the file, appends the tag
  // (when given and all went well) and closes the stream; the errors stay
  // in the state for CheckError.
  void FinishMp3File(const uint8_t* tag) EXCLUDES(lock_);
  // Raises the error that an error state stands for, naming the file.
  void CheckError() const EXCLUDES(lock_);

 private:
  // The auto-reset event that wakes the encoder thread for one buffer; Stop
  // ends its wait for good.
  class TBufferReady {
   public:
    void Signal() EXCLUDES(lock_);
    bool Wait() EXCLUDES(lock_);
    void Stop() EXCLUDES(lock_);
    void Reset() EXCLUDES(lock_);

   private:
    TMutex lock_;
    TCondVar wake_;
    bool signalled_ GUARDED_BY(lock_) = false;
    bool stopping_ GUARDED_BY(lock_) = false;
  };

  void AllocateBuffers(int32_t chunkSamples, int32_t minOutput);
  // Opens a stream for the next file; the encoder's sizes as
  // TEncoderBinding::OpenStream gives them.
  void OpenStream(uint32_t* chunkSamples = nullptr, uint32_t* minOutput = nullptr);
  void SetState(TPipelineState state, int32_t detail = 0) REQUIRES(lock_);
  void SetStateUnlocked(TPipelineState state, int32_t detail = 0) EXCLUDES(lock_);
  void EncoderThreadBody();
  void EncodeBuffer() EXCLUDES(lock_);

  TEncoderBinding& encoder_;
  const bool upsampling_;
  TOutputFile output_;

  // Fixed when the pipeline is connected.
  int32_t chunkSamples_ = 0;
  int32_t minOutput_ = 0;
  int32_t capacity_ = 0;
  // The buffers: the speech buffer is the engine's while Idle and the
  // encoder thread's from Encoding to Writing; the others are the encoder
  // thread's while it works, and FinishMp3File's when it is idle.
  std::vector<int16_t> speech_;
  std::vector<int16_t> upsample_;
  std::vector<uint8_t> mp3_;
  int32_t mp3Growth_ = 0;
  int32_t mp3Limit_ = 0;
  int16_t lastSample_ = 0;  // the previous sample, across the buffers of a file

  // The thread that speaks alone touches these.
  int64_t speechProgress_ = 0;
  bool quiet_ = false;
  std::atomic<TSampleSink> sink_{nullptr};
  std::atomic<void*> sinkContext_{nullptr};

  // Guards the hand-over.
  mutable TMutex lock_;
  TCondVar stateChanged_;  // told of every change of state_
  TPipelineState state_ GUARDED_BY(lock_) = TPipelineState::Idle;
  // With an error state: the size that the MP3 buffer could not grow to,
  // the encoder's result or the system's error code.
  int32_t errorDetail_ GUARDED_BY(lock_) = 0;
  TPipelineState stateAfterWrite_ GUARDED_BY(lock_) = TPipelineState::Idle;
  int32_t bufferSamples_ GUARDED_BY(lock_) = 0;  // the samples handed over

  TBufferReady bufferReady_;
  std::thread encoderThread_;
};

// Writes 4 samples for every source sample, interpolating from previous,
// the sample before source; answers the last sample, the next call's
// previous.
int16_t Upsample4x(int16_t previous, const int16_t* source, int16_t* destination,
                   int32_t count);
