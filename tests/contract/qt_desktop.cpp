// The contract's desktop on the Qt backend, in process on Qt's offscreen platform: clicks
// and keys go to the real widgets through QTest, the tray icon reports as Qt delivers its
// activations, and message boxes and popup menus are answered by a watcher that finds the
// open one and clicks its button or item, as a user would.
#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <deque>

#include <gtest/gtest.h>

#include "app/program.h"
#include "services/text/codec.h"
#include "tests/contract/desktop.h"
#include "ui/qt/qt_backend.h"
#include "ui/qt/qt_window.h"
#include "ui/window_layer.h"

namespace autoshutdown::contract {
namespace {

using templates::MainWindow;

constexpr int kWatchPeriodMs = 5;
// A loop that has not ended this long after its steps never will.
constexpr int kLoopGraceMs = 3000;

Text ToGbk(const QString& text) { return Text(codec::Utf8ToGbk(text.toStdString())); }

// The style the system got, read back from the box: buttons, icon and modality.
int StyleOf(const QMessageBox& box) {
  const QMessageBox::StandardButtons buttons = box.standardButtons();
  int style = buttons == (QMessageBox::Yes | QMessageBox::No) ? 4 : buttons == QMessageBox::Ok ? 0 : 0xF;
  switch (box.icon()) {
    case QMessageBox::Critical: style |= 0x10; break;
    case QMessageBox::Question: style |= 0x20; break;
    case QMessageBox::Warning: style |= 0x30; break;
    case QMessageBox::Information: style |= 0x40; break;
    default: break;
  }
  if (box.windowModality() == Qt::ApplicationModal) style |= 8192;
  return style;
}

QMessageBox::StandardButton ButtonOf(int system_answer) {
  switch (system_answer) {
    case 1: return QMessageBox::Ok;
    case 2: return QMessageBox::Cancel;
    case 6: return QMessageBox::Yes;
    case 7: return QMessageBox::No;
    default: return QMessageBox::NoButton;
  }
}

class QtDesktop final : public Desktop {
 public:
  QtDesktop() {
    started_ = program_.Start();
    QObject::connect(&watcher_, &QTimer::timeout, [this] { AnswerWhatIsOpen(); });
    watcher_.start(kWatchPeriodMs);
  }
  ~QtDesktop() override { watcher_.stop(); }
  bool started() const { return started_; }

  void Click(const ui::WindowTemplate& window, int control) override {
    QWidget* widget = WidgetOf(window, control);
    ASSERT_NE(widget, nullptr) << "no widget for control " << control;
    QTest::mouseClick(widget, Qt::LeftButton);
  }
  void Spin(Control box, bool up) override {
    const ui::ControlTemplate& tmpl = MainWindow().controls[static_cast<std::size_t>(box)];
    const QPoint corner = PlaceOf(MainWindow(), box) + QPoint(tmpl.width + 4, 0);
    QWidget* arrow = Top(MainWindow())->childAt(corner + QPoint(0, up ? 4 : tmpl.height - 4));
    ASSERT_NE(arrow, nullptr);
    QTest::mouseClick(arrow, Qt::LeftButton);
  }
  void PressEscape(const ui::WindowTemplate& window) override {
    // Keys reach the window through its focusable controls.
    QTest::keyClick(Top(window)->findChild<QAbstractButton*>(), Qt::Key_Escape);
  }
  void RightClick(Control control) override {
    QWidget* widget = WidgetOf(MainWindow(), control);
    ASSERT_NE(widget, nullptr) << "no widget for control " << control;
    QTest::mouseClick(widget, Qt::RightButton);
  }
  void MinimiseByUser() override { Top(MainWindow())->showMinimized(); }
  void TrayRightClick() override { Activate({QSystemTrayIcon::Context}); }
  void TrayDoubleClick() override {
    Activate({QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick, QSystemTrayIcon::Trigger});
  }

  void AnswerNextBox(int system_answer) override { box_answers_.push_back(system_answer); }
  void ChooseNextMenu(std::optional<Text> title) override { menu_answers_.push_back(std::move(title)); }

  void Settle() override {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  int RunLoop(std::function<void()> inside) override {
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(kLoopStalled); });
    QTimer::singleShot(0, &guard, [inside = std::move(inside), &guard] {
      inside();
      guard.start(kLoopGraceMs);
    });
    const int code = program_.Run();
    Settle();
    return code;
  }

