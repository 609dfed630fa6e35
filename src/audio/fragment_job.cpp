#include "audio/fragment_job.h"

#include <cstring>

namespace {

// No message comes near this; a longer one is a broken pipe.
constexpr uint32_t kMaxMessage = 64u << 20;

std::string Bytes(uint32_t n) {
  char bytes[4];
  std::memcpy(bytes, &n, 4);
  return std::string(bytes, 4);
}

uint32_t FromBytes(const char* bytes) {
  uint32_t n;
  std::memcpy(&n, bytes, 4);
  return n;
}

}  // namespace

TMessage& TMessage::Add(const std::string& field) {
  fields_.push_back(field);
  return *this;
}

TMessage& TMessage::Add(int32_t number) { return Add(Bytes(static_cast<uint32_t>(number))); }

int32_t TMessage::Number(size_t i) const {
  return fields_[i].size() == 4 ? static_cast<int32_t>(FromBytes(fields_[i].data())) : 0;
}

bool TMessage::Send(platform::PipeHandle pipe) const {
  std::string body;
  for (const std::string& field : fields_) body += Bytes(static_cast<uint32_t>(field.size())) + field;
  std::string frame = Bytes(static_cast<uint32_t>(body.size())) + body;
  return platform::WritePipe(pipe, frame.data(), frame.size());
}

bool TMessage::Receive(platform::PipeHandle pipe) {
  fields_.clear();
  char header[4];
  if (!platform::ReadPipe(pipe, header, 4)) return false;
  uint32_t size = FromBytes(header);
  if (size > kMaxMessage) return false;
  std::string body(size, '\0');
  if (size > 0 && !platform::ReadPipe(pipe, &body[0], size)) return false;
  for (size_t at = 0; at < body.size();) {
    if (body.size() - at < 4) return false;
    uint32_t n = FromBytes(body.data() + at);
    at += 4;
    if (n > body.size() - at) return false;
    fields_.push_back(body.substr(at, n));
    at += n;
  }
  return true;
}

TMessage JobMessage(const TFragmentJob& job) {
  TMessage message;
  message.Add(job.number).Add(job.path).Add(job.id3v2).Add(job.id3v1);
  for (const TSpeechPart& part : job.parts)
    message.Add(part.annotated ? "A" : "T").Add(part.text);
  return message;
}

bool ReadJobMessage(const TMessage& message, TFragmentJob* job) {
  if (message.size() < 4 || message.size() % 2 != 0) return false;
  job->number = message.Number(0);
  job->path = message.Text(1);
  job->id3v2 = message.Text(2);
  job->id3v1 = message.Text(3);
  if (!job->id3v1.empty() && job->id3v1.size() != 128) return false;
  job->parts.clear();
  for (size_t i = 4; i < message.size(); i += 2)
    job->parts.push_back({message.Text(i) == "A", message.Text(i + 1)});
  return true;
}
