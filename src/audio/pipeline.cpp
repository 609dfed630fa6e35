#include "audio/pipeline.h"

#include <new>
#include <system_error>

#include "base/durations.h"
#include "base/errors.h"
#include "base/messages.h"
#include "base/settings.h"
#include "platform/console.h"
#include "platform/platform.h"

namespace {

bool IsError(TPipelineState state) {
  return state == TPipelineState::OutOfMemory || state == TPipelineState::EncoderFailed ||
         state == TPipelineState::WriteFailed;
}

// Never trust a count beyond the buffer the engine was given.
int32_t Clamped(int32_t samples, int32_t capacity) {
  return samples < 0 ? 0 : samples > capacity ? capacity : samples;
}

}  // namespace

void TPipeline::TBufferReady::Signal() {
  TMutexLock hold(&lock_);
  signalled_ = true;
  wake_.Signal();
}

bool TPipeline::TBufferReady::Wait() {
  TMutexLock hold(&lock_);
  while (!signalled_ && !stopping_) wake_.Wait(lock_);
  if (stopping_) return false;
  signalled_ = false;
  return true;
}

void TPipeline::TBufferReady::Stop() {
  TMutexLock hold(&lock_);
  stopping_ = true;
  wake_.Signal();
}

void TPipeline::TBufferReady::Reset() {
  TMutexLock hold(&lock_);
  stopping_ = signalled_ = false;
}

TPipeline::TPipeline(TEncoderBinding& encoder)
    : encoder_(encoder), upsampling_(EncoderRates().pipelineUpsamples) {}

TPipeline::~TPipeline() { StopEncoderThread(); }

void TPipeline::SetState(TPipelineState state, int32_t detail) {
  state_ = state;
  errorDetail_ = detail;
  stateChanged_.SignalAll();
}

void TPipeline::SetStateUnlocked(TPipelineState state, int32_t detail) {
  TMutexLock hold(&lock_);
  SetState(state, detail);
}

TPipelineState TPipeline::State() const {
  TMutexLock hold(&lock_);
  return state_;
}

void TPipeline::Connect(TEngineBinding& engine) {
  uint32_t chunk = 0, minOutput = 0;
  OpenStream(&chunk, &minOutput);
  AllocateBuffers(static_cast<int32_t>(chunk), static_cast<int32_t>(minOutput));
  engine.Connect(Callback, this, capacity_, BufferData());
}

void TPipeline::AllocateBuffers(int32_t chunkSamples, int32_t minOutput) {
  // An encoder that reports sizes no buffer can be made of is refused as
  // one that rejects its parameters.
  if (chunkSamples < 1 || chunkSamples > Settings.SAMPLE * 30 || minOutput < 1 ||
      minOutput > (1 << 24))
    CheckEncoder(BE_ERR_INVALID_FORMAT_PARAMETERS);
  chunkSamples_ = chunkSamples;
  minOutput_ = minOutput;
  int32_t chunksPerBuffer = Settings.SAMPLE * 30 / chunkSamples_;
  capacity_ = chunkSamples_ * chunksPerBuffer;
  mp3Growth_ = 4 * minOutput_;
  // The first chunk and the final flush need minOutput_ bytes of room.
  int32_t mp3Size = capacity_ / 2 > minOutput_ ? capacity_ / 2 : minOutput_;
  try {
    mp3_.assign(static_cast<size_t>(mp3Size), 0);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(30, mp3Size);
  }
  mp3Limit_ = mp3Size - minOutput_;
  try {
    speech_.assign(static_cast<size_t>(capacity_), 0);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(20, capacity_ * 2);
  }
  if (upsampling_) {
    try {
      upsample_.assign(static_cast<size_t>(capacity_) * 4, 0);
    } catch (const std::bad_alloc&) {
      RaiseOutOfMemory(40, capacity_ * 8);
    }
  }
}

bool TPipeline::StartEncoderThread() {
  bufferReady_.Reset();
  try {
    encoderThread_ = std::thread(&TPipeline::EncoderThreadBody, this);
  } catch (const std::system_error& error) {
    platform::SetLastErrorCode(error.code().value());
    return false;
  }
  return true;
}

void TPipeline::StopEncoderThread() {
  if (!encoderThread_.joinable()) return;
  bufferReady_.Stop();
  encoderThread_.join();
}

void TPipeline::EncoderThreadBody() {
  while (bufferReady_.Wait()) EncodeBuffer();
}

// Encodes one handed-over buffer and writes its bytes.
void TPipeline::EncodeBuffer() {
  int32_t count;
  {
    TMutexLock hold(&lock_);
    count = bufferSamples_;
  }
  const int16_t* input = speech_.data();
  if (upsampling_) {
    lastSample_ = Upsample4x(lastSample_, speech_.data(), upsample_.data(), count);
    input = upsample_.data();
    count *= 4;
  }
  uint8_t* output = mp3_.data();
  int32_t total = 0;
  for (;;) {
    int32_t n = count < chunkSamples_ ? count : chunkSamples_;
    count -= n;
    uint32_t produced = 0;
    uint32_t result = encoder_.EncodeChunk(static_cast<uint32_t>(n), input, output, &produced);
    if (result != 0) {
      SetStateUnlocked(TPipelineState::EncoderFailed, static_cast<int32_t>(result));
      return;
    }
    total += static_cast<int32_t>(produced);
    if (count == 0) break;
    input += n;
    if (total <= mp3Limit_) {
      output += produced;
      continue;
    }
    int32_t newSize = static_cast<int32_t>(mp3_.size()) + mp3Growth_;
    try {
      mp3_.resize(static_cast<size_t>(newSize));
    } catch (const std::bad_alloc&) {
      SetStateUnlocked(TPipelineState::OutOfMemory, newSize);
      return;
    }
    output = mp3_.data() + total;
    mp3Limit_ = newSize - minOutput_;
  }
  SetStateUnlocked(TPipelineState::Writing);
  int32_t error = 0;
  if (output_.Write(mp3_.data(), static_cast<size_t>(total), &error)) {
    TMutexLock hold(&lock_);
    SetState(stateAfterWrite_);
  } else {
    SetStateUnlocked(TPipelineState::WriteFailed, error);
  }
}

