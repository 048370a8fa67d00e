#pragma once

// The Qt side of every control: the state (layout values, flags, twips
// geometry) lives in toolkit/control_state.h; this template gives it a widget
// and draws what the state holds: visibility, enabled, geometry in pixels, and
// the layout's font, tool tip, accessible name and pointer once at creation.
// It answers screen readers for the widgets that cannot speak for themselves
// (qt_accessible.h).

#include <QPointer>
#include <QWidget>
#include <memory>

#include "basics/error.h"
#include "toolkit/accessible_text.h"
#include "toolkit/control_state.h"
#include "toolkit/controls.h"
#include "toolkit/qt/qt_accessible.h"
#include "toolkit/qt/qt_convert.h"
#include "toolkit/resources.h"

namespace toolkit {
class Form;
}

namespace toolkit::qt {

// Connects a window's widgets to its form. Cleared when the window is
// unloaded, so that an event a dying widget still delivers goes nowhere.
struct EventLink {
  Form* form = nullptr;
};

// What a control asks of the window it is on.
class WindowServices {
 public:
  virtual ~WindowServices() = default;
  // Has screen readers say `text` now, wherever the focus is.
  virtual void announce(const QString& text) = 0;
  // A control has just come into sight: the focus may be waiting for it.
  virtual void controlShown() = 0;
};

// What every control's backend needs to know about its surroundings.
struct ControlContext {
  std::shared_ptr<EventLink> link;
  Font windowFont;
  QPoint origin;  // the container's client origin inside its widget, in pixels
  Resources resources;
  WindowServices* window = nullptr;
};

// `State` is the toolkit's state for the kind (ControlState<Interface> or one
// of control_values.h); a control that is not drawn has no widget.
template <class Interface, class State = ControlState<Interface>>
class QtControl : public State, public AccessibleSource {
 public:
  QtControl(const ControlLayout& layout, QWidget* widget, ControlContext context)
      : State(layout, context.windowFont), widget_(widget), context_(std::move(context)) {}
  ~QtControl() override { exposeAs(widget_, nullptr); }

  QWidget* widget() const { return widget_; }

  // AccessibleSource: what the toolkit says of the control now.
  AccessibleFacts accessibleFacts() const override {
    return basicFacts(this->layout(), shownCaption(), this->accessibleDescription(),
                      this->accessibleValue());
  }

  // Applies the layout's common widget properties; called once after creation.
  void initialise() {
    if (!widget_) return;
    const ControlLayout& layout = this->layout();
    // Tests and tools find a control's widget by its name: "WAN", "lblYourOnline(1)".
    widget_->setObjectName(QString::fromStdString(
        layout.index >= 0 ? layout.name + "(" + std::to_string(layout.index) + ")" : layout.name));
    widget_->setFont(toQFont(this->font(), context_.resources.fontStandIns));
    if (!layout.toolTip.empty()) widget_->setToolTip(QString::fromStdString(layout.toolTip));
    if (!layout.accessibleName.empty()) {
      widget_->setAccessibleName(QString::fromStdString(layout.accessibleName));
    }
    widget_->setAccessibleDescription(QString::fromStdString(this->accessibleDescription()));
    if (layout.pointer == MousePointer::Hand) {
      widget_->setCursor(loadHandCursor(context_.resources.handPointer));
    }
    applyEnabled();
    applyGeometry();
    applyVisibility();
  }

 protected:
  const ControlContext& context() const { return context_; }
  Form* form() const { return context_.link->form; }

  // The caption a screen reader hears, for the kinds that have one.
  std::string shownCaption() const {
    if constexpr (requires(const State& s) { s.caption(); }) {
      return this->caption();
    } else {
      return {};
    }
  }

  void applyVisibility() override {
    if (!widget_) return;
    widget_->setVisible(this->shown());
    if (this->shown() && context_.window) context_.window->controlShown();
  }
  void applyToolTip() override {
    if (widget_) widget_->setToolTip(QString::fromStdString(this->toolTip()));
  }
  void applyAccessibleText() override {
    if (!widget_) return;
    widget_->setAccessibleDescription(QString::fromStdString(this->accessibleDescription()));
    notifyTextChanged(widget_);
  }
  void raiseAnnouncement() override {
    if (!context_.window) return;
    context_.window->announce(QString::fromStdString(announcementOf(accessibleFacts())));
  }
  void applyEnabled() override {
    if (widget_) widget_->setEnabled(this->enabled());
  }
  void applyGeometry() override {
    if (widget_) {
      widget_->setGeometry(toPixels(this->left(), this->top(), this->width(), this->height())
                               .translated(context_.origin));
    }
  }

 private:
  QPointer<QWidget> widget_;
  ControlContext context_;
};

}  // namespace toolkit::qt
