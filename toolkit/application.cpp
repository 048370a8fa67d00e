#include "toolkit/application.h"

#include <exception>

namespace toolkit {

Application::Application(Backend& backend, std::string title)
    : backend_(backend), title_(std::move(title)) {}

Application::~Application() {
  std::vector<Task> tasks;
  {
    std::lock_guard lock(tasksMutex_);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task.thread.request_stop();
  // jthread joins on destruction.
}

void Application::messageBox(const std::string& text) {
  ++messageBoxes_;
  backend_.messageBox(title_, text);
}

void Application::reportUnhandled(const Error& error) {
  ++unhandled_;
  messageBox(unhandledErrorText(error));
}

void Application::runEvent(const std::function<void()>& handler) {
  try {
    handler();
  } catch (const Error& error) {
    reportUnhandled(error);
  } catch (const std::exception& e) {
    // Not one of ours (out of memory, a library's own exception): report it the
    // same way rather than ending the program.
    reportUnhandled(Error(51, "Tarnwick", std::string("Internal error: ") + e.what()));
  }
}

void Application::reapFinished() {
  std::lock_guard lock(tasksMutex_);
  std::erase_if(tasks_, [](Task& t) { return t.done->load(); });  // joins finished threads
}

void Application::startBackground(std::function<void(std::stop_token)> work,
                                  std::stop_token owner) {
  reapFinished();
  auto done = std::make_shared<std::atomic<bool>>(false);
  std::jthread thread([work = std::move(work), owner, done](std::stop_token own) {
    // Stop when either the application ends or the owner loses interest.
    std::stop_source combined;
    std::stop_callback a(own, [&] { combined.request_stop(); });
    std::stop_callback b(owner, [&] { combined.request_stop(); });
    work(combined.get_token());
    done->store(true);
  });
  std::lock_guard lock(tasksMutex_);
  tasks_.push_back(Task{std::move(thread), std::move(done)});
}

}  // namespace toolkit
