// The clock, arming and cancelling, the match with its actions, the ringtone and the chimes,
// with the program running whole on the headless backend.
#include "tests/logic/program_fixture.h"

namespace autoshutdown::testing_support {
namespace {

constexpr Control kLockedSet[] = {编辑框4, 编辑框5, 编辑框6, 单选框1, 单选框2,
                                  单选框3, 单选框4, 单选框5, 单选框6, 按钮2};
constexpr Control kNeverLocked[] = {选择框1, 选择框2, 按钮3, 按钮8, 按钮9, 按钮10, 按钮11};

TEST_F(ProgramTest, ClockShowsTheTimeEveryTickAndTheDateInTheSystemGroup) {
  backend.Advance(10);
  EXPECT_EQ(Content(编辑框3), Text("07时29分50秒"));
  EXPECT_EQ(LabelTitle(标签7), Text("北京时间：2011年4月4日7时29分50秒"));
  backend.AdvanceTo(7, 29, 51, 5);
  EXPECT_EQ(Content(编辑框3), Text("07时29分51秒"));
}

class MidnightTest : public ProgramTest {
 protected:
  MidnightTest() : ProgramTest({2011, 4, 4, 23, 59, 58, 0}) {}
};

TEST_F(MidnightTest, ClockTextAtTheEndAndStartOfTheDay) {
  backend.AdvanceTo(23, 59, 59, 500);
  EXPECT_EQ(Content(编辑框3), Text("23时59分59秒"));
  backend.AdvanceTo(0, 0, 0, 500);
  EXPECT_EQ(Content(编辑框3), Text("00时00分00秒"));
  EXPECT_EQ(LabelTitle(标签7), Text("北京时间：2011年4月5日"));
}

// The road of one scheduled shutdown.
TEST_F(ProgramTest, ArmedTargetShutsDownAboutAHundredTimesWithinItsSecond) {
  SpinUp(编辑框4, 7);
  SpinUp(编辑框5, 30);
  backend.Spin(main, 编辑框6, true);
  backend.Spin(main, 编辑框6, false);
  EXPECT_EQ(Content(编辑框4), Text("7"));
  EXPECT_EQ(Content(编辑框6), Text("0"));
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);

  EXPECT_EQ(Content(编辑框4), Text("07"));
  EXPECT_EQ(Content(编辑框5), Text("30"));
  EXPECT_EQ(Content(编辑框6), Text("00"));
  EXPECT_EQ(Content(编辑框7), Text("07时30分00秒"));
  ASSERT_EQ(backend.boxes.size(), 1u);
  ExpectBox(backend.boxes[0], "您设定了在【07时30分00秒】进行【关机】操作！", "提示：", kInformationBox);
  EXPECT_EQ(ButtonTitle(按钮1), Text("取消"));
  EXPECT_EQ(Interval(时钟2), 10);
  for (Control control : kLockedSet) EXPECT_TRUE(Disabled(control)) << control;
  for (Control control : kNeverLocked) EXPECT_FALSE(Disabled(control)) << control;
  backend.Spin(main, 编辑框4, true);
  EXPECT_EQ(Content(编辑框4), Text("07")) << "a locked entry takes no spin";

  backend.AdvanceTo(7, 29, 59, 999);
  EXPECT_TRUE(power.requests.empty());
  backend.AdvanceTo(7, 30, 1, 0);
  EXPECT_NEAR(static_cast<double>(power.requests.size()), 100, 1);
  EXPECT_EQ(Count(power.requests, 1), static_cast<int>(power.requests.size()));
  EXPECT_FALSE(power.forced);
  const std::size_t within_the_second = power.requests.size();
  backend.AdvanceTo(7, 30, 30);
  EXPECT_EQ(power.requests.size(), within_the_second);
  EXPECT_EQ(ButtonTitle(按钮1), Text("取消")) << "the target stays armed after its match";
  EXPECT_EQ(backend.boxes.size(), 1u);
}

TEST_F(ProgramTest, EntriesAreNormalisedOnlyWhenSingleDigits) {
  SpinUp(编辑框6, 9);
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);
  EXPECT_EQ(Content(编辑框4), Text("00"));
  EXPECT_EQ(Content(编辑框5), Text("00"));
  EXPECT_EQ(Content(编辑框7), Text("00时00分09秒"));
}

