#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

namespace platform::windows {

// A thread of the multi-threaded apartment that makes COM calls for threads
// that must not make them themselves. The window thread is a single-threaded
// apartment: while it waits there for another process's object (the
// management service), COM handles its window messages, so events would run
// inside the call. Objects made here are used and released here only.
class ComThread {
 public:
  ComThread();
  ~ComThread();  // after the work in hand; joins the thread
  ComThread(const ComThread&) = delete;
  ComThread& operator=(const ComThread&) = delete;

  // Runs `work` on the thread and waits for it; what it throws is thrown
  // here. Called on the thread itself, runs it at once.
  void run(const std::function<void()>& work);

 private:
  void loop();

  std::mutex calls_;  // one caller at a time
  std::mutex mutex_;
  std::condition_variable changed_;
  const std::function<void()>* work_ = nullptr;
  std::exception_ptr error_;
  bool done_ = false;
  bool stop_ = false;
  std::thread thread_;
};

}  // namespace platform::windows
