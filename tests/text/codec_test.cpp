// GBK (code page 936) and GB18030 conversions: known pairs, exhaustive round trips,
// replacement of bad input, and the single allocation per conversion.
// GBK bytes are written as escapes and Unicode as u"" literals, so this file reads
// the same whatever execution character set it is compiled with.
#include "services/text/codec.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <set>
#include <string>
#include <vector>

namespace autoshutdown::codec {
namespace {

// Counts global allocations, so a test can see how many one conversion makes.
std::atomic<long> g_allocations{0};

}  // namespace
}  // namespace autoshutdown::codec

// The replacements pair malloc with free themselves, which GCC cannot see.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  autoshutdown::codec::g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace autoshutdown::codec {
namespace {

using namespace std::string_literals;

constexpr char16_t kReplacement = u'\uFFFD';

std::u16string Utf16Of(char32_t cp) {
  if (cp < 0x10000) return std::u16string(1, static_cast<char16_t>(cp));
  return {static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)),
          static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF))};
}

std::string Utf8Of(std::u16string_view utf16) {
  std::string out;
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t cp = utf16[i];
    if (cp >= 0xD800 && cp <= 0xDBFF) cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += {static_cast<char>(0xC0 | cp >> 6), static_cast<char>(0x80 | (cp & 0x3F))};
    } else if (cp < 0x10000) {
      out += {static_cast<char>(0xE0 | cp >> 12), static_cast<char>(0x80 | (cp >> 6 & 0x3F)),
              static_cast<char>(0x80 | (cp & 0x3F))};
    } else {
      out += {static_cast<char>(0xF0 | cp >> 18), static_cast<char>(0x80 | (cp >> 12 & 0x3F)),
              static_cast<char>(0x80 | (cp >> 6 & 0x3F)), static_cast<char>(0x80 | (cp & 0x3F))};
    }
  }
  return out;
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

struct Pair {
  std::string encoded;
  std::u16string text;
};

// Expected bytes come from Python's 'gbk' codec (CP936 without its Private Use
// areas and euro byte) and Microsoft's code page 936 table for the rest.
const std::vector<Pair> kGbkPairs = {
    {"", u""},
    {Bytes({0x00, 0x09, 0x0A, 0x41, 0x7A, 0x7E, 0x7F}), u"\0\t\nAz~\x7F"s},
    {"\xCA\xB1", u"\u65F6"},                                              // shi2 (hour)
    {"\xB1\xB1\xBE\xA9\xCA\xB1\xBC\xE4\xA3\xBA", u"\u5317\u4EAC\u65F6\u95F4\uFF1A"},  // Beijing time:
    {"\xA3\xAC\xA3\xA1\xA3\xBA\xA1\xBE\xA1\xBF", u"\uFF0C\uFF01\uFF1A\u3010\u3011"},  // full-width punctuation
    {"\x80", u"\u20AC"},                                                  // euro: one byte in CP936
    {"\xA1\xA4\xA1\xAA\xA8\x44", u"\u00B7\u2014\u2015"},                  // CP936, not GB2312, choices
    {"\x81\x40\xFE\x4F", u"\u4E02\uFA29"},                                // first code, last non-PUA in row FE
    {"\xAA\xA1\xFE\xFE\xA1\x40\xA7\xA0\xA3\xA0", u"\uE000\uE4C5\uE4C6\uE765\uE5E5"},  // user-defined areas
    // Where GB18030 took a real character, code page 936 keeps the Private Use Area.
    {"\xA2\xE3\xA8\xBC\xA8\xBF\xA9\x89\xA9\x95", u"\uE76C\uE7C7\uE7C8\uE7E7\uE7F3"},
    {"\xFE\x50\xFE\x51\xFE\x9F\xFE\xA0", u"\uE815\uE816\uE863\uE864"},
};

TEST(GbkCodec, KnownPairsConvertBothWays) {
  for (const Pair& pair : kGbkPairs) {
    SCOPED_TRACE(Utf8Of(pair.text));
    EXPECT_EQ(GbkToUtf16(pair.encoded), pair.text);
    EXPECT_EQ(GbkToUtf8(pair.encoded), Utf8Of(pair.text));
    EXPECT_EQ(Utf16ToGbk(pair.text), pair.encoded);
    EXPECT_EQ(Utf8ToGbk(Utf8Of(pair.text)), pair.encoded);
  }
}

