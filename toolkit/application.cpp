#include "toolkit/application.h"
#include "basics/error_source.h"

#include <exception>

namespace toolkit {

Application::Application(Backend& backend, std::string title)
    : backend_(backend), title_(std::move(title)) {}

Application::~Application() {
  stop();
}

void Application::stop() {
  std::vector<Task> tasks;
  {
    std::lock_guard lock(tasksMutex_);
    stopped_ = true;
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task.thread.request_stop();
  for (auto& task : tasks) task.thread.join();
}

void Application::messageBox(const std::string& text) {
  ++messageBoxes_;
  backend_.messageBox(title_, text);
}

void Application::errorBox(const basics::Error& error, const std::string& text) {
  ++errorBoxes_;
  lastError_ = error;
  messageBox(text);
}

void Application::reportUnhandled(const basics::Error& error) {
  errorBox(error, basics::unhandledErrorText(error));
}

void Application::runEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const basics::Error& error) {
    reportUnhandled(error);
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, a library's own exception, a mistake in
    // the program itself): report it the same way rather than ending the program.
    reportUnhandled(
        basics::Error(51, basics::kErrorSource, std::string("Internal error: ") + e.what()));
  } catch (...) {
    reportUnhandled(basics::Error(51, basics::kErrorSource, "Internal error"));
  }
}

void Application::raiseOnUiThread(std::exception_ptr error) {
  std::weak_ptr<const bool> alive = lifetime_;
  backend_.post([this, alive, error] {
    if (!alive.lock()) return;
    runEvent([&] { std::rethrow_exception(error); });
  });
}

void Application::reapFinished() {
  std::lock_guard lock(tasksMutex_);
  std::erase_if(tasks_, [](Task& t) { return t.done->load(); });  // joins finished threads
}

void Application::startBackground(std::function<void(std::stop_token)> work,
                                  std::stop_token owner) {
  reapFinished();
  std::lock_guard lock(tasksMutex_);
  if (stopped_) return;
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::jthread thread([this, work = std::move(work), owner, done](std::stop_token own) {
    // Stop when either the application stops or the owner loses interest.
    std::stop_source combined;
    std::stop_callback a(own, [&] { combined.request_stop(); });
    std::stop_callback b(owner, [&] { combined.request_stop(); });
    try {
      work(combined.get_token());
    } catch (...) {
      // An escaping error would end the program; the UI thread reports it as it
      // reports any error an event lets escape. Nobody waits for abandoned work.
      if (!combined.stop_requested()) raiseOnUiThread(std::current_exception());
    }
    done->store(true);
  });
  tasks_.push_back(Task{std::move(thread), std::move(done)});
}

}  // namespace toolkit
