// The real audio service: the player on the platform's sink.
#include "services/audio/audio_service.h"
#include "services/audio/pcm_sink.h"
#include "services/audio/player.h"

namespace autoshutdown {

std::unique_ptr<AudioService> CreatePlatformAudioService() {
  return std::make_unique<audio::Player>(&audio::CreatePlatformSink);
}

}  // namespace autoshutdown
