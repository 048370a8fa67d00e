#pragma once

// The progress bar on Qt. Its value, range and colours are kept in
// toolkit/control_values.h; here a widget draws them.

#include <QWidget>

#include "toolkit/control_values.h"
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

// No native control takes the colour messages: the bar carries out their effect.
class QtProgressBar : public QtControl<ProgressBar, ProgressBarState> {
 public:
  QtProgressBar(const ControlLayout& layout, QWidget* parent, ControlContext context);

  std::uintptr_t handle() const override { return reinterpret_cast<std::uintptr_t>(widget()); }
  std::intptr_t sendMessage(std::uint32_t message, std::uintptr_t wParam,
                            std::intptr_t lParam) override;

  // A progress bar with its value, as screen readers expect one.
  AccessibleFacts accessibleFacts() const override;

 protected:
  void applyValue() override;

 private:
  ProgressWidget* bar_;
};

}  // namespace toolkit::qt
