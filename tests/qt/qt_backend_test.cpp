// The Qt backend in process, on Qt's offscreen platform, under the real window layer and the
// program's main window template (no handlers bound): what each control exposes to
// accessibility, that the layer alone decides checked states, spin buttons, Esc, repainting
// only what changed, and the message box's answers.
#include <QAccessible>
#include <QAccessibleInterface>
#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QTest>
#include <QElapsedTimer>
#include <QTimer>
#include <QAbstractButton>

#include <gtest/gtest.h>

#include "services/text/codec.h"
#include "ui/qt/qt_backend.h"
#include "ui/templates/main_window.h"
#include "ui/window_layer.h"

namespace autoshutdown::ui::qt {
namespace {

namespace mw = templates::main_window;

class QtBackendTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(layer_.OpenTemplateWindow(templates::MainWindow()));
    layer_.ApplyControlSkin(3);
  }

  WindowInstance& Main() { return *layer_.Find(templates::MainWindow()); }
  QWidget* Top() { return QtBackend::WidgetOf(Main()); }
  // The widget of a control: found by its accessible name or, for the standard widgets,
  // its text; controls are asked through what a screen reader sees.
  QAccessibleInterface* Accessible(QWidget* widget) { return QAccessible::queryAccessibleInterface(widget); }
  QWidget* WidgetAt(const ControlTemplate& control) {
    QPoint at(control.left + 1, control.top + 1);
    if (control.parent >= 0) {
      const ControlTemplate& group = templates::MainWindow().controls[static_cast<std::size_t>(control.parent)];
      at += QPoint(group.left, group.top);
    }
    return Top()->childAt(at);
  }
  QWidget* Widget(mw::Control control) {
    return WidgetAt(templates::MainWindow().controls[static_cast<std::size_t>(control)]);
  }
  Text Content(mw::Control box) { return layer_.GetText(templates::MainWindow(), Target::Control(box), prop::edit::Content); }
  bool Checked(mw::Control box) {
    return layer_.GetInt(templates::MainWindow(), Target::Control(box), prop::check::IsChecked) != 0;
  }
  static QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

  QtBackend backend_;
  WindowLayer layer_{backend_};
};

