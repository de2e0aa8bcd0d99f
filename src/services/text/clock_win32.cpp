// The local wall clock on Windows: GetLocalTime, the system's time zone and DST rules.
#include <windows.h>

#include "services/text/datetime.h"

namespace autoshutdown {
namespace {

class Win32Clock final : public TimeSource {
 public:
  LocalTime Now() override {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  }
};

}  // namespace

TimeSource& SystemClock() {
  static Win32Clock clock;
  return clock;
}

}  // namespace autoshutdown
