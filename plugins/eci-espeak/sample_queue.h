#ifndef NARRAVOX_ECI_SAMPLE_QUEUE_H
#define NARRAVOX_ECI_SAMPLE_QUEUE_H

#include <cstddef>
#include <cstdint>
#include <memory>

namespace eci {

// Bounded single-producer, single-consumer queue of samples between the
// producer (the synthesis process, or the synthesis thread for pauses) and
// the thread that delivers buffers to the caller. It lives in shared memory
// so that the synthesis process writes espeak-ng's samples straight into
// it. It takes no lock, so a producer that dies leaves nothing held.
class SampleQueue {
 public:
  // Creates a queue in new shared memory; check ok() (a queue without
  // memory takes nothing and gives nothing).
  explicit SampleQueue(size_t capacity);
  ~SampleQueue();
  SampleQueue(const SampleQueue&) = delete;
  SampleQueue& operator=(const SampleQueue&) = delete;

  // Maps the queue behind fd, created by another process; nullptr when
  // the memory cannot be mapped.
  static std::unique_ptr<SampleQueue> Attach(int fd);

  bool ok() const { return shared_ != nullptr; }
  // The shared memory, for another process to Attach.
  int fd() const { return fd_; }

  // Blocks while the queue is full. False once the consumer has aborted.
  bool Push(const int16_t* samples, size_t count);
  // Blocks until samples are there or the producer has closed; returns
  // the number copied, 0 at the end (closed and empty, or aborted).
  size_t Pop(int16_t* out, size_t max);

  // Whether the consumer has aborted: the producer may stop.
  bool Aborted() const;

  void Close();  // producer: no more samples
  void Abort();  // consumer: stop; wakes a blocked producer

  // Owner: no other process writes into the queue any more (its last
  // synthesis has replied); its memory is kept for the next queue, and
  // this one takes and gives nothing from now on.
  void Retire();

 private:
  struct Shared;
  SampleQueue() = default;
  static size_t RingOffset();
  bool Map(int fd);

  Shared* shared_ = nullptr;
  int16_t* ring_ = nullptr;
  size_t capacity_ = 0;
  size_t map_size_ = 0;
  int fd_ = -1;
  bool owner_ = false;
};

}  // namespace eci

#endif
