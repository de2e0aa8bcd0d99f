#include <gtest/gtest.h>

#include "services/text/text.h"

namespace autoshutdown {
namespace {

TEST(Text, AbsentAndEmptyAreOneValue) {
  EXPECT_EQ(Text(nullptr), Text(""));
  EXPECT_EQ(ByteLength(Text(nullptr)), 0);
  EXPECT_EQ(ByteCompare(Text(nullptr), ""), 0);
}

TEST(Text, LengthsCountGbkBytesUpToTheFirstZero) {
  EXPECT_EQ(ByteLength("时"), 2);
  EXPECT_EQ(ByteLength("08时05分07秒"), 12);
  EXPECT_EQ(ByteLength(std::string_view("ab\0cd", 5)), 2);
  EXPECT_EQ(Text(std::string_view("ab\0cd", 5)), Text("ab"));
}

TEST(Text, ByteCompareOrdersUnsignedBytesAndPrefixes) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {"", nullptr, 0},  {nullptr, "0", -1}, {"0", nullptr, 1},         {"a", "B", 1},
      {"12时", "12时30分", -1}, {"abc", "abc", 0},   {"\x7f", "\x80", -1}, {"时", "时", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ByteCompare(Text(c.a), Text(c.b)), c.expected) << c.a << " vs " << c.b;
  }
}

TEST(Text, JoinTextsJoinsInOrderAndTreatsAbsentPartsAsEmpty) {
  EXPECT_EQ(JoinTexts({Text(nullptr), Text(nullptr)}), Text(""));
  EXPECT_EQ(JoinTexts({"08", "时", "05", "分", "07", "秒"}), Text("08时05分07秒"));
  EXPECT_EQ(JoinTexts({std::string_view("ab\0x", 4), "c"}), Text("abc"));
}

TEST(Text, RightTextKeepsTheLastBytes) {
  EXPECT_EQ(RightText("023", 2), Text("23"));
  EXPECT_EQ(RightText("7", 2), Text("7"));
  EXPECT_EQ(RightText("abc", 0), Text(""));
  EXPECT_EQ(RightText("abc", -1), Text(""));
  EXPECT_EQ(RightText("", 5), Text(""));
  // Counted in bytes: a cut inside a character keeps its trail byte only.
  EXPECT_EQ(ByteLength(RightText("时", 1)), 1);
}

TEST(Text, NumberTextIsPlainSignedDecimal) {
  EXPECT_EQ(NumberText(0), Text("0"));
  EXPECT_EQ(NumberText(8), Text("8"));
  EXPECT_EQ(NumberText(-45), Text("-45"));
  EXPECT_EQ(NumberText(2147483647), Text("2147483647"));
  EXPECT_EQ(NumberText(-2147483647 - 1), Text("-2147483648"));
}

TEST(Text, TwoDigitFieldIsRightTwoOfZeroAndNumber) {
  const auto field = [](int n) { return RightText(JoinTexts({"0", NumberText(n)}), 2); };
  EXPECT_EQ(field(0), Text("00"));
  EXPECT_EQ(field(8), Text("08"));
  EXPECT_EQ(field(23), Text("23"));
}

TEST(Text, ReturnedTextsAreIndependentValues) {
  Text original("abc");
  Text copy = RightText(original, 3);
  copy = JoinTexts({copy, "d"});
  EXPECT_EQ(original, Text("abc"));
}

}  // namespace
}  // namespace autoshutdown
