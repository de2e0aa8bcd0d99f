#include "services/audio/player.h"

#include <system_error>
#include <utility>

#include "services/audio/file_source.h"

namespace autoshutdown::audio {

Player::Player(SinkFactory make_sink) : make_sink_(std::move(make_sink)) {}

Player::~Player() { StopPlayback(); }

void Player::StartPlayback(std::optional<int> count, const Text& path) {
  // Keeping the stream open across a replacement spares the device a reopen on every call of
  // a 10 ms timer; it is flushed, so nothing of the old sound is heard any more.
  Output spare = EndSound();
  const int passes = count.value_or(1);
  if (passes == 0 || path.empty()) return;
  std::unique_ptr<FileSource> file = FileSource::Open(path);
  if (!file) return;
  try {
    sound_ = std::make_unique<Sound>(path, passes < 0 ? -1 : passes, std::move(file),
                                     std::move(spare), make_sink_);
  } catch (const std::system_error&) {
    // No thread for the worker: silence, like every other failure here.
  }
}

void Player::StopPlayback() { EndSound(); }

Output Player::EndSound() {
  if (!sound_) return {};
  Output output = sound_->Stop();
  sound_.reset();
  return output;
}

}  // namespace autoshutdown::audio
