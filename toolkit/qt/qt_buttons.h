#pragma once

// Check box, command button and label on Qt. Their captions and the check
// value are kept in toolkit/control_values.h; here they get their widgets,
// which show what the state holds and report clicks.

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

#include "toolkit/control_values.h"
#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// A check box drawn as a push button: its face filled with its back colour, the
// caption centred, raised at 0 and pressed in at 1; greyed caption when disabled.
class GraphicalCheckBoxWidget : public QAbstractButton {
 public:
  GraphicalCheckBoxWidget(QWidget* parent, QColor face, QColor text);
  QSize sizeHint() const override { return {80, 23}; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor face_;
  QColor text_;
};

class QtCheckBox : public QtControl<CheckBox, CheckBoxState> {
 public:
  QtCheckBox(const ControlLayout& layout, QWidget* parent, ControlContext context);

 protected:
  void applyValue() override;
  void applyCaption() override;

 private:
  // Screen readers hear the caption, or the layout's name while it is empty.
  void nameAfterCaption();
  GraphicalCheckBoxWidget* button_;
};

class QtCommandButton : public QtControl<CommandButton, CaptionState<CommandButton>> {
 public:
  QtCommandButton(const ControlLayout& layout, QWidget* parent, ControlContext context);

 protected:
  void applyCaption() override;

 private:
  QPushButton* button_;
};

// Static text on its parent's background; a click on it is an event.
class ClickableLabel : public QLabel {
 public:
  using QLabel::QLabel;
  std::function<void()> onClick;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

class QtLabel : public QtControl<Label, CaptionState<Label>> {
 public:
  QtLabel(const ControlLayout& layout, QWidget* parent, ControlContext context);

 protected:
  void applyCaption() override;

 private:
  ClickableLabel* label_;
};

}  // namespace toolkit::qt
