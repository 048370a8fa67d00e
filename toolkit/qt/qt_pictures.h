#pragma once

// Picture box, image, timer and the controls that are not drawn, on Qt. Their
// state (and a timer's interval) is the toolkit's (control_state.h,
// control_values.h); here they get widgets and a QTimer.

#include <QFrame>
#include <QPixmap>
#include <QTimer>

#include "toolkit/control_values.h"
#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// A panel that shows its picture anchored at its top-left corner, clipped, and
// may hold other controls.
class PictureWidget : public QFrame {
 public:
  PictureWidget(QWidget* parent, QPixmap picture, QColor background, bool frameless);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap picture_;
  QColor background_;
  bool frameless_;
};

class QtPictureBox : public QtControl<PictureBox> {
 public:
  QtPictureBox(const ControlLayout& layout, QWidget* parent, ControlContext context);
  // Where children's (0, 0) lies inside the panel: inside its border.
  QPoint clientOrigin() const;
};

class QtImage : public QtControl<Image> {
 public:
  QtImage(const ControlLayout& layout, QWidget* parent, ControlContext context);
};

// Controls that are not drawn.
class QtInternetTransfer : public QtControl<InternetTransferControl, InternetTransferState> {
 public:
  QtInternetTransfer(const ControlLayout& layout, ControlContext context)
      : QtControl<InternetTransferControl, InternetTransferState>(layout, nullptr,
                                                                  std::move(context)) {}
};

class QtWinsock : public QtControl<Winsock> {
 public:
  QtWinsock(const ControlLayout& layout, ControlContext context)
      : QtControl<Winsock>(layout, nullptr, std::move(context)) {}
};

// Ticks once per interval while enabled with an interval above 0.
class QtTimer : public QtControl<Timer, TimerState> {
 public:
  QtTimer(const ControlLayout& layout, QObject* owner, ControlContext context);
  ~QtTimer() override;

 protected:
  void applyTicking() override;

 private:
  QPointer<QTimer> timer_;
};

}  // namespace toolkit::qt