TEST(GbkCodec, CharactersGbkLacksBecomeQuestionMarks) {
  // U+1E3F, U+01F9, U+2E81, U+303E: GB18030 has them, code page 936 does not.
  EXPECT_EQ(Utf16ToGbk(u"a\u1E3F\u01F9\u2E81\u303Eb"), "a????b");
  EXPECT_EQ(Utf16ToGbk(u"\u0080\u00FF\uFFFD"), "???");
  EXPECT_EQ(Utf16ToGbk(u"x\U0001F600y"), "x?y");  // one '?' for the whole pair
  EXPECT_EQ(Utf8ToGbk("x\xF0\x9F\x98\x80y"), "x?y");
}

TEST(GbkCodec, EveryTwoByteCodeMapsToItsOwnCharacterAndBack) {
  std::set<char16_t> seen;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string code = Bytes({lead, trail});
      const std::u16string text = GbkToUtf16(code);
      ASSERT_EQ(text.size(), 1u) << std::hex << lead << ' ' << trail;
      EXPECT_NE(text[0], kReplacement) << std::hex << lead << ' ' << trail;
      EXPECT_TRUE(seen.insert(text[0]).second) << std::hex << lead << ' ' << trail;
      EXPECT_EQ(Utf16ToGbk(text), code) << std::hex << lead << ' ' << trail;
      EXPECT_EQ(Utf8ToGbk(GbkToUtf8(code)), code) << std::hex << lead << ' ' << trail;
    }
  }
  EXPECT_EQ(seen.size(), 126u * 190u);
}

TEST(GbkCodec, BadBytesBecomeOneReplacementEach) {
  const std::u16string r(1, kReplacement);
  struct Case {
    std::string gbk;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\x81", r},                            // lead byte cut off at the end
      {"\xCA\xB1\xCA", u"\u65F6" + r},        // last character cut off
      {"\x81" " ", r + u" "},                 // ASCII that is no trail is kept
      {"\x81" "A", u"\u4E04"},                // 'A' is a trail byte, though
      {"\x81\x7F", r + u"\x7F"},              // 0x7F is no trail
      {"\x81\x30", r + u"0"},                 // no four-byte codes in GBK
      {"\xFF", r},
      {"\x81\xFF", r + r},
      {"\xFF\xCA\xB1", r + u"\u65F6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.gbk));
    EXPECT_EQ(GbkToUtf16(c.gbk), c.text);
    EXPECT_EQ(GbkToUtf8(c.gbk), Utf8Of(c.text));
  }
}

// Expected bytes from Python's 'gb18030' codec, with the GB18030-2005 swap of
// U+1E3F (A8BC) and U+E7C7 (8135F437).
const std::vector<Pair> kGb18030Pairs = {
    {"Az\x7F", u"Az\x7F"},
    {"\xCA\xB1", u"\u65F6"},
    {"\xA2\xE3", u"\u20AC"},
    {"\xA8\xBC", u"\u1E3F"},
    {"\x81\x35\xF4\x37", u"\uE7C7"},
    {"\xA8\xBF\xA9\x89\xA9\x95", u"\u01F9\u303E\u2FFB"},
    {"\xFE\x50\xFE\x9F\xFE\x51", u"\u2E81\u4DAE\uE816"},
    {"\xAA\xA1\xA3\xA0", u"\uE000\uE5E5"},
    {"\x81\x30\x81\x30", u"\u0080"},  // first four-byte code
    {"\x81\x30\x84\x36", u"\u00A5"},
    {"\x81\x35\xF4\x36\x81\x35\xF4\x38", u"\u1E3E\u1E40"},  // around the moved code
    {"\x82\x35\x8F\x33", u"\u9FA6"},
    {"\x83\x36\xC7\x38\x83\x36\xC7\x39\x83\x36\xD0\x30", u"\uD7FF\uE76C\uE865"},
    {"\x84\x31\x82\x36", u"\uFE10"},
    {"\x84\x31\xA4\x37\x84\x31\xA4\x39", u"\uFFFD\uFFFF"},
    {"\x90\x30\x81\x30", u"\U00010000"},
    {"\x94\x39\xFC\x36\x95\x32\x90\x31", u"\U0001F600\U00020087"},
    {"\xE3\x32\x9A\x35", u"\U0010FFFF"},
};

TEST(Gb18030Codec, KnownPairsConvertBothWays) {
  for (const Pair& pair : kGb18030Pairs) {
    SCOPED_TRACE(testing::PrintToString(pair.encoded));
    EXPECT_EQ(Gb18030ToUtf16(pair.encoded), pair.text);
    EXPECT_EQ(Gb18030ToUtf8(pair.encoded), Utf8Of(pair.text));
    EXPECT_EQ(Utf16ToGb18030(pair.text), pair.encoded);
    EXPECT_EQ(Utf8ToGb18030(Utf8Of(pair.text)), pair.encoded);
  }
}

void ExpectRoundTrip(char32_t cp, std::set<std::string>& encodings) {
  SCOPED_TRACE(testing::Message() << "U+" << std::hex << static_cast<std::uint32_t>(cp));
  const std::u16string text = Utf16Of(cp);
  const std::string encoded = Utf16ToGb18030(text);
  if (cp < 0x80) {
    EXPECT_EQ(encoded.size(), 1u);
  } else {
    EXPECT_TRUE(encoded.size() == 2 || encoded.size() == 4);
  }
  EXPECT_TRUE(encodings.insert(encoded).second);
  EXPECT_EQ(Gb18030ToUtf16(encoded), text);
  EXPECT_EQ(Utf8ToGb18030(Utf8Of(text)), encoded);
  EXPECT_EQ(Gb18030ToUtf8(encoded), Utf8Of(text));
}

TEST(Gb18030Codec, EveryBmpScalarValueRoundTrips) {
  std::set<std::string> encodings;
  for (char32_t cp = 0; cp <= 0xFFFF; ++cp) {
    if (cp < 0xD800 || cp > 0xDFFF) ExpectRoundTrip(cp, encodings);
  }
}

TEST(Gb18030Codec, SupplementaryScalarValuesRoundTrip) {
  std::set<std::string> encodings;
  for (char32_t cp = 0x10000; cp <= 0x10FFFF; cp += 0x101) ExpectRoundTrip(cp, encodings);
  ExpectRoundTrip(0x10FFFF, encodings);
}

TEST(Gb18030Codec, EveryTwoAndFourByteBmpCodeDecodesToADistinctCharacter) {
  std::set<char16_t> seen;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::u16string text = Gb18030ToUtf16(Bytes({lead, trail}));
      ASSERT_EQ(text.size(), 1u);
      EXPECT_TRUE(seen.insert(text[0]).second) << std::hex << lead << ' ' << trail;
    }
  }
  for (int pointer = 0; pointer <= 39419; ++pointer) {
    const std::string code = Bytes({0x81 + pointer / 12600, 0x30 + pointer / 1260 % 10,
                                    0x81 + pointer / 10 % 126, 0x30 + pointer % 10});
    const std::u16string text = Gb18030ToUtf16(code);
    ASSERT_EQ(text.size(), 1u) << pointer;
    EXPECT_TRUE(seen.insert(text[0]).second) << pointer;
    EXPECT_EQ(Utf16ToGb18030(text), code) << pointer;
  }
  // With the 128 ASCII characters and the 2048 surrogates, that is all of the BMP.
  EXPECT_EQ(seen.size() + 128 + 2048, 0x10000u);
}

