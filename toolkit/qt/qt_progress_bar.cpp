#include "toolkit/qt/qt_progress_bar.h"
#include "toolkit/error_source.h"

#include <qdrawutil.h>
#include <QPainter>

namespace toolkit::qt {

void ProgressWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect r = rect();
  const QColor back = background.isValid() ? background : palette().color(QPalette::Window);
  const QColor fill = bar.isValid() ? bar : palette().color(QPalette::Highlight);
  painter.fillRect(r, back);
  QRect inner = r.adjusted(1, 1, -1, -1);
  inner.setWidth(static_cast<int>(inner.width() * fraction + 0.5));
  if (inner.width() > 0) painter.fillRect(inner, fill);
  qDrawShadePanel(&painter, r, palette(), true, 1);
}

QtProgressBar::QtProgressBar(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<ProgressBar>(layout, new ProgressWidget(parent), std::move(context)),
      value_(static_cast<float>(layout.value)) {
  bar_ = static_cast<ProgressWidget*>(widget());
  setValue(value_);
  initialise();
}

void QtProgressBar::setValue(float value) {
  if (value < minimum() || value > maximum()) {
    throw Error(380, kErrorSource, "Invalid property value");
  }
  value_ = value;
  const float span = maximum() - minimum();
  bar_->fraction = span > 0 ? (value_ - minimum()) / span : 0;
  bar_->update();
}

std::intptr_t QtProgressBar::sendMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t lParam) {
  const auto colour = static_cast<Colour>(static_cast<std::uintptr_t>(lParam) & 0xFFFFFFFFu);
  Colour previous;
  if (message == kSetBackgroundColourMessage) {
    previous = background_;
    background_ = colour;
    bar_->background = toQColor(colour, bar_->palette());
  } else if (message == kSetBarColourMessage) {
    previous = barColour_;
    barColour_ = colour;
    bar_->bar = toQColor(colour, bar_->palette());
  } else {
    return 0;
  }
  bar_->update();
  return static_cast<std::intptr_t>(previous);
}

}  // namespace toolkit::qt
