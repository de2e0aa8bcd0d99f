// The platform calls beneath PowerService. The portable part (power.cpp) decides which steps a
// request takes and in which order; a platform file (power_win32.cpp, power_logind.cpp) carries
// out each step. Tests put a recording fake here to see every call a request makes.
#pragma once

#include <memory>

#include "services/power.h"

namespace autoshutdown {

// How the log-on session ends: action codes 1, 2 and 3.
enum class SessionEnd { kPowerOff, kReboot, kLogOff };

// Which sleep state the computer enters: action codes 4 (to memory) and 5 (to disk).
enum class SleepState { kStandby, kHibernate };

// Contract for every member: called on the user-interface thread only, one call at a time; it
// returns within a short bounded time, shows nothing, keeps nothing between calls, and reports
// a platform failure only by returning false.
class PowerPlatform {
 public:
  virtual ~PowerPlatform() = default;

  // The step that must succeed before any request: gives this process the right to end the
  // session or change the power state (Win32: the shutdown privilege on the process token;
  // logind: CanPowerOff answers "yes"). False means no request may follow.
  virtual bool EnableShutdownPrivilege() = 0;

  // Asks the system to end the log-on session as `end` says. `force` lets the system close
  // applications without asking them; a platform without a forced form that is neither
  // interactive nor inhibitor-ignoring ignores it. True only when the system accepted.
  virtual bool EndSession(SessionEnd end, bool force) = 0;

  // Asks the system to enter `state`; `force` as for EndSession. True only when accepted.
  virtual bool EnterSleep(SleepState state, bool force) = 0;
};

// The service over `platform` (which must not be null): it rejects codes outside 1..5 with no
// call at all, then runs the privilege step, then makes exactly one request.
std::unique_ptr<PowerService> CreatePowerService(std::unique_ptr<PowerPlatform> platform);

}  // namespace autoshutdown
