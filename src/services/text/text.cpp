#include "services/text/text.h"

#include <charconv>
#include <cstring>

namespace autoshutdown {

int ByteLength(std::string_view text) {
  return static_cast<int>(text.substr(0, text.find('\0')).size());
}

int ByteCompare(std::string_view a, std::string_view b) {
  a = a.substr(0, static_cast<std::size_t>(ByteLength(a)));
  b = b.substr(0, static_cast<std::size_t>(ByteLength(b)));
  const std::size_t common = a.size() < b.size() ? a.size() : b.size();
  if (int order = std::memcmp(a.data(), b.data(), common); order != 0) return order < 0 ? -1 : 1;
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

Text JoinTexts(std::initializer_list<std::string_view> parts) {
  std::size_t total = 0;
  for (std::string_view part : parts) total += static_cast<std::size_t>(ByteLength(part));
  std::string joined;
  joined.reserve(total);
  for (std::string_view part : parts) joined.append(part.substr(0, static_cast<std::size_t>(ByteLength(part))));
  return Text(std::move(joined));
}

Text RightText(std::string_view text, int count) {
  if (count <= 0) return Text();
  const auto length = static_cast<std::size_t>(ByteLength(text));
  const auto kept = static_cast<std::size_t>(count) < length ? static_cast<std::size_t>(count) : length;
  return Text(text.substr(length - kept, kept));
}

Text NumberText(int number) {
  char digits[12];
  auto [end, error] = std::to_chars(digits, digits + sizeof digits, number);
  return Text(std::string_view(digits, static_cast<std::size_t>(end - digits)));
}

}  // namespace autoshutdown
