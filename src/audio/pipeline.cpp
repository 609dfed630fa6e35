#include "audio/pipeline.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

#include "audio/mp3_encoder.h"
#include "base/settings.h"
#include "base/errors.h"
#include "base/messages.h"
#include "platform/console.h"
#include "platform/process.h"

namespace {

// Fixed when the first encoder stream is open.
int32_t ChunkSamples = 0;
int32_t EncoderMinOutput = 0;
int32_t BufferCapacity = 0;

std::vector<int16_t> SpeechBuffer;
std::vector<int16_t> UpsampleBuffer;
std::vector<uint8_t> Mp3Buffer;
int32_t Mp3BufferGrowth = 0;
int32_t Mp3BufferLimit = 0;

bool Upsampling = false;
int16_t LastSample = 0;  // the previous sample, across buffers and files

int32_t SpeechProgress = 0;  // samples of the current fragment so far
bool SuppressProgress = false;

std::atomic<TSampleSink> Sink{nullptr};
void* SinkContext = nullptr;

// Guards the hand-over: the state, the detail of an error state and the
// state that the running write leads to.
std::mutex PipelineLock;
using THold = std::lock_guard<std::mutex>;
TPipelineState State = TPipelineState::Idle;
// Told of every change of State, for FinishMp3File's wait.
std::condition_variable StateChanged;
// With an error state: the size that the MP3 buffer could not grow to, the
// encoder's result or the system's error code.
int32_t ErrorDetail = 0;
TPipelineState StateAfterWrite = TPipelineState::Idle;

// The samples handed over; set before the encoder thread is woken.
int32_t BufferSamples = 0;

// The one place where the state changes; hold is the caller's lock on
// PipelineLock. detail goes with an error state.
void SetState(const THold& /*hold*/, TPipelineState state, int32_t detail = 0) {
  State = state;
  ErrorDetail = detail;
  StateChanged.notify_all();
}

void SetPipelineState(TPipelineState state, int32_t detail = 0) {
  THold hold(PipelineLock);
  SetState(hold, state, detail);
}

bool IsError(TPipelineState state) {
  return state == TPipelineState::OutOfMemory || state == TPipelineState::EncoderFailed ||
         state == TPipelineState::WriteFailed;
}

// The auto-reset event that wakes the encoder thread for one buffer; Stop
// ends its wait for good.
class TBufferReady {
 public:
  void Signal() {
    std::lock_guard<std::mutex> hold(lock_);
    signalled_ = true;
    wake_.notify_one();
  }
  bool Wait() {
    std::unique_lock<std::mutex> hold(lock_);
    wake_.wait(hold, [this] { return signalled_ || stopping_; });
    if (stopping_) return false;
    signalled_ = false;
    return true;
  }
  void Stop() {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = true;
    wake_.notify_one();
  }
  void Reset() {
    std::lock_guard<std::mutex> hold(lock_);
    stopping_ = signalled_ = false;
  }

 private:
  std::mutex lock_;
  std::condition_variable wake_;
  bool signalled_ = false;
  bool stopping_ = false;
};

TBufferReady BufferReady;
std::thread EncoderThread;

// Guards OutputFile against the interruption handler, which deletes the file
// being written and must not see it half-created or written after.
std::mutex OutputLock;
platform::FileHandle OutputFile = platform::kNoFile;
std::string OutputFileName;  // set by CreateOutputFile alone

std::string CurrentOutputFileName() {
  std::lock_guard<std::mutex> hold(OutputLock);
  return OutputFileName;
}

// Writes to OutputFile; false on a short write, with the system's error
// code in *error.
bool WriteOutput(const uint8_t* data, size_t size, int32_t* error = nullptr) {
  std::lock_guard<std::mutex> hold(OutputLock);
  size_t done = 0;
  if (OutputFile != platform::kNoFile && platform::WriteToFile(OutputFile, data, size, &done))
    return true;
  if (error) *error = platform::LastErrorCode();
  return false;
}

void DiscardLocked() {
  if (OutputFile == platform::kNoFile) return;
  platform::CloseFile(OutputFile);
  OutputFile = platform::kNoFile;
  if (platform::FileExists(OutputFileName)) platform::DeleteFile(OutputFileName);
}

// Encodes one handed-over buffer and writes its bytes.
void EncodeBuffer() {
  const int16_t* input = SpeechBuffer.data();
  int32_t count = BufferSamples;
  if (Upsampling) {
    LastSample = Upsample4x(LastSample, SpeechBuffer.data(), UpsampleBuffer.data(), count);
    input = UpsampleBuffer.data();
    count *= 4;
  }
  uint8_t* output = Mp3Buffer.data();
  int32_t total = 0;
  for (;;) {
    int32_t n = count < ChunkSamples ? count : ChunkSamples;
    count -= n;
    uint32_t produced = 0;
    uint32_t result = beEncodeChunkBound(EncoderStream, static_cast<uint32_t>(n), input,
                                         output, &produced);
    if (result != 0) {
      SetPipelineState(TPipelineState::EncoderFailed, static_cast<int32_t>(result));
      return;
    }
    total += static_cast<int32_t>(produced);
    if (count == 0) break;
    input += n;
    if (total <= Mp3BufferLimit) {
      output += produced;
      continue;
    }
    int32_t newSize = static_cast<int32_t>(Mp3Buffer.size()) + Mp3BufferGrowth;
    try {
      Mp3Buffer.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
      SetPipelineState(TPipelineState::OutOfMemory, newSize);
      return;
    }
    output = Mp3Buffer.data() + total;
    Mp3BufferLimit = newSize - EncoderMinOutput;
  }
  SetPipelineState(TPipelineState::Writing);
  int32_t error = 0;
  if (WriteOutput(Mp3Buffer.data(), static_cast<size_t>(total), &error)) {
    THold hold(PipelineLock);
    SetState(hold, StateAfterWrite);
  } else {
    SetPipelineState(TPipelineState::WriteFailed, error);
  }
}

void EncoderThreadBody() {
  while (BufferReady.Wait()) EncodeBuffer();
}

}  // namespace

