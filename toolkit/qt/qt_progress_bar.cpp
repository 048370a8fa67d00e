// Qt drawing of the progress bar; its value and colours are the toolkit's
// (control_values.h), this file only paints them.

#include "toolkit/qt/qt_progress_bar.h"

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
    : QtControl<ProgressBar, ProgressBarState>(layout, new ProgressWidget(parent),
                                               std::move(context)) {
  bar_ = static_cast<ProgressWidget*>(widget());
  exposeAs(bar_, this);  // before any event makes Qt read it its own way
  setValue(value());     // a layout value out of range fails here
  initialise();
}

AccessibleFacts QtProgressBar::accessibleFacts() const {
  AccessibleFacts facts = QtControl::accessibleFacts();
  facts.range = AccessibleFacts::Range{value(), minimum(), maximum()};
  return facts;
}

void QtProgressBar::applyValue() {
  bar_->fraction = fraction();
  bar_->update();
  notifyValueChanged(bar_, value());
}

std::intptr_t QtProgressBar::sendMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t lParam) {
  const std::optional<Colour> previous = keepColour(message, lParam);
  if (!previous) return 0;
  if (message == kSetBackgroundColourMessage) {
    bar_->background = toQColor(barBackground(), bar_->palette());
  } else {
    bar_->bar = toQColor(barColour(), bar_->palette());
  }
  bar_->update();
  return static_cast<std::intptr_t>(*previous);
}

}  // namespace toolkit::qt
