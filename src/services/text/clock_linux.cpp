// The local wall clock on POSIX systems: gettimeofday-precision time through localtime_r,
// so the time zone and daylight-saving rules are the system's.
#include <ctime>

#include "services/text/datetime.h"

namespace autoshutdown {
namespace {

class PosixClock final : public TimeSource {
 public:
  LocalTime Now() override {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
            local.tm_min,         local.tm_sec,     static_cast<int>(now.tv_nsec / 1000000)};
  }
};

}  // namespace

TimeSource& SystemClock() {
  static PosixClock clock;
  return clock;
}

}  // namespace autoshutdown
