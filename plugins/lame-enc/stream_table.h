// The table of open streams behind the 32-bit handles of the encoder
// interface.  A handle is a number drawn from a counter, never an address,
// and is not handed out again while the counter has not wrapped, so a closed
// handle stays invalid instead of silently naming a newer stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

template <typename Stream>
class StreamTable {
 public:
  explicit StreamTable(std::size_t capacity) : capacity_(capacity) {}

  // Stores the stream and returns its handle, or 0 when the table is full.
  std::uint32_t add(std::shared_ptr<Stream> stream) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (streams_.size() >= capacity_) return 0;
    while (next_ == 0 || streams_.count(next_) != 0) ++next_;
    const std::uint32_t handle = next_++;
    streams_.emplace(handle, std::move(stream));
    return handle;
  }

  // The stream for a handle, or null.  The caller's reference keeps the
  // stream alive even if another thread removes it meanwhile.
  std::shared_ptr<Stream> find(std::uint32_t handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = streams_.find(handle);
    return it == streams_.end() ? nullptr : it->second;
  }

  // Takes the stream out of the table; null if the handle was not in it.
  std::shared_ptr<Stream> remove(std::uint32_t handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = streams_.find(handle);
    if (it == streams_.end()) return nullptr;
    std::shared_ptr<Stream> stream = std::move(it->second);
    streams_.erase(it);
    return stream;
  }

 private:
  mutable std::mutex mutex_;
  std::unordered_map<std::uint32_t, std::shared_ptr<Stream>> streams_;
  std::uint32_t next_ = 1;
  const std::size_t capacity_;
};
