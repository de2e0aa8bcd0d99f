// The backend's timers on shared beats; see qt_ticker.h.
#include "ui/qt/qt_ticker.h"

#include <array>
#include <climits>
#include <memory_resource>
#include <vector>

#include <QTimer>

namespace autoshutdown::ui::qt {

struct Ticker::Beat {
  QTimer timer;
  std::uint64_t count = 0;  // beats so far
  int riders = 0;
};

Ticker::Ticker() = default;
Ticker::~Ticker() = default;

void Ticker::Start(const void* owner, int control, int period_ms, Tick tick) {
  Stop(owner, control);
  std::unique_ptr<Beat>& slot = beats_[period_ms];
  if (!slot) {
    slot = std::make_unique<Beat>();
    slot->timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&slot->timer, &QTimer::timeout, [this, beat = slot.get()] { OnBeat(*beat); });
  }
  Beat& beat = *slot;
  // An idle beat starts now, so its next beat is one period away; a running one may be due
  // any moment, so the rider waits for the beat after it.
  const bool idle = !beat.timer.isActive();
  if (idle) beat.timer.start(period_ms);
  ++beat.riders;
  riders_.emplace(Key{owner, control}, Rider{&beat, beat.count + (idle ? 1 : 2), std::move(tick)});
}

void Ticker::Stop(const void* owner, int control) {
  if (auto rider = riders_.find({owner, control}); rider != riders_.end()) Leave(rider);
}

void Ticker::StopAll(const void* owner) {
  for (auto rider = riders_.lower_bound({owner, INT_MIN}); rider != riders_.end() && rider->first.first == owner;) {
    Leave(rider++);
  }
}

void Ticker::Leave(std::map<Key, Rider>::iterator rider) {
  Beat& beat = *rider->second.beat;
  riders_.erase(rider);
  if (--beat.riders == 0) beat.timer.stop();
}

void Ticker::OnBeat(Beat& beat) {
  const std::uint64_t count = ++beat.count;
  // A tick may start or stop timers, or wait in a modal loop where further beats arrive:
  // go by a list of who rides now, and look each one up again before its tick.
  // On the stack: a beat comes 100 times a second and should not allocate.
  std::array<std::byte, 512> storage;
  std::pmr::monotonic_buffer_resource arena(storage.data(), storage.size());
  std::pmr::vector<std::pair<Key, Rider*>> due(&arena);
  for (auto& [key, rider] : riders_) {
    if (rider.beat == &beat && rider.first_beat <= count) due.emplace_back(key, &rider);
  }
  for (const auto& [key, seen] : due) {
    const auto rider = riders_.find(key);
    // Gone, or stopped and started again (a new rider waits for its own first beat).
    if (rider == riders_.end() || &rider->second != seen || rider->second.first_beat > count) continue;
    const Tick tick = rider->second.tick;  // the tick may stop its own timer
    tick();
  }
}

}  // namespace autoshutdown::ui::qt