TEST_F(QtBackendTest, EveryVisibleControlShowsARoleAndItsText) {
  struct Case {
    mw::Control control;
    QAccessible::Role role;
    const char* name;  // UTF-8
  };
  const Case cases[] = {
      {mw::按钮1, QAccessible::Button, "启动"},
      {mw::按钮5, QAccessible::Button, "X"},
      {mw::标签9, QAccessible::StaticText, "Quenory"},
      {mw::标签1, QAccessible::StaticText, "时"},
      {mw::单选框1, QAccessible::RadioButton, "关机"},
      {mw::选择框1, QAccessible::CheckBox, "整点报时"},
      {mw::超级链接框1, QAccessible::Link, "https://shop.tesvaro.example/goods/timer.html"},
      {mw::图片框1, QAccessible::Graphic, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QWidget* widget = Widget(c.control);
    ASSERT_NE(widget, nullptr);
    QAccessibleInterface* accessible = Accessible(widget);
    ASSERT_NE(accessible, nullptr);
    EXPECT_EQ(accessible->role(), c.role);
    if (*c.name) {
      EXPECT_EQ(accessible->text(QAccessible::Name), Q(c.name));
    }
  }
  // The line edit of an edit box is its editable text; the group box is a grouping.
  QAccessibleInterface* hour = Accessible(Widget(mw::编辑框4)->findChild<QLineEdit*>());
  ASSERT_NE(hour, nullptr);
  EXPECT_EQ(hour->role(), QAccessible::EditableText);
  EXPECT_EQ(hour->text(QAccessible::Value), Q("00"));
  EXPECT_TRUE(hour->state().readOnly);
  QAccessibleInterface* group = Accessible(Top()->childAt(4 + 200, 21 + 2));
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(group->role(), QAccessible::Grouping);
  EXPECT_EQ(group->text(QAccessible::Name), Q("设定："));
  // States: 单选框1 starts checked, 按钮4 disabled.
  EXPECT_TRUE(Accessible(Widget(mw::单选框1))->state().checked);
  EXPECT_FALSE(Accessible(Widget(mw::单选框2))->state().checked);
  EXPECT_TRUE(Accessible(Widget(mw::单选框2))->state().checkable);
  EXPECT_TRUE(Accessible(Widget(mw::按钮4))->state().disabled);
  // A screen reader's press on a radio button is a user's click.
  QAccessibleInterface* restart = Accessible(Widget(mw::单选框2));
  ASSERT_NE(restart->actionInterface(), nullptr);
  restart->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(Checked(mw::单选框2));
  EXPECT_FALSE(Checked(mw::单选框1));
}

TEST_F(QtBackendTest, ClicksReportAndTheLayerDecidesCheckedStates) {
  auto* radio = qobject_cast<QAbstractButton*>(Widget(mw::单选框2));
  auto* check = qobject_cast<QAbstractButton*>(Widget(mw::选择框1));
  ASSERT_TRUE(radio && check);
  radio->click();
  EXPECT_TRUE(Checked(mw::单选框2));
  EXPECT_FALSE(Checked(mw::单选框1)) << "a click unchecks the group's others";
  EXPECT_TRUE(radio->isChecked());
  EXPECT_FALSE(qobject_cast<QAbstractButton*>(Widget(mw::单选框1))->isChecked());
  radio->click();
  EXPECT_TRUE(radio->isChecked()) << "a checked radio button stays checked";
  check->click();
  EXPECT_TRUE(Checked(mw::选择框1));
  EXPECT_TRUE(check->isChecked()) << "toggled once, by the layer, not also by Qt";
  check->click();
  EXPECT_FALSE(check->isChecked());
  // Setting IsChecked shows without a click.
  layer_.SetProperty(templates::MainWindow(), Target::Control(mw::单选框4), prop::check::IsChecked, 1);
  EXPECT_TRUE(qobject_cast<QAbstractButton*>(Widget(mw::单选框4))->isChecked());
  EXPECT_TRUE(radio->isChecked()) << "a write leaves the others";
}

TEST_F(QtBackendTest, SpinArrowsStepTheBoxAndFollowItsState) {
  const ControlTemplate& box = templates::MainWindow().controls[mw::编辑框4];
  const QPoint spin(4 + box.left + box.width + 9, 21 + box.top);
  QWidget* up = Top()->childAt(spin + QPoint(0, 4));
  QWidget* down = Top()->childAt(spin + QPoint(0, box.height - 4));
  ASSERT_TRUE(up && down && up != down);
  QTest::mouseClick(down, Qt::LeftButton);
  EXPECT_EQ(Content(mw::编辑框4), Text("23"));
  QTest::mouseClick(up, Qt::LeftButton);
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Content(mw::编辑框4), Text("1"));
  auto* edit = Widget(mw::编辑框4)->findChild<QLineEdit*>();
  EXPECT_EQ(edit->text(), Q("1"));
  EXPECT_EQ(edit->selectedText(), Q("1")) << "all selected after a step";
  layer_.SetProperty(templates::MainWindow(), Target::Control(mw::编辑框4), prop::IsDisabled, 1);
  EXPECT_FALSE(up->isEnabled()) << "the spin button follows its box";
  QTest::mouseClick(up, Qt::LeftButton);
  EXPECT_EQ(Content(mw::编辑框4), Text("1"));
  // Typing into a read-only box changes nothing.
  layer_.SetProperty(templates::MainWindow(), Target::Control(mw::编辑框4), prop::IsDisabled, 0);
  edit->setFocus();
  QTest::keyClicks(edit, "7");
  EXPECT_EQ(edit->text(), Q("1"));
}

// Counts the paint events a widget gets.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

TEST_F(QtBackendTest, AWriteThatChangesNothingVisiblePaintsNothing) {
  Top()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Top()));
  QWidget* label = Widget(mw::标签7);
  PaintCounter paints(label);
  QCoreApplication::processEvents();
  paints.count = 0;
  const auto set_title = [&](const char* gbk) {
    layer_.SetProperty(templates::MainWindow(), Target::Control(mw::标签7), prop::label::Title, Text(gbk));
    QCoreApplication::processEvents();
  };
  set_title("12");
  EXPECT_EQ(paints.count, 1);
  for (int i = 0; i < 5; ++i) set_title("12");
  EXPECT_EQ(paints.count, 1) << "same caption, no repaint";
  set_title("13");
  EXPECT_EQ(paints.count, 2);
}

