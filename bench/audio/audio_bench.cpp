// Audio playback figures on a PulseAudio daemon of our own with a null sink:
// time spent inside StartPlayback on the calling thread, threads and memory after many
// replacements, and CPU while a ringtone plays.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "process_stats.h"
#include "pulse_server.h"
#include "services/audio/audio_service.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using autoshutdown::AudioService;
using autoshutdown::Text;
using autoshutdown::audio::ResidentKiB;
using autoshutdown::audio::ThreadCount;

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Percentile(std::vector<double> values, double fraction) {
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1, static_cast<std::size_t>(fraction * values.size()))];
}

// Calls StartPlayback `calls` times, `gap` apart, and prints how long each call took.
void TimeStarts(AudioService& service, const Text& ringtone, int calls, std::chrono::microseconds gap,
                const char* what) {
  std::vector<double> ms;
  ms.reserve(calls);
  for (int i = 0; i < calls; ++i) {
    const auto start = Clock::now();
    service.StartPlayback(-1, ringtone);
    ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    std::this_thread::sleep_for(gap);
  }
  std::printf("StartPlayback %s (%d calls): median %.3f ms, p99 %.3f ms, max %.3f ms  (goal p99 <= 2 ms)\n",
              what, calls, Percentile(ms, 0.5), Percentile(ms, 0.99), Percentile(ms, 1.0));
}

}  // namespace

int main() {
  const std::string fixtures =
      (std::filesystem::temp_directory_path() / "autoshutdown-audio-bench").string();
  const std::string make = std::string(AUTOSHUTDOWN_AUDIO_FIXTURE_SCRIPT) + " " + fixtures;
  if (std::system(make.c_str()) != 0) {
    std::fprintf(stderr, "could not make the test sounds\n");
    return 1;
  }
  const Text ringtone(fixtures + "/ringtone.mp3");

  autoshutdown::audio::PulseServer server;
  if (!server.ok()) {
    std::fprintf(stderr, "could not start pulseaudio\n");
    return 1;
  }
  const int threads_before = ThreadCount();
  const long rss_before = ResidentKiB();
  auto service = autoshutdown::CreatePlatformAudioService();

  // The first call opens the device; then the pattern of a 10 ms timer tick.
  service->StartPlayback(-1, ringtone);
  std::this_thread::sleep_for(300ms);
  TimeStarts(*service, ringtone, 1000, 10ms, "every 10 ms");
  TimeStarts(*service, ringtone, 1000, 0ms, "back to back");

  std::this_thread::sleep_for(300ms);
  const int threads_playing = ThreadCount();
  const long rss_playing = ResidentKiB();
  for (int i = 0; i < 10000; ++i) service->StartPlayback(-1, ringtone);
  std::this_thread::sleep_for(300ms);
  std::printf("after 10,000 replacements: %d threads (%d while playing before them, %d before any "
              "sound), RSS %ld KiB (%ld KiB before them, %ld KiB before any sound)\n",
              ThreadCount(), threads_playing, threads_before, ResidentKiB(), rss_playing, rss_before);
  service->StopPlayback();
  std::printf("after StopPlayback: %d threads, RSS %ld KiB\n", ThreadCount(), ResidentKiB());

  service->StartPlayback(-1, ringtone);
  std::this_thread::sleep_for(500ms);
  const double cpu_start = CpuSeconds();
  const auto wall_start = Clock::now();
  std::this_thread::sleep_for(10s);
  const double cpu = CpuSeconds() - cpu_start;
  const double wall = std::chrono::duration<double>(Clock::now() - wall_start).count();
  std::printf("CPU while the ringtone plays (44.1 kHz stereo, 10 s): %.2f%% of one core "
              "(goal <= 2%%)\n", 100 * cpu / wall);
  service->StopPlayback();
  std::filesystem::remove_all(fixtures);
  return 0;
}
