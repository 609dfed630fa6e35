#include "sample_queue.h"

#include <algorithm>

namespace eci {

SampleQueue::SampleQueue(size_t capacity) : ring_(std::max<size_t>(capacity, 1)) {}

bool SampleQueue::Push(const int16_t *samples, size_t count) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (count > 0) {
        not_full_.wait(lock, [this] { return aborted_ || size_ < ring_.size(); });
        if (aborted_) return false;
        size_t n = std::min(count, ring_.size() - size_);
        size_t tail = (head_ + size_) % ring_.size();
        size_t first = std::min(n, ring_.size() - tail);
        std::copy(samples, samples + first, ring_.begin() + tail);
        std::copy(samples + first, samples + n, ring_.begin());
        size_ += n;
        samples += n;
        count -= n;
        not_empty_.notify_one();
    }
    return !aborted_;
}

size_t SampleQueue::Pop(int16_t *out, size_t max) {
    std::unique_lock<std::mutex> lock(mutex_);
    not_empty_.wait(lock, [this] { return aborted_ || closed_ || size_ > 0; });
    if (aborted_) return 0;
    size_t n = std::min(max, size_);
    size_t first = std::min(n, ring_.size() - head_);
    std::copy(ring_.begin() + head_, ring_.begin() + head_ + first, out);
    std::copy(ring_.begin(), ring_.begin() + (n - first), out + first);
    head_ = (head_ + n) % ring_.size();
    size_ -= n;
    not_full_.notify_one();
    return n;
}

void SampleQueue::Close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    not_empty_.notify_all();
}

void SampleQueue::Abort() {
    std::lock_guard<std::mutex> lock(mutex_);
    aborted_ = true;
    not_full_.notify_all();
    not_empty_.notify_all();
}

}  // namespace eci
