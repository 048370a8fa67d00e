#include "toolkit/qt/qt_accessible.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QVariant>

namespace toolkit::qt {
namespace {

constexpr const char* kSourceProperty = "tarnwickAccessible";
constexpr const char* kAnnouncerProperty = "tarnwickAnnouncer";

AccessibleSource* sourceOf(const QObject* object) {
  return object ? static_cast<AccessibleSource*>(object->property(kSourceProperty).value<void*>())
                : nullptr;
}

Announcer* announcerOf(const QObject* object) {
  return object ? static_cast<Announcer*>(object->property(kAnnouncerProperty).value<void*>())
                : nullptr;
}

QAccessible::Role qtRole(const AccessibleFacts& facts, QAccessible::Role kindRole) {
  if (facts.kind == ControlKind::ProgressBar) return QAccessible::ProgressBar;
  switch (facts.role) {
    case AccessibleRole::PushButton:
      return QAccessible::Button;
    case AccessibleRole::Link:
      return QAccessible::Link;
    case AccessibleRole::Status:
      return QAccessible::StatusBar;
    case AccessibleRole::Text:
      return QAccessible::StaticText;
    case AccessibleRole::Picture:
      return QAccessible::Graphic;
    case AccessibleRole::Kind:
      break;
  }
  return kindRole;
}

// A widget of one of the toolkit's controls, as its control describes it.
class ControlAccessible final : public QAccessibleWidget, public QAccessibleValueInterface {
 public:
  explicit ControlAccessible(QWidget* widget) : QAccessibleWidget(widget) {}

  QAccessible::Role role() const override {
    const AccessibleSource* source = sourceOf(object());
    return source ? qtRole(source->accessibleFacts(), QAccessibleWidget::role())
                  : QAccessibleWidget::role();
  }

  QString text(QAccessible::Text t) const override {
    const AccessibleSource* source = sourceOf(object());
    if (!source) return QAccessibleWidget::text(t);
    const AccessibleFacts facts = source->accessibleFacts();
    switch (t) {
      case QAccessible::Name:
        // AT-SPI has no text value: what a status stands for is read with its name.
        if (facts.role == AccessibleRole::Status && !facts.value.empty()) {
          return QString::fromStdString(facts.name + " " + facts.value);
        }
        return QString::fromStdString(facts.name);
      case QAccessible::Description:
        return QString::fromStdString(facts.description);
      case QAccessible::Value:
        if (facts.range) return QString::number(facts.range->value);
        return QString::fromStdString(facts.value);
      default:
        return QAccessibleWidget::text(t);
    }
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    const AccessibleSource* source = sourceOf(object());
    if (!source) return s;
    const AccessibleFacts facts = source->accessibleFacts();
    s.checkable = false;
    s.checked = false;
    s.pressed = facts.pressed;
    // A status or a heading takes no input by nature, not because it is switched off.
    if (facts.role == AccessibleRole::Status || facts.role == AccessibleRole::Text) {
      s.disabled = false;
      s.focusable = false;
      s.readOnly = true;
    }
    return s;
  }

  QStringList actionNames() const override {
    QStringList names = QAccessibleWidget::actionNames();
    const AccessibleSource* source = sourceOf(object());
    if (source && widget()->isEnabled()) {
      const AccessibleRole role = source->accessibleFacts().role;
      if (role == AccessibleRole::PushButton || role == AccessibleRole::Link) {
        names.prepend(pressAction());
      }
    }
    return names;
  }

  void doAction(const QString& name) override {
    AccessibleSource* source = sourceOf(object());
    if (source && name == pressAction() && widget()->isEnabled()) {
      source->press();
      return;
    }
    QAccessibleWidget::doAction(name);
  }

  void* interface_cast(QAccessible::InterfaceType t) override {
    const AccessibleSource* source = sourceOf(object());
    if (t == QAccessible::ValueInterface && source && source->accessibleFacts().range) {
      return static_cast<QAccessibleValueInterface*>(this);
    }
    return QAccessibleWidget::interface_cast(t);
  }

  // QAccessibleValueInterface: the progress bar's.
  QVariant currentValue() const override { return rangeValue(&AccessibleFacts::Range::value); }
  void setCurrentValue(const QVariant&) override {}  // the user cannot move it
  QVariant maximumValue() const override { return rangeValue(&AccessibleFacts::Range::maximum); }
  QVariant minimumValue() const override { return rangeValue(&AccessibleFacts::Range::minimum); }
  QVariant minimumStepSize() const override { return 0; }

