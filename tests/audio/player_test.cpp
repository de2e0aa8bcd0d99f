// The player on an ideal capture device: counts, replacement, stop, and what bad files and
// failing devices sound like.
#include "services/audio/player.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>
#include <filesystem>
#include <string>
#include <thread>
#include <optional>
#include <span>

#include "capture_device.h"
#include "fixtures.h"

namespace autoshutdown::audio {
namespace {

using Samples = std::vector<std::int16_t>;

double Rms(std::span<const std::int16_t> samples) {
  double sum = 0;
  for (std::int16_t sample : samples) sum += double(sample) * sample;
  return samples.empty() ? 0 : std::sqrt(sum / samples.size());
}

// Whether `heard` is the start of the pass repeated without end.
bool IsRepetitionOf(const Samples& heard, const Samples& pass) {
  for (std::size_t i = 0; i < heard.size(); ++i) {
    if (heard[i] != pass[i % pass.size()]) return false;
  }
  return true;
}

class PlayerTest : public ::testing::Test {
 protected:
  CaptureDevice device_;
  Player player_{device_.Factory()};

  // Starts `path` without end on a device that stalls half-way through its first pass, and
  // waits for the stall: a sound that is surely still playing when the next call comes.
  Samples StartStalledSound(const Text& path) {
    const Samples pass = DecodeFile(path).samples;
    const Samples half(pass.begin(), pass.begin() + pass.size() / 4 * 2);
    device_.StallAfter(half.size());
    player_.StartPlayback(-1, path);
    EXPECT_TRUE(device_.WaitUntil([&] { return device_.Stalled(); }));
    device_.StallAfter(std::nullopt);
    return half;
  }
};

struct FormatCase {
  const char* file;
  PcmFormat format;
};

std::string CaseName(const char* file) {
  std::string name = file;
  name = name.substr(0, name.find('.'));
  return name.empty() ? "empty_path" : name;
}

class FormatTest : public PlayerTest, public ::testing::WithParamInterface<FormatCase> {};

TEST_P(FormatTest, PlaysTheFileOnceAtItsOwnRateAndChannels) {
  const FormatCase& kind = GetParam();
  const Decoded pass = DecodeFile(Fixture(kind.file));
  // Half a second of a loud tone, and the encoder's delay and padding where it wrote no
  // gapless information.
  const double seconds = double(pass.samples.size()) / kind.format.channels / kind.format.rate;
  EXPECT_GE(seconds, 0.5);
  EXPECT_LT(seconds, 0.7);
  EXPECT_GT(Rms(pass.samples), 5000);

  player_.StartPlayback(std::nullopt, Fixture(kind.file));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.OpenedFormats(), std::vector<PcmFormat>{kind.format});
  EXPECT_EQ(device_.Heard(), pass.samples);
  EXPECT_EQ(device_.CutOffAtClose(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    MpegKinds, FormatTest,
    ::testing::Values(FormatCase{"mpeg1_l3_stereo.mp3", {44100, 2}},
                      FormatCase{"mpeg2_l3_mono.mp3", {22050, 1}},
                      FormatCase{"mpeg25_l3_mono.mp3", {8000, 1}},
                      FormatCase{"mpeg1_l2_stereo.mp3", {48000, 2}},
                      FormatCase{"mpeg2_l2_mono.mp3", {24000, 1}}),
    [](const auto& info) { return CaseName(info.param.file); });

struct CountCase {
  std::optional<int> count;
  const char* file;
  int passes;
};

class CountTest : public PlayerTest, public ::testing::WithParamInterface<CountCase> {};

TEST_P(CountTest, PlaysThatManyPassesEachFromTheBeginning) {
  const CountCase& c = GetParam();
  const Samples pass = DecodeFile(Fixture(c.file)).samples;
  ASSERT_FALSE(pass.empty());
  player_.StartPlayback(c.count, Fixture(c.file));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), Repeated(pass, c.passes));
  EXPECT_EQ(device_.CutOffAtClose(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Counts, CountTest,
                         ::testing::Values(CountCase{std::nullopt, "mpeg2_l3_mono.mp3", 1},
                                           CountCase{1, "mpeg2_l3_mono.mp3", 1},
                                           CountCase{3, "mpeg2_l3_mono.mp3", 3},
                                           CountCase{100, "blip.mp3", 100}),
                         [](const auto& info) {
                           const auto count = info.param.count;
                           return count ? "count_" + std::to_string(*count) : "no_count";
                         });

TEST_F(PlayerTest, WithoutEndRepeatsUntilStoppedThenIsSilentAndClosed) {
  const Samples pass = DecodeFile(Fixture("blip.mp3")).samples;
  player_.StartPlayback(-2, Fixture("blip.mp3"));
  ASSERT_TRUE(device_.WaitUntil([&] { return device_.Heard().size() > 5 * pass.size(); }));
  player_.StopPlayback();
  const Samples heard = device_.Heard();
  EXPECT_TRUE(IsRepetitionOf(heard, pass));
  EXPECT_EQ(device_.SinksAlive(), 0);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(device_.Heard().size(), heard.size());
}

TEST_F(PlayerTest, CountZeroEndsTheSoundAndPlaysNothing) {
  const Samples half = StartStalledSound(Fixture("mpeg2_l3_mono.mp3"));
  player_.StartPlayback(0, Fixture("mpeg2_l3_mono.mp3"));
  EXPECT_EQ(device_.SinksAlive(), 0);
  EXPECT_EQ(device_.Heard(), half);
}

TEST_F(PlayerTest, StopWithNothingPlayingDoesNothing) {
  player_.StopPlayback();
  player_.StopPlayback();
  EXPECT_EQ(device_.SinksMade(), 0);
}

TEST_F(PlayerTest, StopEndsASoundWhoseDeviceIsStalled) {
  const Samples half = StartStalledSound(Fixture("mpeg1_l3_stereo.mp3"));
  player_.StopPlayback();
  EXPECT_FALSE(device_.Stalled());
  EXPECT_EQ(device_.SinksAlive(), 0);
  EXPECT_EQ(device_.Heard(), half);
}

TEST_F(PlayerTest, DestroyingThePlayerEndsTheSound) {
  {
    Player player(device_.Factory());
    player.StartPlayback(-1, Fixture("blip.mp3"));
    ASSERT_TRUE(device_.WaitUntil([&] { return !device_.Heard().empty(); }));
  }
  EXPECT_EQ(device_.SinksAlive(), 0);
  const std::size_t heard = device_.Heard().size();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  EXPECT_EQ(device_.Heard().size(), heard);
}

class ReplacementTest : public PlayerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(ReplacementTest, CutsTheOldSoundAndStartsTheNewAtItsBeginning) {
  const Samples half = StartStalledSound(Fixture("mpeg2_l3_mono.mp3"));
  const Samples next = DecodeFile(Fixture(GetParam())).samples;
  player_.StartPlayback(1, Fixture(GetParam()));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  Samples expected = half;
  expected.insert(expected.end(), next.begin(), next.end());
  EXPECT_EQ(device_.Heard(), expected);
  EXPECT_EQ(device_.CutOffAtClose(), 0u);
}

INSTANTIATE_TEST_SUITE_P(SameOrOtherFile, ReplacementTest,
                         ::testing::Values("mpeg2_l3_mono.mp3", "mpeg1_l3_stereo.mp3"),
                         [](const auto& info) { return CaseName(info.param); });

// Files that hold no playable audio, or no file at all. Asked to play them without end, the
// player ends the earlier sound, stays silent and does not spin.
class SilentInputTest : public PlayerTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SilentInputTest, EndsTheEarlierSoundAndStaysSilent) {
  const Samples half = StartStalledSound(Fixture("mpeg1_l3_stereo.mp3"));
  const std::string name = GetParam();
  player_.StartPlayback(-1, name.empty() ? Text() : Fixture(name));
  EXPECT_FALSE(device_.Stalled());
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), half);
  EXPECT_EQ(device_.OpenedFormats().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(BadFiles, SilentInputTest,
                         ::testing::Values("", "missing.mp3", "folder.mp3", "tone.wav",
                                           "notes.txt", "empty.mp3", "layer1.mp3"),
                         [](const auto& info) { return CaseName(info.param); });

TEST_F(PlayerTest, RandomBytesEndWithoutCrashOrHang) {
  player_.StartPlayback(-1, Fixture("random.mp3"));
  // Whatever the bytes happen to hold is played once over and over, or nothing is.
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  player_.StopPlayback();
  EXPECT_EQ(device_.SinksAlive(), 0);
}

TEST_F(PlayerTest, TruncatedFilePlaysWhatIsThere) {
  const Samples whole = DecodeFile(Fixture("ringtone.mp3")).samples;
  player_.StartPlayback(1, Fixture("truncated.mp3"));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  const Samples heard = device_.Heard();
  EXPECT_GT(heard.size(), whole.size() / 3);
  ASSERT_LT(heard.size(), whole.size());
  EXPECT_TRUE(std::equal(heard.begin(), heard.end(), whole.begin()));
}

TEST_F(PlayerTest, DamagedFramesAreSkippedAndTheRestPlays) {
  const Samples whole = DecodeFile(Fixture("ringtone.mp3")).samples;
  player_.StartPlayback(1, Fixture("damaged.mp3"));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  const Samples heard = device_.Heard();
  // The damage sits in the middle; a stretch from the last quarter is heard unchanged (where
  // exactly depends on how many frames were lost).
  EXPECT_LT(heard.size(), whole.size());
  const auto stretch = whole.begin() + whole.size() * 3 / 4;
  EXPECT_NE(std::search(heard.begin(), heard.end(), stretch, stretch + 4096), heard.end());
}

TEST_F(PlayerTest, LargeId3v2TagIsPassedOver) {
  player_.StartPlayback(1, Fixture("large_id3v2.mp3"));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), DecodeFile(Fixture("mpeg1_l3_stereo.mp3")).samples);
}

