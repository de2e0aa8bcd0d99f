// The clock, the target time with its arming and match, the immediate actions, the
// ringtone and the chimes. The three timers tick every 10 ms: their handlers do no more
// than read, compare and write a few short texts.
#include <array>

#include "logic/context.h"
#include "services/dialogs.h"
#include "services/text/datetime.h"

namespace autoshutdown::logic {

using namespace templates::main_window;

namespace {

constexpr int kTimerPeriodMs = 10;
constexpr int kAlarmPlayCount = 100;
constexpr int kChimePlayCount = -1;  // until stopped or started over

// Arming locks these, cancelling and the reset free them, in this order.
constexpr Control kLockedSet[] = {编辑框4, 编辑框5, 编辑框6, 单选框1, 单选框2,
                                  单选框3, 单选框4, 单选框5, 单选框6, 按钮2};

// The chimes' clock texts: every full hour, then every half hour.
constexpr std::array<std::string_view, 24> kFullHours{
    "00时00分00秒", "01时00分00秒", "02时00分00秒", "03时00分00秒", "04时00分00秒", "05时00分00秒",
    "06时00分00秒", "07时00分00秒", "08时00分00秒", "09时00分00秒", "10时00分00秒", "11时00分00秒",
    "12时00分00秒", "13时00分00秒", "14时00分00秒", "15时00分00秒", "16时00分00秒", "17时00分00秒",
    "18时00分00秒", "19时00分00秒", "20时00分00秒", "21时00分00秒", "22时00分00秒", "23时00分00秒"};
constexpr std::array<std::string_view, 24> kHalfHours{
    "00时30分00秒", "01时30分00秒", "02时30分00秒", "03时30分00秒", "04时30分00秒", "05时30分00秒",
    "06时30分00秒", "07时30分00秒", "08时30分00秒", "09时30分00秒", "10时30分00秒", "11时30分00秒",
    "12时30分00秒", "13时30分00秒", "14时30分00秒", "15时30分00秒", "16时30分00秒", "17时30分00秒",
    "18时30分00秒", "19时30分00秒", "20时30分00秒", "21时30分00秒", "22时30分00秒", "23时30分00秒"};

// "0" in front of the decimal, the rightmost two characters kept: 7 -> "07", 23 -> "23".
struct TwoDigits {
  explicit TwoDigits(int n) : digits{static_cast<char>('0' + n / 10 % 10), static_cast<char>('0' + n % 10)} {}
  operator std::string_view() const { return {digits, 2}; }
  char digits[2];
};

void SetLocked(const Context& c, bool locked) {
  for (Control control : kLockedSet) c.SetDisabled(control, locked);
}

// A single digit gets its leading zero, so the target has the clock text's form.
void Normalise(const Context& c, Control box) {
  const Text entry = c.Content(box);
  if (entry.size() == 1 && entry.bytes()[0] >= '0' && entry.bytes()[0] <= '9') {
    c.SetContent(box, JoinTexts({"0", entry}));
  }
}

void Arm(const Context& c) {
  Normalise(c, 编辑框6);
  Normalise(c, 编辑框5);
  Normalise(c, 编辑框4);
  if (c.IsChecked(单选框6) && c.Content(编辑框1).empty()) {
    c.ShowInformation("您选择了闹钟模式，却没有载入铃声，无法使用闹钟功能！", "警告：");
    if (c.MainWindowGone()) return;
    c.SetChecked(单选框6, false);
    return;
  }
  c.SetContent(编辑框7, JoinTexts({c.Content(编辑框4), "时", c.Content(编辑框5), "分", c.Content(编辑框6), "秒"}));
  c.ShowInformation(JoinTexts({"您设定了在【", c.Content(编辑框7), "】进行【", c.LabelTitle(标签4), "】操作！"}),
                    "提示：");
  if (c.MainWindowGone()) return;
  c.SetTimerInterval(时钟2, kTimerPeriodMs);
  c.SetButtonTitle(按钮1, "取消");
  SetLocked(c, true);
}

void Cancel(const Context& c) {
  const int answer = c.Ask(JoinTexts({"您将取消在【", c.Content(编辑框7), "】进行【", c.LabelTitle(标签4),
                                      "】操作！\r\n\r\n              是否真的要取消？"}),
                           "提示：");
  if (c.MainWindowGone() || answer != answer::kYes) return;
  if (c.IsChecked(单选框6)) return Reset(c);
  c.ShowInformation(JoinTexts({"您已经取消了在【", c.Content(编辑框7), "】进行【", c.LabelTitle(标签4), "】操作！"}),
                    "提示：");
  if (c.MainWindowGone()) return;
  c.SetContent(编辑框7, "");
  c.SetTimerInterval(时钟2, 0);
  c.SetButtonTitle(按钮1, "启动");
  SetLocked(c, false);
}

bool InList(std::string_view clock_text, const std::array<std::string_view, 24>& list) {
  for (std::string_view entry : list) {
    if (Equal(clock_text, entry)) return true;
  }
  return false;
}

// Chimes need the ringtone; without one the box that asked is unchecked again.
void StartChimes(const Context& c, Control box, const char* refusal) {
  if (!c.Content(编辑框1).empty()) return c.SetTimerInterval(时钟3, kTimerPeriodMs);
  c.ShowInformation(refusal, "提示：");
  if (c.MainWindowGone()) return;
  c.SetChecked(box, false);
}

}  // namespace

void OnClockTick(const Context& c) {
  // One reading: the fields of a clock text must belong to one instant.
  const DateTime now = ReadLocalClock();
  c.SetLabelTitle(标签7, JoinTexts({"北京时间：", DateTimeText(now)}));
  const LocalTime fields = FieldsOf(now);
  c.SetContent(编辑框3, JoinTexts({TwoDigits(fields.hour), "时", TwoDigits(fields.minute), "分",
                                   TwoDigits(fields.second), "秒"}));
}

void OnStartOrCancel(const Context& c) {
  const Text state = c.ButtonTitle(按钮1);
  if (Equal(state, "启动")) {
    Arm(c);
  } else if (Equal(state, "取消")) {
    Cancel(c);
  }
}

void Reset(const Context& c) {
  c.SetContent(编辑框7, "");
  c.SetTimerInterval(时钟2, 0);
  c.SetButtonTitle(按钮1, "启动");
  SetLocked(c, false);
  c.SetMenuItemVisible(菜单关闭闹钟, false);
  c.audio.StopPlayback();
}

void OnActionChosen(const Context& c, const ActionChoice& choice) { c.SetLabelTitle(标签4, choice.name); }

void OnMatchTick(const Context& c) {
  if (!Equal(c.Content(编辑框3), c.Content(编辑框7))) return;
  // Each radio button is tested by itself: a second checked one (set, not clicked) acts too.
  for (const ActionChoice& choice : kActionChoices) {
    if (choice.power_action != kAlarm && c.IsChecked(choice.radio)) c.power.RequestPowerAction(choice.power_action);
  }
  if (c.IsChecked(单选框6)) {
    c.audio.StartPlayback(kAlarmPlayCount, c.Content(编辑框1));
    c.SetMenuItemVisible(菜单关闭闹钟, true);
  }
}

void OnImmediateAction(const Context& c, const ImmediateAction& action) {
  c.power.RequestPowerAction(action.power_action);
}

void OnLoadRingtone(const Context& c) {
  // The answer does not matter: after a cancel FileName still holds the last choice.
  OpenFileDialog(c.layer, templates::MainWindow(), 通用对话框1);
  if (c.MainWindowGone()) return;
  c.SetContent(编辑框1, c.layer.GetText(templates::MainWindow(), ui::Target::Control(通用对话框1),
                                       ui::prop::file_dialog::FileName));
}

void OnFullHourChimeClicked(const Context& c) {
  if (!c.IsChecked(选择框1)) return;
  StartChimes(c, 选择框1, "你还未载入音频文件，无法使用整点报时功能");
}

// Unlike the full-hour box, every click starts the chimes, the one that unchecks it too.
void OnHalfHourChimeClicked(const Context& c) { StartChimes(c, 选择框2, "你还未载入音频文件，无法使用半点报时功能"); }

void OnChimeTick(const Context& c) {
  const Text now = c.Content(编辑框3);
  if (InList(now, kFullHours)) c.audio.StartPlayback(kChimePlayCount, c.Content(编辑框1));
  if (InList(now, kHalfHours)) c.audio.StartPlayback(kChimePlayCount, c.Content(编辑框1));
}

}  // namespace autoshutdown::logic
