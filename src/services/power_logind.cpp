// systemd-logind power platform over D-Bus (QtDBus). logind's CanPowerOff stands in for the
// shutdown privilege; power-off, restart, standby and hibernate are logind's non-interactive
// PowerOff, Reboot, Suspend and Hibernate. Log-off asks the desktop's session manager on the
// session bus, as a log-off on Windows asks the applications, and only where no session manager
// runs ends this process's own logind session. The caller is the UI thread, so every step has
// a short time budget shared by all its calls; a missing bus or service fails at once.
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QFileInfo>
#include <QString>
#include <QVariant>
#include <array>
#include <chrono>

#include "services/power_platform.h"

namespace autoshutdown {
namespace {

using Clock = std::chrono::steady_clock;

// logind answers within milliseconds; a step that takes longer has a hung service behind it.
// Two steps per request keep the UI thread blocked for one second at most.
constexpr std::chrono::milliseconds kStepBudget{500};

constexpr QLatin1String kLogindService("org.freedesktop.login1");
constexpr QLatin1String kLogindPath("/org/freedesktop/login1");
constexpr QLatin1String kLogindManager("org.freedesktop.login1.Manager");

// A private bus connection for the span of one step, so that every step stands alone and a
// restarted bus is found anew. Closed when the step ends; its calls share the step's budget.
class StepConnection {
 public:
  StepConnection(QDBusConnection::BusType bus, Clock::time_point deadline)
      : name_(UniqueName()), connection_(QDBusConnection::connectToBus(bus, name_)),
        deadline_(deadline) {}
  StepConnection(const QString& address, Clock::time_point deadline)
      : name_(UniqueName()), connection_(QDBusConnection::connectToBus(address, name_)),
        deadline_(deadline) {}
  ~StepConnection() { QDBusConnection::disconnectFromBus(name_); }
  StepConnection(const StepConnection&) = delete;
  StepConnection& operator=(const StepConnection&) = delete;

  // Sends `call` and waits, without running any event loop, for its reply until the deadline.
  // Returns an error message when the bus is gone, the service absent or the time spent.
  QDBusMessage Call(const QDBusMessage& call) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - Clock::now()).count();
    if (left <= 0) return call.createErrorReply(QDBusError::Timeout, QString());
    return connection_.call(call, QDBus::Block, static_cast<int>(left));
  }

  // Whether a client owns `service`; asks the bus itself, so nothing is started on demand.
  bool HasOwner(const QString& service) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("NameHasOwner"));
    call << service;
    const QDBusMessage reply = Call(call);
    return IsReply(reply, "b") && reply.arguments().constFirst().toBool();
  }

  static bool IsReply(const QDBusMessage& reply, const char* signature) {
    return reply.type() == QDBusMessage::ReplyMessage && reply.signature() == signature;
  }

 private:
  QString UniqueName() const {
    return QStringLiteral("autoshutdown-power-%1").arg(reinterpret_cast<quintptr>(this), 0, 16);
  }

  const QString name_;
  QDBusConnection connection_;
  const Clock::time_point deadline_;
};

Clock::time_point StepDeadline() { return Clock::now() + kStepBudget; }

QDBusMessage ManagerCall(const QString& method, const QVariantList& arguments = {}) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kLogindService, kLogindPath, kLogindManager, method);
  call.setArguments(arguments);
  return call;
}

// The desktop's session bus, or empty where it has none. Without this check libdbus would try
// to autolaunch a fresh bus, which could hold no session manager anyway.
QString SessionBusAddress() {
  const QString address = qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS");
  if (!address.isEmpty()) return address;
  const QString runtime_dir = qEnvironmentVariable("XDG_RUNTIME_DIR");
  const QString socket = runtime_dir + QStringLiteral("/bus");
  if (runtime_dir.isEmpty() || !QFileInfo::exists(socket)) return {};
  return QStringLiteral("unix:path=") + socket;
}

// A desktop's own log-off request: without confirmation, and leaving applications free to
// object (never the forced or inhibitor-ignoring form).
struct SessionManagerLogout {
  const char* service;
  const char* path;
  const char* interface;
  const char* method;
  QVariantList arguments;

