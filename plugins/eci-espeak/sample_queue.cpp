#include "sample_queue.h"

#include <linux/futex.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>

namespace eci {

// The part of the shared memory before the ring. Each side advances only
// its own count and copies outside any lock; a side that finds nothing to
// do sleeps on its futex word, which the other side bumps.
struct SampleQueue::Shared {
  std::atomic<uint64_t> pushed;  // samples ever pushed
  std::atomic<uint64_t> popped;  // samples ever popped
  std::atomic<uint32_t> state;   // kClosed, kAborted
  std::atomic<uint32_t> data;    // bumped for the consumer
  std::atomic<uint32_t> room;    // bumped for the producer
  std::atomic<uint32_t> consumer_sleeps;
  std::atomic<uint32_t> producer_sleeps;
  std::atomic<uint64_t> consumer_wants;  // samples the sleeping consumer waits for
  uint64_t capacity;
};

namespace {

const uint32_t kClosed = 1;
const uint32_t kAborted = 2;

static_assert(std::atomic<uint32_t>::is_always_lock_free &&
                  std::atomic<uint64_t>::is_always_lock_free,
              "the queue's counters are shared between processes");

// Sleeps while *word still holds seen (futexes shared between processes).
void Sleep(std::atomic<uint32_t>& word, uint32_t seen) {
  syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAIT, seen, nullptr, nullptr, 0);
}

// Bumps the word and wakes the other side if it sleeps on it (and,
// unless `worth` is false, its wait is over).
void Wake(std::atomic<uint32_t>& word, std::atomic<uint32_t>& sleeps, bool worth = true) {
  word.fetch_add(1);
  if (sleeps.load() && worth)
    syscall(SYS_futex, reinterpret_cast<uint32_t*>(&word), FUTEX_WAKE, 1, nullptr, nullptr, 0);
}

// Sleeps on word until ready() holds, checking again after announcing the
// sleep, so that a bump in between is not missed.
template <typename Ready>
void SleepUntil(std::atomic<uint32_t>& word, std::atomic<uint32_t>& sleeps, Ready ready) {
  while (!ready()) {
    const uint32_t seen = word.load();
    sleeps.store(1);
    if (!ready()) Sleep(word, seen);
    sleeps.store(0);
  }
}

// Memory of a retired queue, kept for the next one: setting up and
// tearing down the shared memory of every synthesis would cost more than
// the synthesis of a short text.
struct Kept {
  int fd = -1;
  void* memory = nullptr;
  size_t size = 0;
};
std::mutex g_kept_mutex;
Kept g_kept;

void Unmap(const Kept& kept) {
  if (kept.memory) munmap(kept.memory, kept.size);
  if (kept.fd >= 0) close(kept.fd);
}

// A forked child of the program must not share the kept memory with it.
void ForgetKeptInChild() {
  new (&g_kept_mutex) std::mutex();
  Unmap(g_kept);
  g_kept = Kept();
}

struct ForkHandler {
  ForkHandler() { pthread_atfork(nullptr, nullptr, ForgetKeptInChild); }
} g_fork_handler;

}  // namespace

size_t SampleQueue::RingOffset() { return (sizeof(Shared) + 63) / 64 * 64; }

SampleQueue::SampleQueue(size_t capacity) {
  capacity = std::max<size_t>(capacity, 1);
  const size_t size = RingOffset() + capacity * sizeof(int16_t);
  Kept kept;
  {
    std::lock_guard<std::mutex> lock(g_kept_mutex);
    std::swap(kept, g_kept);
  }
  if (kept.memory && kept.size >= size) {
    fd_ = kept.fd;
    map_size_ = kept.size;
    shared_ = static_cast<Shared*>(kept.memory);
    ring_ = reinterpret_cast<int16_t*>(static_cast<char*>(kept.memory) + RingOffset());
  } else {
    Unmap(kept);
    int fd = memfd_create("eci-samples", MFD_CLOEXEC);
    if (fd < 0) return;
    if (ftruncate(fd, static_cast<off_t>(size)) != 0 || !Map(fd)) {
      close(fd);
      return;
    }
  }
  owner_ = true;
  new (shared_) Shared();
  shared_->capacity = capacity_ = capacity;
}

