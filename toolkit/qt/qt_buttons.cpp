// Qt drawing and clicks of the check box, command button and label; the
// caption and check value they show are the toolkit's (control_values.h).

#include "toolkit/qt/qt_buttons.h"

#include <qdrawutil.h>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include "toolkit/form.h"

namespace toolkit::qt {

GraphicalCheckBoxWidget::GraphicalCheckBoxWidget(QWidget* parent, QColor face, QColor text)
    : QAbstractButton(parent), face_(face), text_(text) {
  setCheckable(true);
}

void GraphicalCheckBoxWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  painter.fillRect(r, face_);
  const bool pressed = isChecked() || isDown();
  qDrawWinPanel(&painter, r, palette(), pressed, nullptr);
  QRect textRect = r.adjusted(2, 2, -2, -2);
  if (pressed) textRect.translate(1, 1);
  painter.setFont(font());
  if (isEnabled()) {
    painter.setPen(text_);
    painter.drawText(textRect, Qt::AlignCenter, text());
  } else {
    // Etched, as disabled captions are drawn: a light copy offset under a grey one.
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(textRect.translated(1, 1), Qt::AlignCenter, text());
    painter.setPen(palette().color(QPalette::Disabled, QPalette::WindowText).darker(130));
    painter.drawText(textRect, Qt::AlignCenter, text());
  }
}

namespace {

QColor colourOr(const std::optional<Colour>& c, Colour fallback, const QPalette& p) {
  return toQColor(c.value_or(fallback), p);
}

}  // namespace

QtCheckBox::QtCheckBox(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<CheckBox, CheckBoxState>(
          layout,
          new GraphicalCheckBoxWidget(
              parent, colourOr(layout.backColour, system_colour::kButtonFace, parent->palette()),
              colourOr(layout.foreColour, system_colour::kWindowText, parent->palette())),
          std::move(context)) {
  button_ = static_cast<GraphicalCheckBoxWidget*>(widget());
  button_->setText(QString::fromStdString(caption()));
  button_->setChecked(value() == kChecked);
  button_->setFocusPolicy(Qt::TabFocus);
  auto link = this->context().link;
  const std::string name = layout.name;
  const int index = layout.index;
  // While the form is linked its window, and so this control, is alive.
  QObject::connect(button_, &QAbstractButton::clicked, button_, [this, link, name, index](bool on) {
    if (!link->form) return;
    setValue(on ? kChecked : kUnchecked);
    link->form->dispatchClick(name, index);
  });
  initialise();
  nameAfterCaption();
}

void QtCheckBox::nameAfterCaption() {
  // An empty name lets Qt's accessibility read the caption.
  button_->setAccessibleName(
      button_->text().isEmpty() ? QString::fromStdString(layout().accessibleName) : QString());
}

void QtCheckBox::applyValue() {
  button_->setChecked(value() == kChecked);
}

void QtCheckBox::applyCaption() {
  button_->setText(QString::fromStdString(caption()));
  nameAfterCaption();
}

QtCommandButton::QtCommandButton(const ControlLayout& layout, QWidget* parent,
                                 ControlContext context)
    : QtControl<CommandButton, CaptionState<CommandButton>>(layout, new QPushButton(parent),
                                                            std::move(context)) {
  button_ = static_cast<QPushButton*>(widget());
  button_->setText(QString::fromStdString(caption()));
  button_->setAutoDefault(false);
  auto link = this->context().link;
  const std::string name = layout.name;
  const int index = layout.index;
  QObject::connect(button_, &QPushButton::clicked, button_, [link, name, index] {
    if (link->form) link->form->dispatchClick(name, index);
  });
  initialise();
}

void QtCommandButton::applyCaption() {
  button_->setText(QString::fromStdString(caption()));
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
      isEnabled() && onClick) {
    onClick();
  }
}

QtLabel::QtLabel(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<Label, CaptionState<Label>>(layout, new ClickableLabel(parent),
                                            std::move(context)) {
  label_ = static_cast<ClickableLabel*>(widget());
  label_->setText(QString::fromStdString(caption()));
  label_->setTextFormat(Qt::PlainText);
  label_->setWordWrap(true);
  label_->setAlignment((layout.alignment == Alignment::Right    ? Qt::AlignRight
                        : layout.alignment == Alignment::Center ? Qt::AlignHCenter
                                                                : Qt::AlignLeft) |
                       Qt::AlignTop);
  label_->setAutoFillBackground(false);  // transparent: the parent shows through
  QPalette palette = label_->palette();
  palette.setColor(QPalette::WindowText,
                   colourOr(layout.foreColour, system_colour::kWindowText, palette));
  label_->setPalette(palette);
  auto link = this->context().link;
  const std::string name = layout.name;
  const int index = layout.index;
  label_->onClick = [link, name, index] {
    if (link->form) link->form->dispatchClick(name, index);
  };
  initialise();
}

void QtLabel::applyCaption() {
  label_->setText(QString::fromStdString(caption()));
}

}  // namespace toolkit::qt
