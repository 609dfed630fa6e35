#ifndef NARRAVOX_ECI_SAMPLE_QUEUE_H
#define NARRAVOX_ECI_SAMPLE_QUEUE_H

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace eci {

// Bounded single-producer, single-consumer queue of samples between the
// synthesis thread and the thread that delivers buffers to the caller.
class SampleQueue {
public:
    explicit SampleQueue(size_t capacity);

    // Blocks while the queue is full. False once the consumer has aborted.
    bool Push(const int16_t *samples, size_t count);
    // Blocks until samples are there or the producer has closed; returns
    // the number copied, 0 at the end (closed and empty, or aborted).
    size_t Pop(int16_t *out, size_t max);

    void Close();  // producer: no more samples
    void Abort();  // consumer: stop; wakes a blocked producer

private:
    std::mutex mutex_;
    std::condition_variable not_full_;
    std::condition_variable not_empty_;
    std::vector<int16_t> ring_;
    size_t head_ = 0;
    size_t size_ = 0;
    bool closed_ = false;
    bool aborted_ = false;
};

}  // namespace eci

#endif
