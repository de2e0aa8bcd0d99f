// What one 10 ms tick of each of the program's three timers costs, their handlers run on the
// headless backend: the clock tick's text work and two property writes, the match tick's two
// reads and comparison, the chime tick's read and 48 comparisons. Prints ns and allocations.
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "app/program.h"
#include "tests/headless/headless_backend.h"
#include "ui/templates/main_window.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
  allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace autoshutdown {
namespace {

class NoPower final : public PowerService {
 public:
  bool RequestPowerAction(int, bool) override { return false; }
};
class NoAudio final : public AudioService {
 public:
  void StartPlayback(std::optional<int>, const Text&) override {}
  void StopPlayback() override {}
};

double NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e9 + t.tv_nsec;
}

template <typename Tick>
void Measure(const char* name, Tick tick) {
  constexpr int kTicks = 200000;
  for (int i = 0; i < 1000; ++i) tick();
  const long allocations_before = allocations.load();
  const double start = NowNs();
  for (int i = 0; i < kTicks; ++i) tick();
  const double elapsed = NowNs() - start;
  std::printf("%-12s %8.1f ns/tick  %6.2f allocations/tick\n", name, elapsed / kTicks,
              double(allocations.load() - allocations_before) / kTicks);
}

}  // namespace
}  // namespace autoshutdown

int main() {
  using namespace autoshutdown;
  using namespace templates::main_window;
  // The longest clock texts: 2011-12-31 23:59:59.
  headless::HeadlessBackend backend({2011, 12, 31, 23, 59, 59, 0});
  NoPower power;
  NoAudio audio;
  app::Program program(backend, power, audio);
  backend.Attach(program.layer());
  if (!program.Start()) return 1;
  ui::WindowLayer& layer = program.layer();
  ui::WindowInstance& main_window = *layer.Find(templates::MainWindow());
  // An armed target that does not match, and running chimes: every tick compares in full.
  layer.SetProperty(templates::MainWindow(), ui::Target::Control(编辑框7), ui::prop::edit::Content, Text("07时30分00秒"));
  layer.SetProperty(templates::MainWindow(), ui::Target::Control(编辑框1), ui::prop::edit::Content, Text("/tmp/a.mp3"));
  const auto tick = [&](Control timer) { layer.Raise(main_window, ui::Target::Control(timer), ui::event::kTick); };
  Measure("clock tick", [&] { tick(时钟1); });
  Measure("match tick", [&] { tick(时钟2); });
  Measure("chime tick", [&] { tick(时钟3); });
  return 0;
}
