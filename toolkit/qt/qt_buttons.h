#pragma once

#include <QAbstractButton>
#include <QLabel>
#include <QPushButton>

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

class QtCheckBox : public QtControl<CheckBox> {
 public:
  QtCheckBox(const ControlLayout& layout, QWidget* parent, ControlContext context);
  int value() const override;
  void setValue(int value) override;
  std::string caption() const override;
  void setCaption(const std::string& caption) override;

 private:
  // Screen readers hear the caption, or the layout's name while it is empty.
  void nameAfterCaption();
  GraphicalCheckBoxWidget* button_;
};

class QtCommandButton : public QtControl<CommandButton> {
 public:
  QtCommandButton(const ControlLayout& layout, QWidget* parent, ControlContext context);
  std::string caption() const override;
  void setCaption(const std::string& caption) override;

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

class QtLabel : public QtControl<Label> {
 public:
  QtLabel(const ControlLayout& layout, QWidget* parent, ControlContext context);
  std::string caption() const override;
  void setCaption(const std::string& caption) override;

 private:
  ClickableLabel* label_;
};

}  // namespace toolkit::qt
