// One loaded window on Qt: a frameless top-level widget holding a widget per control at its
// template place, a mirror of what each widget shows (so that an update repaints only what
// changed), the window's timers, and the routing of mouse presses, Esc, the close command
// and geometry changes to the layer.
#pragma once

#include <optional>
#include <vector>

#include <QHash>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QWidget>

#include "ui/qt/qt_backend.h"

class QLineEdit;
class QMouseEvent;

namespace autoshutdown::ui::qt {

class TopWindow final : public QWidget {
 public:
  // Builds every control of `instance` in template order; `owner` makes it an owned window.
  TopWindow(QtBackend& backend, WindowInstance& instance, QWidget* owner);

  // The instance this widget shows; null once the layer has destroyed it (the widget itself
  // goes later, by deleteLater, since the layer may destroy it from inside its own events).
  WindowInstance* Instance() const { return instance_; }
  void Detach();

  // Makes control `control` show its state in the instance, touching only what changed.
  void Sync(int control);
  // The skin changed: everything paints anew.
  void RepaintAll();
  void ReportGeometry();
  void StartTimer(int control, int period_ms);
  void StopTimer(int control);
  void FocusAndSelectAll(int control);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  struct ControlView {
    QWidget* widget = nullptr;  // at the template place; none for timers and file dialogs
    QLineEdit* edit = nullptr;  // edit boxes
    QWidget* spin = nullptr;    // an edit box's spin button
    // What the widget shows now.
    bool synced = false;
    Text text;
    bool visible = false, disabled = false, checked = false, hover = false, visited = false;
  };

  QWidget* Build(int control);
  QImage PictureFor(const ControlTemplate& tmpl) const;
  void Watch(QObject* object, int control);
  bool HandlePress(QObject* watched, QMouseEvent* event);
  void StartDrag(QPoint global);

  QtBackend& backend_;
  WindowInstance* instance_;
  std::vector<ControlView> views_;
  QHash<const QObject*, int> control_of_;  // watched widget -> control (-1: the window)
  // A press that a child ignores reaches its parents as the same event: report it once.
  const QEvent* last_press_ = nullptr;
  quint64 last_press_time_ = 0;
  std::optional<QPoint> drag_offset_;  // a move done by hand where the window manager can't
};

// The backend's data of one window: its widget and its tray icon.
class QtWindow final : public NativeWindow {
 public:
  explicit QtWindow(TopWindow* top) : top(top) {}
  ~QtWindow() override { Dispose(); }
  // Hides and releases both at once; the objects go when the event loop gets to them.
  void Dispose();

  QPointer<TopWindow> top;
  QPointer<QSystemTrayIcon> tray;
  // Hidden by minimising, for want of a notification area: showing undoes that minimise.
  bool minimised_for_hide = false;
};

}  // namespace autoshutdown::ui::qt
