#include "pulse_server.h"

#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

extern char** environ;

namespace autoshutdown::audio {
namespace {

bool Accepts(const std::string& socket_path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket_path.c_str(), sizeof address.sun_path - 1);
  const bool connected = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return connected;
}

}  // namespace

PulseServer::PulseServer() {
  char pattern[] = "/tmp/autoshutdown-pulse-XXXXXX";
  if (!mkdtemp(pattern)) return;
  folder_ = pattern;
  const std::string socket_path = (folder_ / "native").string();
  // The daemon keeps its runtime and state files (and, as root, its cookie) in the folder.
  const std::string home = folder_.string();
  for (const char* name : {"PULSE_RUNTIME_PATH", "PULSE_STATE_PATH", "PULSE_SERVER"}) {
    const char* value = getenv(name);
    saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
  }
  setenv("PULSE_RUNTIME_PATH", home.c_str(), 1);
  setenv("PULSE_STATE_PATH", home.c_str(), 1);
  setenv("PULSE_SERVER", ("unix:" + socket_path).c_str(), 1);

  std::vector<std::string> args = {
      "pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--disable-shm=yes",
      "--use-pid-file=no", "--log-target=stderr", "--log-level=error",
      "-L", "module-null-sink sink_name=nul",
      "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + socket_path};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  // The daemon's own home, so that it writes nothing into the user's.
  std::string daemon_home = "HOME=" + home;
  std::vector<char*> envp = {daemon_home.data()};
  for (char** variable = environ; *variable; ++variable) {
    if (std::strncmp(*variable, "HOME=", 5) != 0) envp.push_back(*variable);
  }
  envp.push_back(nullptr);
  if (posix_spawnp(&daemon_, "pulseaudio", nullptr, nullptr, argv.data(), envp.data()) != 0) {
    daemon_ = -1;
    return;
  }
  for (int tries = 0; tries < 500 && !ready_; ++tries) {
    if (waitpid(daemon_, nullptr, WNOHANG) == daemon_) {
      daemon_ = -1;
      return;
    }
    ready_ = Accepts(socket_path);
    if (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

PulseServer::~PulseServer() {
  if (daemon_ > 0) {
    kill(daemon_, SIGTERM);
    waitpid(daemon_, nullptr, 0);
  }
  for (const auto& [name, value] : saved_) {
    if (value) {
      setenv(name.c_str(), value->c_str(), 1);
    } else {
      unsetenv(name.c_str());
    }
  }
  if (!folder_.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
}

}  // namespace autoshutdown::audio