TEST_F(ProgramTest, SpinButtonsWrapWithinTheEntryRanges) {
  backend.Spin(main, 编辑框4, false);
  backend.Spin(main, 编辑框5, false);
  EXPECT_EQ(Content(编辑框4), Text("23"));
  EXPECT_EQ(Content(编辑框5), Text("59"));
  backend.Spin(main, 编辑框4, true);
  EXPECT_EQ(Content(编辑框4), Text("0"));
}

struct ActionCase {
  Control radio;
  const char* name;
  int code;
};

void PrintTo(const ActionCase& action, std::ostream* out) { *out << action.code; }

class ActionTest : public ProgramTest, public ::testing::WithParamInterface<ActionCase> {};

TEST_P(ActionTest, ChosenActionIsNamedAndRequestedAtTheMatch) {
  const ActionCase& action = GetParam();
  backend.Click(main, action.radio);
  EXPECT_EQ(LabelTitle(标签4), Text(action.name));
  Arm(7, 30, 0);
  ExpectBox(backend.boxes.at(0), JoinTexts({"您设定了在【07时30分00秒】进行【", action.name, "】操作！"}).c_str(),
            "提示：", kInformationBox);
  backend.AdvanceTo(7, 30, 2);
  EXPECT_NEAR(static_cast<double>(power.requests.size()), 100, 1);
  EXPECT_EQ(Count(power.requests, action.code), static_cast<int>(power.requests.size()));
  EXPECT_TRUE(audio.playbacks.empty());
}

INSTANTIATE_TEST_SUITE_P(FiveActions, ActionTest,
                         ::testing::Values(ActionCase{单选框1, "关机", 1}, ActionCase{单选框2, "重启", 2},
                                           ActionCase{单选框3, "注销", 3}, ActionCase{单选框4, "休眠", 4},
                                           ActionCase{单选框5, "冬眠", 5}),
                         [](const auto& info) { return std::to_string(info.param.code); });

TEST_F(ProgramTest, ImmediateButtonsActAtOnceAlsoWhileArmed) {
  Arm(7, 30, 0);
  for (Control button : {按钮8, 按钮9, 按钮10, 按钮11}) backend.Click(main, button);
  EXPECT_EQ(power.requests, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(backend.boxes.size(), 1u) << "no confirmation";
}

TEST_F(ProgramTest, AlarmRingsAtTheMatchAndOffersToBeSwitchedOff) {
  LoadRingtone("/home/user/ring.mp3");
  EXPECT_EQ(Content(编辑框1), Text("/home/user/ring.mp3"));
  backend.Click(main, 单选框6);
  EXPECT_FALSE(Checked(单选框1));
  EXPECT_EQ(LabelTitle(标签4), Text("闹钟"));
  Arm(7, 30, 0);
  ExpectBox(backend.boxes.at(0), "您设定了在【07时30分00秒】进行【闹钟】操作！", "提示：", kInformationBox);
  EXPECT_EQ(PopupNow(), (std::vector<Text>{"隐藏", "-", "退出", "-"}));

  backend.AdvanceTo(7, 30, 3);
  EXPECT_TRUE(power.requests.empty());
  EXPECT_NEAR(static_cast<double>(audio.playbacks.size()), 100, 1);
  for (const RecordingAudio::Playback& playback : audio.playbacks) {
    EXPECT_EQ(playback, (RecordingAudio::Playback{100, "/home/user/ring.mp3"}));
  }
  EXPECT_EQ(PopupNow(), (std::vector<Text>{"隐藏", "-", "退出", "-", "关闭闹钟"}));
  EXPECT_EQ(ButtonTitle(按钮1), Text("取消"));
}

// The reset disarms, frees the inputs, hides "关闭闹钟" and silences, without asking.
class ResetTest : public ProgramTest, public ::testing::WithParamInterface<bool> {
 protected:
  void ResetNow() {
    if (GetParam()) {
      ChooseFromTrayMenu("关闭闹钟");
    } else {
      backend.Click(main, 按钮3);
    }
  }
};

TEST_P(ResetTest, AfterAnAlarmReturnsToIdleAndSilences) {
  LoadRingtone("/ring.mp3");
  backend.Click(main, 单选框6);
  Arm(7, 30, 0);
  backend.AdvanceTo(7, 30, 0, 500);
  ASSERT_TRUE(audio.sounding);
  ResetNow();
  EXPECT_FALSE(audio.sounding);
  EXPECT_EQ(Content(编辑框7), Text(""));
  EXPECT_EQ(Interval(时钟2), 0);
  EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
  for (Control control : kLockedSet) EXPECT_FALSE(Disabled(control)) << control;
  EXPECT_EQ(PopupNow(), (std::vector<Text>{"隐藏", "-", "退出", "-"}));
  EXPECT_EQ(backend.boxes.size(), 1u);
  const std::size_t rung = audio.playbacks.size();
  backend.AdvanceTo(7, 30, 2);
  EXPECT_EQ(audio.playbacks.size(), rung) << "disarmed";
}

INSTANTIATE_TEST_SUITE_P(ByButtonAndByMenu, ResetTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "MenuItem" : "CloseButton"; });

