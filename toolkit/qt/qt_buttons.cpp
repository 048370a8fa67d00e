// Qt drawing and clicks of the check box, command button and label; the
// caption and check value they show are the toolkit's (control_values.h).

#include "toolkit/qt/qt_buttons.h"

#include <qdrawutil.h>
#include <QKeyEvent>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QStyleOption>

#include "toolkit/form.h"
#include "toolkit/qt/qt_focus_ring.h"

namespace toolkit::qt {
namespace {

bool isEnter(const QKeyEvent* event) {
  return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// A click as the user's, after the event that asked for it: a screen reader's
// press action returns before the command (a reload) replaces the window.
void clickLater(QAbstractButton* button) {
  QMetaObject::invokeMethod(
      button,
      [b = QPointer<QAbstractButton>(button)] {
        if (b && b->isEnabled()) b->click();
      },
      Qt::QueuedConnection);
}

}  // namespace

GraphicalCheckBoxWidget::GraphicalCheckBoxWidget(QWidget* parent, const ControlLayout& layout)
    : QAbstractButton(parent), layout_(layout) {
  setCheckable(true);
}

void GraphicalCheckBoxWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  const TextColours colours = textColours(layout_, isEnabled(), currentScheme());
  painter.fillRect(r, toQColor(colours.face.value_or(system_colour::kButtonFace)));
  const bool pressed = isChecked() || isDown();
  qDrawWinPanel(&painter, r, palette(), pressed, nullptr);
  QRect textRect = r.adjusted(2, 2, -2, -2);
  if (pressed) textRect.translate(1, 1);
  painter.setFont(font());
  const QColor text = toQColor(colours.text);
  if (colours.etched) {
    // Etched, as disabled captions are drawn: a light copy offset under a grey one.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(textRect.translated(1, 1), Qt::AlignCenter, this->text());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText).darker(130));
    painter.drawText(textRect, Qt::AlignCenter, this->text());
  } else {
    painter.setPen(text);
    painter.drawText(textRect, Qt::AlignCenter, this->text());
  }
  if (hasFocus()) drawFocusRing(painter, r, text, 3);
}

void GraphicalCheckBoxWidget::keyPressEvent(QKeyEvent* event) {
  if (isEnter(event) && isEnabled()) {
    click();
    return;
  }
  QAbstractButton::keyPressEvent(event);
}

QtCheckBox::QtCheckBox(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<CheckBox, CheckBoxState>(layout, new GraphicalCheckBoxWidget(parent, layout),
                                         std::move(context)) {
  button_ = static_cast<GraphicalCheckBoxWidget*>(widget());
  exposeAs(button_, this);  // before any event makes Qt read it as a check box
  button_->setText(QString::fromStdString(caption()));
  button_->setChecked(value() == kChecked);
  button_->setFocusPolicy(Qt::TabFocus);
  auto link = this->context().link;
  // While the form is linked its window, and so this control, is alive.
  QObject::connect(button_, &QAbstractButton::clicked, button_, [this, link](bool on) {
    if (!link->form) return;
    setValue(on ? kChecked : kUnchecked);
    link->form->dispatchClick(*this);
  });
  initialise();
}

AccessibleFacts QtCheckBox::accessibleFacts() const {
  AccessibleFacts facts = QtControl::accessibleFacts();
  facts.pressed = value() == kChecked || button_->isDown();
  return facts;
}

void QtCheckBox::press() {
  clickLater(button_);
}

void QtCheckBox::applyValue() {
  button_->setChecked(value() == kChecked);
  notifyPressedChanged(button_);
}

void QtCheckBox::applyCaption() {
  button_->setText(QString::fromStdString(caption()));
  notifyTextChanged(button_);
}

void CommandButtonWidget::paintEvent(QPaintEvent* event) {
  QPushButton::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  drawFocusRing(painter, rect(), palette().color(QPalette::ButtonText), 3);
}

void CommandButtonWidget::keyPressEvent(QKeyEvent* event) {
  if (isEnter(event) && isEnabled()) {
    click();
    return;
  }
  QPushButton::keyPressEvent(event);
}

QtCommandButton::QtCommandButton(const ControlLayout& layout, QWidget* parent,
                                 ControlContext context)
    : QtControl<CommandButton, CaptionState<CommandButton>>(layout, new CommandButtonWidget(parent),
                                                            std::move(context)) {
  button_ = static_cast<QPushButton*>(widget());
  exposeAs(button_, this);
  button_->setText(QString::fromStdString(caption()));
  button_->setAutoDefault(false);
  auto link = this->context().link;
  QObject::connect(button_, &QPushButton::clicked, button_, [this, link] {
    if (link->form) link->form->dispatchClick(*this);
  });
  initialise();
}

void QtCommandButton::press() {
  clickLater(button_);
}

void QtCommandButton::applyCaption() {
  button_->setText(QString::fromStdString(caption()));
  notifyTextChanged(button_);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      isEnabled() && onClick) {
    onClick();
  }
}

void ClickableLabel::keyPressEvent(QKeyEvent* event) {
  const bool press = isEnter(event) || event->key() == Qt::Key_Space;
  if (press && focusPolicy() != Qt::NoFocus && isEnabled() && onClick) {
    onClick();
    return;
  }
  QLabel::keyPressEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (!hasFocus()) return;
  QPainter painter(this);
  drawFocusRing(painter, rect(), palette().color(QPalette::WindowText), 0);
}

QtLabel::QtLabel(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<Label, CaptionState<Label>>(layout, new ClickableLabel(parent),
                                            std::move(context)) {
  label_ = static_cast<ClickableLabel*>(widget());
  if (takesFocusAsLink(layout)) {
    exposeAs(label_, this);
    label_->setFocusPolicy(Qt::StrongFocus);
  }
  label_->setText(QString::fromStdString(caption()));
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(true);
  label_->setAlignment((layout.alignment == Alignment::Right    ? Qt::AlignRight
                        : layout.alignment == Alignment::Center ? Qt::AlignHCenter
                                                                : Qt::AlignLeft) |
                       Qt::AlignTop);
  const TextColours colours = textColours(layout, layout.enabled, currentScheme());
  QPalette palette = label_->palette();
  palette.setColor(QPalette::WindowText, toQColor(colours.text));
  // Transparent, the parent showing through, unless the scheme gives it a face.
  label_->setAutoFillBackground(colours.face.has_value());
  if (colours.face) palette.setColor(QPalette::Window, toQColor(*colours.face));
  label_->setPalette(palette);
  auto link = this->context().link;
  label_->onClick = [this, link] {
    if (link->form) link->form->dispatchClick(*this);
  };
  initialise();
}

void QtLabel::press() {
  QMetaObject::invokeMethod(
      label_,
      [l = QPointer<ClickableLabel>(label_)] {
        if (l && l->isEnabled() && l->onClick) l->onClick();
      },
      Qt::QueuedConnection);
}

void QtLabel::applyCaption() {
  label_->setText(QString::fromStdString(caption()));
  notifyTextChanged(label_);
}

}  // namespace toolkit::qt
