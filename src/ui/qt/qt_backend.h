// The Qt 6 Widgets backend: implements the window layer's seam (ui::Backend) with native Qt
// top-level windows, painted and standard child widgets, QTimers, QMessageBox, QFileDialog,
// QMenu and QSystemTrayIcon, and reports what the user and the desktop do to the layer.
// It decides nothing about the meaning of an event: that is the layer's.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QObject>

#include "ui/backend.h"

class QWidget;

namespace autoshutdown::ui::qt {

class SessionWatcher;
class Ticker;

// What every painted control consults at paint time: the skin and the platform's colours.
struct LookContext {
  std::optional<Skin> skin;
};

class QtBackend final : public Backend {
 public:
  // Needs a live QApplication; watches the end of the log-on session from here on.
  QtBackend();
  ~QtBackend() override;
  QtBackend(const QtBackend&) = delete;
  QtBackend& operator=(const QtBackend&) = delete;

  void PrepareThread() override;
  int RunMessageLoop() override;
  void PostQuit(int code) override;
  void DispatchPending() override;
  void Post(std::function<void()> task) override;
  void ShowFatalError(const Text& message) override;

  Size ScreenSize() override;
  bool CreateNativeWindow(WindowInstance& window) override;
  void DestroyNativeWindow(WindowInstance& window) override;
  void ShowWindow(WindowInstance& window, ShowCommand command) override;
  void MoveWindow(WindowInstance& window, int left, int top) override;
  void ActivateWindow(WindowInstance& window) override;
  void UpdateControl(WindowInstance& window, int control) override;
  void FocusAndSelectAll(WindowInstance& window, int control) override;
  void SetSkin(std::optional<Skin> skin) override;

  void StartTimer(WindowInstance& window, int control, int period_ms) override;
  void StopTimer(WindowInstance& window, int control) override;

  int ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<Text> ShowOpenFileDialog(WindowInstance* owner, const Text& preset) override;
  std::optional<int> TrackPopupMenu(WindowInstance& window, const std::vector<PopupEntry>& entries,
                                    Point at) override;
  Point CursorPosition() override;

  void TrayAdd(WindowInstance& window, const TrayIconSource& icon, const Text& tip) override;
  void TrayModify(WindowInstance& window, const TrayIconSource& icon, const Text& tip) override;
  void TrayDelete(WindowInstance& window) override;

  bool OpenAddress(const Text& address) override;

  // --- for the backend's own widgets
  BackendEvents& Events() { return events(); }
  const LookContext& Look() const { return look_; }
  Ticker& Timers() { return *timers_; }
  // The desktop asks the session to end (signal, session manager, logind): asks the layer,
  // then ends the session once, without any farewell.
  void EndSession();
  // The native top-level widget of a loaded window (tests and benchmarks inspect it).
  static QWidget* WidgetOf(const WindowInstance& window);

 private:
  LookContext look_;
  std::unique_ptr<Ticker> timers_;
  std::unique_ptr<QObject> post_context_;  // posted tasks are queued calls on this object
  std::unique_ptr<SessionWatcher> session_;
  bool session_ended_ = false;
  std::optional<int> quit_code_;
};

}  // namespace autoshutdown::ui::qt
