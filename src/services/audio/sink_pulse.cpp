// PulseAudio sink (Linux): one playback stream on the default sink through libpulse's
// threaded main loop. PipeWire serves the same protocol through pipewire-pulse.
#include <pulse/pulseaudio.h>

#include <algorithm>
#include <cstddef>

#include "services/audio/pcm_sink.h"

namespace autoshutdown::audio {
namespace {

// The main loop's lock guards every libpulse call and interrupted_; waits on the loop's
// condition are woken by the stream, context and operation callbacks and by Interrupt.
class PulseSink final : public PcmSink {
 public:
  // A sink with its main loop thread running, or nullptr.
  static std::unique_ptr<PulseSink> Create() {
    pa_threaded_mainloop* loop = pa_threaded_mainloop_new();
    if (!loop) return nullptr;
    if (pa_threaded_mainloop_start(loop) < 0) {
      pa_threaded_mainloop_free(loop);
      return nullptr;
    }
    return std::unique_ptr<PulseSink>(new PulseSink(loop));
  }

  ~PulseSink() override {
    pa_threaded_mainloop_lock(loop_);
    // No callback may reach this object once it is gone.
    if (stream_) {
      pa_stream_set_state_callback(stream_, nullptr, nullptr);
      pa_stream_set_write_callback(stream_, nullptr, nullptr);
      pa_stream_disconnect(stream_);
      pa_stream_unref(stream_);
    }
    if (context_) {
      pa_context_set_state_callback(context_, nullptr, nullptr);
      pa_context_disconnect(context_);
      pa_context_unref(context_);
    }
    pa_threaded_mainloop_unlock(loop_);
    pa_threaded_mainloop_stop(loop_);
    pa_threaded_mainloop_free(loop_);
  }

  PulseSink(const PulseSink&) = delete;
  PulseSink& operator=(const PulseSink&) = delete;

  bool Open(const PcmFormat& format) override {
    Lock lock(loop_);
    context_ = pa_context_new(pa_threaded_mainloop_get_api(loop_), "autoshutdown");
    if (!context_) return false;
    pa_context_set_state_callback(context_, &Wake, this);
    if (pa_context_connect(context_, nullptr, PA_CONTEXT_NOFLAGS, nullptr) < 0) return false;
    while (!interrupted_ && pa_context_get_state(context_) != PA_CONTEXT_READY) {
      if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context_))) return false;
      pa_threaded_mainloop_wait(loop_);
    }
    if (interrupted_) return false;

    const pa_sample_spec spec{PA_SAMPLE_S16NE, static_cast<std::uint32_t>(format.rate),
                              static_cast<std::uint8_t>(format.channels)};
    if (!pa_sample_spec_valid(&spec)) return false;
    stream_ = pa_stream_new(context_, "ringtone", &spec, nullptr);
    if (!stream_) return false;
    pa_stream_set_state_callback(stream_, &Wake, this);
    pa_stream_set_write_callback(stream_, &WakeForSpace, this);
    // A quarter second of buffer: few wake-ups while playing, and a flush drops it anyway.
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(250 * PA_USEC_PER_MSEC, &spec));
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    // No volume given: the server plays the stream at the device's current volume.
    if (pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0) {
      return false;
    }
    while (!interrupted_ && pa_stream_get_state(stream_) != PA_STREAM_READY) {
      if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) return false;
      pa_threaded_mainloop_wait(loop_);
    }
    return !interrupted_;
  }

  bool Write(std::span<const std::int16_t> samples) override {
    Lock lock(loop_);
    auto bytes = std::as_bytes(samples);
    while (!bytes.empty()) {
      std::size_t space = 0;
      while (Usable() && (space = pa_stream_writable_size(stream_)) == 0) {
        pa_threaded_mainloop_wait(loop_);
      }
      if (!Usable() || space == static_cast<std::size_t>(-1)) return false;
      const std::size_t chunk = std::min(space, bytes.size());
      if (pa_stream_write(stream_, bytes.data(), chunk, nullptr, 0, PA_SEEK_RELATIVE) < 0) {
        return false;
      }
      bytes = bytes.subspan(chunk);
    }
    return true;
  }

  bool Drain() override {
    Lock lock(loop_);
    return Usable() && Await(pa_stream_drain(stream_, &OperationDone, this), true);
  }

  bool Flush() override {
    Lock lock(loop_);
    interrupted_ = false;
    return Usable() && Await(pa_stream_flush(stream_, &OperationDone, this), false);
  }

  void Interrupt() override {
    Lock lock(loop_);
    interrupted_ = true;
    pa_threaded_mainloop_signal(loop_, 0);
  }

 private:
  explicit PulseSink(pa_threaded_mainloop* loop) : loop_(loop) {}

  class Lock {
   public:
    explicit Lock(pa_threaded_mainloop* loop) : loop_(loop) { pa_threaded_mainloop_lock(loop_); }
    ~Lock() { pa_threaded_mainloop_unlock(loop_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

   private:
    pa_threaded_mainloop* loop_;
  };

  static void Wake(pa_context*, void* self) { static_cast<PulseSink*>(self)->Signal(); }
  static void Wake(pa_stream*, void* self) { static_cast<PulseSink*>(self)->Signal(); }
  static void WakeForSpace(pa_stream*, size_t, void* self) {
    static_cast<PulseSink*>(self)->Signal();
  }
  static void OperationDone(pa_stream*, int, void* self) {
    static_cast<PulseSink*>(self)->Signal();
  }
  void Signal() { pa_threaded_mainloop_signal(loop_, 0); }

  // With the lock held: the stream plays and no Interrupt is pending.
  bool Usable() const {
    return !interrupted_ && stream_ && pa_stream_get_state(stream_) == PA_STREAM_READY;
  }

  // With the lock held: waits for `operation` to complete; an interruptible wait gives up
  // (and cancels it) on Interrupt. False when it did not complete.
  bool Await(pa_operation* operation, bool interruptible) {
    if (!operation) return false;
    while (pa_operation_get_state(operation) == PA_OPERATION_RUNNING &&
           stream_ && PA_STREAM_IS_GOOD(pa_stream_get_state(stream_)) &&
           !(interruptible && interrupted_)) {
      pa_threaded_mainloop_wait(loop_);
    }
    const bool done = pa_operation_get_state(operation) == PA_OPERATION_DONE;
    if (!done) pa_operation_cancel(operation);
    pa_operation_unref(operation);
    return done;
  }

  pa_threaded_mainloop* const loop_;
  pa_context* context_ = nullptr;
  pa_stream* stream_ = nullptr;
  bool interrupted_ = false;
};

}  // namespace

std::unique_ptr<PcmSink> CreatePlatformSink() {
  return PulseSink::Create();
}

}  // namespace autoshutdown::audio
