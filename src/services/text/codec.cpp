// Table-driven GBK (code page 936) and GB18030 conversions, written out by hand so
// that Linux and MinGW builds give the same bytes without iconv or Win32 calls.
#include "services/text/codec.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace autoshutdown::codec {
namespace {

struct FourByteRun {
  std::uint16_t pointer;
  std::uint16_t code_point;
};

struct TwoByteMapping {
  std::uint16_t code;
  std::uint16_t code_point;
};

#include "services/text/codec_tables.inc"

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kEuro = 0x20AC;
constexpr unsigned char kGbkEuroByte = 0x80;
constexpr unsigned char kGbkUnmappable = '?';
constexpr int kTrailsPerLead = 190;
constexpr std::uint32_t kLastBmpPointer = 39419;       // 0x8431A439 = U+FFFF
constexpr std::uint32_t kFirstSupplementaryPointer = 189000;  // 0x90308130 = U+10000
constexpr std::uint32_t kLastSupplementaryPointer = kFirstSupplementaryPointer + 0xFFFFF;

static_assert(std::size(kGb18030TwoByte) == 126 * kTrailsPerLead);

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
bool IsDigit(unsigned char b) { return b >= 0x30 && b <= 0x39; }

int TwoByteIndex(unsigned char lead, unsigned char trail) {
  return (lead - 0x81) * kTrailsPerLead + trail - (trail < 0x80 ? 0x40 : 0x41);
}

std::uint16_t TwoByteCode(int index) {
  const int trail = index % kTrailsPerLead;
  return static_cast<std::uint16_t>(((0x81 + index / kTrailsPerLead) << 8) |
                                    (trail + (trail < 0x3F ? 0x40 : 0x41)));
}

// GB18030 two-byte code of each BMP code point (0 = none). Built on first use
// from the forward table instead of shipping a second 47 KB table; static storage,
// so building it allocates nothing, and the local static makes it thread-safe.
struct ReverseTwoByteTable {
  std::array<std::uint16_t, 0x10000> code{};
  ReverseTwoByteTable() {
    for (int index = 0; index < static_cast<int>(std::size(kGb18030TwoByte)); ++index) {
      code[kGb18030TwoByte[index]] = TwoByteCode(index);
    }
  }
};

std::uint16_t Gb18030TwoByteOf(char32_t cp) {
  static const ReverseTwoByteTable table;
  return cp <= 0xFFFF ? table.code[cp] : 0;
}

// Lead bytes that have a code page 936 difference: a quick no for most characters.
constexpr auto kLeadsWithCp936Differences = [] {
  std::array<bool, 256> leads{};
  for (const TwoByteMapping& difference : kCp936Differences) leads[difference.code >> 8] = true;
  return leads;
}();

const TwoByteMapping* FindCp936Difference(std::uint16_t code) {
  if (!kLeadsWithCp936Differences[code >> 8]) return nullptr;
  const auto* end = std::end(kCp936Differences);
  const auto* found = std::lower_bound(std::begin(kCp936Differences), end, code,
                                       [](const TwoByteMapping& m, std::uint16_t c) { return m.code < c; });
  return found != end && found->code == code ? found : nullptr;
}

// ---- decoders: read one character at `pos`, advance `pos`, return its code point ----

// Invalid byte sequences give U+FFFD for each maximal ill-formed subpart (as the
// Unicode standard recommends): an overlong form, an encoded surrogate or a
// truncated sequence never swallows the byte that follows it.
char32_t DecodeUtf8(std::string_view in, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(in[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int continuation_count;
  unsigned char second_min = 0x80;
  unsigned char second_max = 0xBF;
  char32_t cp;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    continuation_count = 1;
    cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    continuation_count = 2;
    cp = b0 & 0x0F;
    if (b0 == 0xE0) second_min = 0xA0;  // overlong
    if (b0 == 0xED) second_max = 0x9F;  // surrogates
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    continuation_count = 3;
    cp = b0 & 0x07;
    if (b0 == 0xF0) second_min = 0x90;  // overlong
    if (b0 == 0xF4) second_max = 0x8F;  // above U+10FFFF
  } else {
    ++pos;
    return kReplacement;
  }
  std::size_t i = pos + 1;
  for (int k = 0; k < continuation_count; ++k, ++i) {
    const unsigned char min = k == 0 ? second_min : 0x80;
    const unsigned char max = k == 0 ? second_max : 0xBF;
    if (i >= in.size() || byte(i) < min || byte(i) > max) {
      pos = i;
      return kReplacement;
    }
    cp = (cp << 6) | (byte(i) & 0x3F);
  }
  pos = i;
  return cp;
}

// A lone surrogate gives U+FFFD and consumes one unit.
char32_t DecodeUtf16(std::u16string_view in, std::size_t& pos) {
  const char16_t unit = in[pos++];
  if (unit < 0xD800 || unit > 0xDFFF) return unit;
  if (unit <= 0xDBFF && pos < in.size() && in[pos] >= 0xDC00 && in[pos] <= 0xDFFF) {
    return 0x10000 + ((unit - 0xD800) << 10) + (in[pos++] - 0xDC00);
  }
  return kReplacement;
}

// Code page 936: every lead+trail pair is mapped; a lead without a trail, and 0xFF,
// give U+FFFD for that one byte.
char32_t DecodeGbk(std::string_view in, std::size_t& pos) {
  const auto b0 = static_cast<unsigned char>(in[pos]);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  if (b0 == kGbkEuroByte) {
    ++pos;
    return kEuro;
  }
  if (IsLead(b0) && pos + 1 < in.size()) {
    const auto b1 = static_cast<unsigned char>(in[pos + 1]);
    if (IsTrail(b1)) {
      pos += 2;
      if (const TwoByteMapping* difference = FindCp936Difference(static_cast<std::uint16_t>(b0 << 8 | b1))) {
        return difference->code_point;
      }
      return kGb18030TwoByte[TwoByteIndex(b0, b1)];
    }
  }
  ++pos;
  return kReplacement;
}

char32_t Gb18030FourByteCodePoint(std::uint32_t pointer) {
  if (pointer <= kLastBmpPointer) {
    if (pointer == kGb18030MovedCode.pointer) return kGb18030MovedCode.code_point;
    const auto* run = std::upper_bound(std::begin(kGb18030FourByteRuns), std::end(kGb18030FourByteRuns), pointer,
                                       [](std::uint32_t p, const FourByteRun& r) { return p < r.pointer; }) - 1;
    return run->code_point + (pointer - run->pointer);
  }
  if (pointer >= kFirstSupplementaryPointer && pointer <= kLastSupplementaryPointer) {
    return 0x10000 + (pointer - kFirstSupplementaryPointer);
  }
  return kReplacement;
}

// A well-formed four-byte code with no character gives one U+FFFD for its four
// bytes; any other malformed or cut-off sequence gives U+FFFD for its first byte
// and reading resumes at the next.
char32_t DecodeGb18030(std::string_view in, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(in[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  if (IsLead(b0) && pos + 1 < in.size()) {
    const unsigned char b1 = byte(pos + 1);
    if (IsTrail(b1)) {
      pos += 2;
      return kGb18030TwoByte[TwoByteIndex(b0, b1)];
    }
    if (IsDigit(b1) && pos + 3 < in.size() && IsLead(byte(pos + 2)) && IsDigit(byte(pos + 3))) {
      const std::uint32_t pointer = (((b0 - 0x81) * 10 + (b1 - 0x30)) * 126 + (byte(pos + 2) - 0x81)) * 10 +
                                    (byte(pos + 3) - 0x30);
      pos += 4;
      return Gb18030FourByteCodePoint(pointer);
    }
  }
  ++pos;
  return kReplacement;
}

// ---- encoders: write one code point (never a surrogate) through `put` ----

template <typename Put>
void EncodeUtf8(char32_t cp, Put&& put) {
  if (cp < 0x80) {
    put(cp);
  } else if (cp < 0x800) {
    put(0xC0 | (cp >> 6));
    put(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    put(0xE0 | (cp >> 12));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  } else {
    put(0xF0 | (cp >> 18));
    put(0x80 | ((cp >> 12) & 0x3F));
    put(0x80 | ((cp >> 6) & 0x3F));
    put(0x80 | (cp & 0x3F));
  }
}

template <typename Put>
void EncodeUtf16(char32_t cp, Put&& put) {
  if (cp < 0x10000) {
    put(cp);
  } else {
    put(0xD800 + ((cp - 0x10000) >> 10));
    put(0xDC00 + ((cp - 0x10000) & 0x3FF));
  }
}

template <typename Put>
void PutTwoBytes(std::uint16_t code, Put&& put) {
  put(code >> 8);
  put(code & 0xFF);
}

template <typename Put>
void EncodeGbk(char32_t cp, Put&& put) {
  if (cp < 0x80) return put(cp);
  if (cp == kEuro) return put(kGbkEuroByte);
  if (const std::uint16_t code = Gb18030TwoByteOf(cp); code != 0 && !FindCp936Difference(code)) {
    return PutTwoBytes(code, put);
  }
  // Rare: a Private Use code point that only code page 936 maps.
  for (const TwoByteMapping& difference : kCp936Differences) {
    if (difference.code_point == cp) return PutTwoBytes(difference.code, put);
  }
  put(kGbkUnmappable);
}

template <typename Put>
void EncodeGb18030(char32_t cp, Put&& put) {
  if (cp < 0x80) return put(cp);
  std::uint32_t pointer;
  if (cp >= 0x10000) {
    pointer = kFirstSupplementaryPointer + (cp - 0x10000);
  } else if (const std::uint16_t code = Gb18030TwoByteOf(cp); code != 0) {
    return PutTwoBytes(code, put);
  } else if (cp == kGb18030MovedCode.code_point) {
    pointer = kGb18030MovedCode.pointer;
  } else {
    const auto* run = std::upper_bound(std::begin(kGb18030FourByteRuns), std::end(kGb18030FourByteRuns), cp,
                                       [](char32_t c, const FourByteRun& r) { return c < r.code_point; }) - 1;
    pointer = run->pointer + (cp - run->code_point);
  }
  put(0x81 + pointer / 12600);
  put(0x30 + pointer / 1260 % 10);
  put(0x81 + pointer / 10 % 126);
  put(0x30 + pointer % 10);
}

// Runs the conversion twice, first counting the output units and then writing
// them, so the result is the only allocation and is exactly as long as needed.
template <typename Result, typename Input, typename Decode, typename Encode>
Result Convert(Input in, Decode decode, Encode encode) {
  using Unit = typename Result::value_type;
  std::size_t length = 0;
  for (std::size_t pos = 0; pos < in.size();) {
    encode(decode(in, pos), [&](std::uint32_t) { ++length; });
  }
  Result out(length, Unit{});
  Unit* next = out.data();
  for (std::size_t pos = 0; pos < in.size();) {
    encode(decode(in, pos), [&](std::uint32_t unit) { *next++ = static_cast<Unit>(unit); });
  }
  return out;
}

struct Utf8Encoder {
  template <typename Put>
  void operator()(char32_t cp, Put&& put) const { EncodeUtf8(cp, put); }
};
struct Utf16Encoder {
  template <typename Put>
  void operator()(char32_t cp, Put&& put) const { EncodeUtf16(cp, put); }
};
struct GbkEncoder {
  template <typename Put>
  void operator()(char32_t cp, Put&& put) const { EncodeGbk(cp, put); }
};
struct Gb18030Encoder {
  template <typename Put>
  void operator()(char32_t cp, Put&& put) const { EncodeGb18030(cp, put); }
};

}  // namespace

std::string GbkToUtf8(std::string_view gbk) { return Convert<std::string>(gbk, DecodeGbk, Utf8Encoder{}); }
std::u16string GbkToUtf16(std::string_view gbk) { return Convert<std::u16string>(gbk, DecodeGbk, Utf16Encoder{}); }
std::string Utf8ToGbk(std::string_view utf8) { return Convert<std::string>(utf8, DecodeUtf8, GbkEncoder{}); }
std::string Utf16ToGbk(std::u16string_view utf16) { return Convert<std::string>(utf16, DecodeUtf16, GbkEncoder{}); }

std::string Gb18030ToUtf8(std::string_view gb18030) {
  return Convert<std::string>(gb18030, DecodeGb18030, Utf8Encoder{});
}
std::u16string Gb18030ToUtf16(std::string_view gb18030) {
  return Convert<std::u16string>(gb18030, DecodeGb18030, Utf16Encoder{});
}
std::string Utf8ToGb18030(std::string_view utf8) { return Convert<std::string>(utf8, DecodeUtf8, Gb18030Encoder{}); }
std::string Utf16ToGb18030(std::u16string_view utf16) {
  return Convert<std::string>(utf16, DecodeUtf16, Gb18030Encoder{});
}

}  // namespace autoshutdown::codec