TEST_F(QtBackendTest, EscapeClosesTheWindowThroughTheLayer) {
  Top()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Top()));
  QPointer<QWidget> top = Top();
  QTest::keyClick(Widget(mw::按钮1), Qt::Key_Escape, Qt::ShiftModifier);
  EXPECT_NE(layer_.Find(templates::MainWindow()), nullptr) << "Shift+Esc is not Esc";
  QTest::keyClick(Widget(mw::按钮1), Qt::Key_Escape);
  EXPECT_EQ(layer_.Find(templates::MainWindow()), nullptr);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(top.isNull()) << "the widget goes once its event is done";
}

// Presses `keys` on the message box once it is up; returns what ShowMessageBox answered and
// whether the box was still open after `keys_ignored`.
struct BoxRun {
  int answer = -1;
  bool open_after_ignored = false;
};
BoxRun RunBox(QtBackend& backend, int style, std::vector<Qt::Key> ignored, Qt::Key closing) {
  BoxRun run;
  QTimer::singleShot(0, [&] {
    QWidget* box = QApplication::activeModalWidget();
    ASSERT_NE(box, nullptr);
    for (Qt::Key key : ignored) QTest::keyClick(box, key);
    run.open_after_ignored = box->isVisible();
    if (!box->close() || box->isVisible()) {
      QTest::keyClick(box, closing);
    }
  });
  run.answer = backend.ShowMessageBox({Text("?"), Text("t"), style});
  return run;
}

TEST_F(QtBackendTest, MessageBoxAnswersAsTheSystemBox) {
  // Yes/No: Esc and the close button do nothing; Enter is Yes.
  BoxRun yes_no = RunBox(backend_, 4, {Qt::Key_Escape}, Qt::Key_Return);
  EXPECT_TRUE(yes_no.open_after_ignored);
  EXPECT_EQ(yes_no.answer, 6);
  // Information: closed by Esc or its close button, the answer is OK.
  BoxRun information = RunBox(backend_, 64, {}, Qt::Key_Escape);
  EXPECT_EQ(information.answer, 1);
  BoxRun by_escape = RunBox(backend_, 64, {Qt::Key_Escape}, Qt::Key_Escape);
  EXPECT_FALSE(by_escape.open_after_ignored);
  EXPECT_EQ(by_escape.answer, 1);
}

TEST_F(QtBackendTest, PostedTasksRunInsideAModalLoop) {
  bool ran = false;
  QTimer::singleShot(0, [&] {
    backend_.Post([&] { ran = true; });
    QTimer::singleShot(50, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
  });
  backend_.ShowMessageBox({Text("?"), Text("t"), 64});
  EXPECT_TRUE(ran);
}

TEST_F(QtBackendTest, TheSessionsEndEndsEveryLoopAndTheNextOneAtOnce) {
  // It ends inside a modal box: the box's loop ends too, with no answer.
  QTimer::singleShot(0, [&] { backend_.EndSession(); });
  EXPECT_EQ(backend_.ShowMessageBox({Text("?"), Text("t"), 4}), 0);
  EXPECT_TRUE(layer_.session_ended());
  // The message loop, not running yet when the end came, ends at once.
  EXPECT_EQ(backend_.RunMessageLoop(), 0);
}

TEST_F(QtBackendTest, HyperlinkHoverChangesItsColourThroughTheLayer) {
  QWidget* link = Widget(mw::超级链接框1);
  ASSERT_NE(link, nullptr);
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(link, &enter);
  EXPECT_TRUE(Main().controls[mw::超级链接框1].link_hover);
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(link, &leave);
  EXPECT_FALSE(Main().controls[mw::超级链接框1].link_hover);
}

TEST_F(QtBackendTest, WindowPlacementWritesRaiseTheirEventsFromWithin) {
  int position_changes = 0;
  layer_.Bind(templates::MainWindow(), Target::Window(), event::kPositionChanged, [&](const EventArgs&) {
    ++position_changes;
    return std::nullopt;
  });
  Top()->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(Top()));
  layer_.SetProperty(templates::MainWindow(), Target::Window(), prop::window::WindowPlacement, 2);
  EXPECT_EQ(position_changes, 1) << "raised inside the write";
  EXPECT_EQ(layer_.GetInt(templates::MainWindow(), Target::Window(), prop::window::WindowPlacement), 2);
  layer_.SetProperty(templates::MainWindow(), Target::Window(), prop::window::WindowPlacement, 0);
  EXPECT_EQ(position_changes, 2);
  EXPECT_EQ(layer_.GetInt(templates::MainWindow(), Target::Window(), prop::window::WindowPlacement), 0);
  EXPECT_FALSE(Top()->windowState() & Qt::WindowMinimized);
}