  bool WindowOpen(const ui::WindowTemplate& window) override { return program_.layer().Find(window) != nullptr; }
  int OpenWindows() override { return static_cast<int>(program_.layer().windows().size()); }
  bool WindowShown(const ui::WindowTemplate& window) override {
    const QWidget* top = WindowOpen(window) ? Top(window) : nullptr;
    return top && top->isVisible() && !(top->windowState() & Qt::WindowMinimized);
  }
  bool TrayIconShown() override {
    const QSystemTrayIcon* tray = Tray();
    return tray && tray->isVisible();
  }
  Text ControlText(Control control) override {
    QWidget* widget = WidgetOf(MainWindow(), control);
    if (!widget) {
      ADD_FAILURE() << "no widget shows control " << control;
      return Text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) return ToGbk(button->text());
    if (auto* edit = widget->findChild<QLineEdit*>()) return ToGbk(edit->text());
    return ToGbk(QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name));
  }
  bool ControlEnabled(Control control) override {
    QWidget* widget = WidgetOf(MainWindow(), control);
    return widget && widget->isEnabled();
  }
  bool ControlChecked(Control control) override {
    auto* button = qobject_cast<QAbstractButton*>(WidgetOf(MainWindow(), control));
    return button && button->isChecked();
  }

  std::vector<BoxSeen> Boxes() override { return boxes_; }
  std::vector<std::vector<Text>> Popups() override { return popups_; }
  int UnansweredDialogs() override { return unanswered_dialogs_; }

 private:
  QWidget* Top(const ui::WindowTemplate& window) {
    ui::WindowInstance* instance = program_.layer().Find(window);
    return instance ? ui::qt::QtBackend::WidgetOf(*instance) : nullptr;
  }
  // The control's top left in its window, through the group boxes holding it.
  static QPoint PlaceOf(const ui::WindowTemplate& window, int control) {
    QPoint at;
    for (int c = control; c >= 0;) {
      const ui::ControlTemplate& tmpl = window.controls[static_cast<std::size_t>(c)];
      at += QPoint(tmpl.left, tmpl.top);
      c = tmpl.parent;
    }
    return at;
  }
  // The widget the user sees at the control's place.
  QWidget* WidgetOf(const ui::WindowTemplate& window, int control) {
    QWidget* top = Top(window);
    return top ? top->childAt(PlaceOf(window, control) + QPoint(1, 1)) : nullptr;
  }
  QSystemTrayIcon* Tray() {
    ui::WindowInstance* instance = program_.layer().Find(MainWindow());
    const auto* native = instance ? dynamic_cast<const ui::qt::QtWindow*>(instance->native.get()) : nullptr;
    return native ? native->tray.data() : nullptr;
  }
  void Activate(std::initializer_list<QSystemTrayIcon::ActivationReason> reasons) {
    for (QSystemTrayIcon::ActivationReason reason : reasons) {
      QSystemTrayIcon* tray = Tray();
      ASSERT_NE(tray, nullptr) << "no tray icon";
      emit tray->activated(reason);
    }
  }

  // Runs every few milliseconds, also inside the modal loops of boxes and menus.
  void AnswerWhatIsOpen() {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        box && box->isVisible() && !box->property(kAnswered).toBool()) {
      box->setProperty(kAnswered, true);
      boxes_.push_back({ToGbk(box->text().replace(QStringLiteral("\n"), QStringLiteral("\r\n"))),
                       ToGbk(box->windowTitle()), StyleOf(*box)});
      QAbstractButton* button = nullptr;
      if (!box_answers_.empty()) {
        button = box->button(ButtonOf(box_answers_.front()));
        box_answers_.pop_front();
      }
      if (!button) {
        ++unanswered_dialogs_;
        button = box->buttons().front();
      }
      QTest::mouseClick(button, Qt::LeftButton);
      return;
    }
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        menu && menu->isVisible() && !menu->property(kAnswered).toBool()) {
      menu->setProperty(kAnswered, true);
      std::vector<Text> titles;
      QAction* chosen = nullptr;
      const std::optional<Text> wanted = menu_answers_.empty() ? std::nullopt : menu_answers_.front();
      if (!menu_answers_.empty()) menu_answers_.pop_front();
      for (QAction* action : menu->actions()) {
        titles.push_back(action->isSeparator() ? Text("-") : ToGbk(action->text()));
        if (wanted && !action->isSeparator() && titles.back() == *wanted) chosen = action;
      }
      popups_.push_back(std::move(titles));
      if (chosen) {
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(chosen).center());
      } else {
        menu->close();
      }
    }
  }

  static constexpr const char* kAnswered = "contract_answered";
  ui::qt::QtBackend backend_;
  app::Program program_{backend_, power, audio};
  bool started_ = false;
  QTimer watcher_;
  std::deque<int> box_answers_;
  std::deque<std::optional<Text>> menu_answers_;
  std::vector<BoxSeen> boxes_;
  std::vector<std::vector<Text>> popups_;
  int unanswered_dialogs_ = 0;
};

}  // namespace

std::unique_ptr<Desktop> MakeDesktop() {
  auto desktop = std::make_unique<QtDesktop>();
  return desktop->started() ? std::move(desktop) : nullptr;
}

}  // namespace autoshutdown::contract

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
