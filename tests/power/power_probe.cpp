// Makes real power requests for the logind test driver: prints "pid <pid>", then one line
// "<code> <accepted 0|1> <milliseconds>" per code given on the command line, in order.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "services/power.h"

int main(int argc, char** argv) {
  const auto service = autoshutdown::CreatePlatformPowerService();
  std::printf("pid %d\n", static_cast<int>(getpid()));
  for (int i = 1; i < argc; ++i) {
    const int code = std::atoi(argv[i]);
    const auto start = std::chrono::steady_clock::now();
    const bool accepted = service->RequestPowerAction(code);
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    std::printf("%d %d %lld\n", code, accepted ? 1 : 0, static_cast<long long>(elapsed.count()));
    std::fflush(stdout);
  }
  return 0;
}
