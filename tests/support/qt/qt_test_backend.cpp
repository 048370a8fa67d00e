#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QWidget>

#include "tests/support/test_backend.h"
#include "toolkit/qt/qt_backend.h"
#include "toolkit/qt/qt_window.h"

namespace tests_support {

std::unique_ptr<toolkit::Backend> makeTestBackend(const toolkit::Resources& resources) {
  return std::make_unique<toolkit::qt::QtBackend>(true, resources);
}

void pump(int ms, const std::function<bool()>& done) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    if (done && done()) return;
  }
}

void flushClosedWindows() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void processEvents() {
  QCoreApplication::processEvents();
}

bool programPlacesWindows() {
  return !QGuiApplication::platformName().startsWith("wayland");
}

void setSystemColours(SystemColours colours) {
  // What a desktop's dark theme gives an application: light text on dark faces.
  QPalette palette = QApplication::style()->standardPalette();
  if (colours == SystemColours::Dark) {
    const QColor window(0x35, 0x35, 0x35), text(Qt::white), disabled(0x7f, 0x7f, 0x7f);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x2a, 0x2a, 0x2a));
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, window);
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    palette.setColor(QPalette::Midlight, QColor(0x40, 0x40, 0x40));
    palette.setColor(QPalette::Mid, QColor(0x2c, 0x2c, 0x2c));
    palette.setColor(QPalette::Dark, QColor(0x23, 0x23, 0x23));
    palette.setColor(QPalette::Shadow, QColor(0x14, 0x14, 0x14));
    for (auto role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
      palette.setColor(QPalette::Disabled, role, disabled);
    }
  }
  QApplication::setPalette(palette);
  QCoreApplication::processEvents();
}

struct Screen::Impl {
  toolkit::qt::QtWindow* window = nullptr;
  QWidget* top() const { return window->widget(); }
  QWidget* widget(std::string_view name, int index) const { return window->widgetOf(name, index); }
};

namespace {

void sendClick(QWidget* target, QPoint at) {
  const QPointF local(at);
  const QPointF global(target->mapToGlobal(at));
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(target, &release);
  QCoreApplication::processEvents();
}

}  // namespace

Screen::Screen(toolkit::Form& form) : impl_(std::make_unique<Impl>()) {
  impl_->window = dynamic_cast<toolkit::qt::QtWindow*>(form.nativeWindow());
  if (!impl_->window) throw std::runtime_error("the form is not loaded");
}

Screen::~Screen() = default;

int Screen::clientWidth() const {
  return impl_->top()->width();
}
int Screen::clientHeight() const {
  return impl_->top()->height();
}

int Screen::dpi() const {
  return 96;
}

bool Screen::changeDpi(int) {
  return false;
}

bool Screen::showsIcon() const {
  return !impl_->top()->windowIcon().isNull();
}

std::optional<std::pair<int, int>> Screen::iconWidths() const {
  return std::nullopt;
}

bool Screen::focusForReading(std::string_view) {
  return false;
}

std::vector<std::uint32_t> Screen::pixels(std::string_view name, int* width) const {
  QWidget* w = impl_->widget(name, -1);
  if (!w) return {};
  const QImage image = w->grab().toImage();
  if (width) *width = image.width();
  std::vector<std::uint32_t> out;
  out.reserve(static_cast<std::size_t>(image.width() * image.height()));
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      out.push_back(static_cast<std::uint32_t>(c.red()) |
                    (static_cast<std::uint32_t>(c.green()) << 8) |
                    (static_cast<std::uint32_t>(c.blue()) << 16));
    }
  }
  return out;
}

std::optional<ScreenRect> Screen::rectOf(std::string_view name, int index) const {
  QWidget* w = impl_->widget(name, index);
  if (!w || w->window() != impl_->top()) return std::nullopt;
  const QPoint at = w->mapTo(impl_->top(), QPoint(0, 0));
  return ScreenRect{at.x(), at.y(), w->width(), w->height()};
}

bool Screen::shown(std::string_view name, int index) const {
  QWidget* w = impl_->widget(name, index);
  return w && w->window() == impl_->top() && w->isVisibleTo(impl_->top());
}

