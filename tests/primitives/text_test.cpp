#include "primitives/text.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

#include "primitives/text_array.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::Gbk;

// 並 is the bytes 81 4B, and 4B is the letter K: the fixture for trail bytes that look ASCII.
const Text kBing = "\x81\x4B";
// 晴 is C7 E7; its first byte alone is a lone lead byte.
const Text kQingLead = "\xC7";

std::vector<Text> Elements(const TextArray& array) {
  std::vector<Text> out;
  for (int i = 1; i <= array.Size(); ++i)
    out.push_back(array.Get(i));
  return out;
}

TEST(TextCut, CountsBytesAndClipsRanges) {
  enum class Op { kLeft, kRight, kMid };
  struct Row {
    const char* name;
    Op op;
    Text text;
    int a;
    int b;
    Text expected;
  };
  const Row rows[] = {
      {"mid running past the end stops at the last byte", Op::kMid, "abcdef", 5, 10, "ef"},
      {"mid from the last byte", Op::kMid, "abcdef", 6, 1, "f"},
      {"mid from 0", Op::kMid, "abcdef", 0, 3, ""},
      {"mid from beyond the end", Op::kMid, "abcdef", 7, 1, ""},
      {"mid of 0 bytes", Op::kMid, "abcdef", 2, 0, ""},
      {"mid of a huge count", Op::kMid, "abcdef", 2, INT_MAX, "bcdef"},
      {"mid from a huge start", Op::kMid, "abcdef", INT_MAX, INT_MAX, ""},
      {"left of a failed search's -1", Op::kLeft, "abc", -1, 0, ""},
      {"left of more than the length", Op::kLeft, "abc", 4, 0, "abc"},
      {"left may split a character", Op::kLeft, Gbk("晴天"), 1, 0, kQingLead},
      {"right of a failed search's -1", Op::kRight, "abc", -1, 0, ""},
      {"right of the last bytes", Op::kRight, "abcdef", 2, 0, "ef"},
      {"right of more than the length", Op::kRight, "abc", INT_MAX, 0, "abc"},
      {"right may split a character", Op::kRight, Gbk("晴"), 1, 0, "\xE7"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    switch (row.op) {
      case Op::kLeft:
        EXPECT_EQ(TextLeft(row.text, row.a), row.expected);
        break;
      case Op::kRight:
        EXPECT_EQ(TextRight(row.text, row.a), row.expected);
        break;
      case Op::kMid:
        EXPECT_EQ(TextMid(row.text, row.a, row.b), row.expected);
        break;
    }
  }
  EXPECT_EQ(TextLength(Gbk("晴天")), 4);
}

TEST(TextCharCode, GivesSignedBytesAndZeroOutside) {
  struct Row {
    const char* name;
    Text text;
    int position;
    int expected;
  };
  const Row rows[] = {
      {"a lead byte is negative", Gbk("晴天"), 1, 0xC7 - 0x100},
      {"a trail byte is read by position", Gbk("晴天"), 2, 0xE7 - 0x100},
      {"ASCII", "AB", 2, 'B'},
      {"the highest positive byte", "\x7F", 1, 127},
      {"the lowest negative byte", "\x80", 1, -128},
      {"position 0", "AB", 0, 0},
      {"beyond the last byte", "AB", 3, 0},
      {"the empty text", "", 1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(CharCode(row.text, row.position), row.expected);
  }
  EXPECT_EQ(CharCode("A"), 'A');
}

TEST(TextFind, StepsOverTwoByteCharactersAndHonoursStart) {
  struct Row {
    const char* name;
    Text text;
    Text sought;
    std::optional<int> start;
    int expected;
  };
  const Row rows[] = {
      {"ASCII after Chinese", Gbk("北京(中国)"), "(", std::nullopt, 5},
      {"start -1 searches from byte 1", Gbk("北京(中国)"), "(", -1, 5},
      {"start INT_MIN searches from byte 1", "abc", "a", INT_MIN, 1},
      {"position counts in the whole text", "abcabc", "abc", 2, 4},
      {"start on the last byte", "abc", "c", 3, 3},
      {"start beyond the end", "abc", "c", 4, -1},
      {"start INT_MAX", "abc", "c", INT_MAX, -1},
      {"never on a trail byte", kBing, "K", std::nullopt, -1},
      {"the character after a trail byte", kBing + "K", "K", std::nullopt, 3},
      {"never across two characters", Gbk("晴晴"), "\xE7\xC7", std::nullopt, -1},
      {"a start on a trail byte pairs from there", Gbk("晴晴"), "\xE7\xC7", 2, 2},
      {"a lone lead byte at the end ends the walk", "a\x81", "\x81", std::nullopt, -1},
      {"sought longer than what remains", "abc", "bcd", std::nullopt, -1},
      {"sought longer than the text", "ab", "abc", std::nullopt, -1},
      {"empty sought", "abc", "", std::nullopt, 1},
      {"empty sought is found at 1 from a later start", "abc", "", 3, 1},
      {"empty sought with a start beyond the end", "abc", "", 4, -1},
      {"empty sought in the empty text", "", "", std::nullopt, -1},
      {"case-sensitive", "abc", "B", std::nullopt, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindText(row.text, row.sought, row.start), row.expected);
  }
}

TEST(TextFind, ReverseGivesTheLastPlaceOfTheForwardWalk) {
  struct Row {
    const char* name;
    Text text;
    Text sought;
    int expected;
  };
  const Row rows[] = {
      {"last of several", "a/b/c.png", "/", 4},
      {"the last place may be byte 1", "/abc", "/", 1},
      {"multi-byte sought", Gbk("晴天晴天"), Gbk("晴"), 5},
      {"not found", "abc", "/", -1},
      {"a trail byte is not a place", "K" + kBing, "K", 1},
      {"a lone lead byte at the end is no place",
       "\x81"
       "a\x81",
       "\x81", 1},
      {"empty sought", "abc", "", 1},
      {"the empty text", "", "", -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FindTextReverse(row.text, row.sought), row.expected);
  }
}

TEST(SplitText, KeepsInnerAndLeadingEmptyElementsButNoTrailingOne) {
  struct Row {
    const char* name;
    Text text;
    Text delimiter;
    std::vector<Text> expected;
  };
  const Row rows[] = {
      {"two delimiters in a row", "a,,b", ",", {"a", "", "b"}},
      {"a leading delimiter", ",a", ",", {"", "a"}},
      {"a trailing delimiter", "a,", ",", {"a"}},
      {"only the delimiter", ",", ",", {""}},
      {"Chinese elements", Gbk("晴,晴,多"), ",", {Gbk("晴"), Gbk("晴"), Gbk("多")}},
      {"a lone lead byte", kQingLead, ",", {kQingLead}},
      {"a lone lead byte after a delimiter", "a," + kQingLead, ",", {"a", kQingLead}},
      {"a delimiter on a trail byte is not one", "a" + kBing + "b", "K", {"a" + kBing + "b"}},
      {"a multi-byte delimiter", "a::b:c", "::", {"a", "b:c"}},
      {"a delimiter longer than the text", "ab", "abc", {"ab"}},
      {"the empty delimiter", "a,b", "", {"a,b"}},
      {"the empty text", "", ",", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Elements(SplitText(row.text, row.delimiter)), row.expected);
  }
  EXPECT_EQ(Elements(SplitText("a,b")), (std::vector<Text>{"a", "b"}));
}

TEST(TextSpaces, TrimAndRemoveOnlyAsciiAndFullWidthBlanks) {
  enum class Op { kTrim, kRemove };
  struct Row {
    const char* name;
    Op op;
    Text text;
    Text expected;
  };
  const Text wide = Gbk("　");
  const Row rows[] = {
      {"ASCII spaces on both sides", Op::kTrim, Gbk("  北京  "), Gbk("北京")},
      {"full-width spaces on both sides", Op::kTrim, wide + Gbk("北京") + wide, Gbk("北京")},
      {"mixed runs", Op::kTrim, " " + wide + "a " + wide + " ", "a"},
      {"inner blanks stay", Op::kTrim, Gbk(" 北 京 "), Gbk("北 京")},
      {"tab, CR and LF stay", Op::kTrim, "\ta\r\n", "\ta\r\n"},
      {"only blanks", Op::kTrim, "  " + wide, ""},
      {"a lone lead byte goes, the blanks before it stay", Op::kTrim, " a  \xC7", "a  "},
      {"a lone A1 is no blank", Op::kTrim, "a \xA1", "a "},
      {"A1 A1 across two characters is no blank", Op::kTrim, Gbk("啊、"), Gbk("啊、")},
      {"a lone lead byte alone", Op::kTrim, kQingLead, ""},
      {"every blank", Op::kRemove, Gbk(" 北 京　市 "), Gbk("北京市")},
      {"tab, CR and LF stay", Op::kRemove, "a\tb\r\nc", "a\tb\r\nc"},
      {"A1 A1 across two characters stays", Op::kRemove, Gbk("啊、"), Gbk("啊、")},
      {"a lone lead byte is dropped", Op::kRemove, "a b\xC7", "ab"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.op == Op::kTrim ? TrimSpaces(row.text) : RemoveSpaces(row.text), row.expected);
  }
}

TEST(TextNumbers, TextToIntReadsLeadingDigitsAfterFullWidthNormalisation) {
  struct Row {
    const char* name;
    Text text;
    int expected;
  };
  const Row rows[] = {
      {"digits then letters", "12abc", 12},
      {"the empty text", "", 0},
      {"no leading digit", "abc12", 0},
      {"full-width digits", Gbk("１２"), 12},
      {"full-width and ASCII digits mixed", "1" + Gbk("２") + "3", 123},
      {"full-width minus", Gbk("－３"), -3},
      {"full-width space before", Gbk("　７"), 7},
      {"white space before", " \t\r\n\v\f8", 8},
      {"a plus sign", "+5", 5},
      {"a space after the sign", "- 5", 0},
      {"two signs", "+-5", 0},
      {"another Chinese character first", Gbk("晴12"), 0},
      {"too large saturates", "99999999999", INT_MAX},
      {"the lowest value", "-2147483648", INT_MIN},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(TextToInt(row.text), row.expected);
  }
}

TEST(TextNumbers, FormatsIntegersAndRealsLikePrintf) {
  EXPECT_EQ(IntToText(0), "0");
  EXPECT_EQ(IntToText(-45), "-45");
  EXPECT_EQ(IntToText(INT_MIN), "-2147483648");
  struct Row {
    double value;
    Text expected;
  };
  const Row rows[] = {
      {3.0, "3"},      {-2.5, "-2.5"},
      {0.1, "0.1"},    {1.0 / 3, "0.3333333333333"},
      {1e20, "1e+20"}, {123456789012345.0, "1.234567890123e+14"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.expected);
    EXPECT_EQ(RealToText(row.value), row.expected);
  }
}

TEST(TextBytes, BytesToTextEndsBeforeTheFirstZero) {
  EXPECT_EQ(BytesToText(Bytes{'a', 'b', 0, 'c'}), "ab");
  EXPECT_EQ(BytesToText(Bytes{0, 'a'}), "");
  EXPECT_EQ(BytesToText(Bytes{0xC7, 0xE7}), Gbk("晴"));
  EXPECT_EQ(BytesToText(Bytes{}), "");
  EXPECT_EQ(TextToBytes(Gbk("晴")), (Bytes{0xC7, 0xE7}));
  EXPECT_EQ(BytesLength(TextToBytes("")), 0);
  EXPECT_EQ(BytesLength(Bytes{0, 0, 0}), 3);
  EXPECT_EQ(ConcatText({"a", "", Gbk("晴"), "b"}), "a" + Gbk("晴") + "b");
}

}  // namespace
}  // namespace qc
