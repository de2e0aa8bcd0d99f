// The seam between the portable window layer and a platform: a backend creates and drives
// native windows, controls, timers, dialogs and the tray, and reports what the user and the
// system do through BackendEvents. What an operation means (event order, property effects)
// is decided by the layer, never here.
//
// Every member runs on the user-interface thread. A backend never calls into the program's
// handlers directly; it calls BackendEvents, which may re-enter the backend (a handler that
// shows a message box from inside a tick, for instance).
#pragma once

#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "services/text/text.h"
#include "ui/window_instance.h"

namespace autoshutdown::ui {

struct Point {
  int x = 0, y = 0;
};
struct Size {
  int width = 0, height = 0;
};

enum class ShowCommand : std::uint8_t {
  kHide,        // hidden, keeping its normal or minimised state
  kShow,        // shown and activated in the state it has
  kShowNormal,  // shown in the normal state (a minimised or maximised window is restored)
  kMinimise,
  kMaximise,
};

// One entry of a popup menu, built by the layer.
struct PopupEntry {
  enum class Kind : std::uint8_t { kItem, kSeparator, kSubmenu };
  Kind kind = Kind::kItem;
  Text title;
  int item = -1;  // menu item index in the window's template
  bool disabled = false;
  bool checked = false;
  std::vector<PopupEntry> children;  // kSubmenu only
};

// The flat skin's colours; nullopt switches the skin off.
struct Skin {
  int scheme = 0;
  Colour frame = kDefaultColour;
};

// An icon for the tray: the image chosen from an icon file and that file, which lives only for
// the call. A PNG image is not decoded by the parser: its bytes are file[offset, offset + size),
// as are the bytes a platform's own icon loader takes.
struct TrayIconSource {
  const IconImage& image;
  std::span<const std::uint8_t> file;
  std::span<const std::uint8_t> ImageBytes() const { return file.subspan(image.offset, image.size); }
};

// The message box as the system shows it: text, caption and style bits of the Win32
// MessageBox; returns the system's answer (IDOK 1 ... IDNO 7, 0 on failure).
struct MessageBoxRequest {
  Text text;
  Text title;
  int style = 0;
};

// What the backend reports; implemented by the window layer.
class BackendEvents {
 public:
  virtual ~BackendEvents() = default;
  // The user clicked (or pressed Space on) a button, check box or radio button. The layer
  // toggles or checks it and raises clicked.
  virtual void OnClicked(WindowInstance& window, int control) = 0;
  // An arrow of the spin button of edit box `control` was pressed.
  virtual void OnSpin(WindowInstance& window, int control, bool up) = 0;
  // A running timer's period ran out (late ticks are merged into one by the backend).
  virtual void OnTimerTick(WindowInstance& window, int control) = 0;
  // Esc without Ctrl, Shift or Alt while the window or one of its controls has the focus.
  virtual void OnEscape(WindowInstance& window) = 0;
  // The system's close command (a close button, Alt+F4, the window manager).
  virtual void OnCloseCommand(WindowInstance& window) = 0;
  // The log-on session is about to end: returns whether every window agrees.
  virtual bool OnSessionEnding() = 0;
  // The log-on session ends now: the process ends without any further event.
  virtual void OnSessionEnded() = 0;
  // A mouse button went down on `control` (-1: the window's own background). Returns true
  // when the press is taken by the layer (a drag was started, or a handler refused it), so
  // the platform must not handle it further.
  enum class MouseButton : std::uint8_t { kLeft, kRight };
  struct PressResult {
    bool start_drag = false;  // move the window as if its title bar were pressed
    bool swallow = false;     // the platform's own handling of the press is skipped
  };
  virtual PressResult OnMousePress(WindowInstance& window, int control, MouseButton button, int x, int y,
                                   int key_state) = 0;
  // The mouse entered (true) or left (false) a hyperlink box, or pressed it.
  virtual void OnHyperlinkHover(WindowInstance& window, int control, bool inside) = 0;
  virtual void OnHyperlinkPressed(WindowInstance& window, int control) = 0;
  // The window moved, or its normal / minimised / maximised state changed by any means.
  virtual void OnWindowGeometry(WindowInstance& window, int left, int top, ShowState state) = 0;
  // A notification from the window's tray icon, as a tray code (1, 2 or 3).
  virtual void OnTrayNotification(WindowInstance& window, int tray_code) = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;

