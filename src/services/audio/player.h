// The audio service over any sink: at most one sound, every request first ending the last.
#pragma once

#include <memory>
#include <optional>

#include "services/audio/audio_service.h"
#include "services/audio/pcm_sink.h"
#include "services/audio/sound.h"

namespace autoshutdown::audio {

class Player final : public AudioService {
 public:
  explicit Player(SinkFactory make_sink);
  ~Player() override;  // the sound stops before the player is gone

  void StartPlayback(std::optional<int> count, const Text& path) override;
  void StopPlayback() override;

 private:
  // Ends the current sound; returns its output still open (and silent) for reuse.
  Output EndSound();

  SinkFactory make_sink_;
  std::unique_ptr<Sound> sound_;
};

}  // namespace autoshutdown::audio
