// The main window's set-up, the tray icon and its popup menu, hiding and showing, the exit
// confirmation and farewell, and the description window.
#include "logic/context.h"
#include "services/dialogs.h"

namespace autoshutdown::logic {

using namespace templates::main_window;

namespace {

constexpr int kSkinScheme = 3;
constexpr int kClockPeriodMs = 10;
constexpr int kPlacementNormal = 0;
constexpr int kPlacementMinimised = 2;
// Three lines within the tray's 62 bytes.
constexpr const char* kTrayTip = " 定时关机程序\r\nby：Tesvaro\r\nQQ：314159265";

const ui::WindowTemplate& Main() { return templates::MainWindow(); }

void RemoveTrayIcon(const Context& c) { c.layer.UpdateTrayIcon(Main()); }

}  // namespace

void OnMainWindowCreated(const Context& c) {
  c.layer.ApplyControlSkin(kSkinScheme);
  const ui::Value icon = c.layer.GetProperty(Main(), ui::Target::Window(), ui::prop::window::WindowIcon);
  c.layer.UpdateTrayIcon(Main(), std::get<ui::Bytes>(icon), kTrayTip);
  c.SetMenuItemVisible(菜单关闭闹钟, false);
  c.SetMenuItemVisible(菜单显示, false);
  c.SetTimerInterval(时钟1, kClockPeriodMs);
}

void OnTray(const Context& c, int tray_code) {
  switch (tray_code) {
    case ui::tray::kLeftDoubleClick:
      // Shown in the state it has, then restored if that was minimised.
      c.SetWindowVisible(true);
      c.SetWindowPlacement(kPlacementNormal);
      break;
    case ui::tray::kRightUp: ShowMenu(c); break;
    default: break;
  }
}

void ShowMenu(const Context& c) { c.layer.ShowPopupMenu(Main(), 菜单a); }

void OnHideButton(const Context& c) {
  c.SetMenuItemVisible(菜单隐藏, false);
  c.SetMenuItemVisible(菜单显示, true);
  c.SetWindowVisible(false);
  c.SetWindowPlacement(kPlacementMinimised);
}

void OnHideItem(const Context& c) {
  c.SetWindowVisible(false);
  c.SetWindowPlacement(kPlacementMinimised);
  c.SetMenuItemVisible(菜单隐藏, false);
  c.SetMenuItemVisible(菜单显示, true);
}

void OnShowItem(const Context& c) {
  c.SetWindowPlacement(kPlacementNormal);
  c.SetWindowVisible(true);
  c.SetMenuItemVisible(菜单显示, false);
  c.SetMenuItemVisible(菜单隐藏, true);
}

// A minimised main window goes to the tray instead of the task bar.
void OnPositionChanged(const Context& c) {
  if (c.WindowPlacement() == kPlacementMinimised) c.SetWindowVisible(false);
}

void ConfirmExit(const Context& c) {
  const int answer = c.Ask("    是否真的要退出？", "提示：");
  if (c.MainWindowGone() || answer != answer::kYes) return;
  c.SetTimerInterval(时钟1, 0);
  c.SetTimerInterval(时钟2, 0);
  RemoveTrayIcon(c);
  c.layer.DisposeWindow(Main());
}

void OnMainWindowDestroying(const Context& c) {
  c.ShowInformation("感谢使用本程序，欢迎下次继续使用！", "感谢：");
  c.SetTimerInterval(时钟1, 0);
  c.SetTimerInterval(时钟2, 0);
  RemoveTrayIcon(c);
  c.layer.DisposeWindow(Main());
}

void OpenDescription(const Context& c) {
  c.layer.OpenTemplateWindow(templates::DescriptionWindow(), &Main(), false);
}

void CloseDescription(const Context& c) { c.layer.DisposeWindow(templates::DescriptionWindow()); }

}  // namespace autoshutdown::logic