 private:
  QVariant rangeValue(double AccessibleFacts::Range::*part) const {
    const AccessibleSource* source = sourceOf(object());
    if (!source) return {};
    const auto facts = source->accessibleFacts();
    return facts.range ? QVariant((*facts.range).*part) : QVariant();
  }
};

// The announcer, a child of its window that only speaks.
class AnnouncementAccessible final : public QAccessibleObject {
 public:
  explicit AnnouncementAccessible(Announcer* announcer) : QAccessibleObject(announcer) {}

  QAccessibleInterface* parent() const override {
    return QAccessible::queryAccessibleInterface(announcer()->window());
  }
  QAccessibleInterface* child(int) const override { return nullptr; }
  int childCount() const override { return 0; }
  int indexOfChild(const QAccessibleInterface*) const override { return -1; }
  QString text(QAccessible::Text t) const override {
    return t == QAccessible::Name ? announcer()->text() : QString();
  }
  QAccessible::Role role() const override { return QAccessible::Notification; }
  QAccessible::State state() const override {
    QAccessible::State s;
    s.readOnly = true;
    s.invisible = announcer()->text().isEmpty();
    return s;
  }
  QRect rect() const override { return {}; }

 private:
  Announcer* announcer() const { return static_cast<Announcer*>(object()); }
};

// The window: the widgets Qt finds, then the announcer.
class WindowAccessible final : public QAccessibleWidget {
 public:
  explicit WindowAccessible(QWidget* window) : QAccessibleWidget(window, QAccessible::Window) {}

  int childCount() const override {
    return QAccessibleWidget::childCount() + (announcer() ? 1 : 0);
  }
  QAccessibleInterface* child(int index) const override {
    if (announcer() && index == QAccessibleWidget::childCount()) {
      return QAccessible::queryAccessibleInterface(announcer());
    }
    return QAccessibleWidget::child(index);
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    if (announcer() && child && child->object() == announcer()) {
      return QAccessibleWidget::childCount();
    }
    return QAccessibleWidget::indexOfChild(child);
  }

 private:
  Announcer* announcer() const { return announcerOf(object()); }
};

QAccessibleInterface* factory(const QString&, QObject* object) {
  if (auto* announcer = dynamic_cast<Announcer*>(object)) {
    return new AnnouncementAccessible(announcer);
  }
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (sourceOf(widget)) return new ControlAccessible(widget);
  if (announcerOf(widget)) return new WindowAccessible(widget);
  return nullptr;
}

void installFactoryOnce() {
  static const bool installed = [] {
    QAccessible::installFactory(factory);
    return true;
  }();
  (void)installed;
}

}  // namespace

void exposeAs(QWidget* widget, AccessibleSource* source) {
  if (!widget) return;
  installFactoryOnce();
  widget->setProperty(kSourceProperty, QVariant::fromValue(static_cast<void*>(source)));
}

void notifyTextChanged(QWidget* widget) {
  if (!widget || !QAccessible::isActive()) return;
  QAccessibleEvent name(widget, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&name);
  QAccessibleEvent description(widget, QAccessible::DescriptionChanged);
  QAccessible::updateAccessibility(&description);
}

void notifyValueChanged(QWidget* widget, double value) {
  if (!widget || !QAccessible::isActive()) return;
  QAccessibleValueChangeEvent event(widget, value);
  QAccessible::updateAccessibility(&event);
}

void notifyPressedChanged(QWidget* widget) {
  if (!widget || !QAccessible::isActive()) return;
  QAccessible::State changed;
  changed.pressed = true;
  QAccessibleStateChangeEvent event(widget, changed);
  QAccessible::updateAccessibility(&event);
}

Announcer::Announcer(QWidget* window) : QObject(window), window_(window) {
  installFactoryOnce();
  window->setProperty(kAnnouncerProperty, QVariant::fromValue(static_cast<void*>(this)));
}

void Announcer::announce(const QString& text) {
  text_ = text;
  if (!QAccessible::isActive()) return;
  // Hidden first, so that even the same words again are shown anew.
  QAccessibleEvent hide(this, QAccessible::ObjectHide);
  QAccessible::updateAccessibility(&hide);
  QAccessibleEvent name(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&name);
  QAccessibleEvent show(this, QAccessible::ObjectShow);
  QAccessible::updateAccessibility(&show);
}

}  // namespace toolkit::qt
