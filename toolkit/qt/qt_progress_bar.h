#pragma once

#include <QWidget>

#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// Draws the bar itself, so the two colour messages can take effect.
class ProgressWidget : public QWidget {
 public:
  explicit ProgressWidget(QWidget* parent) : QWidget(parent) {}
  double fraction = 0;
  QColor background;  // invalid: the platform's default
  QColor bar;

 protected:
  void paintEvent(QPaintEvent* event) override;
};

class QtProgressBar : public QtControl<ProgressBar> {
 public:
  QtProgressBar(const ControlLayout& layout, QWidget* parent, ControlContext context);

  float value() const override { return value_; }
  void setValue(float value) override;
  float minimum() const override { return static_cast<float>(layout().minimum); }
  float maximum() const override { return static_cast<float>(layout().maximum); }
  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(widget()); }
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;
  Colour barColour() const override { return barColour_; }
  Colour barBackground() const override { return background_; }

  // What the bar shows while no colour message has set one.
  static constexpr Colour kDefaultColour = 0xFF000000;

 private:
  ProgressWidget* bar_;
  float value_;
  Colour barColour_ = kDefaultColour;
  Colour background_ = kDefaultColour;
};

}  // namespace toolkit::qt