TEST(Gb18030Codec, BadBytesBecomeReplacements) {
  const std::u16string r(1, kReplacement);
  struct Case {
    std::string gb18030;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\x80", r},
      {"\xFF", r},
      {"\x81", r},
      {"\x81\x30", r + u"0"},                     // four-byte code cut off
      {"\x81\x30\x81", r + u"0" + r},
      {"\x81\x30\x41\x30", r + u"0A0"},           // third byte no lead: only the first is bad
      {"\x81\x30\x81\x41", r + u"0\u4E04"},       // fourth byte no digit; 81 41 is a two-byte code
      {"\x84\x31\xA5\x30", r},                    // first pointer after U+FFFF: well-formed, unassigned
      {"\xFE\x39\xFE\x39", r},                    // last four-byte code: unassigned
      {"\xE3\x32\x9A\x36" "A", r + u"A"},         // past U+10FFFF
      {"\x81\x7F", r + u"\x7F"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.gb18030));
    EXPECT_EQ(Gb18030ToUtf16(c.gb18030), c.text);
  }
}

TEST(Utf8Input, IllFormedSubpartsBecomeOneReplacementEach) {
  const std::u16string r(1, kReplacement);
  struct Case {
    std::string utf8;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {"\x80", r},                                  // stray continuation byte
      {"\xC0\x80", r + r},                          // overlong NUL
      {"\xC1\xBF", r + r},                          // overlong
      {"\xE0\x80\xAF", r + r + r},                  // overlong three-byte form
      {"\xF0\x80\x80\xAF", r + r + r + r},          // overlong four-byte form
      {"\xED\xA0\x80", r + r + r},                  // encoded surrogate
      {"\xF4\x90\x80\x80", r + r + r + r},          // above U+10FFFF
      {"\xF5\x80", r + r},
      {"\xE6\x97", r},                              // cut off at the end
      {"\xE6\x97" "A", r + u"A"},                   // cut off before ASCII
      {"\xF0\x9F\x98" "x\xE6\x97\xB6", r + u"x\u65F6"},
      {"\xE6\xE6\x97\xB6", r + u"\u65F6"},
      {"\xFE\xFF", r + r},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.utf8));
    EXPECT_EQ(Gb18030ToUtf16(Utf8ToGb18030(c.utf8)), c.text);
    EXPECT_EQ(Utf8ToGbk(c.utf8), Utf16ToGbk(c.text));
  }
  EXPECT_EQ(Utf8ToGbk("a\xC0\x80" "b"), "a??b");
}

