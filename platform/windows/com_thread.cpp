#include "platform/windows/com_thread.h"

#include <utility>

namespace platform::windows {

ComThread::ComThread() : thread_([this] { loop(); }) {}

ComThread::~ComThread() {
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

void ComThread::run(const std::function<void()>& work) {
  if (std::this_thread::get_id() == thread_.get_id()) {
    work();
    return;
  }
  std::lock_guard call(calls_);
  std::unique_lock lock(mutex_);
  work_ = &work;
  done_ = false;
  error_ = nullptr;
  changed_.notify_all();
  changed_.wait(lock, [this] { return done_; });
  if (error_) std::rethrow_exception(std::exchange(error_, nullptr));
}

void ComThread::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stop_ || work_ != nullptr; });
    if (!work_) return;  // stopped with nothing in hand
    const std::function<void()>* work = std::exchange(work_, nullptr);
    lock.unlock();
    std::exception_ptr error;
    try {
      (*work)();
    } catch (...) {
      error = std::current_exception();
    }
    lock.lock();
    error_ = error;
    done_ = true;
    changed_.notify_all();
  }
}

}  // namespace platform::windows