TPipelineState CurrentPipelineState() {
  THold hold(PipelineLock);
  return State;
}

void ResetPipeline() {
  SetPipelineState(TPipelineState::Idle);
  LastSample = 0;
  Upsampling = false;
  SpeechProgress = 0;
  SuppressProgress = false;
}

void SetUpsampling(bool on) { Upsampling = on; }

bool IsUpsampling() { return Upsampling; }

void AllocatePipelineBuffers(int32_t chunkSamples, int32_t minOutput) {
  // An encoder that reports sizes no buffer can be made of is refused as
  // one that rejects its parameters.
  if (chunkSamples < 1 || chunkSamples > Settings.SAMPLE * 30 || minOutput < 1 ||
      minOutput > (1 << 24))
    CheckEncoder(BE_ERR_INVALID_FORMAT_PARAMETERS);
  ChunkSamples = chunkSamples;
  EncoderMinOutput = minOutput;
  int32_t chunksPerBuffer = Settings.SAMPLE * 30 / ChunkSamples;
  BufferCapacity = ChunkSamples * chunksPerBuffer;
  Mp3BufferGrowth = 4 * EncoderMinOutput;
  // The first chunk and the final flush need EncoderMinOutput bytes of room.
  int32_t mp3Size = BufferCapacity / 2 > EncoderMinOutput ? BufferCapacity / 2 : EncoderMinOutput;
  try {
    Mp3Buffer.assign(static_cast<size_t>(mp3Size), 0);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(30, mp3Size);
  }
  Mp3BufferLimit = mp3Size - EncoderMinOutput;
  try {
    SpeechBuffer.assign(static_cast<size_t>(BufferCapacity), 0);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(20, BufferCapacity * 2);
  }
  if (Upsampling) {
    try {
      UpsampleBuffer.assign(static_cast<size_t>(BufferCapacity) * 4, 0);
    } catch (const std::bad_alloc&) {
      RaiseOutOfMemory(40, BufferCapacity * 8);
    }
  }
}

void FreePipelineBuffers() {
  std::vector<int16_t>().swap(SpeechBuffer);
  std::vector<int16_t>().swap(UpsampleBuffer);
  std::vector<uint8_t>().swap(Mp3Buffer);
}

int32_t SpeechBufferCapacity() { return BufferCapacity; }

int16_t* SpeechBufferData() { return SpeechBuffer.empty() ? nullptr : SpeechBuffer.data(); }

int32_t ECI_CALL SpeechCallback(ECIHand, int32_t message, int32_t parameter, void*) {
  if (message != ECI_MSG_WAVEFORM_BUFFER) return ECI_DATA_PROCESSED;
  if (TSampleSink sink = Sink.load()) {
    sink(SpeechBuffer.data(), parameter < 0 ? 0 : parameter > BufferCapacity ? BufferCapacity : parameter,
         SinkContext);
    return ECI_DATA_PROCESSED;
  }
  int32_t answer;
  {
    THold hold(PipelineLock);
    switch (State) {
      case TPipelineState::Idle:
        SetState(hold, TPipelineState::Encoding);
        StateAfterWrite = TPipelineState::WrittenEngineNotTold;
        // Never trust a count beyond the buffer the engine was given.
        BufferSamples = parameter < 0 ? 0 : parameter > BufferCapacity ? BufferCapacity : parameter;
        BufferReady.Signal();
        answer = ECI_DATA_NOT_PROCESSED;
        break;
      case TPipelineState::Writing:
        SetState(hold, TPipelineState::WritingEngineTold);
        StateAfterWrite = TPipelineState::Idle;
        answer = ECI_DATA_PROCESSED;
        break;
      case TPipelineState::WrittenEngineNotTold:
        SetState(hold, TPipelineState::Idle);
        answer = ECI_DATA_PROCESSED;
        break;
      case TPipelineState::Encoding:
      case TPipelineState::WritingEngineTold:
        answer = ECI_DATA_NOT_PROCESSED;
        break;
      default:
        answer = ECI_DATA_ABORT;
        break;
    }
  }
  if (!SuppressProgress && Settings.VERBOSITA == 3 && answer == ECI_DATA_PROCESSED) {
    SpeechProgress += parameter;
    platform::ConsoleWrite(std::to_string(SpeechProgress / 512) + "k\r");
  }
  return answer;
}

