// The program running on one backend, seen and driven as a user would: the contract
// scenarios name controls by their template ids and read what the screen shows, so one
// table runs unchanged against every backend.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "tests/logic/recording_services.h"
#include "ui/templates/main_window.h"
#include "ui/window_template.h"

namespace autoshutdown::contract {

using templates::main_window::Control;

// A message box as the system showed it; `style` as the system got it (buttons, icon, modality).
struct BoxSeen {
  Text text;
  Text title;
  int style = 0;
};

// What RunLoop returns when the loop did not end by itself.
inline constexpr int kLoopStalled = -1000;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // --- the user. A click on a disabled control does nothing, as on the screen.
  virtual void Click(const ui::WindowTemplate& window, int control) = 0;
  // An arrow of the spin button beside edit box `box` of the main window.
  virtual void Spin(Control box, bool up) = 0;
  virtual void PressEscape(const ui::WindowTemplate& window) = 0;
  // A right click on a main window control.
  virtual void RightClick(Control control) = 0;
  // The main window minimised from outside the program (the task bar, the window manager).
  virtual void MinimiseByUser() = 0;
  // The right button released over the main window's tray icon.
  virtual void TrayRightClick() = 0;
  // A left double click on the tray icon, delivered as the desktop does (codes 1, 2, 1).
  virtual void TrayDoubleClick() = 0;

  // --- answers, taken in order by the next message boxes and popup menus. `system_answer`
  // is the system's code (1 OK, 6 Yes, 7 No); a menu title of nullopt closes it unchosen.
  virtual void AnswerNextBox(int system_answer) = 0;
  virtual void ChooseNextMenu(std::optional<Text> title) = 0;

  // Runs the work queued now (deferred destroys, posted tasks).
  virtual void Settle() = 0;
  // Runs the message loop with `inside` done in it once the loop is running; returns the
  // loop's exit code, or kLoopStalled when it did not end soon after `inside`.
  virtual int RunLoop(std::function<void()> inside) = 0;

  // --- what the screen shows
  virtual bool WindowOpen(const ui::WindowTemplate& window) = 0;
  virtual int OpenWindows() = 0;
  // Visible and not minimised: there to be seen.
  virtual bool WindowShown(const ui::WindowTemplate& window) = 0;
  virtual bool TrayIconShown() = 0;
  // A main window control's caption or text, in GBK.
  virtual Text ControlText(Control control) = 0;
  virtual bool ControlEnabled(Control control) = 0;
  virtual bool ControlChecked(Control control) = 0;

  // --- what was shown, in order
  virtual std::vector<BoxSeen> Boxes() = 0;
  virtual std::vector<std::vector<Text>> Popups() = 0;  // titles; separators as "-"
  // Boxes that came with no answer queued.
  virtual int UnansweredDialogs() = 0;

  testing_support::RecordingPower power;
  testing_support::RecordingAudio audio;
};

// The desktop of the backend under test, with the program started on it; each test
// executable defines it once.
std::unique_ptr<Desktop> MakeDesktop();

}  // namespace autoshutdown::contract
