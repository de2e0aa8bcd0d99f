// One play request being heard: its passes over the file, decoded and written to a sink on a
// worker thread of its own.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <thread>

#include "services/audio/mpeg_decoder.h"
#include "services/audio/pcm_sink.h"
#include "services/text/text.h"

namespace autoshutdown::audio {

// A sink and, once it has been opened, the format it was opened for.
struct Output {
  std::unique_ptr<PcmSink> sink;
  std::optional<PcmFormat> format;
};

class Sound {
 public:
  // Starts the worker on `first_pass`, the file at `path` already opened. `passes` is the
  // number of passes, or negative for without end; each later pass opens the file anew.
  // `output` is an open stream a replaced sound left behind, used again when the formats
  // agree; `make_sink` must outlive the sound.
  Sound(Text path, int passes, std::unique_ptr<ByteSource> first_pass, Output output,
        const SinkFactory& make_sink);
  // A sound must be stopped before it is destroyed.
  ~Sound();
  Sound(const Sound&) = delete;
  Sound& operator=(const Sound&) = delete;

  // Ends the sound at once and waits until its worker has finished. Returns the stream, still
  // open and flushed so that nothing of this sound can be heard, or an empty output when the
  // sound had already closed it.
  Output Stop();

 private:
  void Play(std::unique_ptr<ByteSource> first_pass);
  bool Deliver(const PcmFormat& format, std::span<const std::int16_t> samples);
  bool Reopen(const PcmFormat& format);
  std::unique_ptr<PcmSink> TakeSink();

  const Text path_;
  const int passes_;
  const SinkFactory& make_sink_;
  std::mutex mutex_;   // guards stopping_ and output_.sink between the worker and Stop
  bool stopping_ = false;
  Output output_;
  std::thread worker_;
};

}  // namespace autoshutdown::audio
