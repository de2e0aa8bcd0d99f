// What one 10 ms tick costs: the clock tick's text work (four clock readings, the date-time
// text, three fields, three numbers, three right texts, five joins, two property writes) and
// the match tick's two property reads and one comparison. Prints ns and allocations per tick.
#include <time.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>

#include "services/text/datetime.h"
#include "tests/headless/headless_backend.h"
#include "ui/window_layer.h"

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

enum Control : int { 标签7, 编辑框3, 编辑框7 };
const ui::ControlTemplate kControls[] = {
    {.name = "标签7", .kind = ui::ControlKind::kLabel, .text = "标签"},
    {.name = "编辑框3", .kind = ui::ControlKind::kEditBox, .text = ""},
    {.name = "编辑框7", .kind = ui::ControlKind::kEditBox, .text = "07时30分00秒"},
};
const ui::WindowTemplate kWindow{.name = "主窗口", .title = "", .width = 400, .height = 254, .controls = kControls};

double NowNs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e9 + t.tv_nsec;
}

Text TwoDigits(int number) { return RightText(JoinTexts({"0", NumberText(number)}), 2); }

void ClockTick(ui::WindowLayer& layer) {
  layer.SetProperty(kWindow, ui::Target::Control(标签7), ui::prop::label::Title,
                    JoinTexts({"北京时间：", DateTimeText(ReadLocalClock())}));
  const Text hour = TwoDigits(HourOf(ReadLocalClock()));
  const Text minute = TwoDigits(MinuteOf(ReadLocalClock()));
  const Text second = TwoDigits(SecondOf(ReadLocalClock()));
  layer.SetProperty(kWindow, ui::Target::Control(编辑框3), ui::prop::edit::Content,
                    JoinTexts({hour, "时", minute, "分", second, "秒"}));
}

bool MatchTick(ui::WindowLayer& layer) {
  const Text now = layer.GetText(kWindow, ui::Target::Control(编辑框3), ui::prop::edit::Content);
  const Text target = layer.GetText(kWindow, ui::Target::Control(编辑框7), ui::prop::edit::Content);
  return ByteCompare(now, target) == 0;
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
  headless::HeadlessBackend backend({2011, 12, 31, 23, 59, 59, 0});
  ui::WindowLayer layer(backend);
  backend.Attach(layer);
  if (!layer.OpenTemplateWindow(kWindow)) return 1;
  int matches = 0;
  Measure("clock tick", [&] { ClockTick(layer); });
  Measure("match tick", [&] { matches += MatchTick(layer); });
  std::printf("(the longest clock text, 2011-12-31 23:59:59; matches %d)\n", matches);
  return 0;
}
