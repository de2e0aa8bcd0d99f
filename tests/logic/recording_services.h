// Ideal power and audio services that record what the program asked of them.
#pragma once

#include <optional>
#include <vector>

#include "services/audio/audio_service.h"
#include "services/power.h"

namespace autoshutdown::testing_support {

class RecordingPower final : public PowerService {
 public:
  bool RequestPowerAction(int code, bool force) override {
    requests.push_back(code);
    forced = forced || force;
    return true;
  }
  std::vector<int> requests;
  bool forced = false;
};

class RecordingAudio final : public AudioService {
 public:
  struct Playback {
    std::optional<int> count;
    Text path;
    friend bool operator==(const Playback&, const Playback&) = default;
  };
  void StartPlayback(std::optional<int> count, const Text& path) override {
    playbacks.push_back({count, path});
    sounding = count != 0;
  }
  void StopPlayback() override {
    ++stops;
    sounding = false;
  }
  std::vector<Playback> playbacks;
  int stops = 0;
  bool sounding = false;
};

}  // namespace autoshutdown::testing_support
