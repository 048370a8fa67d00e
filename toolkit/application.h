#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "basics/error.h"
#include "toolkit/backend.h"

namespace toolkit {

// The program-wide services beside the windows: the title, the message box, the
// top-level error report and background work. One object per program run.
class Application {
 public:
  Application(Backend& backend, std::string title);
  ~Application();  // stop()

  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::string& title() const { return title_; }
  Backend& backend() { return backend_; }

  // Modal box with a stop icon, one OK button and the application title.
  void messageBox(const std::string& text);
  int messageBoxCount() const { return messageBoxes_; }
  // A message box that reports `error`, which is kept as the last error
  // reported: whoever prints the windows' results can say what failed.
  void errorBox(const basics::Error& error, const std::string& text);
  int errorBoxCount() const { return errorBoxes_; }
  const std::optional<basics::Error>& lastError() const { return lastError_; }

  // Runs an event handler; an error that escapes it is reported once and the
  // program goes on.
  void runEvent(const std::function<void()>& handler);
  void reportUnhandled(const basics::Error& error);

  // Runs `work` on a thread of its own. The stop token is set when the caller
  // loses interest (see Form::runInBackground) or the application stops. An
  // exception that escapes `work` is raised again on the UI thread, inside
  // runEvent, unless the work was asked to stop by then.
  void startBackground(std::function<void(std::stop_token)> work, std::stop_token owner);

  // Asks every background task to stop and waits until each has returned; no
  // new task starts after it. The program calls it before anything a task may
  // reach (the services, the windows' data) goes away.
  void stop();

  void post(std::function<void()> task) { backend_.post(std::move(task)); }

 private:
  struct Task {
    std::jthread thread;
    std::shared_ptr<std::atomic<bool>> done;
  };
  void reapFinished();
  void raiseOnUiThread(std::exception_ptr error);

  Backend& backend_;
  std::string title_;
  int messageBoxes_ = 0;
  int errorBoxes_ = 0;
  std::optional<basics::Error> lastError_;
  std::mutex tasksMutex_;
  std::vector<Task> tasks_;
  bool stopped_ = false;
  // Tasks posted from background threads check it: a task may still sit in the
  // backend's queue when this object is gone.
  std::shared_ptr<const bool> lifetime_ = std::make_shared<const bool>(true);
};

}  // namespace toolkit
