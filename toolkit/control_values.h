#pragma once

// What some kinds of control keep beyond the common state: a caption, a check
// value, a progress bar's value and colours, a timer's interval, a transfer
// control's settings. The values and their checks live here once; a backend
// derives from these (through its control template) and only draws, in the
// apply… hooks, what the state now holds.

#include <cstdint>
#include <optional>
#include <string>

#include "toolkit/control_state.h"

namespace toolkit {

// Throws the error a property set out of its range raises.
[[noreturn]] void throwInvalidPropertyValue();

// Check boxes, command buttons and labels: a caption, first the layout's text.
template <class Interface>
class CaptionState : public ControlState<Interface> {
 public:
  CaptionState(const ControlLayout& layout, const Font& windowFont)
      : ControlState<Interface>(layout, windowFont), caption_(layout.text) {}

  std::string caption() const override { return caption_; }
  void setCaption(const std::string& caption) override {
    caption_ = caption;
    applyCaption();
  }

 protected:
  virtual void applyCaption() {}

 private:
  std::string caption_;
};

class CheckBoxState : public CaptionState<CheckBox> {
 public:
  CheckBoxState(const ControlLayout& layout, const Font& windowFont);

  int value() const override { return value_; }
  // Also what a click does, with the value the click leaves.
  void setValue(int value) override;

 protected:
  virtual void applyValue() {}

 private:
  int value_;
};

class ProgressBarState : public ControlState<ProgressBar> {
 public:
  ProgressBarState(const ControlLayout& layout, const Font& windowFont);

  float value() const override { return value_; }
  void setValue(float value) override;
  float minimum() const override { return static_cast<float>(layout().minimum); }
  float maximum() const override { return static_cast<float>(layout().maximum); }
  Colour barColour() const override { return barColour_; }
  Colour barBackground() const override { return background_; }

  // What the bar reports while no colour message has set one.
  static constexpr Colour kDefaultColour = 0xFF000000;

 protected:
  virtual void applyValue() {}
  // How far the bar is filled, from 0 to 1.
  double fraction() const;
  // Keeps the colour a colour message carries; the colour it replaces, or
  // nothing for any other message.
  std::optional<Colour> keepColour(std::uint32_t message, std::intptr_t lParam);

 private:
  float value_;
  Colour barColour_ = kDefaultColour;
  Colour background_ = kDefaultColour;
};

class TimerState : public ControlState<Timer> {
 public:
  TimerState(const ControlLayout& layout, const Font& windowFont)
      : ControlState<Timer>(layout, windowFont), interval_(layout.interval) {}

  int interval() const override { return interval_; }
  void setInterval(int ms) override;

 protected:
  // Whether the timer should tick now.
  bool ticking() const { return enabled() && interval_ > 0; }
  // Starts (restarting the interval) or stops the native timer, as ticking() says.
  virtual void applyTicking() {}
  void enabledChanged() override { applyTicking(); }

 private:
  int interval_;
};

class InternetTransferState : public ControlState<InternetTransferControl> {
 public:
  using ControlState<InternetTransferControl>::ControlState;
  int remotePort() const override { return layout().remotePort; }
  int requestTimeout() const override { return layout().requestTimeout; }
};

}  // namespace toolkit
