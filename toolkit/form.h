#pragma once

#include <functional>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <utility>

#include "basics/error.h"
#include "basics/error_source.h"
#include "toolkit/application.h"
#include "toolkit/backend.h"
#include "toolkit/controls.h"
#include "toolkit/layout.h"

namespace toolkit {

// Error number the toolkit raises itself.
constexpr std::int32_t kNotLoaded = 364;

// A window object. It lives in its slot for the whole program; its window and
// controls exist only while it is loaded. A subclass gives the layout and
// handles the events; every event runs on the UI thread to its end.
class Form {
 public:
  explicit Form(Application& app) : app_(app) {}
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  virtual WindowLayout layout() const = 0;

  // Creates the window and its controls, then raises formLoad. When formLoad
  // fails the window is unloaded again and the error goes to the caller.
  void load();
  // Loads first when needed, then makes the window visible and brings it to the front.
  void show();
  // Destroys the window, its controls and timers; pending background results are dropped.
  void unload();
  bool isLoaded() const { return native_ != nullptr; }
  bool isVisible() const { return native_ && native_->isVisible(); }

  Twips innerWidth() const { return window().innerWidth(); }
  Twips innerHeight() const { return window().innerHeight(); }
  Twips left() const { return window().left(); }
  Twips top() const { return window().top(); }
  void setLeft(Twips left) { window().moveTo(left, top()); }
  void setTop(Twips top) { window().moveTo(left(), top); }
  bool minimized() const { return window().minimized(); }
  void setMinimized(bool minimized) { window().setMinimized(minimized); }
  std::string caption() const { return window().caption(); }

  Control& control(std::string_view name, int index = -1);
  template <class T>
  T& controlAs(std::string_view name, int index = -1) {
    if (auto* typed = dynamic_cast<T*>(&control(name, index))) return *typed;
    throw basics::LayoutError("Control '" + std::string(name) + "' is not of the kind asked for");
  }
  TextBox& textBox(std::string_view name) { return controlAs<TextBox>(name); }
  Label& label(std::string_view name, int index = -1) { return controlAs<Label>(name, index); }
  CheckBox& checkBox(std::string_view name) { return controlAs<CheckBox>(name); }
  CommandButton& button(std::string_view name) { return controlAs<CommandButton>(name); }
  ProgressBar& progressBar(std::string_view name) { return controlAs<ProgressBar>(name); }
  Timer& timer(std::string_view name) { return controlAs<Timer>(name); }
  TabControl& tabControl(std::string_view name) { return controlAs<TabControl>(name); }

  Application& application() { return app_; }
  // The window as the backend made it, nullptr while not loaded; test probes
  // look into it to see what is on the screen.
  NativeWindow* nativeWindow() const { return native_.get(); }

  // Runs `work` off the UI thread, then `then` on the UI thread with its result.
  // When this load of the window ends first (unload, close, program end), the
  // work is asked to stop through its token and `then` never runs.
  template <class R>
  void runInBackground(std::function<R(std::stop_token)> work, std::function<void(R)> then);

  // Entry points for the backend. An event comes with the control it comes
  // from, one of this window's, so a handler tells its controls apart by
  // reference and never by name.
  void dispatchClick(Control& source);
  void dispatchTimer(Timer& source);
  void dispatchResize();
  void dispatchClose();

 protected:
  virtual void formLoad() {}
  virtual void formResize() {}
  virtual void click(Control& source) { (void)source; }
  virtual void timerTick(Timer& source) { (void)source; }
  // Just before the window is destroyed: the place to drop references to it.
  virtual void formUnloading() {}

 private:
  NativeWindow& window() const;

  // One per load: background results check it before touching the window.
  struct LoadToken {
    std::stop_source stop;
  };

  Application& app_;
  std::unique_ptr<NativeWindow> native_;
  std::shared_ptr<LoadToken> token_;
  // Where the focus was when the window was last unloaded: a reloaded window
  // gives it back to the same control, so the keyboard user stays in place.
  std::pair<std::string, int> focusAtUnload_;
};

template <class R>
void Form::runInBackground(std::function<R(std::stop_token)> work, std::function<void(R)> then) {
  if (!token_) throw basics::Error(kNotLoaded, basics::kErrorSource, "Object not loaded");
  std::weak_ptr<LoadToken> weak = token_;
  Application* app = &app_;
  app_.startBackground(
      [work = std::move(work), then = std::move(then), weak, app](std::stop_token stop) mutable {
        auto result = std::make_shared<R>(work(stop));
        if (stop.stop_requested()) return;
        app->post([weak, app, then = std::move(then), result]() {
          // The window may have been unloaded while the result was on its way.
          auto alive = weak.lock();
          if (!alive || alive->stop.stop_requested()) return;
          app->runEvent([&] { then(std::move(*result)); });
        });
      },
      token_->stop.get_token());
}

}  // namespace toolkit
