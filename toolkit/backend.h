#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "toolkit/controls.h"
#include "toolkit/layout.h"

namespace toolkit {

class Form;

// A created window with its controls. The backend raises the form's events
// through Form::dispatch...; the logic reaches it only through Form.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;
  virtual Control* find(std::string_view name, int index) = 0;
  virtual void show() = 0;  // make visible and bring to the front
  virtual bool isVisible() const = 0;
  virtual Twips innerWidth() const = 0;
  virtual Twips innerHeight() const = 0;
  virtual Twips left() const = 0;  // outer frame's top-left corner on the screen
  virtual Twips top() const = 0;
  virtual void moveTo(Twips left, Twips top) = 0;
  virtual bool minimized() const = 0;
  virtual void setMinimized(bool minimized) = 0;
  virtual std::string caption() const = 0;
  // The control with the keyboard focus, by name and index; an empty name when
  // the focus is elsewhere.
  virtual std::pair<std::string, int> focusedControl() const = 0;
  // Gives that control the focus as soon as it is shown, unless the user has
  // put the focus somewhere else first.
  virtual void restoreFocus(const std::string& name, int index) = 0;
};

// The system that draws windows and runs the event loop.
class Backend {
 public:
  virtual ~Backend() = default;
  virtual std::unique_ptr<NativeWindow> createWindow(const WindowLayout& layout, Form& form) = 0;
  // Runs `task` on the UI thread; callable from any thread.
  virtual void post(std::function<void()> task) = 0;
  // Modal; a text, a stop icon and one OK button.
  virtual void messageBox(const std::string& title, const std::string& text) = 0;
  virtual int exec() = 0;
  virtual void quit(int exitCode) = 0;
};

}  // namespace toolkit