TEST_F(PlayerTest, PathIsGb18030) {
  // "铃声Å.mp3": two GBK characters and one that only GB18030 holds.
  player_.StartPlayback(1, Text(FixturePath("\xC1\xE5\xC9\xF9\x81\x30\x87\x33.mp3")));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), DecodeFile(Fixture("mpeg1_l3_stereo.mp3")).samples);
}

TEST_F(PlayerTest, FileDeletedWhilePlayingEndsAfterTheCurrentPass) {
  const std::filesystem::path copy =
      std::filesystem::temp_directory_path() / "autoshutdown-audio-deleted.mp3";
  std::filesystem::copy_file(FixturePath("mpeg2_l3_mono.mp3"), copy,
                             std::filesystem::copy_options::overwrite_existing);
  const Samples pass = DecodeFile(Fixture("mpeg2_l3_mono.mp3")).samples;
  player_.StartPlayback(-1, Text(copy.string()));
  ASSERT_TRUE(device_.WaitUntil([&] { return device_.Heard().size() > pass.size(); }));
  std::filesystem::remove(copy);
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  const Samples heard = device_.Heard();
  EXPECT_EQ(heard.size() % pass.size(), 0u);
  EXPECT_TRUE(IsRepetitionOf(heard, pass));
}

TEST_F(PlayerTest, DeviceThatFailsToOpenGivesSilenceUntilTheNextRequest) {
  device_.FailOpen(true);
  player_.StartPlayback(-1, Fixture("mpeg2_l3_mono.mp3"));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_TRUE(device_.Heard().empty());

  device_.FailOpen(false);
  player_.StartPlayback(1, Fixture("mpeg2_l3_mono.mp3"));
  ASSERT_TRUE(device_.WaitUntil([&] { return !device_.OpenedFormats().empty(); }));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), DecodeFile(Fixture("mpeg2_l3_mono.mp3")).samples);
}

TEST_F(PlayerTest, RefusedFormatGivesSilenceAndOtherFormatsStillPlay) {
  device_.RefuseRate(44100);
  player_.StartPlayback(-1, Fixture("mpeg1_l3_stereo.mp3"));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_TRUE(device_.Heard().empty());

  player_.StartPlayback(1, Fixture("mpeg2_l3_mono.mp3"));
  ASSERT_TRUE(device_.WaitUntil([&] { return !device_.OpenedFormats().empty(); }));
  ASSERT_TRUE(device_.WaitUntilAllClosed());
  EXPECT_EQ(device_.Heard(), DecodeFile(Fixture("mpeg2_l3_mono.mp3")).samples);
}

}  // namespace
}  // namespace autoshutdown::audio
