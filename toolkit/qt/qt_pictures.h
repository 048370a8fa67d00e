#pragma once

#include <QFrame>
#include <QPixmap>
#include <QTimer>

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
class QtInternetTransfer : public QtControl<InternetTransferControl> {
 public:
  QtInternetTransfer(const ControlLayout& layout, ControlContext context)
      : QtControl<InternetTransferControl>(layout, nullptr, std::move(context)) {}
  int remotePort() const override { return layout().remotePort; }
  int requestTimeout() const override { return layout().requestTimeout; }
};

class QtWinsock : public QtControl<Winsock> {
 public:
  QtWinsock(const ControlLayout& layout, ControlContext context)
      : QtControl<Winsock>(layout, nullptr, std::move(context)) {}
};

// Ticks once per interval while enabled with an interval above 0.
class QtTimer : public QtControl<Timer> {
 public:
  QtTimer(const ControlLayout& layout, QObject* owner, ControlContext context);
  ~QtTimer() override;
  int interval() const override { return interval_; }
  void setInterval(int ms) override;

 protected:
  void enabledChanged() override { apply(); }

 private:
  void apply();
  QPointer<QTimer> timer_;
  int interval_;
};

}  // namespace toolkit::qt
