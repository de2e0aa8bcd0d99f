// The backend's timers. Every running timer of one period rides on a single QTimer (a beat),
// so the three 10 ms timers of the program wake the thread 100 times a second, not 300 times
// at three phases. A timer that joins gets its first tick on the beat that comes at least one
// full period after it joined (after one to two periods), and then one tick per beat. A late
// beat is merged by QTimer itself, so late ticks are merged as well.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include <QObject>

class QTimer;

namespace autoshutdown::ui::qt {

class Ticker final {
 public:
  using Tick = std::function<void()>;
  Ticker();
  ~Ticker();
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;

  // Starts (or starts again, counted from now) the timer `control` of `owner`; period_ms > 0.
  void Start(const void* owner, int control, int period_ms, Tick tick);
  void Stop(const void* owner, int control);
  // Stops every timer of `owner` (a window going away).
  void StopAll(const void* owner);

 private:
  struct Beat;
  struct Rider {
    Beat* beat;
    std::uint64_t first_beat;  // the beat count at which it ticks first
    Tick tick;
  };
  using Key = std::pair<const void*, int>;
  void OnBeat(Beat& beat);
  void Leave(std::map<Key, Rider>::iterator rider);

  std::map<int, std::unique_ptr<Beat>> beats_;  // by period
  std::map<Key, Rider> riders_;
};

}  // namespace autoshutdown::ui::qt
