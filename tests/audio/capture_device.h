// An ideal sound device for tests: every sample a sink writes is heard at once and recorded,
// in order, across all the sinks the device has made; closing a sink before draining it is
// counted as cutting off its tail. Switches make it fail to open, refuse
// a rate, or stall (a full buffer that never drains) once it has heard a number of samples.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "services/audio/pcm_sink.h"

namespace autoshutdown::audio {

class CaptureDevice {
 public:
  // Sinks playing on this device; the device must outlive them.
  SinkFactory Factory();

  // Faults for sinks opened from now on (and, for the stall, for writes from now on).
  void FailOpen(bool fail);
  void RefuseRate(std::optional<long> rate);
  // A write that would take the total heard past `samples` hears up to it, then blocks until
  // its sink is interrupted.
  void StallAfter(std::optional<std::size_t> samples);

  std::vector<std::int16_t> Heard() const;
  std::vector<PcmFormat> OpenedFormats() const;
  // Samples written but neither drained nor flushed when their sink was closed: the tail that
  // a real device, which plays behind the writer, would never have played.
  std::size_t CutOffAtClose() const;
  int SinksMade() const;
  int SinksAlive() const;
  bool Stalled() const;  // a writer is blocked by the stall

  // Waits until `condition` holds, polling it; false on timeout.
  bool WaitUntil(const std::function<bool()>& condition,
                 std::chrono::milliseconds timeout = std::chrono::seconds(20));
  // Waits until sinks were made and all of them are closed: a sound has ended on its own.
  bool WaitUntilAllClosed();

 private:
  class Sink;
  friend class Sink;

  mutable std::mutex mutex_;
  std::condition_variable changed_;  // wakes stalled writers
  bool fail_open_ = false;
  std::optional<long> refused_rate_;
  std::optional<std::size_t> stall_after_;
  std::vector<std::int16_t> heard_;
  std::vector<PcmFormat> opened_;
  std::size_t cut_off_ = 0;
  int made_ = 0;
  int alive_ = 0;
  int stalled_ = 0;
};

}  // namespace autoshutdown::audio
