// The headless backend: the window layer's seam implemented in memory, with a virtual clock
// that the test owns and a scripted user. Everything that a desktop would show is mirrored
// here for assertions; every modal dialog takes its answer from a queue the test filled, and
// may let virtual time pass before answering, so ticks run nested inside the waiting handler
// as on a real desktop.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "services/text/datetime.h"
#include "ui/backend.h"
#include "ui/window_layer.h"

namespace autoshutdown::headless {

// Thrown where a desktop would end the process with an error message.
struct FatalError : std::runtime_error {
  explicit FatalError(const Text& message) : std::runtime_error(message.bytes()) {}
};

// What a window shows now.
struct ControlMirror {
  Text text;
  bool visible = true;
  bool disabled = false;
  bool checked = false;
  bool link_hover = false;
  bool link_visited = false;
};
struct WindowMirror final : ui::NativeWindow {
  bool visible = false;
  ui::ShowState state = ui::ShowState::kNormal;
  int left = 0, top = 0;
  std::vector<ControlMirror> controls;
  int focus = -1;  // control with the keyboard focus
  bool all_selected = false;
  bool has_tray_icon = false;
  Text tray_tip;
  int tray_icon_width = 0;
  ui::Bytes tray_icon_bytes;  // the chosen image's own bytes in its icon file
};

struct TrayRecord {
  enum class Op { kAdd, kModify, kDelete } op;
  std::string window;
  Text tip;
};

struct PopupRecord {
  std::vector<ui::PopupEntry> entries;
  ui::Point at;
};

struct FileDialogRecord {
  bool had_owner;
  Text preset;
};

class HeadlessBackend final : public ui::Backend, public TimeSource {
 public:
  static constexpr int kLoopStalled = -1000;

  explicit HeadlessBackend(LocalTime start = {2011, 4, 4, 8, 5, 7, 0});
  ~HeadlessBackend() override;

  // Connects the scripted user to the layer; called once the layer exists.
  void Attach(ui::WindowLayer& layer) { layer_ = &layer; }

  // --- the virtual clock (also installed as the source of ReadLocalClock)
  LocalTime Now() override;
  std::int64_t elapsed_ms() const { return now_ms_; }
  // Lets `ms` pass with the thread idle: due timers tick, posted tasks run.
  void Advance(std::int64_t ms);
  // Lets time pass until the wall clock reads `time` (same day or later).
  void AdvanceTo(int hour, int minute, int second, int millisecond = 0);
  // Lets `ms` pass while the thread is busy: ticks falling due meanwhile merge into one.
  void Busy(std::int64_t ms) { now_ms_ += ms; }
  // Runs the posted tasks waiting now.
  void Pump() { DispatchPending(); }

  // --- the scripted user; nothing reaches a window while a modal dialog disables it.
  void Click(const ui::WindowTemplate& window, int control);
  void Spin(const ui::WindowTemplate& window, int control, bool up);
  void PressEscape(const ui::WindowTemplate& window);
  void CloseCommand(const ui::WindowTemplate& window);
  ui::BackendEvents::PressResult Press(const ui::WindowTemplate& window, int control, bool left = true);
  void Tray(const ui::WindowTemplate& window, int code);
  void TrayDoubleClick(const ui::WindowTemplate& window);  // raises 1, 2, 1 as the shell does
  void MinimiseByUser(const ui::WindowTemplate& window);
  void RestoreByUser(const ui::WindowTemplate& window);
  void DragTo(const ui::WindowTemplate& window, int left, int top);
  void HoverLink(const ui::WindowTemplate& window, int control, bool inside);
  void PressLink(const ui::WindowTemplate& window, int control);
  bool EndSession();

  // --- answers to the modal dialogs, taken in order. `wait_ms` of virtual time passes
  // while the dialog is open (nested ticks); `meanwhile` runs after that, before the answer.
  void AnswerNextBox(int system_answer, std::int64_t wait_ms = 0, std::function<void()> meanwhile = {});
  void AnswerNextFileDialog(std::optional<Text> path, std::int64_t wait_ms = 0);
  // Chooses the entry with this title in the next popup menu (nullopt: closes it unchosen).
  void AnswerNextMenu(std::optional<Text> title);
  // A script for RunMessageLoop: each step runs when the loop is idle.
  void Script(std::function<void()> step) { script_.push_back(std::move(step)); }

