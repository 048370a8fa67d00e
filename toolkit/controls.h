#pragma once

#include <cstdint>
#include <string>

#include "toolkit/layout.h"
#include "toolkit/units.h"

namespace toolkit {

// What the logic can do to any control. Visibility is the control's own flag:
// a control on a hidden tab page or inside a hidden container keeps it.
class Control {
 public:
  virtual ~Control() = default;
  virtual ControlKind kind() const = 0;
  virtual const std::string& name() const = 0;
  virtual int index() const = 0;

  virtual bool visible() const = 0;
  virtual void setVisible(bool visible) = 0;
  virtual bool enabled() const = 0;
  virtual void setEnabled(bool enabled) = 0;

  virtual Twips left() const = 0;
  virtual Twips top() const = 0;
  virtual Twips width() const = 0;
  virtual Twips height() const = 0;
  virtual void move(Twips left, Twips top, Twips width, Twips height) = 0;
  void setTop(Twips top) { move(left(), top, width(), height()); }
  void setLeft(Twips left) { move(left, top(), width(), height()); }

  virtual int tabIndex() const = 0;
  virtual std::string toolTip() const = 0;
  // A control without a tip gets one; an empty text takes it away.
  virtual void setToolTip(const std::string& text) = 0;
  virtual Font font() const = 0;
  virtual Colour foreColour() const = 0;
  virtual Colour backColour() const = 0;

  // What a screen reader reads after the control's name: the value it stands
  // for (the status a status box tells) and a sentence that describes it.
  virtual std::string accessibleValue() const = 0;
  virtual void setAccessibleValue(const std::string& value) = 0;
  virtual std::string accessibleDescription() const = 0;
  virtual void setAccessibleDescription(const std::string& text) = 0;
  // Asks a screen reader to say the control's name and value now, wherever the
  // focus is; the focus stays where it is.
  virtual void announce() = 0;
};

class TextBox : public virtual Control {
 public:
  virtual std::string text() const = 0;
  virtual void setText(const std::string& text) = 0;
  // Replaces the selection with `text`; the caret then stands after it.
  virtual void insertAtCaret(const std::string& text) = 0;
  virtual int caret() const = 0;  // position in characters
  virtual void setFocus() = 0;
};

class Label : public virtual Control {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
};

class CheckBox : public virtual Control {
 public:
  virtual int value() const = 0;  // kUnchecked or kChecked
  virtual void setValue(int value) = 0;
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
};

class CommandButton : public virtual Control {
 public:
  virtual std::string caption() const = 0;
  virtual void setCaption(const std::string& caption) = 0;
};

class PictureBox : public virtual Control {};
class Image : public virtual Control {};
class Winsock : public virtual Control {};

class InternetTransferControl : public virtual Control {
 public:
  virtual int remotePort() const = 0;
  virtual int requestTimeout() const = 0;  // seconds
};

class ProgressBar : public virtual Control {
 public:
  virtual float value() const = 0;
  virtual void setValue(float value) = 0;
  virtual float minimum() const = 0;
  virtual float maximum() const = 0;
  virtual std::uintptr_t handle() const = 0;
  // A native control message; the backend carries out the two colour messages.
  virtual std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                                    std::intptr_t lParam) = 0;
  virtual Colour barColour() const = 0;
  virtual Colour barBackground() const = 0;
};

// Native message numbers the progress bar understands.
constexpr std::uint32_t kSetBackgroundColourMessage = 0x2001;
constexpr std::uint32_t kSetBarColourMessage = 0x0409;

// A timer ticks once per interval while it is enabled (Control::enabled) and its
// interval is above 0.
class Timer : public virtual Control {
 public:
  virtual int interval() const = 0;  // ms; 0 means no ticks
  virtual void setInterval(int ms) = 0;
};

class TabControl : public virtual Control {
 public:
  virtual int currentPage() const = 0;
  virtual void setCurrentPage(int page) = 0;
  virtual int pageCount() const = 0;
};

}  // namespace toolkit