TEST_F(ProgramTest, CloseButtonWhileIdleStopsTheSoundAndLeavesTheTargetEmpty) {
  backend.Click(main, 按钮3);
  EXPECT_EQ(audio.stops, 1);
  EXPECT_EQ(Content(编辑框7), Text(""));
  EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
}

struct CancelCase {
  const char* name;
  int system_answer;
  bool disarmed;
};

void PrintTo(const CancelCase& cancel, std::ostream* out) { *out << cancel.name; }

class CancelTest : public ProgramTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(CancelTest, OnlyYesDisarms) {
  const CancelCase& cancel = GetParam();
  Arm(7, 30, 0);
  backend.AnswerNextBox(cancel.system_answer);
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);
  ASSERT_GE(backend.boxes.size(), 2u);
  ExpectBox(backend.boxes[1],
            "您将取消在【07时30分00秒】进行【关机】操作！\r\n\r\n              是否真的要取消？", "提示：", kYesNoBox);
  backend.AdvanceTo(7, 30, 2);
  if (cancel.disarmed) {
    ASSERT_EQ(backend.boxes.size(), 3u);
    ExpectBox(backend.boxes[2], "您已经取消了在【07时30分00秒】进行【关机】操作！", "提示：", kInformationBox);
    EXPECT_EQ(Content(编辑框7), Text(""));
    EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
    for (Control control : kLockedSet) EXPECT_FALSE(Disabled(control)) << control;
    EXPECT_TRUE(power.requests.empty());
    EXPECT_EQ(audio.stops, 0) << "only the reset silences";
  } else {
    EXPECT_EQ(backend.boxes.size(), 2u);
    EXPECT_EQ(ButtonTitle(按钮1), Text("取消"));
    for (Control control : kLockedSet) EXPECT_TRUE(Disabled(control)) << control;
    EXPECT_NEAR(static_cast<double>(power.requests.size()), 100, 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, CancelTest,
                         ::testing::Values(CancelCase{"Yes", IDYES, true}, CancelCase{"No", IDNO, false},
                                           CancelCase{"BoxFailed", 0, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ProgramTest, CancellingAnAlarmResetsWithoutTheCancelledMessage) {
  LoadRingtone("/ring.mp3");
  backend.Click(main, 单选框6);
  Arm(7, 30, 0);
  backend.AnswerNextBox(IDYES);
  backend.Click(main, 按钮1);
  ASSERT_EQ(backend.boxes.size(), 2u);
  ExpectBox(backend.boxes[1],
            "您将取消在【07时30分00秒】进行【闹钟】操作！\r\n\r\n              是否真的要取消？", "提示：", kYesNoBox);
  EXPECT_EQ(audio.stops, 1);
  EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
  EXPECT_EQ(Interval(时钟2), 0);
}

TEST_F(ProgramTest, AlarmWithoutRingtoneIsRefusedAndLeavesNoActionChosen) {
  backend.Click(main, 单选框6);
  SpinUp(编辑框6, 5);
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);
  ASSERT_EQ(backend.boxes.size(), 1u);
  ExpectBox(backend.boxes[0], "您选择了闹钟模式，却没有载入铃声，无法使用闹钟功能！", "警告：", kInformationBox);
  for (Control radio : {单选框1, 单选框2, 单选框3, 单选框4, 单选框5, 单选框6}) EXPECT_FALSE(Checked(radio)) << radio;
  EXPECT_EQ(LabelTitle(标签4), Text("闹钟"));
  EXPECT_EQ(Content(编辑框6), Text("05")) << "the normalised entry stays";
  EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
  EXPECT_EQ(Interval(时钟2), 0);

  // Armed again it is accepted under the old name, and its match does nothing at all.
  SpinUp(编辑框5, 30);
  SpinUp(编辑框4, 7);
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);
  ASSERT_EQ(backend.boxes.size(), 2u);
  ExpectBox(backend.boxes[1], "您设定了在【07时30分05秒】进行【闹钟】操作！", "提示：", kInformationBox);
  backend.AdvanceTo(7, 30, 7);
  EXPECT_TRUE(power.requests.empty());
  EXPECT_TRUE(audio.playbacks.empty());
  EXPECT_EQ(PopupNow(), (std::vector<Text>{"隐藏", "-", "退出", "-"}));
}

// Ticks go on inside the message boxes' modal loops.
TEST_F(ProgramTest, TargetFiresWhileTheCancelQuestionIsOpen) {
  Arm(7, 30, 0);
  backend.AdvanceTo(7, 29, 59);
  backend.AnswerNextBox(IDYES, 3000);
  backend.AnswerNextBox(IDOK);
  backend.Click(main, 按钮1);
  EXPECT_NEAR(static_cast<double>(power.requests.size()), 100, 1);
  EXPECT_EQ(ButtonTitle(按钮1), Text("启动"));
}

TEST_F(ProgramTest, ClockKeepsRunningWhileAMessageIsOpen) {
  backend.Advance(10);
  EXPECT_EQ(Content(编辑框3), Text("07时29分50秒"));
  Text clock_during;
  Text label_during;
  backend.AnswerNextBox(IDOK, 2500, [&] {
    clock_during = Content(编辑框3);
    label_during = LabelTitle(标签7);
  });
  backend.Click(main, 按钮1);
  EXPECT_EQ(clock_during, Text("07时29分52秒"));
  EXPECT_EQ(label_during, Text("北京时间：2011年4月4日7时29分52秒"));
}

TEST_F(ProgramTest, MatchTimerWaitsForTheArmingConfirmationToClose) {
  SpinUp(编辑框4, 7);
  SpinUp(编辑框5, 30);
  backend.AnswerNextBox(IDOK, 11'000);
  backend.Click(main, 按钮1);
  EXPECT_TRUE(power.requests.empty()) << "the target passed while the confirmation was open";
  EXPECT_EQ(Interval(时钟2), 10);
}

TEST_F(ProgramTest, RingtoneDialogCancelledKeepsTheLastChoice) {
  backend.AnswerNextFileDialog(std::nullopt);
  backend.Click(main, 按钮2);
  EXPECT_EQ(Content(编辑框1), Text(""));
  LoadRingtone("/first.mp3");
  backend.AnswerNextFileDialog(std::nullopt);
  backend.Click(main, 按钮2);
  EXPECT_EQ(Content(编辑框1), Text("/first.mp3"));
  ASSERT_EQ(backend.file_dialogs.size(), 3u);
  EXPECT_EQ(backend.file_dialogs[2].preset, Text("/first.mp3"));
  EXPECT_TRUE(backend.file_dialogs[2].had_owner);
}

// Chimes.

struct RefusedChime {
  Control box;
  bool checked_before;
  const char* message;
};

TEST_F(ProgramTest, ChimeBoxesWithoutRingtoneAreRefusedAndUnchecked) {
  const RefusedChime cases[] = {
      {选择框1, false, "你还未载入音频文件，无法使用整点报时功能"},
      {选择框2, false, "你还未载入音频文件，无法使用半点报时功能"},
      {选择框2, true, "你还未载入音频文件，无法使用半点报时功能"},
  };
  for (const RefusedChime& chime : cases) {
    SCOPED_TRACE(chime.box);
    backend.boxes.clear();
    layer().SetProperty(main, ui::Target::Control(chime.box), ui::prop::check::IsChecked, chime.checked_before);
    backend.AnswerNextBox(IDOK);
    backend.Click(main, chime.box);
    ASSERT_EQ(backend.boxes.size(), 1u);
    ExpectBox(backend.boxes[0], chime.message, "提示：", kInformationBox);
    EXPECT_FALSE(Checked(chime.box));
    EXPECT_EQ(Interval(时钟3), 0);
  }
  // Unchecking the full-hour box asks nothing.
  layer().SetProperty(main, ui::Target::Control(选择框1), ui::prop::check::IsChecked, 1);
  backend.boxes.clear();
  backend.Click(main, 选择框1);
  EXPECT_TRUE(backend.boxes.empty());
}

class ChimeTest : public ProgramTest {
 protected:
  ChimeTest() : ProgramTest({2011, 4, 4, 7, 59, 58, 0}) {}
  // The play requests made until the clock reads this time.
  std::vector<RecordingAudio::Playback> PlaysUntil(int hour, int minute, int second) {
    const std::size_t before = audio.playbacks.size();
    backend.AdvanceTo(hour, minute, second);
    return {audio.playbacks.begin() + static_cast<std::ptrdiff_t>(before), audio.playbacks.end()};
  }
};

TEST_F(ChimeTest, FullHourBoxStartsChimesForFullAndHalfHoursWhichUncheckingDoesNotStop) {
  LoadRingtone("/chime.mp3");
  backend.Click(main, 选择框1);
  EXPECT_EQ(Interval(时钟3), 10);
  backend.Click(main, 选择框1);
  EXPECT_FALSE(Checked(选择框1));
  EXPECT_EQ(Interval(时钟3), 10) << "unchecking does not stop the chimes";

  EXPECT_TRUE(PlaysUntil(7, 59, 59).empty());
  const auto full_hour = PlaysUntil(8, 0, 1);
  EXPECT_NEAR(static_cast<double>(full_hour.size()), 100, 1);
  for (const auto& playback : full_hour) EXPECT_EQ(playback, (RecordingAudio::Playback{-1, "/chime.mp3"}));
  EXPECT_TRUE(PlaysUntil(8, 29, 59).empty());
  EXPECT_NEAR(static_cast<double>(PlaysUntil(8, 30, 1).size()), 100, 1) << "half hours chime too";

  // "关闭" silences the chime, but the chime timer goes on.
  backend.Click(main, 按钮3);
  EXPECT_FALSE(audio.sounding);
  EXPECT_EQ(Interval(时钟3), 10);
}

TEST_F(ChimeTest, HalfHourBoxStartsChimesOnEveryClickEvenUnchecking) {
  LoadRingtone("/chime.mp3");
  layer().SetProperty(main, ui::Target::Control(选择框2), ui::prop::check::IsChecked, 1);
  backend.Click(main, 选择框2);
  EXPECT_FALSE(Checked(选择框2));
  EXPECT_EQ(Interval(时钟3), 10);
  EXPECT_NEAR(static_cast<double>(PlaysUntil(8, 0, 1).size()), 100, 1);
}

TEST_F(ChimeTest, NoChimeBeforeABoxStartsIt) {
  LoadRingtone("/chime.mp3");
  EXPECT_TRUE(PlaysUntil(8, 0, 2).empty());
}

}  // namespace
}  // namespace autoshutdown::testing_support
