// A mutex, its scoped lock and a condition variable that clang's
// thread-safety analysis understands (std::mutex carries no annotations in
// libstdc++).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

#include "base/thread_annotations.h"

class CAPABILITY("mutex") TMutex {
 public:
  TMutex() = default;
  TMutex(const TMutex&) = delete;
  TMutex& operator=(const TMutex&) = delete;

  void Lock() ACQUIRE() { mutex_.lock(); }
  void Unlock() RELEASE() { mutex_.unlock(); }

 private:
  friend class TCondVar;
  std::mutex mutex_;
};

// Holds mutex from its construction to its end.
class SCOPED_CAPABILITY TMutexLock {
 public:
  explicit TMutexLock(TMutex* mutex) ACQUIRE(mutex) : mutex_(mutex) { mutex_->Lock(); }
  ~TMutexLock() RELEASE() { mutex_->Unlock(); }
  TMutexLock(const TMutexLock&) = delete;
  TMutexLock& operator=(const TMutexLock&) = delete;

 private:
  TMutex* const mutex_;
};

// Waits on the mutex that the caller holds, the same mutex at every wait.
class TCondVar {
 public:
  TCondVar() = default;
  TCondVar(const TCondVar&) = delete;
  TCondVar& operator=(const TCondVar&) = delete;

  // Releases mutex while it waits for a signal; holds it again after. A
  // wait may end without a signal: test the condition in a loop.
  void Wait(TMutex& mutex) REQUIRES(mutex) {
    std::unique_lock<std::mutex> lock(mutex.mutex_, std::adopt_lock);
    wake_.wait(lock);
    lock.release();
  }
  // The same, for at most milliseconds; false when the time ran out.
  bool WaitFor(TMutex& mutex, int milliseconds) REQUIRES(mutex) {
    std::unique_lock<std::mutex> lock(mutex.mutex_, std::adopt_lock);
    bool woken = wake_.wait_for(lock, std::chrono::milliseconds(milliseconds)) ==
                 std::cv_status::no_timeout;
    lock.release();
    return woken;
  }
  void Signal() { wake_.notify_one(); }
  void SignalAll() { wake_.notify_all(); }

 private:
  std::condition_variable wake_;
};
