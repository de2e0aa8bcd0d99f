// Watches for the end of the log-on session on a Linux desktop and tells the backend once:
// SIGTERM, SIGHUP and SIGINT (what the session, the terminal or the init system send at
// log-off and shutdown), the X session manager's commit-data request, and logind's
// PrepareForShutdown on the system bus.
#pragma once

#include <QObject>

class QSessionManager;
class QSocketNotifier;

namespace autoshutdown::ui::qt {

class QtBackend;

class SessionWatcher final : public QObject {
  Q_OBJECT
 public:
  explicit SessionWatcher(QtBackend& backend);
  ~SessionWatcher() override;
  SessionWatcher(const SessionWatcher&) = delete;
  SessionWatcher& operator=(const SessionWatcher&) = delete;

 private slots:
  void OnPrepareForShutdown(bool starting);

 private:
  void OnSignalPipe();
  void OnCommitData(QSessionManager& manager);

  QtBackend& backend_;
  int pipe_[2] = {-1, -1};  // the signal handler writes, the event loop reads
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace autoshutdown::ui::qt
