// The platform service end to end: decoded sound reaches a real PulseAudio daemon's null sink
// and is heard on its monitor; stopping and replacing silence it at once.
#include <pulse/simple.h>
#include <pulse/timeval.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <thread>
#include <vector>

#include "fixtures.h"
#include "process_stats.h"
#include "pulse_server.h"
#include "services/audio/audio_service.h"

namespace autoshutdown::audio {
namespace {

using namespace std::chrono_literals;

// The level of what the null sink plays during the next `duration`, as RMS of 16-bit samples.
double RecordLevel(std::chrono::milliseconds duration) {
  const pa_sample_spec spec{PA_SAMPLE_S16NE, 44100, 2};
  pa_buffer_attr buffer{};
  buffer.maxlength = static_cast<std::uint32_t>(-1);
  buffer.fragsize = static_cast<std::uint32_t>(pa_usec_to_bytes(10 * PA_USEC_PER_MSEC, &spec));
  pa_simple* recorder = pa_simple_new(nullptr, "audio test", PA_STREAM_RECORD, PulseServer::kMonitor,
                                      "monitor", &spec, nullptr, &buffer, nullptr);
  EXPECT_NE(recorder, nullptr);
  if (!recorder) return -1;
  std::vector<std::int16_t> samples(44100 * 2 * duration.count() / 1000);
  const int status = pa_simple_read(recorder, samples.data(), samples.size() * 2, nullptr);
  pa_simple_free(recorder);
  EXPECT_EQ(status, 0);
  double sum = 0;
  for (std::int16_t sample : samples) sum += double(sample) * sample;
  return std::sqrt(sum / samples.size());
}

// The fixture tones: the ringtone at half scale (RMS about 11600), the quiet one at 1/100
// (about 230). Above kQuiet, at least 2 ms of the ringtone would be in a 300 ms recording.
constexpr double kLoud = 5000;
constexpr double kQuiet = 1000;
constexpr double kSilent = 20;

TEST(PulseAudioTest, PlaysOnTheDefaultDeviceAndStopsAtOnce) {
  PulseServer server;
  ASSERT_TRUE(server.ok());
  auto service = CreatePlatformAudioService();
  service->StartPlayback(-1, Fixture("ringtone.mp3"));
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(RecordLevel(500ms), kLoud);
  service->StopPlayback();
  EXPECT_LT(RecordLevel(300ms), kSilent);
}

TEST(PulseAudioTest, ReplacementFlushesTheStreamItKeeps) {
  PulseServer server;
  ASSERT_TRUE(server.ok());
  auto service = CreatePlatformAudioService();
  service->StartPlayback(-1, Fixture("ringtone.mp3"));
  std::this_thread::sleep_for(300ms);
  EXPECT_GT(RecordLevel(200ms), kLoud);
  // Same format: the stream stays open for the new sound, which is all that is heard.
  service->StartPlayback(-1, Fixture("quiet.mp3"));
  const double level = RecordLevel(300ms);
  EXPECT_LT(level, kQuiet);
  EXPECT_GT(level, kSilent);
}

TEST(PulseAudioTest, WithoutAServerItIsSilentUntilTheNextRequest) {
  auto service = CreatePlatformAudioService();
  setenv("PULSE_SERVER", "unix:/nonexistent/autoshutdown-no-server", 1);
  service->StartPlayback(-1, Fixture("ringtone.mp3"));
  std::this_thread::sleep_for(100ms);
  {
    PulseServer server;
    ASSERT_TRUE(server.ok());
    service->StartPlayback(1, Fixture("ringtone.mp3"));
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(RecordLevel(300ms), kLoud);
  }
  unsetenv("PULSE_SERVER");
}

TEST(PulseAudioTest, ServerLostWhilePlayingEndsTheSoundAndItsThreads) {
  const int threads = ThreadCount();
  auto service = CreatePlatformAudioService();
  {
    PulseServer server;
    ASSERT_TRUE(server.ok());
    service->StartPlayback(-1, Fixture("ringtone.mp3"));
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(ThreadCount(), threads);
  }
  // The worker sees the stream fail, closes it (and libpulse's thread with it) and ends.
  for (int tries = 0; tries < 200 && ThreadCount() > threads; ++tries) {
    std::this_thread::sleep_for(10ms);
  }
  EXPECT_EQ(ThreadCount(), threads);
  service->StopPlayback();
}

}  // namespace
}  // namespace autoshutdown::audio
