// The seam on Qt 6 Widgets: the loop, windows, timers, dialogs, popup menu and tray; see
// qt_backend.h. Windows and their controls are TopWindow (qt_window.h).
#include "ui/qt/qt_backend.h"

#include <utility>

#include <QApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QUrl>

#include "services/text/codec.h"
#include "ui/qt/qt_controls.h"
#include "ui/qt/qt_session.h"
#include "ui/qt/qt_ticker.h"
#include "ui/qt/qt_window.h"

namespace autoshutdown::ui::qt {
namespace {

// Answers of the Win32 message box that the layer expects.
constexpr int kIdOk = 1, kIdCancel = 2, kIdAbort = 3, kIdRetry = 4, kIdIgnore = 5, kIdYes = 6, kIdNo = 7;

QtWindow& Native(WindowInstance& window) {
  Q_ASSERT_X(dynamic_cast<QtWindow*>(window.native.get()), "QtBackend", "window has no Qt native window");
  return static_cast<QtWindow&>(*window.native);
}

TopWindow* Top(WindowInstance& window) { return Native(window).top; }

// Texts break lines with "\r\n" as on Windows; Qt wants "\n".
QString DisplayText(const Text& text) { return ToQString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

// A PNG image of an icon file (Windows Vista and later) comes undecoded: Qt reads it itself.
QIcon ToQIcon(const TrayIconSource& icon) {
  if (!icon.image.is_png) return QIcon(QPixmap::fromImage(ToQImage(icon.image.image)));
  const auto bytes = icon.ImageBytes();
  return QIcon(QPixmap::fromImage(QImage::fromData(bytes.data(), static_cast<int>(bytes.size()), "PNG")));
}

// A message box that can refuse Esc and its close button: the Yes/No and Abort/Retry/Ignore
// sets have no answer for them.
class SystemMessageBox final : public QMessageBox {
 public:
  explicit SystemMessageBox(bool closable) : closable_(closable) {}

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    if (!closable_ && event->key() == Qt::Key_Escape) return event->accept();
    QMessageBox::keyPressEvent(event);
  }
  void closeEvent(QCloseEvent* event) override {
    if (!closable_) return event->ignore();
    QMessageBox::closeEvent(event);
  }

 private:
  bool closable_;
};

struct ButtonSet {
  std::vector<QMessageBox::StandardButton> buttons;
  QMessageBox::StandardButton escape;  // NoButton: Esc and the close button do nothing
};

// MB_OK ... MB_RETRYCANCEL, in the order Windows shows them.
ButtonSet ButtonsOf(int style) {
  using B = QMessageBox;
  switch (style & 0xF) {
    case 1: return {{B::Ok, B::Cancel}, B::Cancel};
    case 2: return {{B::Abort, B::Retry, B::Ignore}, B::NoButton};
    case 3: return {{B::Yes, B::No, B::Cancel}, B::Cancel};
    case 4: return {{B::Yes, B::No}, B::NoButton};
    case 5: return {{B::Retry, B::Cancel}, B::Cancel};
    default: return {{B::Ok}, B::Ok};
  }
}

QMessageBox::Icon IconOf(int style) {
  switch (style & 0xF0) {
    case 0x10: return QMessageBox::Critical;
    case 0x20: return QMessageBox::Question;
    case 0x30: return QMessageBox::Warning;
    case 0x40: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int AnswerOf(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok: return kIdOk;
    case QMessageBox::Cancel: return kIdCancel;
    case QMessageBox::Abort: return kIdAbort;
    case QMessageBox::Retry: return kIdRetry;
    case QMessageBox::Ignore: return kIdIgnore;
    case QMessageBox::Yes: return kIdYes;
    case QMessageBox::No: return kIdNo;
    default: return 0;
  }
}

void AddEntries(QMenu& menu, const std::vector<PopupEntry>& entries) {
  for (const PopupEntry& entry : entries) {
    switch (entry.kind) {
      case PopupEntry::Kind::kSeparator: menu.addSeparator(); break;
      case PopupEntry::Kind::kSubmenu: {
        QMenu* sub = menu.addMenu(ToQString(entry.title));
        sub->setEnabled(!entry.disabled);
        AddEntries(*sub, entry.children);
        break;
      }
      case PopupEntry::Kind::kItem: {
        QAction* action = menu.addAction(ToQString(entry.title));
        action->setData(entry.item);
        action->setEnabled(!entry.disabled);
        action->setCheckable(entry.checked);
        action->setChecked(entry.checked);
        break;
      }
    }
  }
}

}  // namespace

QtBackend::QtBackend() : timers_(std::make_unique<Ticker>()), post_context_(std::make_unique<QObject>()) {
  Q_ASSERT_X(qApp, "QtBackend", "create the QApplication first");
  // Windows come and go by the layer's word only, hidden ones included.
  QApplication::setQuitOnLastWindowClosed(false);
  InstallAccessibleRoles();
  session_ = std::make_unique<SessionWatcher>(*this);
}

QtBackend::~QtBackend() = default;

void QtBackend::PrepareThread() {
  // The open-file dialog, which sets no folder of its own, starts in the program's folder.
  QDir::setCurrent(QCoreApplication::applicationDirPath());
}

int QtBackend::RunMessageLoop() {
  // A quit asked for before the loop ran (the session ended during start-up) ends it at once.
  if (quit_code_) return *quit_code_;
  return QApplication::exec();
}

void QtBackend::PostQuit(int code) {
  quit_code_ = code;
  // Every running loop ends, a modal dialog's included, as a quit message ends them on Windows.
  QCoreApplication::exit(code);
}

void QtBackend::DispatchPending() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void QtBackend::Post(std::function<void()> task) {
  // A queued call is an event: every loop runs it, a modal dialog's included.
  QMetaObject::invokeMethod(post_context_.get(), std::move(task), Qt::QueuedConnection);
}

void QtBackend::ShowFatalError(const Text& message) {
  QMessageBox::critical(nullptr, QStringLiteral("自动关机"), DisplayText(message));
}

Size QtBackend::ScreenSize() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return {};
  const QSize size = screen->geometry().size();
  return {size.width(), size.height()};
}

bool QtBackend::CreateNativeWindow(WindowInstance& window) {
  QWidget* owner = window.parent && window.parent->native ? Top(*window.parent) : nullptr;
  auto* top = new TopWindow(*this, window, owner);
  window.native = std::make_unique<QtWindow>(top);
  return true;
}

void QtBackend::DestroyNativeWindow(WindowInstance& window) {
  if (window.native) Native(window).Dispose();
}

QWidget* QtBackend::WidgetOf(const WindowInstance& window) {
  const auto* native = dynamic_cast<const QtWindow*>(window.native.get());
  return native ? native->top.data() : nullptr;
}

void QtBackend::ShowWindow(WindowInstance& window, ShowCommand command) {
  TopWindow* top = Top(window);
  if (!top) return;
  const auto activate = [top] {
    top->raise();
    top->activateWindow();
  };
  switch (command) {
    case ShowCommand::kHide:
      // Without a notification area a hidden window could not be reached again: it goes
      // to the task bar instead.
      if (window.tmpl->taskbar_button && !QSystemTrayIcon::isSystemTrayAvailable()) {
        // The minimise raises a position change that hides again: only the first one counts.
        if (!(top->windowState() & Qt::WindowMinimized)) Native(window).minimised_for_hide = true;
        top->showMinimized();
      } else {
        top->hide();
      }
      break;
    case ShowCommand::kShow:
      // A hidden window comes back in the state it had; one minimised in place of hiding had
      // not been minimised.
      if (std::exchange(Native(window).minimised_for_hide, false) && top->windowState() & Qt::WindowMinimized) {
        top->showNormal();
        activate();
      } else if (top->windowState() & Qt::WindowMinimized) {
        top->showMinimized();
      } else {
        top->show();
        activate();
      }
      break;
    case ShowCommand::kShowNormal:
      top->showNormal();
      activate();
      break;
    case ShowCommand::kMinimise: top->showMinimized(); break;
    case ShowCommand::kMaximise: top->showMaximized(); break;
  }
  // The state changes now, not when the window system answers: the layer raises its
  // events from within the call that caused them.
  top->ReportGeometry();
}

void QtBackend::MoveWindow(WindowInstance& window, int left, int top) {
  if (TopWindow* widget = Top(window)) {
    widget->move(left, top);
    widget->ReportGeometry();
  }
}

void QtBackend::ActivateWindow(WindowInstance& window) {
  if (TopWindow* top = Top(window)) {
    top->raise();
    top->activateWindow();
  }
}

void QtBackend::UpdateControl(WindowInstance& window, int control) {
  if (TopWindow* top = Top(window)) top->Sync(control);
}

void QtBackend::FocusAndSelectAll(WindowInstance& window, int control) {
  if (TopWindow* top = Top(window)) top->FocusAndSelectAll(control);
}

void QtBackend::SetSkin(std::optional<Skin> skin) {
  look_.skin = skin;
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (auto* top = dynamic_cast<TopWindow*>(widget)) top->RepaintAll();
  }
}

