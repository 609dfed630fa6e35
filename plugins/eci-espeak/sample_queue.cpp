#include "sample_queue.h"

#include <errno.h>
#include <pthread.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

namespace eci {

// The part of the shared memory before the ring.
struct SampleQueue::Shared {
    pthread_mutex_t mutex;
    pthread_cond_t not_full;
    pthread_cond_t not_empty;
    size_t capacity;
    size_t head;
    size_t size;
    bool closed;
    bool aborted;
};

namespace {

// Holds the queue's lock; a lock left by a process that died is taken over
// (its samples up to its last whole push are kept).
class Hold {
public:
    explicit Hold(pthread_mutex_t *mutex) : mutex_(mutex) {
        if (pthread_mutex_lock(mutex_) == EOWNERDEAD) pthread_mutex_consistent(mutex_);
    }
    ~Hold() { pthread_mutex_unlock(mutex_); }
    void Wait(pthread_cond_t *cond) {
        if (pthread_cond_wait(cond, mutex_) == EOWNERDEAD) pthread_mutex_consistent(mutex_);
    }

private:
    pthread_mutex_t *mutex_;
};

}  // namespace

SampleQueue::SampleQueue(size_t capacity) {
    capacity = std::max<size_t>(capacity, 1);
    int fd = memfd_create("eci-samples", MFD_CLOEXEC);
    if (fd < 0) return;
    if (ftruncate(fd, static_cast<off_t>(RingOffset() + capacity * sizeof(int16_t))) != 0 ||
        !Map(fd)) {
        close(fd);
        return;
    }
    owner_ = true;
    pthread_mutexattr_t mutex_attr;
    pthread_mutexattr_init(&mutex_attr);
    pthread_mutexattr_setpshared(&mutex_attr, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&mutex_attr, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_init(&shared_->mutex, &mutex_attr);
    pthread_mutexattr_destroy(&mutex_attr);
    pthread_condattr_t cond_attr;
    pthread_condattr_init(&cond_attr);
    pthread_condattr_setpshared(&cond_attr, PTHREAD_PROCESS_SHARED);
    pthread_cond_init(&shared_->not_full, &cond_attr);
    pthread_cond_init(&shared_->not_empty, &cond_attr);
    pthread_condattr_destroy(&cond_attr);
    shared_->capacity = capacity_ = capacity;
    shared_->head = shared_->size = 0;
    shared_->closed = shared_->aborted = false;
}

size_t SampleQueue::RingOffset() { return (sizeof(Shared) + 63) / 64 * 64; }

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
    void *memory = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ | PROT_WRITE,
                        MAP_SHARED | MAP_POPULATE, fd, 0);
    if (memory == MAP_FAILED) return false;
    fd_ = fd;
    map_size_ = static_cast<size_t>(st.st_size);
    shared_ = static_cast<Shared *>(memory);
    ring_ = reinterpret_cast<int16_t *>(static_cast<char *>(memory) + RingOffset());
    return true;
}

SampleQueue::~SampleQueue() {
    if (!shared_) return;
    if (owner_) {
        pthread_cond_destroy(&shared_->not_empty);
        pthread_cond_destroy(&shared_->not_full);
        pthread_mutex_destroy(&shared_->mutex);
        close(fd_);
    }
    munmap(shared_, map_size_);
}

bool SampleQueue::Push(const int16_t *samples, size_t count) {
    if (!shared_) return false;
    Hold hold(&shared_->mutex);
    Shared &q = *shared_;
    while (count > 0) {
        while (!q.aborted && q.size == capacity_) hold.Wait(&q.not_full);
        if (q.aborted) return false;
        size_t n = std::min(count, capacity_ - q.size);
        size_t tail = (q.head + q.size) % capacity_;
        size_t first = std::min(n, capacity_ - tail);
        std::copy(samples, samples + first, ring_ + tail);
        std::copy(samples + first, samples + n, ring_);
        q.size += n;
        samples += n;
        count -= n;
        pthread_cond_signal(&q.not_empty);
    }
    return !q.aborted;
}

size_t SampleQueue::Pop(int16_t *out, size_t max) {
    if (!shared_) return 0;
    Hold hold(&shared_->mutex);
    Shared &q = *shared_;
    while (!q.aborted && !q.closed && q.size == 0) hold.Wait(&q.not_empty);
    if (q.aborted) return 0;
    size_t n = std::min(max, q.size);
    size_t first = std::min(n, capacity_ - q.head);
    std::copy(ring_ + q.head, ring_ + q.head + first, out);
    std::copy(ring_, ring_ + (n - first), out + first);
    q.head = (q.head + n) % capacity_;
    q.size -= n;
    pthread_cond_signal(&q.not_full);
    return n;
}

void SampleQueue::Close() {
    if (!shared_) return;
    Hold hold(&shared_->mutex);
    shared_->closed = true;
    pthread_cond_broadcast(&shared_->not_empty);
}

void SampleQueue::Abort() {
    if (!shared_) return;
    Hold hold(&shared_->mutex);
    shared_->aborted = true;
    pthread_cond_broadcast(&shared_->not_full);
    pthread_cond_broadcast(&shared_->not_empty);
}

}  // namespace eci