bool Screen::stackedAbove(std::string_view front, int frontIndex, std::string_view back,
                          int backIndex) const {
  QWidget* f = impl_->widget(front, frontIndex);
  QWidget* b = impl_->widget(back, backIndex);
  if (!f || !b || f->parentWidget() != b->parentWidget()) return false;
  // Siblings later in the list are drawn over earlier ones.
  const auto siblings = f->parentWidget()->children();
  return siblings.indexOf(f) > siblings.indexOf(b);
}

std::string Screen::focusAfterTab(std::string_view name, int index) {
  QWidget* from = impl_->widget(name, index);
  if (!from) return {};
  // What QWidget::focusNextPrevChild does for the Tab key: the next widget in
  // the focus chain that takes focus by Tab, is shown and enabled. Parts of a
  // control (a text box's viewport) are not controls; skip to one.
  for (QWidget* next = from->nextInFocusChain(); next && next != from;
       next = next->nextInFocusChain()) {
    const std::string object = next->objectName().toStdString();
    if (object.empty() || !(next->focusPolicy() & Qt::TabFocus)) continue;
    if (!next->isVisibleTo(impl_->top()) || !next->isEnabled()) continue;
    if (next->window() != impl_->top()) continue;
    return object;
  }
  return {};
}

void Screen::clickTab(std::string_view tabControl, int page) {
  QWidget* panel = impl_->widget(tabControl, -1);
  auto* bar = panel ? panel->findChild<QTabBar*>() : nullptr;
  if (!bar) return;
  sendClick(bar, bar->tabRect(page).center());
}

void Screen::click(std::string_view name, int index) {
  const auto box = rectOf(name, index);
  if (!box) return;
  const QPoint centre(box->left + box->width / 2, box->top + box->height / 2);
  QWidget* target = impl_->top()->childAt(centre);
  if (!target) target = impl_->top();
  sendClick(target, target->mapFrom(impl_->top(), centre));
}

bool Screen::scrolls(std::string_view name, bool vertical) const {
  auto* area = qobject_cast<QAbstractScrollArea*>(impl_->widget(name, -1));
  if (!area) return false;
  QScrollBar* bar = vertical ? area->verticalScrollBar() : area->horizontalScrollBar();
  return bar->isVisibleTo(impl_->top()) && bar->maximum() > bar->minimum();
}

std::uint32_t Screen::colourAt(std::string_view name, double x, double y) const {
  QWidget* w = impl_->widget(name, -1);
  if (!w) return 0xFFFFFFFF;
  const QImage image = w->grab().toImage();
  const QColor c = image.pixelColor(static_cast<int>(x * (image.width() - 1)),
                                    static_cast<int>(y * (image.height() - 1)));
  return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
         (static_cast<std::uint32_t>(c.blue()) << 16);
}

namespace {

QAccessibleInterface* accessibleOf(QWidget* widget) {
  return widget ? QAccessible::queryAccessibleInterface(widget) : nullptr;
}

QString widgetText(QWidget* w) {
  if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) return multi->toPlainText();
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
  return {};
}

// Characters (UTF-16 units) in the first `bytes` bytes of `text`'s UTF-8 form.
int unitsOf(const QString& text, std::size_t bytes) {
  return static_cast<int>(
      QString::fromUtf8(text.toUtf8().left(static_cast<qsizetype>(bytes))).size());
}

}  // namespace

std::string Screen::accessibleName(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  return iface ? iface->text(QAccessible::Name).toStdString() : std::string();
}

std::optional<bool> Screen::checked(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  if (!iface || !iface->state().checkable) return std::nullopt;
  return static_cast<bool>(iface->state().checked);
}

namespace {

std::string roleName(QAccessible::Role role) {
  switch (role) {
    case QAccessible::Button:
      return "push button";
    case QAccessible::Link:
      return "link";
    case QAccessible::StatusBar:
      return "status";
    case QAccessible::StaticText:
      return "text";
    case QAccessible::Graphic:
      return "picture";
    case QAccessible::ProgressBar:
      return "progress bar";
    case QAccessible::CheckBox:
      return "check box";
    case QAccessible::EditableText:
      return "edit";
    case QAccessible::PageTabList:
      return "page tabs";
    default:
      return "role " + std::to_string(static_cast<int>(role));
  }
}

}  // namespace

std::string Screen::accessibleRole(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  return iface ? roleName(iface->role()) : std::string();
}

std::string Screen::accessibleDescription(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  return iface ? iface->text(QAccessible::Description).toStdString() : std::string();
}

std::string Screen::accessibleValue(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  return iface ? iface->text(QAccessible::Value).toStdString() : std::string();
}