  // --- what was shown
  std::vector<ui::MessageBoxRequest> boxes;
  std::vector<FileDialogRecord> file_dialogs;
  std::vector<PopupRecord> popups;
  std::vector<TrayRecord> tray_log;
  std::vector<Text> opened_addresses;
  std::vector<std::string> activations;
  int unanswered_dialogs = 0;
  int blocked_inputs = 0;
  int modal_depth = 0;
  std::optional<ui::Skin> skin;
  bool thread_prepared = false;
  bool open_address_succeeds = true;
  ui::Size screen{1024, 768};
  ui::Point cursor{200, 150};
  bool refuse_window_creation = false;

  WindowMirror* Mirror(const ui::WindowTemplate& window);
  int RunningTimers() const { return static_cast<int>(timers_.size()); }
  bool TimerRunning(const ui::WindowTemplate& window, int control) const;
  std::optional<int> quit_code() const { return quit_code_; }

  // --- ui::Backend
  void PrepareThread() override { thread_prepared = true; }
  int RunMessageLoop() override;
  void PostQuit(int code) override { quit_code_ = code; }
  void DispatchPending() override;
  void Post(std::function<void()> task) override { posted_.push_back(std::move(task)); }
  void ShowFatalError(const Text& message) override { throw FatalError(message); }
  ui::Size ScreenSize() override { return screen; }
  bool CreateNativeWindow(ui::WindowInstance& window) override;
  void DestroyNativeWindow(ui::WindowInstance& window) override;
  void ShowWindow(ui::WindowInstance& window, ui::ShowCommand command) override;
  void MoveWindow(ui::WindowInstance& window, int left, int top) override;
  void ActivateWindow(ui::WindowInstance& window) override;
  void UpdateControl(ui::WindowInstance& window, int control) override;
  void FocusAndSelectAll(ui::WindowInstance& window, int control) override;
  void SetSkin(std::optional<ui::Skin> new_skin) override { skin = new_skin; }
  void StartTimer(ui::WindowInstance& window, int control, int period_ms) override;
  void StopTimer(ui::WindowInstance& window, int control) override;
  int ShowMessageBox(const ui::MessageBoxRequest& request) override;
  std::optional<Text> ShowOpenFileDialog(ui::WindowInstance* owner, const Text& preset) override;
  std::optional<int> TrackPopupMenu(ui::WindowInstance& window, const std::vector<ui::PopupEntry>& entries,
                                    ui::Point at) override;
  ui::Point CursorPosition() override { return cursor; }
  void TrayAdd(ui::WindowInstance& window, const ui::TrayIconSource& icon, const Text& tip) override;
  void TrayModify(ui::WindowInstance& window, const ui::TrayIconSource& icon, const Text& tip) override;
  void TrayDelete(ui::WindowInstance& window) override;
  bool OpenAddress(const Text& address) override;

 private:
  struct Timer {
    int period;
    std::int64_t due;
  };
  struct BoxAnswer {
    int answer;
    std::int64_t wait_ms;
    std::function<void()> meanwhile;
  };
  struct FileAnswer {
    std::optional<Text> path;
    std::int64_t wait_ms;
  };
  ui::WindowInstance* Live(const ui::WindowTemplate& window);
  bool InputBlocked();
  void Wait(std::int64_t ms);
  void ReportGeometry(ui::WindowInstance& window);

  ui::WindowLayer* layer_ = nullptr;
  LocalTime start_;
  DateTime start_value_;
  std::int64_t now_ms_ = 0;
  std::map<std::pair<ui::WindowInstance*, int>, Timer> timers_;
  std::deque<std::function<void()>> posted_;
  std::deque<BoxAnswer> box_answers_;
  std::deque<FileAnswer> file_answers_;
  std::deque<std::optional<Text>> menu_answers_;
  std::deque<std::function<void()>> script_;
  std::optional<int> quit_code_;
};

// The template index of the control named `name` (GBK); throws when there is none.
int ControlIndex(const ui::WindowTemplate& window, std::string_view name);
// The template index of the menu item titled `title`; throws when there is none.
int MenuIndex(const ui::WindowTemplate& window, std::string_view title);
// The titles of a popup's entries, separators as "-", submenus with their entries in [ ].
std::vector<Text> Titles(const std::vector<ui::PopupEntry>& entries);

}  // namespace autoshutdown::headless
