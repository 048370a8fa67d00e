#include <QAbstractScrollArea>
#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QIcon>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabBar>
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

bool Screen::focusForReading(std::string_view) {
  return false;
}

std::vector<std::uint32_t> Screen::pixels(std::string_view) const {
  return {};
}

std::optional<ScreenRect> Screen::rectOf(std::string_view name, int index) const {
  QWidget* w = impl_->widget(name, index);
  if (!w) return std::nullopt;
  const QPoint at = w->mapTo(impl_->top(), QPoint(0, 0));
  return ScreenRect{at.x(), at.y(), w->width(), w->height()};
}

bool Screen::shown(std::string_view name, int index) const {
  QWidget* w = impl_->widget(name, index);
  return w && w->isVisibleTo(impl_->top());
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
