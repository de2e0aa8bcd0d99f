#include "services/audio/sound.h"

#include <cassert>
#include <utility>

#include "services/audio/file_source.h"

namespace autoshutdown::audio {

Sound::Sound(Text path, int passes, std::unique_ptr<ByteSource> first_pass, Output output,
             const SinkFactory& make_sink)
    : path_(std::move(path)), passes_(passes), make_sink_(make_sink),
      output_(std::move(output)) {
  worker_ = std::thread(&Sound::Play, this, std::move(first_pass));
}

Sound::~Sound() { assert(!worker_.joinable() && "a sound must be stopped before it is destroyed"); }

Output Sound::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    if (output_.sink) output_.sink->Interrupt();
  }
  worker_.join();
  if (output_.format && !output_.sink->Flush()) output_ = {};
  if (!output_.format) output_ = {};  // a sink that never opened is of no use to the next sound
  return std::move(output_);
}

void Sound::Play(std::unique_ptr<ByteSource> file) {
  MpegDecoder decoder;
  for (int pass = 0; passes_ < 0 || pass < passes_; ++pass) {
    if (!file) file = FileSource::Open(path_);
    if (!file) break;  // gone or no longer readable: the sound ends
    bool heard = false;
    bool cut = false;
    decoder.DecodePass(*file, [&](const PcmFormat& format, std::span<const std::int16_t> samples) {
      cut = !Deliver(format, samples);
      heard = true;
      return !cut;
    });
    file.reset();
    // Repeating a file without playable audio would only spin.
    if (cut || !heard) break;
  }
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;  // Stop flushes the stream and hands it on
  }
  if (output_.format) output_.sink->Drain();
  TakeSink().reset();  // the sound is over: close the device
}

bool Sound::Deliver(const PcmFormat& format, std::span<const std::int16_t> samples) {
  if (output_.format != format && !Reopen(format)) return false;
  return output_.sink->Write(samples);
}

bool Sound::Reopen(const PcmFormat& format) {
  // What is queued in the old format is still this sound's: let it be heard first.
  if (output_.format) output_.sink->Drain();
  TakeSink().reset();
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return false;
    output_.sink = make_sink_();
  }
  if (!output_.sink || !output_.sink->Open(format)) return false;
  output_.format = format;
  return true;
}

std::unique_ptr<PcmSink> Sound::TakeSink() {
  std::lock_guard lock(mutex_);
  output_.format.reset();
  return std::move(output_.sink);
}

}  // namespace autoshutdown::audio
