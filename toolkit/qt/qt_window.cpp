// Qt form window: makes each control's widget, in the toolkit's creation
// order (creation_order.h); the toolkit's ControlList owns the controls and
// finds them by name and index.

#include "toolkit/qt/qt_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QShortcut>
#include <QTabBar>
#include <map>

#include "toolkit/creation_order.h"
#include "toolkit/form.h"
#include "toolkit/in_view.h"
#include "toolkit/qt/qt_buttons.h"
#include "toolkit/qt/qt_pictures.h"
#include "toolkit/qt/qt_progress_bar.h"
#include "toolkit/qt/qt_tab_control.h"
#include "toolkit/qt/qt_text_box.h"

namespace toolkit::qt {

FormWidget::FormWidget(std::shared_ptr<EventLink> link, bool closesOnEscape)
    : link_(std::move(link)), announcer_(new Announcer(this)) {
  if (closesOnEscape) {
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    QObject::connect(escape, &QShortcut::activated, this, [this] { close(); });
  }
}

void FormWidget::announce(const QString& text) {
  announcer_->announce(text);
}

void FormWidget::focusWhenShown(QWidget* control) {
  pendingFocus_ = control;
  controlShown();
}

void FormWidget::controlShown() {
  QWidget* control = pendingFocus_;
  if (!control || !isVisible() || !control->isVisibleTo(this) || !control->isEnabled()) return;
  pendingFocus_ = nullptr;
  QWidget* focus = focusWidget();
  // The user has moved on: their choice stands.
  if (focus && focus != control && !qobject_cast<QTabBar*>(focus)) return;
  control->setFocus(Qt::OtherFocusReason);
}

void FormWidget::closeEvent(QCloseEvent* event) {
  // The close box unloads the window; the widget itself goes away later.
  if (link_->form) link_->form->dispatchClose();
  event->accept();
}

void FormWidget::raiseResize() {
  if (link_->form) link_->form->dispatchResize();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (isVisible()) raiseResize();
}

void FormWidget::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  raiseResize();
}

void FormWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::WindowStateChange) {
    auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if ((change->oldState() & Qt::WindowMinimized) && !isMinimized()) raiseResize();
  }
}

QtWindow::QtWindow(const WindowLayout& layout, Form& form, const Resources& resources)
    : link_(std::make_shared<EventLink>(EventLink{&form})),
      resources_(resources),
      widget_(new FormWidget(link_, layout.closesOnEscape)),
      startPosition_(layout.startPosition) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
  if (layout.minButton) flags |= Qt::WindowMinimizeButtonHint;
  if (layout.maxButton) flags |= Qt::WindowMaximizeButtonHint;
  widget_->setWindowFlags(flags);
  widget_->setWindowTitle(QString::fromStdString(layout.caption));
  if (!layout.icon.empty()) widget_->setWindowIcon(QIcon(QString::fromStdString(layout.icon)));
  widget_->setFixedSize(twipsToPixels(layout.clientWidth), twipsToPixels(layout.clientHeight));
  widget_->setFont(toQFont(layout.font, resources_.fontStandIns));
  if (layout.backColour) {
    QPalette palette = widget_->palette();
    palette.setColor(QPalette::Window, toQColor(*layout.backColour, palette));
    widget_->setPalette(palette);
    widget_->setAutoFillBackground(true);
  }
  createControls(layout);
  orderControls(layout);
}

QtWindow::~QtWindow() {
  link_->form = nullptr;
  controls_.clear();
  if (widget_) {
    widget_->hide();
    widget_->deleteLater();  // we may be inside one of its own event handlers
  }
  if (unseen_) unseen_->deleteLater();
}

namespace {

struct Container {
  QWidget* widget;
  QPoint origin;
  QtTabControl* tabs;
};

template <class C, class... Args>
std::unique_ptr<C> makeControl(Args&&... args) {
  return std::make_unique<C>(std::forward<Args>(args)...);
}

}  // namespace