  QDBusMessage Call() const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(service), QString::fromLatin1(path), QString::fromLatin1(interface),
        QString::fromLatin1(method));
    call.setArguments(arguments);
    return call;
  }
};

std::array<SessionManagerLogout, 4> SessionManagerLogouts() {
  return {{
      // GNOME and the desktops that reuse its interface: mode 1 = no confirmation dialog.
      {"org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
       "Logout", {QVariant::fromValue(quint32{1})}},
      // Plasma 5.25 and later: logs out at once, applications may still cancel.
      {"org.kde.Shutdown", "/Shutdown", "org.kde.Shutdown", "logout", {}},
      // Older Plasma: confirm 0 = no, type 0 = log off only, mode 0 = never kill sessions.
      {"org.kde.ksmserver", "/KSMServer", "org.kde.KSMServerInterface", "logout", {0, 0, 0}},
      // Xfce: show_dialog = false, allow_save = true (as a log-out from its own menu).
      {"org.xfce.SessionManager", "/org/xfce/SessionManager", "org.xfce.Session.Manager",
       "Logout", {false, true}},
  }};
}

// force: logind has no forced form that is neither interactive nor ignores inhibitors, so it
// changes nothing here (the program never passes it).
class LogindPowerPlatform final : public PowerPlatform {
 public:
  bool EnableShutdownPrivilege() override {
    StepConnection system(QDBusConnection::SystemBus, StepDeadline());
    const QDBusMessage reply = system.Call(ManagerCall(QStringLiteral("CanPowerOff")));
    // "challenge" would need an authentication dialog, which a request never shows.
    return StepConnection::IsReply(reply, "s") &&
           reply.arguments().constFirst().toString() == QLatin1String("yes");
  }

  bool EndSession(SessionEnd end, bool /*force*/) override {
    switch (end) {
      case SessionEnd::kPowerOff: return AskLogind(QStringLiteral("PowerOff"));
      case SessionEnd::kReboot: return AskLogind(QStringLiteral("Reboot"));
      case SessionEnd::kLogOff: break;
    }
    return LogOff();
  }

  bool EnterSleep(SleepState state, bool /*force*/) override {
    return AskLogind(state == SleepState::kStandby ? QStringLiteral("Suspend")
                                                   : QStringLiteral("Hibernate"));
  }

 private:
  // interactive = false: logind refuses rather than asking for a password.
  static bool AskLogind(const QString& method) {
    StepConnection system(QDBusConnection::SystemBus, StepDeadline());
    return StepConnection::IsReply(system.Call(ManagerCall(method, {false})), "");
  }

  // A session manager that answers decides alone: when it refuses (an application objects),
  // ending the session anyway would force the applications closed.
  static bool LogOff() {
    const Clock::time_point deadline = StepDeadline();
    if (const QString address = SessionBusAddress(); !address.isEmpty()) {
      StepConnection session(address, deadline);
      for (const SessionManagerLogout& logout : SessionManagerLogouts()) {
        if (session.HasOwner(QString::fromLatin1(logout.service))) {
          return session.Call(logout.Call()).type() == QDBusMessage::ReplyMessage;
        }
      }
    }
    return TerminateOwnSession(deadline);
  }

  static bool TerminateOwnSession(Clock::time_point deadline) {
    StepConnection system(QDBusConnection::SystemBus, deadline);
    const QDBusMessage session = system.Call(ManagerCall(
        QStringLiteral("GetSessionByPID"), {QVariant::fromValue(quint32(getpid()))}));
    if (!StepConnection::IsReply(session, "o")) return false;
    const QString path = session.arguments().constFirst().value<QDBusObjectPath>().path();
    const QDBusMessage terminate = QDBusMessage::createMethodCall(
        kLogindService, path, QStringLiteral("org.freedesktop.login1.Session"),
        QStringLiteral("Terminate"));
    return StepConnection::IsReply(system.Call(terminate), "");
  }
};

}  // namespace

std::unique_ptr<PowerService> CreatePlatformPowerService() {
  return CreatePowerService(std::make_unique<LogindPowerPlatform>());
}

}  // namespace autoshutdown
