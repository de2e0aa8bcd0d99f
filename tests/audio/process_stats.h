// Figures of this process from /proc (Linux): its threads and its resident memory.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace autoshutdown::audio {

inline int ThreadCount() {
  int count = 0;
  for ([[maybe_unused]] const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    ++count;
  }
  return count;
}

inline long ResidentKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  }
  return -1;
}

}  // namespace autoshutdown::audio
