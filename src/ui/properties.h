// Property ids and event codes of the control property model.
// Ids 0-7 are shared by every kind with a native window; ids from 8 on belong to the kind;
// a menu item has its own four.
#pragma once

#include <cstdint>
#include <variant>
#include <vector>

#include "services/text/text.h"

namespace autoshutdown::ui {

using Bytes = std::vector<std::uint8_t>;
// An integer (booleans are integers: 0 false, anything else true), a text, or bytes.
using Value = std::variant<int, Text, Bytes>;

namespace prop {
inline constexpr int kLeft = 0, kTop = 1, kWidth = 2, kHeight = 3, kTag = 4;
inline constexpr int IsVisible = 5;
inline constexpr int IsDisabled = 6;
inline constexpr int kMousePointer = 7;
namespace window {
inline constexpr int WindowPlacement = 18;
inline constexpr int WindowIcon = 20;
}  // namespace window
namespace edit {
inline constexpr int Content = 8;
}
namespace button {
inline constexpr int Title = 10;
}
namespace label {
inline constexpr int Title = 8;
}
namespace check {  // check boxes and radio buttons
inline constexpr int IsChecked = 18;
}
namespace timer {
inline constexpr int TimerInterval = 8;
}
namespace file_dialog {
inline constexpr int FileName = 10;
}
namespace menu {
inline constexpr int kTitle = 0, kChecked = 1, kDisabled = 2;
inline constexpr int IsVisible = 3;
}  // namespace menu
}  // namespace prop

namespace event {
// Window events.
inline constexpr int kCreated = 0;
inline constexpr int kCloseQuery = 1;
inline constexpr int kWillBeDestroyed = 2;
inline constexpr int kPositionChanged = 3;
inline constexpr int kSizeChanged = 4;
inline constexpr int kTray = 9;
// Control events.
inline constexpr int kClicked = 0;         // button, check box, radio button
inline constexpr int kTick = 0;            // timer
inline constexpr int kContentChanged = 0;  // edit box
inline constexpr int kLeftPressed = -1;
inline constexpr int kRightPressed = -4;
// Menu item event.
inline constexpr int kSelected = 0;
}  // namespace event

// Tray codes.
namespace tray {
inline constexpr int kLeftUp = 1;
inline constexpr int kLeftDoubleClick = 2;
inline constexpr int kRightUp = 3;
}  // namespace tray

// Key state of a mouse event.
namespace keys {
inline constexpr int kCtrl = 1, kShift = 2, kAlt = 4;
}

// What an event handler is called on: the window itself, one of its controls (by template
// index) or one of its menu items (by template index).
struct Target {
  enum class Kind : std::uint8_t { kWindow, kControl, kMenuItem };
  Kind kind = Kind::kWindow;
  int index = -1;

  static constexpr Target Window() { return {Kind::kWindow, -1}; }
  static constexpr Target Control(int index) { return {Kind::kControl, index}; }
  static constexpr Target MenuItem(int index) { return {Kind::kMenuItem, index}; }
  friend constexpr bool operator==(const Target&, const Target&) = default;
};

// Arguments of an event: the tray code in `a`; a mouse event's x, y and key state in a, b, c.
struct EventArgs {
  int a = 0, b = 0, c = 0;
};

}  // namespace autoshutdown::ui