TEST(Utf16Input, LoneSurrogatesBecomeReplacements) {
  const std::u16string r(1, kReplacement);
  struct Case {
    std::u16string utf16;
    std::u16string text;
  };
  const std::vector<Case> cases = {
      {u"\xD800"s, r},
      {u"\xD83D" u"A"s, r + u"A"},
      {u"\xDC00" u"A"s, r + u"A"},
      {u"\xDE00\xD83D"s, r + r},                 // low before high
      {u"\xD83D\xD83D\xDE00"s, r + u"\U0001F600"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Gb18030ToUtf16(Utf16ToGb18030(c.utf16)), c.text);
  }
  EXPECT_EQ(Utf16ToGbk(u"a\xD800" u"b"s), "a?b");
}

TEST(CodecInput, NothingPastTheEndOfTheViewIsRead) {
  // Each view is cut inside a character whose remaining bytes follow in memory.
  const std::u16string r(1, kReplacement);
  EXPECT_EQ(GbkToUtf16(std::string_view("\xCA\xB1", 1)), r);
  EXPECT_EQ(Gb18030ToUtf16(std::string_view("\xCA\xB1", 1)), r);
  EXPECT_EQ(Gb18030ToUtf16(std::string_view("\x81\x30\x81\x30", 3)), r + u"0" + r);
  EXPECT_EQ(Gb18030ToUtf16(Utf8ToGb18030(std::string_view("\xE6\x97\xB6", 2))), r);
  EXPECT_EQ(Gb18030ToUtf16(Utf16ToGb18030(std::u16string_view(u"\U0001F600", 1))), r);
}

TEST(CodecAllocation, AShortConversionAllocatesOnlyItsResult) {
  const std::string gbk = "\xB1\xB1\xBE\xA9\xCA\xB1\xBC\xE4\xA3\xBA" "2011-04-04 08:05:07";  // 29 bytes
  const std::string utf8 = GbkToUtf8(gbk);
  const std::u16string utf16 = GbkToUtf16(gbk);
  Utf16ToGbk(utf16);  // builds the reverse table once, before counting
  struct Conversion {
    const char* name;
    std::size_t (*run)(const std::string&, const std::string&, const std::u16string&);
  };
  const Conversion conversions[] = {
      {"GbkToUtf8", [](auto& g, auto&, auto&) { return GbkToUtf8(g).size(); }},
      {"GbkToUtf16", [](auto& g, auto&, auto&) { return GbkToUtf16(g).size(); }},
      {"Utf8ToGbk", [](auto&, auto& u8, auto&) { return Utf8ToGbk(u8).size(); }},
      {"Utf16ToGbk", [](auto&, auto&, auto& u16) { return Utf16ToGbk(u16).size(); }},
      {"Gb18030ToUtf8", [](auto& g, auto&, auto&) { return Gb18030ToUtf8(g).size(); }},
      {"Gb18030ToUtf16", [](auto& g, auto&, auto&) { return Gb18030ToUtf16(g).size(); }},
      {"Utf8ToGb18030", [](auto&, auto& u8, auto&) { return Utf8ToGb18030(u8).size(); }},
      {"Utf16ToGb18030", [](auto&, auto&, auto& u16) { return Utf16ToGb18030(u16).size(); }},
  };
  for (const Conversion& conversion : conversions) {
    const long before = g_allocations.load();
    const std::size_t size = conversion.run(gbk, utf8, utf16);
    EXPECT_EQ(g_allocations.load() - before, 1) << conversion.name;
    EXPECT_GT(size, 0u);
  }
}

}  // namespace
}  // namespace autoshutdown::codec
