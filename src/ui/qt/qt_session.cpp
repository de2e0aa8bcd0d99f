// The end of the log-on session on Linux; see qt_session.h.
#include "ui/qt/qt_session.h"

#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>

#include "ui/qt/qt_backend.h"

namespace autoshutdown::ui::qt {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

// A signal handler can reach nothing but async-signal-safe calls and process-wide data: the
// write end of the watcher's pipe is the one such datum (-1 while no watcher lives).
std::atomic<int> signal_pipe_writer{-1};

void OnSignal(int) {
  const int saved_errno = errno;
  const int fd = signal_pipe_writer.load();
  const char byte = 1;
  if (fd >= 0 && write(fd, &byte, 1) < 0) {
    // Full pipe: a wake-up is pending already.
  }
  errno = saved_errno;
}

}  // namespace

SessionWatcher::SessionWatcher(QtBackend& backend) : backend_(backend) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pipe_) == 0) {
    notifier_ = new QSocketNotifier(pipe_[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &SessionWatcher::OnSignalPipe);
    signal_pipe_writer.store(pipe_[0]);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kSignals) sigaction(signal, &action, nullptr);
  }
  connect(qApp, &QGuiApplication::commitDataRequest, this, &SessionWatcher::OnCommitData, Qt::DirectConnection);
  // No system bus (a container, a non-systemd machine): nothing announces a shutdown there.
  QDBusConnection::systemBus().connect(QStringLiteral("org.freedesktop.login1"),
                                       QStringLiteral("/org/freedesktop/login1"),
                                       QStringLiteral("org.freedesktop.login1.Manager"),
                                       QStringLiteral("PrepareForShutdown"), this, SLOT(OnPrepareForShutdown(bool)));
}

SessionWatcher::~SessionWatcher() {
  if (pipe_[0] < 0) return;
  for (int signal : kSignals) std::signal(signal, SIG_DFL);
  signal_pipe_writer.store(-1);
  close(pipe_[0]);
  close(pipe_[1]);
}

void SessionWatcher::OnSignalPipe() {
  char bytes[16];
  while (read(pipe_[1], bytes, sizeof bytes) > 0) {
  }
  backend_.EndSession();
}

void SessionWatcher::OnCommitData(QSessionManager& manager) {
  // Only the question here; the session manager ends the program afterwards.
  if (!backend_.Events().OnSessionEnding()) manager.cancel();
}

void SessionWatcher::OnPrepareForShutdown(bool starting) {
  if (starting) backend_.EndSession();
}

}  // namespace autoshutdown::ui::qt
