// Local date and time as days since 1899-12-30 with the time of day as fraction (the OLE
// Automation date). Never stored by the program: passed from ReadLocalClock straight on.
#pragma once

#include "services/text/text.h"

namespace autoshutdown {

using DateTime = double;

// Broken-down local wall-clock time as the operating system gives it.
struct LocalTime {
  int year, month, day, hour, minute, second, millisecond;
};

// Where ReadLocalClock reads "now". The real one reads the operating system's clock; a test
// installs its own virtual clock.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual LocalTime Now() = 0;
};

// Installs `source` for ReadLocalClock (nullptr: the system clock again). The caller keeps
// ownership and keeps it alive while installed.
void SetTimeSource(TimeSource* source);
// The operating system's local clock.
TimeSource& SystemClock();

// Local wall-clock time now, milliseconds cut off.
DateTime ReadLocalClock();
DateTime ToDateTime(const LocalTime& time);

// Fields of a date-time, clamped into 0100-01-01 .. 9999-12-31 and rounded to the nearest second.
int HourOf(DateTime value);
int MinuteOf(DateTime value);
int SecondOf(DateTime value);
LocalTime FieldsOf(DateTime value);

// "2011年4月4日8时5分7秒", the time part shortened from the right when its fields are zero.
Text DateTimeText(DateTime value);

}  // namespace autoshutdown
