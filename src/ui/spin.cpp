#include "ui/spin.h"

#include <cstdint>
#include <limits>

namespace autoshutdown::ui {

int LeadingInteger(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  std::int64_t magnitude = 0;
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<int>::max()} + 1;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
    magnitude = magnitude * 10 + (text[at] - '0');
    if (magnitude > kLimit) magnitude = kLimit;
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(value);
}

int SpinStep(int value, bool up, int minimum, int maximum) {
  const std::int64_t next = std::int64_t{value} + (up ? 1 : -1);
  if (next >= minimum && next <= maximum) return static_cast<int>(next);
  return up ? minimum : maximum;
}

}  // namespace autoshutdown::ui
