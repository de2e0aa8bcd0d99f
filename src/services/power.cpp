// Power actions, the portable part: checks the action code, then enables the shutdown privilege
// for every code (log-off and the sleep states too), then makes the one request for the code.
#include <cassert>
#include <utility>

#include "services/power_platform.h"

namespace autoshutdown {
namespace {

class PortablePowerService final : public PowerService {
 public:
  explicit PortablePowerService(std::unique_ptr<PowerPlatform> platform)
      : platform_(std::move(platform)) {
    assert(platform_ && "PowerService needs a platform to carry out its requests");
  }

  bool RequestPowerAction(int code, bool force) override {
    if (code < 1 || code > 5) return false;
    if (!platform_->EnableShutdownPrivilege()) return false;
    switch (code) {
      case 1: return platform_->EndSession(SessionEnd::kPowerOff, force);
      case 2: return platform_->EndSession(SessionEnd::kReboot, force);
      case 3: return platform_->EndSession(SessionEnd::kLogOff, force);
      case 4: return platform_->EnterSleep(SleepState::kStandby, force);
      default: return platform_->EnterSleep(SleepState::kHibernate, force);
    }
  }

 private:
  std::unique_ptr<PowerPlatform> platform_;
};

}  // namespace

std::unique_ptr<PowerService> CreatePowerService(std::unique_ptr<PowerPlatform> platform) {
  return std::make_unique<PortablePowerService>(std::move(platform));
}

}  // namespace autoshutdown