void QtBackend::StartTimer(WindowInstance& window, int control, int period_ms) {
  if (TopWindow* top = Top(window)) top->StartTimer(control, period_ms);
}

void QtBackend::StopTimer(WindowInstance& window, int control) {
  if (TopWindow* top = Top(window)) top->StopTimer(control);
}

int QtBackend::ShowMessageBox(const MessageBoxRequest& request) {
  const ButtonSet set = ButtonsOf(request.style);
  SystemMessageBox box(set.escape != QMessageBox::NoButton);
  box.setWindowTitle(DisplayText(request.title));
  box.setTextFormat(Qt::PlainText);
  box.setText(DisplayText(request.text));
  box.setIcon(IconOf(request.style));
  std::vector<QAbstractButton*> buttons;
  for (QMessageBox::StandardButton button : set.buttons) buttons.push_back(box.addButton(button));
  const std::size_t default_index = static_cast<std::size_t>(request.style >> 8 & 0xF);
  box.setDefaultButton(static_cast<QPushButton*>(buttons[default_index < buttons.size() ? default_index : 0]));
  if (set.escape != QMessageBox::NoButton) {
    box.setEscapeButton(box.button(set.escape));
  } else {
    // No close button: only the window manager's title and border.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  }
  // Task-modal without an owner: shown even while every window of the program is hidden.
  box.setWindowModality(Qt::ApplicationModal);
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  return clicked ? AnswerOf(box.standardButton(clicked)) : 0;
}

std::optional<Text> QtBackend::ShowOpenFileDialog(WindowInstance* owner, const Text& preset) {
  QFileDialog dialog(owner ? Top(*owner) : nullptr);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setWindowModality(Qt::ApplicationModal);
  if (!preset.empty()) dialog.selectFile(QString::fromStdString(codec::Gb18030ToUtf8(preset)));
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return Text(codec::Utf8ToGb18030(chosen.front().toStdString()));
}

std::optional<int> QtBackend::TrackPopupMenu(WindowInstance&, const std::vector<PopupEntry>& entries, Point at) {
  QMenu menu;
  AddEntries(menu, entries);
  const QAction* chosen = menu.exec(QPoint(at.x, at.y));
  if (!chosen || !chosen->data().isValid()) return std::nullopt;
  return chosen->data().toInt();
}

Point QtBackend::CursorPosition() {
  const QPoint at = QCursor::pos();
  return {at.x(), at.y()};
}

void QtBackend::TrayAdd(WindowInstance& window, const TrayIconSource& icon, const Text& tip) {
  QtWindow& native = Native(window);
  Q_ASSERT_X(!native.tray, "QtBackend::TrayAdd", "the window has a tray icon already");
  auto* tray = new QSystemTrayIcon(ToQIcon(icon));
  tray->setToolTip(DisplayText(tip));
  QObject::connect(tray, &QSystemTrayIcon::activated, tray, [this, top = native.top](QSystemTrayIcon::ActivationReason reason) {
    if (!top || !top->Instance()) return;
    switch (reason) {
      case QSystemTrayIcon::Trigger: events().OnTrayNotification(*top->Instance(), 1); break;
      case QSystemTrayIcon::DoubleClick: events().OnTrayNotification(*top->Instance(), 2); break;
      case QSystemTrayIcon::Context: events().OnTrayNotification(*top->Instance(), 3); break;
      default: break;
    }
  });
  tray->show();
  native.tray = tray;
}

void QtBackend::TrayModify(WindowInstance& window, const TrayIconSource& icon, const Text& tip) {
  QtWindow& native = Native(window);
  if (!native.tray) return TrayAdd(window, icon, tip);
  native.tray->setIcon(ToQIcon(icon));
  native.tray->setToolTip(DisplayText(tip));
}

void QtBackend::TrayDelete(WindowInstance& window) {
  QtWindow& native = Native(window);
  if (!native.tray) return;
  // The icon may be reporting the very click that removes it: it goes once that is done.
  native.tray->hide();
  native.tray->deleteLater();
  native.tray = nullptr;
}

bool QtBackend::OpenAddress(const Text& address) {
  return QDesktopServices::openUrl(QUrl(ToQString(address), QUrl::StrictMode));
}

void QtBackend::EndSession() {
  if (session_ended_) return;
  session_ended_ = true;
  // The desktop ends the program whatever the answer; there is nobody to refuse to.
  events().OnSessionEnding();
  events().OnSessionEnded();
}

}  // namespace autoshutdown::ui::qt
