#pragma once

#include "toolkit/backend.h"
#include "toolkit/resources.h"

namespace toolkit::qt {

// The Qt 6 Widgets toolkit. Needs a QApplication to exist. In no-display mode
// (offscreen platform) message boxes print to standard error instead. Font
// files, stand-ins and the hand pointer come from `resources` (Qt resource
// paths), which must outlive the backend.
class QtBackend : public Backend {
 public:
  QtBackend(bool noDisplay, const Resources& resources);
  ~QtBackend() override;

  std::unique_ptr<NativeWindow> createWindow(const WindowLayout& layout, Form& form) override;
  void post(std::function<void()> task) override;
  void messageBox(const std::string& title, const std::string& text) override;
  int exec() override;
  void quit(int exitCode) override;

  bool noDisplay() const { return noDisplay_; }

 private:
  bool noDisplay_;
  Resources resources_;
};

}  // namespace toolkit::qt
