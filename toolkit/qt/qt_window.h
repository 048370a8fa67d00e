#pragma once

// A form's top-level Qt widget. The controls and their lookup by name and
// index are the toolkit's (control_list.h); the window creates their widgets,
// stacks them, orders their focus and passes close, resize and restore on.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/control_list.h"
#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// The top-level widget of a form: passes close, resize and restore on.
class FormWidget : public QWidget {
 public:
  explicit FormWidget(std::shared_ptr<EventLink> link) : link_(std::move(link)) {}

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void raiseResize();
  std::shared_ptr<EventLink> link_;
};

class QtWindow : public NativeWindow {
 public:
  QtWindow(const WindowLayout& layout, Form& form, const Resources& resources);
  ~QtWindow() override;

  Control* find(std::string_view name, int index) override;
  void show() override;
  bool isVisible() const override;
  Twips innerWidth() const override;
  Twips innerHeight() const override;
  Twips left() const override;
  Twips top() const override;
  void moveTo(Twips left, Twips top) override;
  bool minimized() const override;
  void setMinimized(bool minimized) override;
  std::string caption() const override;

  QWidget* widget() const { return widget_; }
  // The widget that draws a control, or nullptr for controls that are not drawn.
  QWidget* widgetOf(std::string_view name, int index = -1) const;

 private:
  void createControls(const WindowLayout& layout);
  void orderControls(const WindowLayout& layout);
  void centreOnScreen();

  std::shared_ptr<EventLink> link_;
  Resources resources_;
  QPointer<FormWidget> widget_;
  ControlList<QWidget*> controls_;  // with the widget that draws each, if any
  StartPosition startPosition_;
  bool shownOnce_ = false;
  // The position last set in twips, kept while the window stays at its pixel.
  std::optional<std::pair<Twips, Twips>> placed_;
};

}  // namespace toolkit::qt
