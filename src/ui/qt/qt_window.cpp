// A loaded window on Qt; see qt_window.h.
#include "ui/qt/qt_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QWindow>

#include "ui/look.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_ticker.h"
#include "ui/templates/resources.h"

namespace autoshutdown::ui::qt {
namespace {

constexpr int kSpinWidth = 18;

ShowState StateOf(Qt::WindowStates states) {
  if (states & Qt::WindowMinimized) return ShowState::kMinimised;
  if (states & Qt::WindowMaximized) return ShowState::kMaximised;
  return ShowState::kNormal;
}

int KeyState(Qt::KeyboardModifiers modifiers) {
  return (modifiers & Qt::ControlModifier ? 1 : 0) | (modifiers & Qt::ShiftModifier ? 2 : 0) |
         (modifiers & Qt::AltModifier ? 4 : 0);
}

Qt::WindowFlags FlagsFor(const WindowTemplate& tmpl, bool owned) {
  Qt::WindowFlags flags = Qt::FramelessWindowHint;
  // A window without a task-bar button of its own: an owned window is transient for its
  // owner (no button on any common task bar); an ownerless one is a tool window.
  flags |= tmpl.taskbar_button || owned ? Qt::Window : Qt::Tool;
  return flags;
}

}  // namespace

TopWindow::TopWindow(QtBackend& backend, WindowInstance& instance, QWidget* owner)
    : QWidget(owner, FlagsFor(*instance.tmpl, owner != nullptr)),
      backend_(backend),
      instance_(&instance),
      views_(instance.controls.size()) {
  const WindowTemplate& tmpl = *instance.tmpl;
  setWindowTitle(ToQString(tmpl.title));
  if (const std::optional<IconImage> icon = ParseIconFile(tmpl.icon)) {
    setWindowIcon(QIcon(QPixmap::fromImage(ToQImage(icon->image))));
  }
  setFixedSize(tmpl.width, tmpl.height);
  move(instance.left, instance.top);
  QPalette colours = palette();
  colours.setColor(QPalette::Window, ToQColor(tmpl.background));
  setPalette(colours);
  setAutoFillBackground(true);
  Watch(this, -1);

  for (std::size_t i = 0; i < views_.size(); ++i) views_[i].widget = Build(static_cast<int>(i));
  // Among siblings the earlier control lies above: raise from the last to the first.
  for (std::size_t i = views_.size(); i-- > 0;) {
    if (views_[i].spin) views_[i].spin->raise();
    if (views_[i].widget) views_[i].widget->raise();
  }
  for (std::size_t i = 0; i < views_.size(); ++i) Sync(static_cast<int>(i));
}

QWidget* TopWindow::Build(int control) {
  const ControlTemplate& t = *instance_->controls[static_cast<std::size_t>(control)].tmpl;
  QWidget* parent = this;
  if (t.parent >= 0) {
    // Templates list a group box before what it holds.
    Q_ASSERT_X(t.parent < control && views_[static_cast<std::size_t>(t.parent)].widget, "TopWindow::Build",
               "a control lies in a group box listed after it");
    parent = views_[static_cast<std::size_t>(t.parent)].widget;
  }
  ControlView& view = views_[static_cast<std::size_t>(control)];
  const LookContext& look = backend_.Look();
  QWidget* widget = nullptr;
  switch (t.kind) {
    case ControlKind::kTimer:
    case ControlKind::kFileDialog: return nullptr;
    case ControlKind::kButton: {
      auto* button = new PushButton(look, parent);
      connect(button, &QAbstractButton::clicked, this, [this, control] {
        if (instance_) backend_.Events().OnClicked(*instance_, control);
      });
      widget = button;
      break;
    }
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton: {
      QAbstractButton* button = t.kind == ControlKind::kCheckBox
                                    ? static_cast<QAbstractButton*>(new CheckBox(look, t, parent))
                                    : new RadioButton(look, t, parent);
      button->setText(ToQString(t.text));
      connect(button, &QAbstractButton::clicked, this, [this, control] {
        if (instance_) backend_.Events().OnClicked(*instance_, control);
      });
      widget = button;
      break;
    }
    case ControlKind::kEditBox: {
      auto* box = new EditBox(look, t, parent);
      view.edit = box->Edit();
      view.edit->setFocusPolicy(t.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
      view.edit->setAccessibleName(ToQString(t.name));
      Watch(view.edit, control);
      if (t.spin) {
        view.spin = new SpinButton(look, parent, [this, control](bool up) {
          if (instance_) backend_.Events().OnSpin(*instance_, control, up);
        });
        view.spin->setGeometry(t.left + t.width, t.top, kSpinWidth, t.height);
      }
      widget = box;
      break;
    }
    case ControlKind::kLabel:
    case ControlKind::kTransparentLabel: widget = new LabelBox(t, parent); break;
    case ControlKind::kGroupBox: widget = new GroupBox(look, t, parent); break;
    case ControlKind::kPictureBox: widget = new PictureBox(t, PictureFor(t), parent); break;
    case ControlKind::kHyperlink:
      widget = new HyperlinkBox(t, parent,
                                {[this, control](bool inside) {
                                   if (instance_) backend_.Events().OnHyperlinkHover(*instance_, control, inside);
                                 },
                                 [this, control] {
                                   if (instance_) backend_.Events().OnHyperlinkPressed(*instance_, control);
                                 }});
      break;
  }
  widget->setGeometry(t.left, t.top, t.width, t.height);
  widget->setFont(ToQFont(t.font));
  const bool focusable = t.kind == ControlKind::kButton || t.kind == ControlKind::kCheckBox ||
                         t.kind == ControlKind::kRadioButton;
  if (focusable) widget->setFocusPolicy(t.tab_stop ? Qt::StrongFocus : Qt::ClickFocus);
  Watch(widget, control);
  return widget;
}

QImage TopWindow::PictureFor(const ControlTemplate& tmpl) const {
  const auto icon_of = [](const WindowTemplate* window) {
    if (!window) return QImage();
    const std::optional<IconImage> icon = ParseIconFile(window->icon);
    return icon ? ToQImage(icon->image) : QImage();
  };
  switch (tmpl.picture) {
    case PictureSource::kNone: return {};
    case PictureSource::kWindowIcon: return icon_of(instance_->tmpl);
    case PictureSource::kOwnerIcon: return icon_of(instance_->parent ? instance_->parent->tmpl : nullptr);
    case PictureSource::kDescriptionPicture: return ToQImage(DecodeJpeg(DescriptionPicture()));
  }
  return {};
}

void TopWindow::Watch(QObject* object, int control) {
  control_of_.insert(object, control);
  object->installEventFilter(this);
}

void TopWindow::Detach() {
  instance_ = nullptr;
  backend_.Timers().StopAll(this);
  drag_offset_.reset();
  if (QWidget::mouseGrabber() == this) releaseMouse();
}

void TopWindow::Sync(int control) {
  if (!instance_) return;
  const ControlState& state = instance_->controls[static_cast<std::size_t>(control)];
  ControlView& view = views_[static_cast<std::size_t>(control)];
  if (!view.widget) return;
  const bool first = !view.synced;
  view.synced = true;
  if (first || state.visible != view.visible) {
    view.visible = state.visible;
    view.widget->setVisible(state.visible);
    if (view.spin) view.spin->setVisible(state.visible);
  }
  if (first || state.disabled != view.disabled) {
    view.disabled = state.disabled;
    view.widget->setEnabled(!state.disabled);
    if (view.spin) view.spin->setEnabled(!state.disabled);
  }
  const ControlKind kind = state.tmpl->kind;
  if (first || state.text != view.text) {
    view.text = state.text;
    const QString text = ToQString(state.text);
    switch (kind) {
      case ControlKind::kButton: static_cast<QAbstractButton*>(view.widget)->setText(text); break;
      case ControlKind::kEditBox: view.edit->setText(text); break;
      case ControlKind::kLabel:
      case ControlKind::kTransparentLabel: static_cast<LabelBox*>(view.widget)->SetCaption(text); break;
      case ControlKind::kGroupBox: static_cast<QGroupBox*>(view.widget)->setTitle(text); break;
      default: break;
    }
  }
  if ((kind == ControlKind::kCheckBox || kind == ControlKind::kRadioButton) &&
      (first || state.checked != view.checked)) {
    view.checked = state.checked;
    auto* button = static_cast<QAbstractButton*>(view.widget);
    button->setCheckable(true);
    button->setChecked(state.checked);
  }
  if (kind == ControlKind::kHyperlink &&
      (first || state.link_hover != view.hover || state.link_visited != view.visited)) {
    view.hover = state.link_hover;
    view.visited = state.link_visited;
    static_cast<HyperlinkBox*>(view.widget)->SetLook(ToQString(HyperlinkText(state)), ToQColor(HyperlinkColour(state)));
  }
}

void TopWindow::RepaintAll() {
  for (QWidget* widget : findChildren<QWidget*>()) widget->update();
  update();
}

void TopWindow::ReportGeometry() {
  if (instance_) backend_.Events().OnWindowGeometry(*instance_, x(), y(), StateOf(windowState()));
}

void TopWindow::StartTimer(int control, int period_ms) {
  backend_.Timers().Start(this, control, period_ms, [this, control] {
    if (instance_) backend_.Events().OnTimerTick(*instance_, control);
  });
}

void TopWindow::StopTimer(int control) { backend_.Timers().Stop(this, control); }

void TopWindow::FocusAndSelectAll(int control) {
  if (QLineEdit* edit = views_[static_cast<std::size_t>(control)].edit) {
    edit->selectAll();
    edit->setFocus(Qt::OtherFocusReason);
  }
}

bool TopWindow::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: return HandlePress(watched, static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress: {
      const auto* key = static_cast<QKeyEvent*>(event);
      const bool bare = (key->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == 0;
      if (key->key() != Qt::Key_Escape || !bare) return false;
      if (instance_) backend_.Events().OnEscape(*instance_);
      return true;
    }
    default: return false;
  }
}

bool TopWindow::HandlePress(QObject* watched, QMouseEvent* event) {
  const Qt::MouseButton button = event->button();
  if (button != Qt::LeftButton && button != Qt::RightButton) return false;
  if (event == last_press_ && event->timestamp() == last_press_time_) return false;
  last_press_ = event;
  last_press_time_ = event->timestamp();
  if (!instance_) return true;
  const int control = control_of_.value(watched, -1);
  // Positions count from the control's own top left, also for the line edit in an edit box.
  QPoint at = event->position().toPoint();
  if (control >= 0 && watched != views_[static_cast<std::size_t>(control)].widget) {
    at = views_[static_cast<std::size_t>(control)].widget->mapFromGlobal(event->globalPosition().toPoint());
  }
  const BackendEvents::PressResult result = backend_.Events().OnMousePress(
      *instance_, control,
      button == Qt::LeftButton ? BackendEvents::MouseButton::kLeft : BackendEvents::MouseButton::kRight, at.x(),
      at.y(), KeyState(event->modifiers()));
  if (!instance_) return true;
  if (result.start_drag) {
    StartDrag(event->globalPosition().toPoint());
    return true;
  }
  return result.swallow;
}

void TopWindow::StartDrag(QPoint global) {
  // The window manager moves the window; where it can't (none running, or no
  // _NET_WM_MOVERESIZE), follow the mouse by hand until the button is released.
  if (QWindow* native = windowHandle(); native && native->startSystemMove()) return;
  drag_offset_ = global - pos();
  grabMouse();
}

void TopWindow::mouseMoveEvent(QMouseEvent* event) {
  if (drag_offset_) move(event->globalPosition().toPoint() - *drag_offset_);
}

void TopWindow::mouseReleaseEvent(QMouseEvent*) {
  if (!drag_offset_) return;
  drag_offset_.reset();
  releaseMouse();
}

void TopWindow::closeEvent(QCloseEvent* event) {
  // The layer decides whether and when the window goes.
  event->ignore();
  if (!instance_) return;
  if (event->spontaneous()) {
    backend_.Events().OnCloseCommand(*instance_);
  } else {
    // Not from the window manager: Qt closing every window because the application is asked
    // to quit (the session manager's "die"); that is the end of the session.
    backend_.EndSession();
  }
}

void TopWindow::moveEvent(QMoveEvent*) { ReportGeometry(); }

void TopWindow::changeEvent(QEvent* event) {
  if (event->type() == QEvent::WindowStateChange) ReportGeometry();
  QWidget::changeEvent(event);
}

void QtWindow::Dispose() {
  if (tray) {
    tray->hide();
    tray->deleteLater();
    tray = nullptr;
  }
  if (top) {
    top->Detach();
    top->hide();
    top->deleteLater();
    top = nullptr;
  }
}

}  // namespace autoshutdown::ui::qt
