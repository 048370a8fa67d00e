// Qt drawing of pictures and the Qt timer; the toolkit keeps their state.

#include "toolkit/qt/qt_pictures.h"

#include <QPainter>

#include "toolkit/form.h"

namespace toolkit::qt {

namespace {

QPixmap loadPicture(const std::string& path) {
  if (path.empty()) return {};
  return QPixmap(QString::fromStdString(path));
}

}  // namespace

PictureWidget::PictureWidget(QWidget* parent, QPixmap picture, QColor background, bool frameless)
    : QFrame(parent), picture_(std::move(picture)), background_(background), frameless_(frameless) {
  if (!frameless_) {
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
  }
}

void PictureWidget::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    const QRect inside = contentsRect();
    if (background_.isValid()) painter.fillRect(inside, background_);
    if (!picture_.isNull()) {
      painter.setClipRect(inside);
      painter.drawPixmap(inside.topLeft(), picture_);
    }
  }
  QFrame::paintEvent(event);
}

QtPictureBox::QtPictureBox(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<PictureBox>(
          layout,
          new PictureWidget(parent, loadPicture(layout.picture),
                            layout.backColour ? toQColor(*layout.backColour, parent->palette())
                                              : parent->palette().color(QPalette::Button),
                            layout.border == Border::None),
          std::move(context)) {
  initialise();
}

QPoint QtPictureBox::clientOrigin() const {
  return static_cast<QFrame*>(widget())->contentsRect().topLeft();
}

namespace {

class ImageWidget : public QWidget {
 public:
  ImageWidget(QWidget* parent, QPixmap picture) : QWidget(parent), picture_(std::move(picture)) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
  }

 private:
  QPixmap picture_;
};

}  // namespace

QtImage::QtImage(const ControlLayout& layout, QWidget* parent, ControlContext context)
    : QtControl<Image>(layout, new ImageWidget(parent, loadPicture(layout.picture)),
                       std::move(context)) {
  exposeAs(widget(), this);  // a picture, not an empty filler
  initialise();
}

QtTimer::QtTimer(const ControlLayout& layout, QObject* owner, ControlContext context)
    : QtControl<Timer, TimerState>(layout, nullptr, std::move(context)), timer_(new QTimer(owner)) {
  // Qt's default coarse timers may fire up to 5 % early; a Windows timer
  // never fires before its interval, and the progress is counted in ticks.
  timer_->setTimerType(Qt::PreciseTimer);
  auto link = this->context().link;
  QObject::connect(timer_, &QTimer::timeout, timer_, [this, link] {
    if (link->form) link->form->dispatchTimer(*this);
  });
  applyTicking();
}

QtTimer::~QtTimer() {
  // The QTimer belongs to the dying window widget, which Qt deletes later.
  if (timer_) timer_->stop();
}

void QtTimer::applyTicking() {
  if (!timer_) return;
  if (ticking()) {
    timer_->start(interval());  // restarts the interval, as a re-armed timer does
  } else {
    timer_->stop();
  }
}

}  // namespace toolkit::qt
