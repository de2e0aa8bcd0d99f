// The one way the program asks the operating system to end the log-on session or change
// the power state. Action codes: 1 shut down with power-off, 2 restart, 3 log off,
// 4 standby, 5 hibernate.
#pragma once

#include <memory>

namespace autoshutdown {

class PowerService {
 public:
  virtual ~PowerService() = default;
  // Called on the user-interface thread only. Returns true only when the system accepted
  // the request; a code outside 1..5 returns false and does nothing. Never shows anything,
  // never forces applications closed unless `force` is true (the program never passes it).
  virtual bool RequestPowerAction(int code, bool force = false) = 0;
};

// The real service of the platform this program was built for.
std::unique_ptr<PowerService> CreatePlatformPowerService();

}  // namespace autoshutdown
