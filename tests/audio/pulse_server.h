// A PulseAudio daemon of our own with one null sink, on a private socket in a temporary
// folder, for end-to-end tests and benchmarks. While it lives, PULSE_SERVER points this
// process's clients at it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace autoshutdown::audio {

class PulseServer {
 public:
  // Starts the daemon and waits until it accepts clients; ok() tells whether it did.
  PulseServer();
  // Stops the daemon, removes its folder and restores the environment.
  ~PulseServer();
  PulseServer(const PulseServer&) = delete;
  PulseServer& operator=(const PulseServer&) = delete;

  bool ok() const { return ready_; }
  // The source that hears what the null sink plays.
  static constexpr const char* kMonitor = "nul.monitor";

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;  // environment before
  std::filesystem::path folder_;
  pid_t daemon_ = -1;
  bool ready_ = false;
};

}  // namespace autoshutdown::audio