TEST_F(QtBackendTest, PopupMenuOpensWhereAskedAndAnswersTheChosenItem) {
  const auto entry = [](PopupEntry::Kind kind, const char* title, int item, bool disabled = false) {
    PopupEntry made;
    made.kind = kind;
    made.title = Text(title);
    made.item = item;
    made.disabled = disabled;
    return made;
  };
  const std::vector<PopupEntry> entries = {
      entry(PopupEntry::Kind::kItem, "a", 1),
      entry(PopupEntry::Kind::kSeparator, "-", 3),
      entry(PopupEntry::Kind::kItem, "b", 4, true),
      entry(PopupEntry::Kind::kItem, "c", 6),
  };
  QPoint shown_at;
  QTimer::singleShot(50, [&] {
    QWidget* menu = QApplication::activePopupWidget();
    ASSERT_NE(menu, nullptr);
    shown_at = menu->pos();
    // Down from nothing: "a"; again: "c", since the separator and the disabled "b" are skipped.
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Return);
  });
  EXPECT_EQ(backend_.TrackPopupMenu(Main(), entries, {103, 53}), 6);
  EXPECT_EQ(shown_at, QPoint(103, 53));
  QTimer::singleShot(50, [] { QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape); });
  EXPECT_EQ(backend_.TrackPopupMenu(Main(), entries, {10, 10}), std::nullopt) << "closed without a choice";
}

TEST_F(QtBackendTest, TimersOfOnePeriodTickTogetherAndNeverAhead) {
  QElapsedTimer clock;
  clock.start();
  std::map<int, std::vector<double>> ticks;  // by timer: milliseconds since the start
  std::map<int, double> started;
  const auto start = [&](mw::Control timer) {
    started[timer] = clock.nsecsElapsed() / 1e6;
    layer_.SetProperty(templates::MainWindow(), Target::Control(timer), prop::timer::TimerInterval, 10);
  };
  for (mw::Control timer : {mw::时钟1, mw::时钟2, mw::时钟3}) {
    layer_.Bind(templates::MainWindow(), Target::Control(timer), event::kTick, [&, timer](const EventArgs&) {
      ticks[timer].push_back(clock.nsecsElapsed() / 1e6);
      // The second timer joins from inside a tick of the first, the third later still.
      if (timer == mw::时钟1 && ticks[timer].size() == 3) start(mw::时钟2);
      if (timer == mw::时钟1 && ticks[timer].size() == 7) start(mw::时钟3);
      return std::nullopt;
    });
  }
  start(mw::时钟1);
  QTest::qWait(300);
  layer_.SetProperty(templates::MainWindow(), Target::Control(mw::时钟1), prop::timer::TimerInterval, 0);
  const std::size_t clock_ticks = ticks[mw::时钟1].size();
  QTest::qWait(30);
  EXPECT_EQ(ticks[mw::时钟1].size(), clock_ticks) << "stopped";
  for (mw::Control timer : {mw::时钟1, mw::时钟2, mw::时钟3}) {
    const std::vector<double>& times = ticks[timer];
    ASSERT_GE(times.size(), 10u) << timer;
    EXPECT_GE(times.front() - started[timer], 10.0) << "the first tick after a whole period";
    // Late ticks are merged, never made up for: no more ticks than whole periods.
    EXPECT_LE(static_cast<double>(times.size()), (times.back() - started[timer]) / 10.0 + 0.01) << timer;
    if (timer == mw::时钟1) continue;
    // Every tick of a later timer comes in a beat of the first: right after one of its ticks.
    for (double at : times) {
      if (at > ticks[mw::时钟1].back()) break;
      const auto beat = std::upper_bound(ticks[mw::时钟1].begin(), ticks[mw::时钟1].end(), at);
      ASSERT_NE(beat, ticks[mw::时钟1].begin());
      EXPECT_LT(at - *(beat - 1), 1.0) << timer << " ticked apart from the beat";
    }
  }
}

}  // namespace
}  // namespace autoshutdown::ui::qt

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