void ResetSpeechProgress() { SpeechProgress = 0; }

TQuietProgress::TQuietProgress() { SuppressProgress = true; }

TQuietProgress::~TQuietProgress() { SuppressProgress = false; }

bool StartEncoderThread() {
  BufferReady.Reset();
  try {
    EncoderThread = std::thread(EncoderThreadBody);
  } catch (const std::system_error&) {
    return false;
  }
  return true;
}

void StopEncoderThread() {
  if (!EncoderThread.joinable()) return;
  BufferReady.Stop();
  EncoderThread.join();
}

int16_t Upsample4x(int16_t previous, const int16_t* source, int16_t* destination,
                   int32_t count) {
  int32_t p = previous;
  for (int32_t i = 0; i < count; ++i) {
    int32_t s = source[i];
    int32_t d = s - p;
    int32_t q = d / 4, h = d / 2;
    *destination++ = static_cast<int16_t>(p + q);
    *destination++ = static_cast<int16_t>(p + h);
    *destination++ = static_cast<int16_t>(p + q + h);
    *destination++ = static_cast<int16_t>(s);
    p = s;
  }
  return static_cast<int16_t>(p);
}

void CreateOutputFile(const std::string& path) {
  std::lock_guard<std::mutex> hold(OutputLock);
  OutputFileName = path;
  OutputFile = platform::CreateFileForWriting(path);
  if (OutputFile == platform::kNoFile) RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
}

void FinishMp3File(const uint8_t* tag) {
  // The last buffer's write may still be running; it takes a few
  // milliseconds. WrittenEngineNotTold means the thread is done and only
  // the engine's final acknowledgement is missing, which no callback will
  // bring now.
  bool engineNotTold;
  {
    std::unique_lock<std::mutex> lock(PipelineLock);
    StateChanged.wait(lock, [] {
      return IsError(State) || State == TPipelineState::Idle ||
             State == TPipelineState::WrittenEngineNotTold;
    });
    if (IsError(State)) return;
    engineNotTold = State == TPipelineState::WrittenEngineNotTold;
  }
  if (engineNotTold) {
    THold hold(PipelineLock);
    SetState(hold, TPipelineState::Idle);
  }
  uint32_t bytes = 0;
  CheckEncoder(beDeinitStreamBound(EncoderStream, Mp3Buffer.data(), &bytes));
  if (bytes != 0 && !WriteOutput(Mp3Buffer.data(), bytes))
    SetPipelineState(TPipelineState::WriteFailed);
  if (CurrentPipelineState() == TPipelineState::Idle && tag && !WriteOutput(tag, 128))
    SetPipelineState(TPipelineState::WriteFailed);
  CloseEncoderStream();
  std::lock_guard<std::mutex> hold(OutputLock);
  if (OutputFile == platform::kNoFile) return;
  bool closed = platform::CloseFile(OutputFile);
  OutputFile = platform::kNoFile;
  // A file whose flush or tag could not be written, or whose bytes the
  // system lost at closing, is broken: it does not stay.
  if (!closed) SetPipelineState(TPipelineState::WriteFailed);
  if (IsError(CurrentPipelineState())) platform::DeleteFile(OutputFileName);
}

bool WriteOutputBytes(const uint8_t* data, size_t size, int32_t* error) {
  return WriteOutput(data, size, error);
}

bool CloseOutputFile() {
  std::lock_guard<std::mutex> hold(OutputLock);
  if (OutputFile == platform::kNoFile) return true;
  bool closed = platform::CloseFile(OutputFile);
  OutputFile = platform::kNoFile;
  if (!closed) {
    int error = platform::LastErrorCode();
    platform::DeleteFile(OutputFileName);
    platform::SetLastErrorCode(error);
  }
  return closed;
}

void DivertSamples(TSampleSink sink, void* context) {
  SinkContext = context;
  Sink = sink;
}

void CheckPipelineError() {
  TPipelineState state;
  int32_t detail;
  {
    THold hold(PipelineLock);
    state = State;
    detail = ErrorDetail;
  }
  switch (state) {
    case TPipelineState::OutOfMemory:
      RaiseOutOfMemory(31, detail);
    case TPipelineState::EncoderFailed:
      CheckEncoder(static_cast<uint32_t>(detail));
      RaiseError(FormatText(msg::kEncoderError, {std::to_string(detail)}));
    case TPipelineState::WriteFailed:
      RaiseErrorWithCode(msg::kWriteError, CurrentOutputFileName(), detail);
    default:
      break;
  }
}

void DiscardOutputFile() {
  std::lock_guard<std::mutex> hold(OutputLock);
  DiscardLocked();
}

void DiscardOutputFileForGood() {
  OutputLock.lock();  // never released: the process is about to end
  DiscardLocked();
}
