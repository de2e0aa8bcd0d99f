// Ringtone playback: one sound per process at most; every start first ends the one before.
#pragma once

#include <memory>
#include <optional>

#include "services/text/text.h"

namespace autoshutdown {

class AudioService {
 public:
  virtual ~AudioService() = default;
  // Ends the current sound, then plays the MP3 file `path` (GB18030) `count` times from its
  // beginning: absent -> 1, 0 -> acts as a stop, negative -> without end. Returns once playback
  // has started; nothing of an earlier request is heard after it returns. Every failure is
  // silent. Called on the user-interface thread only.
  virtual void StartPlayback(std::optional<int> count, const Text& path) = 0;
  // Ends the current sound, if any, and returns once it is silent and its threads are gone.
  virtual void StopPlayback() = 0;
};

// The real service of the platform this program was built for (libmpg123 into PulseAudio or
// waveOut). Its destructor stops any sound.
std::unique_ptr<AudioService> CreatePlatformAudioService();

}  // namespace autoshutdown