void QtWindow::createControls(const WindowLayout& layout) {
  std::map<std::string, Container> containers;
  containers[""] = Container{widget_, QPoint(0, 0), nullptr};

  for (const ControlLayout* s : creationOrder(layout)) {
    const Container& parent = containers.at(s->parent);
    ControlContext context{link_, layout.font, parent.origin, resources_, widget_.data()};
    QWidget* into = parent.widget;
    if (!liesInWindow(layout, *s)) {
      if (!unseen_) unseen_ = new QWidget;  // no parent, never shown
      into = unseen_;
    }
    std::unique_ptr<Control> control;
    QWidget* drawn = nullptr;
    std::function<void(bool)> pageActive;
    auto keep = [&](auto made) {
      drawn = made->widget();
      auto* raw = made.get();
      pageActive = [raw](bool active) { raw->setPageActive(active); };
      control = std::move(made);
      return raw;
    };
    switch (s->kind) {
      case ControlKind::TextBox:
        keep(makeControl<QtTextBox>(*s, into, context));
        break;
      case ControlKind::Label:
        keep(makeControl<QtLabel>(*s, into, context));
        break;
      case ControlKind::CheckBox:
        keep(makeControl<QtCheckBox>(*s, into, context));
        break;
      case ControlKind::CommandButton:
        keep(makeControl<QtCommandButton>(*s, into, context));
        break;
      case ControlKind::ProgressBar:
        keep(makeControl<QtProgressBar>(*s, into, context));
        break;
      case ControlKind::Image:
        keep(makeControl<QtImage>(*s, into, context));
        break;
      case ControlKind::Timer:
        keep(makeControl<QtTimer>(*s, widget_.data(), context));
        break;
      case ControlKind::InternetTransfer:
        keep(makeControl<QtInternetTransfer>(*s, context));
        break;
      case ControlKind::Winsock:
        keep(makeControl<QtWinsock>(*s, context));
        break;
      case ControlKind::PictureBox: {
        auto* box = keep(makeControl<QtPictureBox>(*s, into, context));
        containers[s->name] = Container{box->widget(), box->clientOrigin(), nullptr};
        break;
      }
      case ControlKind::TabControl: {
        auto* tabs = keep(makeControl<QtTabControl>(*s, into, context));
        containers[s->name] = Container{tabs->widget(), QPoint(0, 0), tabs};
        break;
      }
    }
    if (parent.tabs && s->page >= 0) {
      parent.tabs->addMember(s->page, pageActive);
    }
    controls_.add(std::move(control), drawn);
  }
}

void QtWindow::orderControls(const WindowLayout& layout) {
  // Each container lists its children front to back: raise them back to front.
  for (auto it = layout.controls.rbegin(); it != layout.controls.rend(); ++it) {
    if (QWidget* w = widgetOf(it->name, it->index)) w->raise();
  }
  std::vector<std::pair<int, QWidget*>> order;
  for (const auto& s : layout.controls) {
    QWidget* w = widgetOf(s.name, s.index);
    if (w && s.tabIndex >= 0 && w->focusPolicy() != Qt::NoFocus && w->window() == widget_) {
      order.emplace_back(s.tabIndex, w);
    }
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 1; i < order.size(); ++i) {
    QWidget::setTabOrder(order[i - 1].second, order[i].second);
  }
}

Control* QtWindow::find(std::string_view name, int index) {
  return controls_.find(name, index);
}

QWidget* QtWindow::widgetOf(std::string_view name, int index) const {
  return controls_.nativeOf(name, index);
}

void QtWindow::centreOnScreen() {
  QScreen* screen = widget_->screen() ? widget_->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QSize size = widget_->frameGeometry().size();
  widget_->move(area.center() - QPoint(size.width() / 2, size.height() / 2));
}

void QtWindow::show() {
  if (!shownOnce_) {
    shownOnce_ = true;
    if (startPosition_ == StartPosition::CenterScreen && !placed_) centreOnScreen();
  }
  if (widget_->isMinimized())
    widget_->setWindowState(widget_->windowState() & ~Qt::WindowMinimized);
  widget_->show();
  // Bring it to the front; the offscreen platform has no stacking to change.
  if (QGuiApplication::platformName() != "offscreen") {
    widget_->raise();
    widget_->activateWindow();
  }
  widget_->controlShown();
}

bool QtWindow::isVisible() const {
  return widget_ && widget_->isVisible();
}
Twips QtWindow::innerWidth() const {
  return pixelsToTwips(widget_->width());
}
Twips QtWindow::innerHeight() const {
  return pixelsToTwips(widget_->height());
}

Twips QtWindow::left() const {
  const int x = widget_->frameGeometry().x();
  if (placed_ && twipsToPixels(placed_->first) == x) return placed_->first;
  return pixelsToTwips(x);
}

Twips QtWindow::top() const {
  const int y = widget_->frameGeometry().y();
  if (placed_ && twipsToPixels(placed_->second) == y) return placed_->second;
  return pixelsToTwips(y);
}

void QtWindow::moveTo(Twips left, Twips top) {
  placed_ = std::make_pair(left, top);
  widget_->move(twipsToPixels(left), twipsToPixels(top));
}

bool QtWindow::minimized() const {
  return widget_->windowState() & Qt::WindowMinimized;
}

void QtWindow::setMinimized(bool minimized) {
  Qt::WindowStates state = widget_->windowState();
  widget_->setWindowState(minimized ? (state | Qt::WindowMinimized)
                                    : (state & ~Qt::WindowMinimized));
}

std::string QtWindow::caption() const {
  return widget_->windowTitle().toStdString();
}

std::pair<std::string, int> QtWindow::focusedControl() const {
  // The control whose widget is the focus or holds it (a text box's viewport).
  for (QWidget* w = widget_ ? widget_->focusWidget() : nullptr; w && w != widget_;
       w = w->parentWidget()) {
    for (const auto& e : controls_) {
      if (e.native == w) return {e.control->name(), e.control->index()};
    }
  }
  return {};
}

void QtWindow::restoreFocus(const std::string& name, int index) {
  if (QWidget* w = widgetOf(name, index)) widget_->focusWhenShown(w);
}

}  // namespace toolkit::qt
