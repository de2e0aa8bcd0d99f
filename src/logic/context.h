// What every handler works through: the main window's properties, the dialogs and the
// services; and the handlers themselves, bound in bind.cpp.
#pragma once

#include <string_view>

#include "logic/handlers.h"
#include "ui/templates/description_window.h"
#include "ui/templates/main_window.h"

namespace autoshutdown::logic {

using templates::main_window::Control;

struct Context {
  ui::WindowLayer& layer;
  PowerService& power;
  AudioService& audio;

  // Properties of the main window's controls.
  Text Content(Control box) const;
  void SetContent(Control box, Text text) const;
  Text ButtonTitle(Control button) const;
  void SetButtonTitle(Control button, Text title) const;
  Text LabelTitle(Control label) const;
  void SetLabelTitle(Control label, Text title) const;
  bool IsChecked(Control box) const;
  void SetChecked(Control box, bool checked) const;
  void SetDisabled(Control control, bool disabled) const;
  void SetTimerInterval(Control timer, int interval_ms) const;
  void SetMenuItemVisible(templates::main_window::MenuItem item, bool visible) const;
  void SetWindowVisible(bool visible) const;
  int WindowPlacement() const;
  void SetWindowPlacement(int placement) const;
  // The message boxes run a modal loop in which the main window may be destroyed (the
  // tray's "退出" stays reachable): a handler checks MainWindowGone() after each one.
  void ShowInformation(const Text& message, const Text& title) const;
  int Ask(const Text& question, const Text& title) const;
  bool MainWindowGone() const;
};

// The action radio buttons: the name shown in messages and the power action requested at
// the match (none for the alarm).
inline constexpr int kAlarm = 0;
struct ActionChoice {
  Control radio;
  const char* name;
  int power_action;
};
inline constexpr ActionChoice kActionChoices[] = {
    {templates::main_window::单选框1, "关机", 1}, {templates::main_window::单选框2, "重启", 2},
    {templates::main_window::单选框3, "注销", 3}, {templates::main_window::单选框4, "休眠", 4},
    {templates::main_window::单选框5, "冬眠", 5}, {templates::main_window::单选框6, "闹钟", kAlarm},
};

// The buttons of "操作：", each acting at once.
struct ImmediateAction {
  Control button;
  int power_action;
};
inline constexpr ImmediateAction kImmediateActions[] = {
    {templates::main_window::按钮8, 1},
    {templates::main_window::按钮9, 2},
    {templates::main_window::按钮10, 3},
    {templates::main_window::按钮11, 4},
};

inline bool Equal(std::string_view a, std::string_view b) { return ByteCompare(a, b) == 0; }

// Clock, target and chimes.
void OnClockTick(const Context& c);
void OnStartOrCancel(const Context& c);
void Reset(const Context& c);
void OnActionChosen(const Context& c, const ActionChoice& choice);
void OnMatchTick(const Context& c);
void OnImmediateAction(const Context& c, const ImmediateAction& action);
void OnLoadRingtone(const Context& c);
void OnFullHourChimeClicked(const Context& c);
void OnHalfHourChimeClicked(const Context& c);
void OnChimeTick(const Context& c);

// The windows: set-up, tray, popup menu, hiding and showing, exit, the description window.
void OnMainWindowCreated(const Context& c);
void OnTray(const Context& c, int tray_code);
void ShowMenu(const Context& c);
void OnHideButton(const Context& c);
void OnHideItem(const Context& c);
void OnShowItem(const Context& c);
void OnPositionChanged(const Context& c);
void ConfirmExit(const Context& c);
void OnMainWindowDestroying(const Context& c);
void OpenDescription(const Context& c);
void CloseDescription(const Context& c);

}  // namespace autoshutdown::logic
