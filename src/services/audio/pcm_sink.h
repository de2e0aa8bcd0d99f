// The seam between the player and a sound output: one PCM stream on the system's default
// device. Implemented by sink_pulse.cpp (Linux), sink_waveout.cpp (Windows) and, for tests,
// by a capture device that records what would be heard.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>

namespace autoshutdown::audio {

// Interleaved signed 16-bit samples in native byte order.
struct PcmFormat {
  long rate = 0;     // frames per second
  int channels = 0;  // 1 or 2
  friend bool operator==(const PcmFormat&, const PcmFormat&) = default;
};

// A sound's worker thread drives a sink through Open, Write, Drain and Flush, one call at a
// time; any thread may call Interrupt at any time. A sink never changes the device's volume.
class PcmSink {
 public:
  // Closes the stream at once: whatever is still queued is dropped. Not called while another
  // member runs.
  virtual ~PcmSink() = default;

  // Opens a stream for `format` on the default device at its current volume. False when there
  // is no device, the device refuses the format, or Interrupt was called. Called at most once,
  // before every other member except Interrupt.
  virtual bool Open(const PcmFormat& format) = 0;

  // Queues `samples` (whole frames), blocking while the device's buffer is full. False when the
  // device failed or Interrupt was called; part of the samples may then have been queued.
  virtual bool Write(std::span<const std::int16_t> samples) = 0;

  // Blocks until all queued sound has been heard. False when the device failed or Interrupt
  // was called.
  virtual bool Drain() = 0;

  // Drops everything queued and returns once none of it can be heard any more; clears an
  // Interrupt so that the open stream can serve the next sound. False when the device failed:
  // the sink is then of no further use.
  virtual bool Flush() = 0;

  // Makes a blocked Open, Write or Drain return false at once, and every later one too, until
  // Flush. Safe from any thread; returns without waiting for the device.
  virtual void Interrupt() = 0;
};

// Makes a closed sink, or nullptr when none can be made (treated as "no sound device").
using SinkFactory = std::function<std::unique_ptr<PcmSink>()>;

// The platform's sink on its default output (PulseAudio or waveOut).
std::unique_ptr<PcmSink> CreatePlatformSink();

}  // namespace autoshutdown::audio
