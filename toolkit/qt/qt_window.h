#pragma once

// A form's top-level Qt widget. The controls and their lookup by name and
// index are the toolkit's (control_list.h); the window creates their widgets,
// stacks them, orders their focus and passes close, resize and restore on.

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/backend.h"
#include "toolkit/control_list.h"
#include "toolkit/qt/qt_control.h"

namespace toolkit::qt {

// The top-level widget of a form: passes close, resize and restore on, closes
// on Esc where the layout says so, speaks the window's announcements and keeps
// the focus a reload is to give back.
class FormWidget : public QWidget, public WindowServices {
 public:
  FormWidget(std::shared_ptr<EventLink> link, bool closesOnEscape);

  void announce(const QString& text) override;
  void controlShown() override;
  // Focuses `control` once it is shown, if the focus is still where showing
  // the window put it (nowhere, or on a row of tabs).
  void focusWhenShown(QWidget* control);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  void raiseResize();
  std::shared_ptr<EventLink> link_;
  Announcer* announcer_;
  QPointer<QWidget> pendingFocus_;
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
  std::pair<std::string, int> focusedControl() const override;
  void restoreFocus(const std::string& name, int index) override;

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
  // Holds the widgets of controls that lie wholly outside the window
  // (in_view.h): never shown, so no Tab and no screen reader reaches them.
  QPointer<QWidget> unseen_;
  ControlList<QWidget*> controls_;  // with the widget that draws each, if any
  StartPosition startPosition_;
  bool shownOnce_ = false;
  // The position last set in twips, kept while the window stays at its pixel.
  std::optional<std::pair<Twips, Twips>> placed_;
};

}  // namespace toolkit::qt
