// Start-up, the tray icon and its popup menu, hiding and showing, the description window
// and every way the program ends, with the program running whole on the headless backend.
#include <functional>
#include <string>

#include "tests/logic/program_fixture.h"

namespace autoshutdown::testing_support {
namespace {

namespace desc = templates::description_window;

const std::vector<Text> kFirstPopup{"隐藏", "-", "退出", "-"};
const std::vector<Text> kPopupWhileHidden{"显示", "-", "退出", "-"};

TEST_F(ProgramTest, StartUpSkinsAddsTheTrayIconStartsTheClockAndShowsTheWindowCentred) {
  EXPECT_TRUE(backend.thread_prepared);
  ASSERT_TRUE(backend.skin.has_value());
  EXPECT_EQ(backend.skin->scheme, 3);
  const headless::WindowMirror& window = *backend.Mirror(main);
  EXPECT_TRUE(window.visible);
  EXPECT_EQ(window.state, ui::ShowState::kNormal);
  EXPECT_EQ(window.left, (1024 - 400) / 2);
  EXPECT_EQ(window.top, (768 - 254) / 2);
  EXPECT_TRUE(window.has_tray_icon);
  EXPECT_EQ(window.tray_icon_width, 32);
  const Text tip = window.tray_tip;
  ASSERT_EQ(backend.tray_log.size(), 1u);
  EXPECT_EQ(backend.tray_log[0].op, headless::TrayRecord::Op::kAdd);
  EXPECT_LE(tip.size(), 62u);
  const Text lines(" 定时关机程序\r\nby：Tesvaro\r\nQQ：");
  EXPECT_EQ(std::string_view(tip).substr(0, lines.size()), std::string_view(lines));
  EXPECT_GT(tip.size(), lines.size()) << "a number follows";
  EXPECT_EQ(Interval(时钟1), 10);
  EXPECT_EQ(Interval(时钟2), 0);
  EXPECT_EQ(Interval(时钟3), 0);
  EXPECT_TRUE(backend.boxes.empty());
}

TEST(StartUp, WindowThatCannotBeCreatedEndsWithAnErrorAndMinusOne) {
  headless::HeadlessBackend backend;
  RecordingPower power;
  RecordingAudio audio;
  backend.refuse_window_creation = true;
  EXPECT_EQ(app::RunProgram(backend, power, audio), -1);
  ASSERT_EQ(backend.boxes.size(), 1u);
  EXPECT_FALSE(backend.boxes[0].text.empty());
  EXPECT_EQ(backend.boxes[0].style, 16 | 8192);
}

// --- tray, popup menu, hiding and showing

TEST_F(ProgramTest, PopupFromTheTrayAndFromTheIconPictureAtTheCursor) {
  EXPECT_EQ(PopupNow(), kFirstPopup);
  EXPECT_EQ(backend.popups.back().at.x, backend.cursor.x + 3);
  EXPECT_EQ(backend.popups.back().at.y, backend.cursor.y + 3);
  backend.Press(main, 图片框1, false);
  ASSERT_EQ(backend.popups.size(), 2u);
  EXPECT_EQ(headless::Titles(backend.popups[1].entries), kFirstPopup);
  EXPECT_TRUE(backend.Press(main, 图片框1, true).start_drag) << "a left press drags";
  EXPECT_EQ(backend.popups.size(), 2u);
}

TEST_F(ProgramTest, SingleLeftClickOnTheTrayDoesNothing) {
  backend.Click(main, 按钮6);
  backend.Tray(main, ui::tray::kLeftUp);
  EXPECT_FALSE(Shown());
  EXPECT_TRUE(backend.popups.empty());
}

TEST_F(ProgramTest, HideButtonThenShowItemSwapsTheItemsBack) {
  backend.Click(main, 按钮6);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(backend.Mirror(main)->state, ui::ShowState::kNormal) << "hidden as it was";
  EXPECT_TRUE(backend.Mirror(main)->has_tray_icon);
  EXPECT_EQ(PopupNow(), kPopupWhileHidden);
  ChooseFromTrayMenu("显示");
  EXPECT_TRUE(Shown());
  EXPECT_EQ(backend.Mirror(main)->state, ui::ShowState::kNormal);
  EXPECT_EQ(PopupNow(), kFirstPopup);
}

TEST_F(ProgramTest, HideItemHidesAndTheTrayDoubleClickShowsWithoutSwappingTheItems) {
  ChooseFromTrayMenu("隐藏");
  EXPECT_FALSE(Shown());
  backend.TrayDoubleClick(main);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(PopupNow(), kPopupWhileHidden);
}

TEST_F(ProgramTest, MinimisedWindowGoesToTheTrayAndComesBackRestored) {
  backend.MinimiseByUser(main);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(PopupNow(), kFirstPopup);
  backend.TrayDoubleClick(main);
  EXPECT_TRUE(Shown());
  EXPECT_EQ(backend.Mirror(main)->state, ui::ShowState::kNormal);
}

// --- the description window

TEST_F(ProgramTest, DescriptionButtonOpensOneDescriptionWindow) {
  const ui::WindowTemplate& description = DescriptionWindow();
  backend.Click(main, 按钮7);
  ASSERT_NE(backend.Mirror(description), nullptr);
  EXPECT_TRUE(backend.Mirror(description)->visible);
  EXPECT_EQ(backend.Mirror(description)->left, (1024 - 376) / 2);
  backend.Click(main, 按钮7);
  EXPECT_EQ(layer().windows().size(), 2u);
  EXPECT_EQ(backend.activations.back(), description.name) << "the open one comes to the front";
}

class DescriptionCloseTest : public ProgramTest,
                             public ::testing::WithParamInterface<std::pair<const char*, int>> {};

TEST_P(DescriptionCloseTest, ClosesItAndLeavesTheMainWindowAsItWas) {
  const ui::WindowTemplate& description = DescriptionWindow();
  backend.Click(main, 按钮7);
  backend.DragTo(description, 5, 5);
  const int button = GetParam().second;
  if (button < 0) {
    backend.PressEscape(description);
  } else {
    backend.Click(description, button);
    EXPECT_NE(layer().Find(description), nullptr) << "goes once the handler has returned";
  }
  backend.Pump();
  EXPECT_EQ(layer().Find(description), nullptr);
  EXPECT_TRUE(Shown());
  EXPECT_TRUE(backend.Mirror(main)->has_tray_icon);
  EXPECT_TRUE(backend.boxes.empty());
  backend.Click(main, 按钮7);
  EXPECT_EQ(backend.Mirror(description)->left, (1024 - 376) / 2) << "centred again at every opening";
}

INSTANTIATE_TEST_SUITE_P(ThreeWays, DescriptionCloseTest,
                         ::testing::Values(std::pair{"X", static_cast<int>(desc::按钮2)},
                                           std::pair{"Ok", static_cast<int>(desc::按钮1)}, std::pair{"Escape", -1}),
                         [](const auto& info) { return std::string(info.param.first); });

// --- the end of the program

struct ExitWay {
  const char* name;
  std::vector<int> answers;  // to the boxes, in order
  std::function<void(ProgramTest&, headless::HeadlessBackend&)> close;
  bool asks;
};

void PrintTo(const ExitWay& way, std::ostream* out) { *out << way.name; }

class ExitTest : public ProgramTest, public ::testing::WithParamInterface<ExitWay> {};

TEST_P(ExitTest, EndsWithTheFarewellAndExitCodeZero) {
  const ExitWay& way = GetParam();
  backend.Click(main, 按钮7);
  for (int answer : way.answers) backend.AnswerNextBox(answer);
  backend.Script([&] { way.close(*this, backend); });
  EXPECT_EQ(program.Run(), 0);

  EXPECT_TRUE(layer().windows().empty()) << "the description window went with it";
  ASSERT_EQ(backend.boxes.size(), way.asks ? 2u : 1u);
  if (way.asks) ExpectBox(backend.boxes[0], "    是否真的要退出？", "提示：", kYesNoBox);
  ExpectBox(backend.boxes.back(), "感谢使用本程序，欢迎下次继续使用！", "感谢：", kInformationBox);
  EXPECT_EQ(backend.tray_log.back().op, headless::TrayRecord::Op::kDelete);
  EXPECT_EQ(backend.RunningTimers(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, ExitTest,
    ::testing::Values(
        ExitWay{"XButton", {IDYES, IDOK}, [](ProgramTest&, auto& b) { b.Click(MainWindow(), 按钮5); }, true},
        ExitWay{"QuitItemWhileHidden",
                {IDYES, IDOK},
                [](ProgramTest&, auto& b) {
                  b.Click(MainWindow(), 按钮6);
                  b.AnswerNextMenu(Text("退出"));
                  b.Tray(MainWindow(), ui::tray::kRightUp);
                },
                true},
        ExitWay{"Escape", {IDOK}, [](ProgramTest&, auto& b) { b.PressEscape(MainWindow()); }, false},
        ExitWay{"CloseCommand", {IDOK}, [](ProgramTest&, auto& b) { b.CloseCommand(MainWindow()); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ProgramTest, ExitAnsweredNoLeavesEverythingRunning) {
  backend.AnswerNextBox(IDNO);
  backend.Click(main, 按钮5);
  ASSERT_EQ(backend.boxes.size(), 1u);
  ExpectBox(backend.boxes[0], "    是否真的要退出？", "提示：", kYesNoBox);
  backend.Pump();
  EXPECT_TRUE(Running());
  EXPECT_TRUE(backend.Mirror(main)->has_tray_icon);
  EXPECT_EQ(Interval(时钟1), 10);
}

TEST_F(ProgramTest, ArmedTargetStillFiresWhileTheFarewellIsOpen) {
  Arm(7, 30, 0);
  backend.AdvanceTo(7, 29, 59, 500);
  backend.AnswerNextBox(IDOK, 2000);
  backend.Script([&] { backend.PressEscape(main); });
  EXPECT_EQ(program.Run(), 0);
  EXPECT_NEAR(static_cast<double>(power.requests.size()), 100, 1);
}

TEST_F(ProgramTest, EndOfTheSessionEndsWithoutTheFarewell) {
  backend.Script([&] {
    backend.Click(main, 按钮8);
    EXPECT_TRUE(backend.EndSession());
  });
  EXPECT_EQ(program.Run(), 0);
  EXPECT_EQ(power.requests, std::vector<int>{1});
  EXPECT_TRUE(backend.boxes.empty());
}

// The tray menu stays reachable while a message box is open: the program may end there.
TEST_F(ProgramTest, WindowClosedFromTheTrayWhileAMessageIsOpenEndsCleanly) {
  backend.AnswerNextBox(IDOK, 0, [&] {
    ChooseFromTrayMenu("退出");
    backend.Pump();  // the modal loop reaches the deferred destroy
  });
  backend.AnswerNextBox(IDYES);
  backend.AnswerNextBox(IDOK);
  backend.Script([&] { backend.Click(main, 按钮1); });
  EXPECT_EQ(program.Run(), 0);
  ASSERT_EQ(backend.boxes.size(), 3u);
  ExpectBox(backend.boxes[2], "感谢使用本程序，欢迎下次继续使用！", "感谢：", kInformationBox);
}

// --- the templates as the backends read them

TEST(Templates, HyperlinkAddressIsPaddedToItsFixedWidth) {
  const ui::ControlTemplate& link = MainWindow().controls[超级链接框1];
  const std::string_view address = link.address;
  ASSERT_EQ(address.size(), 119u);
  EXPECT_EQ(address.find_first_not_of(' '), 49u);
  EXPECT_EQ(address.find_last_not_of(' '), 119u - 25 - 1);
  EXPECT_EQ(address.substr(49, 8), "https://");
  EXPECT_EQ(std::string_view(link.text), "");
}

TEST(Templates, ControlsFollowTheirGroupBoxesAndEnumeratorsNameThem) {
  for (const ui::WindowTemplate* window : {&MainWindow(), &DescriptionWindow()}) {
    SCOPED_TRACE(window->name);
    for (std::size_t i = 0; i < window->controls.size(); ++i) {
      const int parent = window->controls[i].parent;
      if (parent < 0) continue;
      EXPECT_LT(parent, static_cast<int>(i));
      EXPECT_EQ(window->controls[static_cast<std::size_t>(parent)].kind, ui::ControlKind::kGroupBox);
    }
  }
  EXPECT_EQ(headless::ControlIndex(MainWindow(), "编辑框7"), 编辑框7);
  EXPECT_EQ(headless::ControlIndex(MainWindow(), "通用对话框1"), 通用对话框1);
  EXPECT_EQ(headless::ControlIndex(DescriptionWindow(), "透明标签7"), desc::透明标签7);
  EXPECT_EQ(headless::MenuIndex(MainWindow(), "关闭闹钟"), 菜单关闭闹钟);
}

TEST(Templates, ActionNameStoreLiesBelowTheWindow) {
  const ui::ControlTemplate& store = MainWindow().controls[标签4];
  EXPECT_GE(store.top, MainWindow().height);
  EXPECT_TRUE(store.visible);
}

}  // namespace
}  // namespace autoshutdown::testing_support