int32_t ECI_CALL TPipeline::Callback(ECIHand, int32_t message, int32_t parameter,
                                     void* pipeline) {
  return static_cast<TPipeline*>(pipeline)->TakeBuffer(message, parameter);
}

int32_t TPipeline::TakeBuffer(int32_t message, int32_t parameter) {
  if (message != ECI_MSG_WAVEFORM_BUFFER) return ECI_DATA_PROCESSED;
  if (TSampleSink sink = sink_.load()) {
    sink(speech_.data(), Clamped(parameter, capacity_), sinkContext_.load());
    return ECI_DATA_PROCESSED;
  }
  int32_t answer;
  {
    TMutexLock hold(&lock_);
    switch (state_) {
      case TPipelineState::Idle:
        SetState(TPipelineState::Encoding);
        stateAfterWrite_ = TPipelineState::WrittenEngineNotTold;
        bufferSamples_ = Clamped(parameter, capacity_);
        bufferReady_.Signal();
        answer = ECI_DATA_NOT_PROCESSED;
        break;
      case TPipelineState::Writing:
        SetState(TPipelineState::WritingEngineTold);
        stateAfterWrite_ = TPipelineState::Idle;
        answer = ECI_DATA_PROCESSED;
        break;
      case TPipelineState::WrittenEngineNotTold:
        SetState(TPipelineState::Idle);
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
  if (!quiet_ && answer == ECI_DATA_PROCESSED) {
    speechProgress_ += parameter;
    if (Settings.VERBOSITA == 3) ShowSpeechProgress(parameter);
  }
  return answer;
}

// The running count of the speech made for the file. On POSIX it is in
// words: refreshed in place on a terminal, and a line of its own for every
// minute of audio in a log, where a carriage return would run the
// counts together.
void TPipeline::ShowSpeechProgress(int32_t samples) {
  if (!platform::kUnixConventions) {
    platform::ConsoleWrite(std::to_string(speechProgress_ / 512) + "k\r");
    return;
  }
  const int64_t step = static_cast<int64_t>(Settings.SAMPLE) * 60;
  const bool terminal = platform::OutputIsTerminal();
  if (!terminal && speechProgress_ / step == (speechProgress_ - samples) / step) return;
  const int64_t ms = (terminal ? speechProgress_ : speechProgress_ / step * step) * 1000 /
                     Settings.SAMPLE;
  platform::ConsoleWriteInPlace(FormatText(msg::kSpeechSoFar, {DurationInWords(ms)}));
}

void TPipeline::DivertSamples(TSampleSink sink, void* context) {
  sinkContext_ = context;
  sink_ = sink;
}

void TPipeline::UseStream() {
  if (!encoder_.StreamOpen()) OpenStream();
}

void TPipeline::UseFreshStream() {
  CloseStream();
  OpenStream();
}

void TPipeline::OpenStream(uint32_t* chunkSamples, uint32_t* minOutput) {
  encoder_.OpenStream(chunkSamples, minOutput);
  // Every file's upsampling starts from silence, as a player starts it: a
  // file depends on no other, so that "/R" makes it again the same.
  lastSample_ = 0;
}

void TPipeline::CloseStream() { encoder_.CloseStream(); }

void TPipeline::FinishMp3File(const uint8_t* tag) {
  // The last buffer's write may still be running; it takes a few
  // milliseconds. WrittenEngineNotTold means the thread is done and only
  // the engine's final acknowledgement is missing, which no callback will
  // bring now.
  {
    TMutexLock hold(&lock_);
    while (!IsError(state_) && state_ != TPipelineState::Idle &&
           state_ != TPipelineState::WrittenEngineNotTold)
      stateChanged_.Wait(lock_);
    if (state_ == TPipelineState::WrittenEngineNotTold) SetState(TPipelineState::Idle);
  }
  if (IsError(State())) {
    CloseStream();
    return;
  }
  uint32_t bytes = 0;
  if (BE_ERR flushed = encoder_.Flush(mp3_.data(), &bytes)) {
    CloseStream();
    CheckEncoder(flushed);
  }
  if (bytes != 0 && !output_.Write(mp3_.data(), bytes))
    SetStateUnlocked(TPipelineState::WriteFailed);
  if (State() == TPipelineState::Idle && tag && !output_.Write(tag, 128))
    SetStateUnlocked(TPipelineState::WriteFailed);
  CloseStream();
}

void TPipeline::CheckError() const {
  TPipelineState state;
  int32_t detail;
  {
    TMutexLock hold(&lock_);
    state = state_;
    detail = errorDetail_;
  }
  switch (state) {
    case TPipelineState::OutOfMemory:
      RaiseOutOfMemory(31, detail);
    case TPipelineState::EncoderFailed:
      CheckEncoder(static_cast<uint32_t>(detail));
      RaiseError(FormatText(msg::kEncoderError, {std::to_string(detail)}));
    case TPipelineState::WriteFailed:
      RaiseErrorWithCode(msg::kWriteError, output_.Path(), detail);
    default:
      break;
  }
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
