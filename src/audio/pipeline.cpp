#include "audio/pipeline.h"

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

bool Upsampling = false;
int16_t LastSample = 0;
std::atomic<int32_t> PipelineState{0};
std::atomic<int32_t> PipelineError{0};
std::string OutputFileName;
int32_t SpeechProgress = 0;
bool SuppressProgress = false;

int32_t ChunkSamples = 0;
int32_t EncoderMinOutput = 0;
int32_t ChunksPerBuffer = 0;
int32_t BufferCapacity = 0;
int16_t* SpeechBuffer = nullptr;

namespace {

std::vector<int16_t> SpeechStorage;
std::vector<int16_t> UpsampleBuffer;
std::vector<uint8_t> Mp3Buffer;
int32_t Mp3BufferGrowth = 0;
int32_t Mp3BufferLimit = 0;

std::atomic<TSampleSink> Sink{nullptr};
void* SinkContext = nullptr;

int32_t StateAfterWrite = 0;
int32_t BufferSamples = 0;
std::mutex PipelineLock;

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
  const int16_t* input = SpeechBuffer;
  int32_t count = BufferSamples;
  if (Upsampling) {
    Upsample4x(SpeechBuffer, UpsampleBuffer.data(), count);
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
    PipelineError = static_cast<int32_t>(result);
    if (result != 0) {
      SetPipelineState(-2);
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
      SetPipelineState(-1);
      PipelineError = newSize;
      return;
    }
    output = Mp3Buffer.data() + total;
    Mp3BufferLimit = newSize - EncoderMinOutput;
  }
  SetPipelineState(2);
  int32_t error = 0;
  if (WriteOutput(Mp3Buffer.data(), static_cast<size_t>(total), &error)) {
    std::lock_guard<std::mutex> hold(PipelineLock);
    PipelineState = StateAfterWrite;
  } else {
    PipelineError = error;
    SetPipelineState(-3);
  }
}

void EncoderThreadBody() {
  while (BufferReady.Wait()) EncodeBuffer();
}

}  // namespace

void SetPipelineState(int32_t state) {
  std::lock_guard<std::mutex> hold(PipelineLock);
  PipelineState = state;
}

void AllocatePipelineBuffers(int32_t chunkSamples, int32_t minOutput) {
  // An encoder that reports sizes no buffer can be made of is refused as
  // one that rejects its parameters.
  if (chunkSamples < 1 || chunkSamples > Settings.SAMPLE * 30 || minOutput < 1 ||
      minOutput > (1 << 24))
    CheckEncoder(BE_ERR_INVALID_FORMAT_PARAMETERS);
  ChunkSamples = chunkSamples;
  EncoderMinOutput = minOutput;
  ChunksPerBuffer = Settings.SAMPLE * 30 / ChunkSamples;
  BufferCapacity = ChunkSamples * ChunksPerBuffer;
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
    SpeechStorage.assign(static_cast<size_t>(BufferCapacity), 0);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(20, BufferCapacity * 2);
  }
  SpeechBuffer = SpeechStorage.data();
  if (Upsampling) {
    try {
      UpsampleBuffer.assign(static_cast<size_t>(BufferCapacity) * 4, 0);
    } catch (const std::bad_alloc&) {
      RaiseOutOfMemory(40, BufferCapacity * 8);
    }
  }
}

void FreePipelineBuffers() {
  std::vector<int16_t>().swap(SpeechStorage);
  std::vector<int16_t>().swap(UpsampleBuffer);
  std::vector<uint8_t>().swap(Mp3Buffer);
  SpeechBuffer = nullptr;
}

int32_t ECI_CALL SpeechCallback(ECIHand, int32_t message, int32_t parameter, void*) {
  if (message != ECI_MSG_WAVEFORM_BUFFER) return ECI_DATA_PROCESSED;
  if (TSampleSink sink = Sink.load()) {
    sink(SpeechBuffer, parameter < 0 ? 0 : parameter > BufferCapacity ? BufferCapacity : parameter,
         SinkContext);
    return ECI_DATA_PROCESSED;
  }
  int32_t answer;
  {
    std::lock_guard<std::mutex> hold(PipelineLock);
    switch (PipelineState.load()) {
      case 0:
        PipelineState = 1;
        StateAfterWrite = 4;
        // Never trust a count beyond the buffer the engine was given.
        BufferSamples = parameter < 0 ? 0 : parameter > BufferCapacity ? BufferCapacity : parameter;
        BufferReady.Signal();
        answer = ECI_DATA_NOT_PROCESSED;
        break;
      case 2:
        PipelineState = 3;
        StateAfterWrite = 0;
        answer = ECI_DATA_PROCESSED;
        break;
      case 4:
        PipelineState = 0;
        answer = ECI_DATA_PROCESSED;
        break;
      case 1:
      case 3:
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

void Upsample4x(const int16_t* source, int16_t* destination, int32_t count) {
  int32_t p = LastSample;
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
  LastSample = static_cast<int16_t>(p);
}

void CreateOutputFile(const std::string& path) {
  std::lock_guard<std::mutex> hold(OutputLock);
  OutputFileName = path;
  OutputFile = platform::CreateFileForWriting(path);
  if (OutputFile == platform::kNoFile) RaiseErrorWithCode(msg::kCannotCreateFile, path, -1);
}

void FinishMp3File(const uint8_t* tag) {
  // The last buffer's write may still be running; it takes a few
  // milliseconds. State 4 means the thread is done and only the engine's
  // final acknowledgement is missing, which no callback will bring now.
  for (int spins = 0;; ++spins) {
    int32_t state = PipelineState;
    if (state < 0) return;
    if (state == 0) break;
    if (state == 4) {
      SetPipelineState(0);
      break;
    }
    if (spins < 1000)
      platform::YieldProcessor();
    else
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  uint32_t bytes = 0;
  CheckEncoder(beDeinitStreamBound(EncoderStream, Mp3Buffer.data(), &bytes));
  if (bytes != 0 && !WriteOutput(Mp3Buffer.data(), bytes)) PipelineState = -3;
  if (PipelineState == 0 && tag && !WriteOutput(tag, 128)) PipelineState = -3;
  CloseEncoderStream();
  std::lock_guard<std::mutex> hold(OutputLock);
  if (OutputFile == platform::kNoFile) return;
  bool closed = platform::CloseFile(OutputFile);
  OutputFile = platform::kNoFile;
  // A file whose flush or tag could not be written, or whose bytes the
  // system lost at closing, is broken: it does not stay.
  if (!closed) PipelineState = -3;
  if (PipelineState < 0) platform::DeleteFile(OutputFileName);
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
  switch (PipelineState.load()) {
    case -1:
      RaiseOutOfMemory(31, PipelineError);
    case -2:
      CheckEncoder(static_cast<uint32_t>(PipelineError.load()));
      RaiseError(FormatText(msg::kEncoderError, {std::to_string(PipelineError.load())}));
    case -3:
      RaiseErrorWithCode(msg::kWriteError, OutputFileName, PipelineError);
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
