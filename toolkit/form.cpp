#include "toolkit/form.h"
#include "basics/error_source.h"

namespace toolkit {

Form::~Form() {
  if (token_) token_->stop.request_stop();
}

NativeWindow& Form::window() const {
  if (!native_) throw basics::Error(kNotLoaded, basics::kErrorSource, "Object not loaded");
  return *native_;
}

void Form::load() {
  if (native_) return;
  token_ = std::make_shared<LoadToken>();
  native_ = app_.backend().createWindow(layout(), *this);
  if (!focusAtUnload_.first.empty()) {
    native_->restoreFocus(focusAtUnload_.first, focusAtUnload_.second);
  }
  try {
    formLoad();
  } catch (...) {
    unload();
    throw;
  }
}

void Form::show() {
  load();
  native_->show();
}

void Form::unload() {
  if (!native_) return;
  focusAtUnload_ = native_->focusedControl();
  formUnloading();
  token_->stop.request_stop();
  token_.reset();
  // Reset before destroying, so that nothing the destructor triggers finds a half-gone window.
  auto dying = std::move(native_);
  dying.reset();
}

Control& Form::control(std::string_view name, int index) {
  if (Control* c = window().find(name, index)) return *c;
  throw basics::LayoutError("Control '" + std::string(name) + "' not found");
}

void Form::dispatchClick(Control& source) {
  app_.runEvent([&] { click(source); });
}

void Form::dispatchTimer(Timer& source) {
  app_.runEvent([&] { timerTick(source); });
}

void Form::dispatchResize() {
  app_.runEvent([&] { formResize(); });
}

void Form::dispatchClose() {
  app_.runEvent([&] { unload(); });
}

}  // namespace toolkit
