// The fragment buffer: sized once per run, grown in 4096-byte steps.
#include "engine/fragment_buffer.h"

#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

#include "base/errors.h"
#include "base/messages.h"

namespace {

constexpr int64_t kGrowthStep = 4096;
// The fill limit stays below this so that limit + 1 fits a signed 32-bit size.
constexpr int64_t kLargestLimit = std::numeric_limits<int32_t>::max() - 1;

// Gives data room for limit bytes and the terminating NUL, exactly that much.
void Reserve(std::vector<char>& data, int64_t limit, int code) {
  if (limit > kLargestLimit) RaiseOutOfMemory(code, limit);
  try {
    data.reserve(static_cast<size_t>(limit) + 1);
    data.resize(static_cast<size_t>(limit) + 1);
  } catch (const std::bad_alloc&) {
    RaiseOutOfMemory(code, limit);
  } catch (const std::length_error&) {
    RaiseOutOfMemory(code, limit);
  }
}

}  // namespace

TFragmentBuffer::TFragmentBuffer(int32_t fragmentSize) {
  // A fragment size below 1 would size the buffer at or below the slack alone.
  int64_t size = fragmentSize < 1 ? 1 : fragmentSize;
  int64_t limit = size + 1023;
  Reserve(data_, limit, 10);
  limit_ = static_cast<int32_t>(limit);
}

void TFragmentBuffer::AppendBytes(const char* bytes, int32_t n) {
  if (n <= 0) return;
  int64_t needed = static_cast<int64_t>(length_) + n;
  if (needed > limit_) {
    int64_t steps = (needed - limit_ + kGrowthStep - 1) / kGrowthStep;
    int64_t limit = limit_ + steps * kGrowthStep;
    Reserve(data_, limit, 11);
    limit_ = static_cast<int32_t>(limit);
  }
  std::memcpy(data_.data() + length_, bytes, static_cast<size_t>(n));
  length_ += n;
  lastAppended_ = static_cast<uint8_t>(bytes[n - 1]);
}

void TFragmentBuffer::DropLast() {
  if (length_ == 0) return;
  --length_;
  while (!breaks_.empty() && breaks_.back() > length_) breaks_.pop_back();
  lastAppended_ = length_ > 0 ? static_cast<uint8_t>(data_[static_cast<size_t>(length_) - 1]) : 0;
}

void TFragmentBuffer::MarkParagraphBreak() {
  if (lastAppended_ != '\n') return;
  if (!breaks_.empty() && breaks_.back() == length_) return;
  breaks_.push_back(length_);
}

void TFragmentBuffer::Clear() {
  length_ = 0;
  lastAppended_ = 0;
  breaks_.clear();
}
