#pragma once

// Check box, command button and label on Qt. Their captions and the check
// value are kept in toolkit/control_values.h; here they get their widgets,
// which show what the state holds, report clicks, take Space and Enter as a
// click when focused and show that they are.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include "toolkit/control_values.h"
#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// A check box drawn as a push button: its face filled with its back colour, the
// caption centred, raised at 0 and pressed in at 1; greyed caption when
// disabled. The colours are the scheme's (scheme_colours.h), worked out as it
// paints, so it follows a palette change.
class GraphicalCheckBoxWidget : public QAbstractButton {
 public:
  GraphicalCheckBoxWidget(QWidget* parent, const ControlLayout& layout);
  QSize sizeHint() const override { return {80, 23}; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ControlLayout layout_;  // its colours and kind
};

class QtCheckBox : public QtControl<CheckBox, CheckBoxState> {
 public:
  QtCheckBox(const ControlLayout& layout, QWidget* parent, ControlContext context);

  AccessibleFacts accessibleFacts() const override;
  void press() override;

 protected:
  void applyValue() override;
  void applyCaption() override;

 private:
  GraphicalCheckBoxWidget* button_;
};

// A push button in the platform's colours; Enter presses it as Space does.
class CommandButtonWidget : public QPushButton {
 public:
  using QPushButton::QPushButton;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
};

class QtCommandButton : public QtControl<CommandButton, CaptionState<CommandButton>> {
 public:
  QtCommandButton(const ControlLayout& layout, QWidget* parent, ControlContext context);

  void press() override;

 protected:
  void applyCaption() override;

 private:
  QPushButton* button_;
};

// Static text on its parent's background; a click on it is an event. A label
// that is a link takes the focus and Space and Enter as a click.
class ClickableLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
};

class QtLabel : public QtControl<Label, CaptionState<Label>> {
 public:
  QtLabel(const ControlLayout& layout, QWidget* parent, ControlContext context);

  void press() override;

 protected:
  void applyCaption() override;

 private:
  ClickableLabel* label_;
};

}  // namespace toolkit::qt
