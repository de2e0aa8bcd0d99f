// The behaviour every backend must show alike, as one table of scenarios: each a list of
// user steps and expectations on what the screen shows, run on the desktop that the test
// executable links (MakeDesktop). Time-dependent behaviour stays with the headless tests,
// where the clock is virtual.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "services/text/codec.h"
#include "services/text/text.h"
#include "tests/contract/desktop.h"
#include "ui/templates/description_window.h"

namespace autoshutdown {
// Failures show the program's GBK texts readably.
inline void PrintTo(const Text& text, std::ostream* out) { *out << '"' << codec::GbkToUtf8(text) << '"'; }
}  // namespace autoshutdown

namespace autoshutdown::contract {
namespace {

using namespace templates::main_window;
namespace desc = templates::description_window;
using templates::DescriptionWindow;
using templates::MainWindow;

// The system's answers, and the styles as the system gets them.
constexpr int IDOK = 1, IDYES = 6, IDNO = 7;
constexpr int kInformationBox = 64 | 8192;
constexpr int kYesNoBox = 4 | 8192;

constexpr Control kLockedSet[] = {编辑框4, 编辑框5, 编辑框6, 单选框1, 单选框2,
                                  单选框3, 单选框4, 单选框5, 单选框6, 按钮2};
constexpr Control kNeverLocked[] = {选择框1, 选择框2, 按钮3, 按钮8, 按钮9, 按钮10, 按钮11};

const std::vector<Text> kFirstPopup{"隐藏", "-", "退出", "-"};
const std::vector<Text> kPopupWhileHidden{"显示", "-", "退出", "-"};

const char* const kExitQuestion = "    是否真的要退出？";
const char* const kFarewell = "感谢使用本程序，欢迎下次继续使用！";

struct Step {
  std::string what;
  std::function<void(Desktop&)> run;
};
using Steps = std::vector<Step>;

void RunSteps(const Steps& steps, Desktop& desktop) {
  for (std::size_t i = 0; i < steps.size(); ++i) {
    SCOPED_TRACE("step " + std::to_string(i + 1) + ": " + steps[i].what);
    steps[i].run(desktop);
  }
}

std::string Name(Control control) { return "control " + std::to_string(control); }

// --- the user
Step Click(Control control) {
  return {"click " + Name(control), [=](Desktop& d) { d.Click(MainWindow(), control); }};
}
Step Spin(Control box, bool up, int presses = 1) {
  return {"spin " + Name(box) + (up ? " up" : " down") + " x" + std::to_string(presses), [=](Desktop& d) {
            for (int i = 0; i < presses; ++i) d.Spin(box, up);
          }};
}
Step Answer(int system_answer) {
  return {"answer the next box " + std::to_string(system_answer), [=](Desktop& d) { d.AnswerNextBox(system_answer); }};
}
Step Escape() {
  return {"Esc", [](Desktop& d) { d.PressEscape(MainWindow()); }};
}
Step TrayDoubleClick() {
  return {"double click on the tray icon", [](Desktop& d) { d.TrayDoubleClick(); }};
}
Step ChooseFromTrayMenu(const char* title) {
  return {std::string("choose from the tray menu: ") + codec::GbkToUtf8(title), [=](Desktop& d) {
            d.ChooseNextMenu(Text(title));
            d.TrayRightClick();
          }};
}
Step Settle() {
  return {"settle", [](Desktop& d) { d.Settle(); }};
}
// Sets 23:59:59 with the down arrows (each wraps from 0) and presses "启动", confirming.
Steps ArmAt235959() {
  return {Spin(编辑框4, false), Spin(编辑框5, false), Spin(编辑框6, false), Answer(IDOK), Click(按钮1)};
}
// Runs `inside` in the message loop, which must then end with `exit_code`.
Step InLoop(Steps inside, int exit_code) {
  return {"the message loop", [=](Desktop& d) {
            EXPECT_EQ(d.RunLoop([&] { RunSteps(inside, d); }), exit_code);
          }};
}

// --- what the screen shows
Step ExpectText(Control control, const char* text) {
  return {"text of " + Name(control), [=](Desktop& d) { EXPECT_EQ(d.ControlText(control), Text(text)); }};
}
Step ExpectChecked(std::vector<Control> checked, std::vector<Control> unchecked) {
  return {"checked states", [=](Desktop& d) {
            for (Control control : checked) EXPECT_TRUE(d.ControlChecked(control)) << Name(control);
            for (Control control : unchecked) EXPECT_FALSE(d.ControlChecked(control)) << Name(control);
          }};
}
Step ExpectLocked(bool locked) {
  return {locked ? "inputs locked" : "inputs free", [=](Desktop& d) {
            for (Control control : kLockedSet) EXPECT_EQ(d.ControlEnabled(control), !locked) << Name(control);
            for (Control control : kNeverLocked) EXPECT_TRUE(d.ControlEnabled(control)) << Name(control);
          }};
}
Step ExpectEnabled(Control control, bool enabled) {
  return {"enabled state of " + Name(control), [=](Desktop& d) { EXPECT_EQ(d.ControlEnabled(control), enabled); }};
}
Step ExpectBoxes(std::vector<BoxSeen> expected) {
  return {"the message boxes so far", [=](Desktop& d) {
            const std::vector<BoxSeen> boxes = d.Boxes();
            ASSERT_EQ(boxes.size(), expected.size());
            for (std::size_t i = 0; i < expected.size(); ++i) {
              EXPECT_EQ(boxes[i].text, expected[i].text) << "box " << i;
              EXPECT_EQ(boxes[i].title, expected[i].title) << "box " << i;
              EXPECT_EQ(boxes[i].style, expected[i].style) << "box " << i;
            }
          }};
}
// The popup that a right click on the tray icon shows now (closed unchosen).
Step ExpectPopup(std::vector<Text> titles) {
  return {"the tray popup", [=](Desktop& d) {
            d.ChooseNextMenu(std::nullopt);
            const std::size_t before = d.Popups().size();
            d.TrayRightClick();
            const std::vector<std::vector<Text>> popups = d.Popups();
            ASSERT_EQ(popups.size(), before + 1);
            EXPECT_EQ(popups.back(), titles);
          }};
}
Step ExpectShown(const ui::WindowTemplate& window, bool shown) {
  return {std::string(shown ? "shown: " : "not shown: ") + codec::GbkToUtf8(window.name),
          [=, &window](Desktop& d) { EXPECT_EQ(d.WindowShown(window), shown); }};
}
Step ExpectRunning(bool running) {
  return {running ? "running" : "ended", [=](Desktop& d) {
            EXPECT_EQ(d.WindowOpen(MainWindow()), running);
            EXPECT_EQ(d.TrayIconShown(), running);
            if (!running) {
              EXPECT_EQ(d.OpenWindows(), 0);
            }
          }};
}
Step ExpectOpenWindows(int count) {
  return {"open windows", [=](Desktop& d) { EXPECT_EQ(d.OpenWindows(), count); }};
}
Step ExpectPowerRequests(std::vector<int> codes) {
  return {"power requests", [=](Desktop& d) { EXPECT_EQ(d.power.requests, codes); }};
}
Step ExpectSoundStops(int stops) {
  return {"sound stops", [=](Desktop& d) { EXPECT_EQ(d.audio.stops, stops); }};
}

Steps Join(std::initializer_list<Steps> parts) {
  Steps joined;
  for (const Steps& part : parts) joined.insert(joined.end(), part.begin(), part.end());
  return joined;
}

const BoxSeen kArmedBox{"您设定了在【23时59分59秒】进行【关机】操作！", "提示：", kInformationBox};
const BoxSeen kCancelQuestion{"您将取消在【23时59分59秒】进行【关机】操作！\r\n\r\n              是否真的要取消？", "提示：",
                              kYesNoBox};

struct Scenario {
  const char* name;
  Steps steps;
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

const Scenario kScenarios[] = {
    {"SpinButtonsWrapAndWritePlainDecimal",
     {Spin(编辑框4, false), ExpectText(编辑框4, "23"), Spin(编辑框4, true), ExpectText(编辑框4, "0"),
      Spin(编辑框4, true), ExpectText(编辑框4, "1"), Spin(编辑框5, false), ExpectText(编辑框5, "59"),
      Spin(编辑框5, true), ExpectText(编辑框5, "0"), Spin(编辑框6, true, 12), ExpectText(编辑框6, "12"),
      ExpectBoxes({})}},
    {"StartConfirmsTheTargetAndLocksTheInputs",
     Join({{ExpectText(按钮1, "启动"), ExpectLocked(false)},
           ArmAt235959(),
           {ExpectBoxes({kArmedBox}), ExpectText(按钮1, "取消"), ExpectText(编辑框7, "23时59分59秒"), ExpectLocked(true),
            // Locked controls take no clicks.
            Click(单选框2), Spin(编辑框4, true), ExpectChecked({单选框1}, {单选框2}), ExpectText(编辑框4, "23")}})},
    {"CancelAnsweredNoKeepsTheTargetArmed",
     Join({ArmAt235959(),
           {Answer(IDNO), Click(按钮1), ExpectBoxes({kArmedBox, kCancelQuestion}), ExpectText(按钮1, "取消"),
            ExpectText(编辑框7, "23时59分59秒"), ExpectLocked(true)}})},
    {"CancelAnsweredYesDisarms",
     Join({ArmAt235959(),
           {Answer(IDYES), Answer(IDOK), Click(按钮1),
            ExpectBoxes({kArmedBox, kCancelQuestion,
                         {"您已经取消了在【23时59分59秒】进行【关机】操作！", "提示：", kInformationBox}}),
            ExpectText(按钮1, "启动"), ExpectText(编辑框7, ""), ExpectLocked(false)}})},
    {"AlarmWithoutRingtoneIsRefusedAndUnchecked",
     {Click(单选框6), ExpectChecked({单选框6}, {单选框1}), Spin(编辑框6, true, 5), Answer(IDOK),
      Click(按钮1),
      ExpectBoxes({{"您选择了闹钟模式，却没有载入铃声，无法使用闹钟功能！", "警告：", kInformationBox}}),
      ExpectChecked({}, {单选框1, 单选框2, 单选框3, 单选框4, 单选框5, 单选框6}), ExpectText(编辑框6, "05"),
      ExpectText(按钮1, "启动"), ExpectLocked(false)}},
    {"CloseButtonResets",
     Join({ArmAt235959(),
           {Click(按钮3), ExpectText(按钮1, "启动"), ExpectText(编辑框7, ""), ExpectLocked(false), ExpectSoundStops(1),
            ExpectBoxes({kArmedBox})}})},
    {"HideButtonThenShowFromTheMenu",
     {ExpectPopup(kFirstPopup), Click(按钮6), ExpectShown(MainWindow(), false), ExpectRunning(true),
      ExpectPopup(kPopupWhileHidden), ChooseFromTrayMenu("显示"), ExpectShown(MainWindow(), true),
      ExpectPopup(kFirstPopup)}},
    {"TrayDoubleClickShowsTheHiddenWindow",
     {Click(按钮6), ExpectShown(MainWindow(), false), TrayDoubleClick(), ExpectShown(MainWindow(), true),
      ExpectPopup(kPopupWhileHidden)}},
    {"HideItemThenTrayDoubleClick",
     {ChooseFromTrayMenu("隐藏"), ExpectShown(MainWindow(), false), TrayDoubleClick(), ExpectShown(MainWindow(), true),
      ExpectPopup(kPopupWhileHidden)}},
    {"MinimisedByTheUserGoesToTheTrayAndComesBackRestored",
     {{"minimise from outside", [](Desktop& d) { d.MinimiseByUser(); }}, ExpectShown(MainWindow(), false),
      ExpectPopup(kFirstPopup), TrayDoubleClick(), ExpectShown(MainWindow(), true)}},
    {"IconPictureRightClickOpensTheTrayPopup",
     {{"right click on the icon picture",
       [](Desktop& d) {
         d.ChooseNextMenu(std::nullopt);
         d.RightClick(图片框1);
         ASSERT_EQ(d.Popups().size(), 1u);
         EXPECT_EQ(d.Popups().front(), kFirstPopup);
       }},
      ExpectShown(MainWindow(), true)}},
    {"ChimeBoxesWithoutRingtoneAreRefusedAndUnchecked",
     {Answer(IDOK), Click(选择框1), Answer(IDOK), Click(选择框2),
      ExpectBoxes({{"你还未载入音频文件，无法使用整点报时功能", "提示：", kInformationBox},
                   {"你还未载入音频文件，无法使用半点报时功能", "提示：", kInformationBox}}),
      ExpectChecked({}, {选择框1, 选择框2})}},
    {"MaximiseButtonDoesNothing",
     {ExpectEnabled(按钮4, false), Click(按钮4), Settle(), ExpectShown(MainWindow(), true), ExpectBoxes({}),
      ExpectPowerRequests({})}},
    {"ImmediateButtonsActAtOnce",
     {Click(按钮8), Click(按钮9), Click(按钮10), Click(按钮11), ExpectPowerRequests({1, 2, 3, 4}), ExpectBoxes({})}},
    {"DescriptionWindowOpensOnceAndClosesByItsX",
     {Click(按钮7), ExpectShown(DescriptionWindow(), true), Click(按钮7), ExpectOpenWindows(2),
      {"click the description's X", [](Desktop& d) { d.Click(DescriptionWindow(), desc::按钮2); }}, Settle(),
      ExpectOpenWindows(1), ExpectShown(MainWindow(), true), ExpectRunning(true), ExpectBoxes({})}},
    {"ExitAnsweredNoKeepsRunning",
     {Answer(IDNO), Click(按钮5), Settle(), ExpectBoxes({{kExitQuestion, "提示：", kYesNoBox}}), ExpectRunning(true),
      ExpectShown(MainWindow(), true)}},
    {"ExitAnsweredYesSaysFarewellAndEnds",
     {InLoop({Answer(IDYES), Answer(IDOK), Click(按钮5)}, 0),
      ExpectBoxes({{kExitQuestion, "提示：", kYesNoBox}, {kFarewell, "感谢：", kInformationBox}}),
      ExpectRunning(false)}},
    {"QuitFromTheTrayMenuWhileHidden",
     {InLoop({Click(按钮6), Answer(IDYES), Answer(IDOK), ChooseFromTrayMenu("退出")}, 0),
      ExpectBoxes({{kExitQuestion, "提示：", kYesNoBox}, {kFarewell, "感谢：", kInformationBox}}),
      ExpectRunning(false)}},
    {"EscapeSaysFarewellWithoutAsking",
     {InLoop({Click(按钮7), Answer(IDOK), Escape()}, 0), ExpectBoxes({{kFarewell, "感谢：", kInformationBox}}),
      ExpectRunning(false)}},
};

class ContractTest : public ::testing::TestWithParam<Scenario> {};

TEST_P(ContractTest, BehavesAsOnEveryBackend) {
  std::unique_ptr<Desktop> desktop = MakeDesktop();
  ASSERT_NE(desktop, nullptr) << "the program did not start";
  RunSteps(GetParam().steps, *desktop);
  EXPECT_EQ(desktop->UnansweredDialogs(), 0) << "a box or dialog came that the scenario did not expect";
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ContractTest, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace autoshutdown::contract