std::unique_ptr<SampleQueue> SampleQueue::Attach(int fd) {
  std::unique_ptr<SampleQueue> queue(new SampleQueue());
  if (!queue->Map(fd)) return nullptr;
  queue->capacity_ = queue->shared_->capacity;
  const size_t ring_bytes = queue->map_size_ - RingOffset();
  if (queue->capacity_ == 0 || queue->capacity_ > ring_bytes / sizeof(int16_t)) return nullptr;
  return queue;
}

bool SampleQueue::Map(int fd) {
  struct stat st;
  if (fstat(fd, &st) != 0 || static_cast<size_t>(st.st_size) <= RingOffset()) return false;
  // Mapped whole at once: one call instead of a page fault per page.
  void* memory = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ | PROT_WRITE,
                      MAP_SHARED | MAP_POPULATE, fd, 0);
  if (memory == MAP_FAILED) return false;
  fd_ = fd;
  map_size_ = static_cast<size_t>(st.st_size);
  shared_ = static_cast<Shared*>(memory);
  ring_ = reinterpret_cast<int16_t*>(static_cast<char*>(memory) + RingOffset());
  return true;
}

SampleQueue::~SampleQueue() {
  if (!shared_) return;
  munmap(shared_, map_size_);
  if (owner_) close(fd_);
}

void SampleQueue::Retire() {
  if (!owner_ || !shared_) return;
  Kept kept{fd_, shared_, map_size_};
  {
    std::lock_guard<std::mutex> lock(g_kept_mutex);
    std::swap(kept, g_kept);
  }
  Unmap(kept);
  shared_ = nullptr;
  ring_ = nullptr;
}

bool SampleQueue::Aborted() const { return !shared_ || (shared_->state.load() & kAborted); }

bool SampleQueue::Push(const int16_t* samples, size_t count) {
  if (!shared_) return false;
  Shared& q = *shared_;
  uint64_t pushed = q.pushed.load();
  while (count > 0) {
    SleepUntil(q.room, q.producer_sleeps,
               [&] { return (q.state.load() & kAborted) || pushed - q.popped.load() < capacity_; });
    if (q.state.load() & kAborted) return false;
    size_t n = std::min<size_t>(count, capacity_ - (pushed - q.popped.load()));
    size_t tail = static_cast<size_t>(pushed % capacity_);
    size_t first = std::min(n, capacity_ - tail);
    std::copy(samples, samples + first, ring_ + tail);
    std::copy(samples + first, samples + n, ring_);
    pushed += n;
    q.pushed.store(pushed);
    Wake(q.data, q.consumer_sleeps, pushed - q.popped.load() >= q.consumer_wants.load());
    samples += n;
    count -= n;
  }
  return !(q.state.load() & kAborted);
}

size_t SampleQueue::Pop(int16_t* out, size_t max) {
  if (!shared_) return 0;
  Shared& q = *shared_;
  const uint64_t popped = q.popped.load();
  // Waits for a good share of what it can take, not for every push: fewer
  // wake-ups. Closed is set after the last push, so the count read after
  // it is final.
  const uint64_t wants = std::max<uint64_t>(1, std::min<uint64_t>(max, capacity_ / 2));
  q.consumer_wants.store(wants);
  SleepUntil(q.data, q.consumer_sleeps,
             [&] { return q.state.load() != 0 || q.pushed.load() - popped >= wants; });
  if (q.state.load() & kAborted) return 0;
  size_t n = std::min<size_t>(max, q.pushed.load() - popped);
  size_t head = static_cast<size_t>(popped % capacity_);
  size_t first = std::min(n, capacity_ - head);
  std::copy(ring_ + head, ring_ + head + first, out);
  std::copy(ring_, ring_ + (n - first), out + first);
  q.popped.store(popped + n);
  Wake(q.room, q.producer_sleeps);
  return n;
}

void SampleQueue::Close() {
  if (!shared_) return;
  shared_->state.fetch_or(kClosed);
  Wake(shared_->data, shared_->consumer_sleeps);
}

void SampleQueue::Abort() {
  if (!shared_) return;
  shared_->state.fetch_or(kAborted);
  Wake(shared_->room, shared_->producer_sleeps);
  Wake(shared_->data, shared_->consumer_sleeps);
}

}  // namespace eci
