#include "services/text/datetime.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace autoshutdown {
namespace {

constexpr DateTime kEarliest = -657434.0;  // 0100-01-01 00:00:00
constexpr DateTime kLatest = 2958465.0;    // 9999-12-31 00:00:00
constexpr std::int64_t kSecondsPerDay = 86400;

TimeSource* installed_source = nullptr;

// Days since 1970-01-01 of a Gregorian date (H. Hinnant's days_from_civil).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(static_cast<std::int64_t>(yoe) + era * 400 + (month <= 2));
}

const std::int64_t kOleEpoch = DaysFromCivil(1899, 12, 30);

}  // namespace

void SetTimeSource(TimeSource* source) { installed_source = source; }

DateTime ToDateTime(const LocalTime& t) {
  const auto days = static_cast<double>(DaysFromCivil(t.year, static_cast<unsigned>(t.month),
                                                      static_cast<unsigned>(t.day)) - kOleEpoch);
  const double fraction = (t.hour * 3600 + t.minute * 60 + t.second) / double(kSecondsPerDay);
  // Before the epoch the day counts down while the time of day still counts up.
  return days < 0 ? days - fraction : days + fraction;
}

DateTime ReadLocalClock() {
  TimeSource& source = installed_source ? *installed_source : SystemClock();
  return ToDateTime(source.Now());
}

LocalTime FieldsOf(DateTime value) {
  if (!(value >= kEarliest)) value = kEarliest;  // NaN lands here too
  if (value > kLatest) value = kLatest;
  // Nearest whole second, half away from zero; the date is the integer part, the time of
  // day the magnitude of the fraction.
  const double scaled = value * double(kSecondsPerDay);
  const auto seconds = static_cast<std::int64_t>(value > 0 ? scaled + 0.5 : scaled - 0.5);
  const std::int64_t days = seconds / kSecondsPerDay;
  std::int64_t time_of_day = seconds % kSecondsPerDay;
  if (time_of_day < 0) time_of_day = -time_of_day;
  LocalTime fields{};
  CivilFromDays(days + kOleEpoch, fields.year, fields.month, fields.day);
  fields.hour = static_cast<int>(time_of_day / 3600);
  fields.minute = static_cast<int>(time_of_day / 60 % 60);
  fields.second = static_cast<int>(time_of_day % 60);
  return fields;
}

int HourOf(DateTime value) { return FieldsOf(value).hour; }
int MinuteOf(DateTime value) { return FieldsOf(value).minute; }
int SecondOf(DateTime value) { return FieldsOf(value).second; }

Text DateTimeText(DateTime value) {
  const LocalTime f = FieldsOf(value);
  char buffer[64];
  int length = std::snprintf(buffer, sizeof buffer, "%d年%d月%d日", f.year, f.month, f.day);
  const auto rest = [&] { return sizeof buffer - static_cast<std::size_t>(length); };
  if (f.second != 0) {
    length += std::snprintf(buffer + length, rest(), "%d时%d分%d秒", f.hour, f.minute, f.second);
  } else if (f.minute != 0) {
    length += std::snprintf(buffer + length, rest(), "%d时%d分", f.hour, f.minute);
  } else if (f.hour != 0) {
    length += std::snprintf(buffer + length, rest(), "%d时", f.hour);
  }
  return Text(std::string_view(buffer, static_cast<std::size_t>(length)));
}

}  // namespace autoshutdown
