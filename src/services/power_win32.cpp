// Win32 power platform: enables SeShutdownPrivilege on the process token, then asks for the
// action with ExitWindowsEx (power-off, restart, log-off) or SetSystemPowerState (standby,
// hibernate). Statically linked calls only: no library is loaded by name.
#include <windows.h>

#include <memory>
#include <type_traits>

#include "services/power_platform.h"

namespace autoshutdown {
namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

// The Windows 9x family has no privileges and no EWX_POWEROFF. A failed query leaves the
// platform id 0, which counts as not NT.
bool IsNtFamily() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

UINT ExitFlags(SessionEnd end) {
  switch (end) {
    case SessionEnd::kPowerOff: return IsNtFamily() ? EWX_POWEROFF : EWX_SHUTDOWN;
    case SessionEnd::kReboot: return EWX_REBOOT;
    case SessionEnd::kLogOff: break;
  }
  return EWX_LOGOFF;
}

class Win32PowerPlatform final : public PowerPlatform {
 public:
  bool EnableShutdownPrivilege() override {
    if (!IsNtFamily()) return true;
    HANDLE raw_token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                          &raw_token)) {
      return false;
    }
    const UniqueHandle token(raw_token);
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid);
    // AdjustTokenPrivileges succeeds even when the token lacks the privilege; only the last
    // error (ERROR_NOT_ALL_ASSIGNED) tells. See the Remarks of AdjustTokenPrivileges:
    // https://learn.microsoft.com/windows/win32/api/securitybaseapi/nf-securitybaseapi-adjusttokenprivileges
    AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
    return GetLastError() == ERROR_SUCCESS;
  }

  bool EndSession(SessionEnd end, bool force) override {
    return ExitWindowsEx(ExitFlags(end) | (force ? EWX_FORCE : 0), 0) != 0;
  }

  bool EnterSleep(SleepState state, bool force) override {
    return SetSystemPowerState(state == SleepState::kStandby, force) != 0;
  }
};

}  // namespace

std::unique_ptr<PowerService> CreatePlatformPowerService() {
  return CreatePowerService(std::make_unique<Win32PowerPlatform>());
}

}  // namespace autoshutdown
