// Text: the program's string type, a byte string in GBK (code page 936).
// Lengths count bytes; an absent text and the empty text are one value.
// Every text returned by an operation here is a new value owned by the caller.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace autoshutdown {

class Text {
 public:
  Text() = default;
  // A null pointer is the absent text, the same value as "".
  Text(const char* bytes) : bytes_(bytes ? bytes : "") {}  // NOLINT: literals are texts
  // Bytes after a zero byte are not part of the text (as with a zero-terminated string).
  explicit Text(std::string_view bytes) : bytes_(bytes.substr(0, bytes.find('\0'))) {}
  explicit Text(std::string&& bytes) : bytes_(std::move(bytes)) {
    if (auto zero = bytes_.find('\0'); zero != std::string::npos) bytes_.resize(zero);
  }

  const std::string& bytes() const { return bytes_; }
  const char* c_str() const { return bytes_.c_str(); }
  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  operator std::string_view() const { return bytes_; }  // NOLINT: texts join and compare as views

  friend bool operator==(const Text&, const Text&) = default;

 private:
  std::string bytes_;
};

// Number of bytes before the terminating zero.
int ByteLength(std::string_view text);

// -1, 0 or 1 by unsigned byte order; a proper prefix is the smaller.
int ByteCompare(std::string_view a, std::string_view b);

// The parts one after another; measures all parts first, then allocates once.
Text JoinTexts(std::initializer_list<std::string_view> parts);

// The last `count` bytes (all of them when count >= length, "" when count <= 0).
Text RightText(std::string_view text, int count);

// Signed decimal, no leading zeros, no plus sign.
Text NumberText(int number);

}  // namespace autoshutdown
