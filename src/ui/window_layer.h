// The window layer: loads windows from templates, holds every control property, raises the
// program's event handlers in the documented order, and offers the window, tray, popup-menu
// and skin operations. All of it runs on the user-interface thread.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <optional>
#include <span>
#include <tuple>

#include "ui/backend.h"
#include "ui/properties.h"
#include "ui/window_instance.h"
#include "ui/window_template.h"

namespace autoshutdown::ui {

// An event handler. Its result matters only where an event says so (close query, mouse
// presses): false refuses; nullopt is "returned nothing".
using Handler = std::function<std::optional<bool>(const EventArgs&)>;

class WindowLayer final : private BackendEvents {
 public:
  explicit WindowLayer(Backend& backend);
  ~WindowLayer() override;
  WindowLayer(const WindowLayer&) = delete;
  WindowLayer& operator=(const WindowLayer&) = delete;

  Backend& backend() { return backend_; }

  // Binds `handler` to `event` of `target` in every window loaded from `window`.
  void Bind(const WindowTemplate& window, Target target, int event, Handler handler);

  // --- operations
  // Loads a window (or brings its live instance to the front). True when it is loaded.
  bool OpenTemplateWindow(const WindowTemplate& window, const WindowTemplate* parent = nullptr,
                          bool dialog_mode = false);
  // Destroys the window once the loop reaches the request posted now; a second call is harmless.
  void DisposeWindow(const WindowTemplate& window);
  // Sets (with icon bytes that form an icon file) or removes the window's tray icon.
  void UpdateTrayIcon(const WindowTemplate& window, std::span<const std::uint8_t> icon = {},
                      const Text& tip = Text());
  // Pops up the items under menu item `item` at the cursor + 3 px; raises selected after it closes.
  void ShowPopupMenu(const WindowTemplate& window, int item);
  // 1, 2, 3 switch the flat skin on with that scheme; anything else switches it off.
  bool ApplyControlSkin(int scheme);

  // --- the control property model; the window must be loaded.
  Value GetProperty(const WindowTemplate& window, Target target, int id);
  void SetProperty(const WindowTemplate& window, Target target, int id, Value value);
  Text GetText(const WindowTemplate& window, Target target, int id);
  int GetInt(const WindowTemplate& window, Target target, int id);

  // --- the message loop
  // Marks the loop as started (from now on the last window's destruction posts the quit
  // request) and runs it if a window is alive. Returns the exit code.
  int RunMessageLoop();
  bool loop_started() const { return loop_started_; }

  // --- inspection (backends and tests)
  WindowInstance* Find(const WindowTemplate& window);
  const std::list<WindowInstance>& windows() const { return windows_; }
  bool session_ended() const { return session_ended_; }

  // Raises `event` of `target` in `window`: the handler's result, nullopt when none is bound.
  std::optional<bool> Raise(WindowInstance& window, Target target, int event, const EventArgs& args = {});

 private:
  // BackendEvents
  void OnClicked(WindowInstance& window, int control) override;
  void OnSpin(WindowInstance& window, int control, bool up) override;
  void OnTimerTick(WindowInstance& window, int control) override;
  void OnEscape(WindowInstance& window) override;
  void OnCloseCommand(WindowInstance& window) override;
  bool OnSessionEnding() override;
  void OnSessionEnded() override;
  PressResult OnMousePress(WindowInstance& window, int control, MouseButton button, int x, int y,
                           int key_state) override;
  void OnHyperlinkHover(WindowInstance& window, int control, bool inside) override;
  void OnHyperlinkPressed(WindowInstance& window, int control) override;
  void OnWindowGeometry(WindowInstance& window, int left, int top, ShowState state) override;
  void OnTrayNotification(WindowInstance& window, int tray_code) override;

  WindowInstance& Loaded(const WindowTemplate& window);
  bool Alive(std::uint64_t serial) const;
  WindowInstance* BySerial(std::uint64_t serial);
  void Destroy(WindowInstance& window);
  void SetWindowPlacement(WindowInstance& window, int value);
  void SetControlProperty(WindowInstance& window, int control, int id, Value& value);
  Value GetControlProperty(WindowInstance& window, int control, int id);
  bool AcceptsInput(const WindowInstance& window, int control) const;
  std::vector<PopupEntry> BuildPopup(const WindowInstance& window, int item) const;
  [[noreturn]] void CallerBug(const char* what);
  [[noreturn]] void Fatal(const Text& message);

  Backend& backend_;
  std::list<WindowInstance> windows_;  // stable addresses: backends keep references
  std::map<std::tuple<const WindowTemplate*, Target::Kind, int, int>, Handler> handlers_;
  std::uint64_t next_serial_ = 1;
  int loading_ = 0;  // no event of any window is raised while a window is being created
  bool loop_started_ = false;
  bool session_ended_ = false;
};

}  // namespace autoshutdown::ui
