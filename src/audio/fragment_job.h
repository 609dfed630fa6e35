// One MP3 file's work as a worker process takes it: what to speak, where
// the file goes, its tags; and the messages that carry jobs and results
// between the processes.
#pragma once

#include <cstdint>
#include <climits>
#include <string>
#include <vector>

#include "audio/eci_engine.h"
#include "platform/worker_process.h"

struct TFragmentJob {
  // The job's number in the run, above 0, growing in the order in which
  // jobs are handed out (files of several texts may be in progress).
  int32_t number = 0;
  std::string path;          // the finished file's name
  std::vector<TSpeechPart> parts;
  std::string id3v2;         // written before the audio, when not empty
  std::string id3v1;         // 128 bytes appended after the audio, or empty
};

// A message: fields, each a length and its bytes, behind the total length.
class TMessage {
 public:
  TMessage& Add(const std::string& field);
  TMessage& Add(int32_t number);
  bool Send(platform::PipeHandle pipe) const;
  // Reads the next message; false at the end of the pipe or on a bad one.
  bool Receive(platform::PipeHandle pipe);

  size_t size() const { return fields_.size(); }
  const std::string& Text(size_t i) const { return fields_[i]; }
  int32_t Number(size_t i) const;

 private:
  std::vector<std::string> fields_;
};

TMessage JobMessage(const TFragmentJob& job);
// A count of samples as a message carries it.
inline int32_t SampleCount(int64_t samples) {
  return samples > INT32_MAX ? INT32_MAX : static_cast<int32_t>(samples);
}
// False for a message that is no job.
bool ReadJobMessage(const TMessage& message, TFragmentJob* job);