bool Screen::accessiblePressed(std::string_view name, int index) const {
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  return iface && iface->state().pressed;
}

bool Screen::accessible(std::string_view name, int index) const {
  // In the tree: the window's accessible object reaches it through its parents.
  QAccessibleInterface* iface = accessibleOf(impl_->widget(name, index));
  for (int hops = 0; iface && hops < 16; ++hops) {
    if (iface->object() == impl_->top()) return true;
    iface = iface->parent();
  }
  return false;
}

std::vector<std::string> Screen::announcements() const {
  // Qt sends accessibility events only to a listening bridge, which the
  // offscreen platform has not: read what the window's notification says, as a
  // screen reader reads a live region (the end-to-end test hears the event).
  QAccessibleInterface* window = accessibleOf(impl_->top());
  for (int i = 0; window && i < window->childCount(); ++i) {
    QAccessibleInterface* child = window->child(i);
    if (child && child->role() == QAccessible::Notification &&
        !child->text(QAccessible::Name).isEmpty()) {
      return {child->text(QAccessible::Name).toStdString()};
    }
  }
  return {};
}

bool Screen::focus(std::string_view name, int index) {
  QWidget* w = impl_->widget(name, index);
  if (!w) return false;
  impl_->top()->activateWindow();
  QCoreApplication::processEvents();
  w->setFocus(Qt::TabFocusReason);
  QCoreApplication::processEvents();
  return QApplication::focusWidget() != nullptr &&
         (QApplication::focusWidget() == w || w->isAncestorOf(QApplication::focusWidget()));
}

std::string Screen::focusedControl() const {
  QWidget* focus = QApplication::focusWidget();
  for (QWidget* w = focus; w && w != impl_->top(); w = w->parentWidget()) {
    if (!w->objectName().isEmpty()) return w->objectName().toStdString();
  }
  return {};
}

void Screen::pressKey(std::string_view keys) {
  struct Key {
    std::string_view name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
  };
  static const Key known[] = {
      {"Tab", Qt::Key_Tab, Qt::NoModifier},
      {"Shift+Tab", Qt::Key_Backtab, Qt::ShiftModifier},
      {"Enter", Qt::Key_Return, Qt::NoModifier},
      {"Space", Qt::Key_Space, Qt::NoModifier},
      {"Escape", Qt::Key_Escape, Qt::NoModifier},
      {"Ctrl+Tab", Qt::Key_Tab, Qt::ControlModifier},
      {"Ctrl+Shift+Tab", Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier},
      {"Ctrl+PgDn", Qt::Key_PageDown, Qt::ControlModifier},
      {"Ctrl+PgUp", Qt::Key_PageUp, Qt::ControlModifier},
  };
  for (const Key& k : known) {
    if (k.name != keys) continue;
    if (QApplication::activeWindow() != impl_->top()) {
      impl_->top()->activateWindow();
      QCoreApplication::processEvents();
    }
    QWidget* target = QApplication::focusWidget();
    if (!target) target = impl_->top();
    QTest::keyClick(target, k.key, k.modifiers);
    QCoreApplication::processEvents();
    return;
  }
  throw std::invalid_argument("no such key: " + std::string(keys));
}

std::string Screen::shownText(std::string_view name) const {
  return widgetText(impl_->widget(name, -1)).toStdString();
}

std::size_t Screen::shownCaret(std::string_view name) const {
  QWidget* w = impl_->widget(name, -1);
  int position = 0;
  if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) position = multi->textCursor().position();
  if (auto* line = qobject_cast<QLineEdit*>(w)) position = line->cursorPosition();
  return static_cast<std::size_t>(widgetText(w).left(position).toUtf8().size());
}

void Screen::select(std::string_view name, std::size_t from, std::size_t to) {
  QWidget* w = impl_->widget(name, -1);
  const QString text = widgetText(w);
  if (auto* multi = qobject_cast<QPlainTextEdit*>(w)) {
    QTextCursor cursor = multi->textCursor();
    cursor.setPosition(unitsOf(text, from));
    cursor.setPosition(unitsOf(text, to), QTextCursor::KeepAnchor);
    multi->setTextCursor(cursor);
  } else if (auto* line = qobject_cast<QLineEdit*>(w)) {
    line->setSelection(unitsOf(text, from), unitsOf(text, to) - unitsOf(text, from));
  }
}

}  // namespace tests_support
