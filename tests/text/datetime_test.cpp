#include <gtest/gtest.h>

#include "services/text/datetime.h"

namespace autoshutdown {
namespace {

class FixedClock final : public TimeSource {
 public:
  explicit FixedClock(LocalTime now) : now_(now) {}
  LocalTime Now() override { return now_; }

 private:
  LocalTime now_;
};

TEST(DateTime, DateTimeTextShortensTheTimeFromTheRight) {
  struct Case {
    LocalTime time;
    const char* expected;
  };
  const Case cases[] = {
      {{2011, 4, 4, 8, 5, 7, 0}, "2011年4月4日8时5分7秒"},
      {{2011, 4, 4, 8, 5, 0, 0}, "2011年4月4日8时5分"},
      {{2011, 4, 4, 8, 0, 0, 0}, "2011年4月4日8时"},
      {{2011, 4, 4, 0, 0, 0, 0}, "2011年4月4日"},
      {{2011, 4, 4, 0, 0, 7, 0}, "2011年4月4日0时0分7秒"},
      {{2011, 4, 4, 0, 5, 0, 0}, "2011年4月4日0时5分"},
      {{2011, 12, 31, 23, 59, 59, 0}, "2011年12月31日23时59分59秒"},
      {{2000, 2, 29, 12, 0, 1, 0}, "2000年2月29日12时0分1秒"},
      {{1899, 12, 30, 0, 0, 0, 0}, "1899年12月30日"},
      {{1899, 12, 29, 6, 0, 0, 0}, "1899年12月29日6时"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DateTimeText(ToDateTime(c.time)), Text(c.expected)) << c.expected;
  }
}

TEST(DateTime, ReadLocalClockDropsMillisecondsAndFieldsComeBack) {
  FixedClock clock({2011, 4, 4, 8, 5, 7, 999});
  SetTimeSource(&clock);
  const DateTime now = ReadLocalClock();
  SetTimeSource(nullptr);
  EXPECT_EQ(HourOf(now), 8);
  EXPECT_EQ(MinuteOf(now), 5);
  EXPECT_EQ(SecondOf(now), 7);
  EXPECT_DOUBLE_EQ(now, ToDateTime({2011, 4, 4, 8, 5, 7, 0}));
}

TEST(DateTime, EveryWholeSecondOfADayRoundTrips) {
  for (int second = 0; second < 86400; ++second) {
    const DateTime value = ToDateTime({2026, 12, 11, second / 3600, second / 60 % 60, second % 60, 0});
    ASSERT_EQ(HourOf(value) * 3600 + MinuteOf(value) * 60 + SecondOf(value), second);
  }
}

TEST(DateTime, FieldsRoundToTheNearestSecondAwayFromZero) {
  const DateTime base = ToDateTime({2011, 4, 4, 8, 5, 7, 0});
  EXPECT_EQ(SecondOf(base + 0.49 / 86400), 7);
  EXPECT_EQ(SecondOf(base + 0.51 / 86400), 8);
  EXPECT_EQ(SecondOf(base - 0.49 / 86400), 7);
  // 59.6 seconds rounds into the next minute, hour and day.
  EXPECT_EQ(DateTimeText(ToDateTime({2011, 12, 31, 23, 59, 59, 0}) + 0.6 / 86400), Text("2012年1月1日"));
}

TEST(DateTime, ValuesOutsideTheRangeAreClamped) {
  EXPECT_EQ(DateTimeText(2958465.0 + 10), Text("9999年12月31日"));
  EXPECT_EQ(DateTimeText(1e300), Text("9999年12月31日"));
  EXPECT_EQ(DateTimeText(-657434.0 - 5), Text("100年1月1日"));
  EXPECT_EQ(DateTimeText(-1e300), Text("100年1月1日"));
}

}  // namespace
}  // namespace autoshutdown