  // Set once by the layer before anything else is called.
  void AttachEvents(BackendEvents* events) { events_ = events; }

  // --- the thread and its loop
  // Prepares the user-interface thread (component services) and makes the program's folder
  // the current directory.
  virtual void PrepareThread() = 0;
  // Takes and dispatches messages until PostQuit; returns its code.
  virtual int RunMessageLoop() = 0;
  virtual void PostQuit(int code) = 0;
  // Handles the messages already waiting, then returns (no waiting for new ones).
  virtual void DispatchPending() = 0;
  // Queues `task` behind the messages waiting now; it runs from the loop (or a modal loop)
  // after the current handler has returned.
  virtual void Post(std::function<void()> task) = 0;
  // Shows `message` for an error that ends the process (a caller bug, or no memory); the
  // layer then ends the process with the exit code -1.
  virtual void ShowFatalError(const Text& message) = 0;

  // --- windows and controls
  virtual Size ScreenSize() = 0;
  // Creates the native window hidden at (window.left, window.top), with every control of its
  // template in template order (the earlier lies above where they overlap) and reads their
  // state from `window`. Stores its data in window.native. Returns false when the platform
  // refuses; then nothing is left behind.
  virtual bool CreateNativeWindow(WindowInstance& window) = 0;
  // Destroys the native window and its controls; no event is reported for it.
  virtual void DestroyNativeWindow(WindowInstance& window) = 0;
  // Reports the resulting geometry through OnWindowGeometry when it changed.
  virtual void ShowWindow(WindowInstance& window, ShowCommand command) = 0;
  virtual void MoveWindow(WindowInstance& window, int left, int top) = 0;
  // Brings the window to the front and gives it the focus.
  virtual void ActivateWindow(WindowInstance& window) = 0;
  // Re-reads the control's state (text, visible, disabled, checked, hyperlink colours) and
  // repaints what changed.
  virtual void UpdateControl(WindowInstance& window, int control) = 0;
  // Selects all text of an edit box and gives it the focus.
  virtual void FocusAndSelectAll(WindowInstance& window, int control) = 0;
  virtual void SetSkin(std::optional<Skin> skin) = 0;

  // --- timers: a tick reaches OnTimerTick after each period, merged when late.
  virtual void StartTimer(WindowInstance& window, int control, int period_ms) = 0;
  virtual void StopTimer(WindowInstance& window, int control) = 0;

  // --- modal dialogs: each runs a modal loop that goes on delivering ticks, tray
  // notifications and posted tasks.
  // Shown with no owner window, task-modal; returns the system's answer code.
  virtual int ShowMessageBox(const MessageBoxRequest& request) = 0;
  // The open-file dialog owned by `owner`: every file listed, file and path must exist,
  // `preset` in the file-name field. Returns the chosen full path (GB18030), or nullopt on
  // cancel or failure.
  virtual std::optional<Text> ShowOpenFileDialog(WindowInstance* owner, const Text& preset) = 0;
  // Shows the popup menu with its top left corner at `at` (screen pixels) and returns the
  // chosen entry's item index once it has closed, or nullopt.
  virtual std::optional<int> TrackPopupMenu(WindowInstance& window, const std::vector<PopupEntry>& entries,
                                            Point at) = 0;
  virtual Point CursorPosition() = 0;

  // --- the notification area: at most one icon per window.
  virtual void TrayAdd(WindowInstance& window, const TrayIconSource& icon, const Text& tip) = 0;
  virtual void TrayModify(WindowInstance& window, const TrayIconSource& icon, const Text& tip) = 0;
  virtual void TrayDelete(WindowInstance& window) = 0;

  // --- the shell: opens a web address with the system's "open" action; false on failure.
  virtual bool OpenAddress(const Text& address) = 0;

 protected:
  BackendEvents& events() { return *events_; }

 private:
  BackendEvents* events_ = nullptr;
};

}  // namespace autoshutdown::ui
