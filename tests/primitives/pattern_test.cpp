#include "primitives/pattern.h"

#include <gtest/gtest.h>

#include <boost/regex.hpp>

#include <optional>
#include <string>
#include <vector>

#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::Gbk;

// 並 is the bytes 81 4B, and 4B is the letter K.
const Text kBing = "\x81\x4B";

Pattern Compiled(const Text& source) {
  Pattern pattern;
  EXPECT_TRUE(CompilePattern(pattern, source)) << source;
  return pattern;
}

std::vector<Text> GroupTexts(const std::vector<MatchResult>& results, const Text& text, int group) {
  std::vector<Text> out;
  for (const MatchResult& result : results)
    out.push_back(GroupText(result, text, group));
  return out;
}

std::vector<int> Offsets(const std::vector<MatchResult>& results) {
  std::vector<int> out;
  for (const MatchResult& result : results)
    out.push_back(result.entries.at(0).offset);
  return out;
}

TEST(PatternCompile, AnInvalidPatternKeepsTheOldExpression) {
  Pattern pattern;
  EXPECT_FALSE(pattern.Compiled());
  EXPECT_FALSE(SearchPattern(pattern, "abc").Found());
  EXPECT_FALSE(CompilePattern(pattern, "("));
  EXPECT_FALSE(pattern.Compiled());

  ASSERT_TRUE(CompilePattern(pattern, "b+"));
  EXPECT_FALSE(CompilePattern(pattern, "a(b"));
  EXPECT_EQ(GroupText(SearchPattern(pattern, "abbc"), "abbc", 0), "bb");
}

TEST(PatternCompile, ACopyKeepsItsExpressionWhenTheOriginalRecompiles) {
  Pattern original = Compiled("a");
  const Pattern copy = original;
  ASSERT_TRUE(CompilePattern(original, "b"));
  EXPECT_EQ(SearchPattern(copy, "ba").entries.at(0).offset, 1);
  EXPECT_EQ(SearchPattern(original, "ba").entries.at(0).offset, 0);
}

TEST(PatternSearch, SearchesTheGivenRangeAndReportsWholeTextOffsets) {
  struct Row {
    const char* name;
    Text pattern;
    Text text;
    int start;
    std::optional<int> length;
    int expectedOffset;  // of the whole match; -1 for no match
  };
  const Row rows[] = {
      {"from byte 1", "abc", "xabcabc", 1, std::nullopt, 1},
      {"a later start reports offsets in the whole text", "abc", "xabcabc", 3, std::nullopt, 4},
      {"a range that holds the match exactly", "abc", "xabcabc", 5, 3, 4},
      {"a range that cuts the match", "abc", "xabcabc", 1, 3, -1},
      {"start + length one past the end", "abc", "xabcabc", 5, 4, -1},
      {"a negative length", "abc", "xabcabc", 1, -1, -1},
      {"start 0", "abc", "abc", 0, std::nullopt, -1},
      {"start beyond the end", "c", "abc", 4, std::nullopt, -1},
      {"the empty text", "x*", "", 1, std::nullopt, -1},
      {"the first searched byte is the beginning for ^", "^b", "ab", 2, std::nullopt, 1},
      {"and for word boundaries", "\\bb", "ab", 2, std::nullopt, 1},
      {"the range end is the end for $", "b$", "abc", 1, 2, 1},
      {"case-sensitive", "abc", "ABC", 1, std::nullopt, -1},
      {"byte-wise: a trail byte matches", "K", kBing, 1, std::nullopt, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const MatchResult result =
        SearchPattern(Compiled(row.pattern), row.text, row.start, row.length);
    if (row.expectedOffset < 0) {
      EXPECT_FALSE(result.Found());
    } else {
      ASSERT_TRUE(result.Found());
      EXPECT_EQ(result.entries[0].offset, row.expectedOffset);
    }
  }
}

TEST(PatternSearch, DotRunsAcrossLineBreaksAndRepeatsFollowPerl) {
  struct Row {
    const char* name;
    Text pattern;
    Text text;
    Text expectedGroup1;
  };
  const Row rows[] = {
      {"dot matches LF", "a(.*?)c", "a\nbc", "\nb"},
      {"dot matches CR", "a(.*?)c", "a\r\nbc", "\r\nb"},
      {"lazy takes the least", "<b>(.*?)</b>", "<b>1</b><b>2</b>", "1"},
      {"greedy takes the most", "<b>(.*)</b>", "<b>1</b><b>2</b>", "1</b><b>2"},
      {"the leftmost match wins over alternation order", "(b|ab)", "ab", "ab"},
      {"GBK literals", Gbk("今天(.*?)℃"), Gbk("今天晴12℃，明天"), Gbk("晴12")},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const MatchResult result = SearchPattern(Compiled(row.pattern), row.text);
    EXPECT_EQ(GroupText(result, row.text, 1), row.expectedGroup1);
  }
}

TEST(PatternSearch, AnEngineGiveUpGivesNoMatchAndNoException) {
  const Text source = "(x+x+)+y";
  const Text text(40, 'x');
  // Without a real give-up this test would pass without ever reaching the handler.
  ASSERT_THROW(boost::regex_search(text, boost::regex(source)), std::runtime_error);

  const Pattern pattern = Compiled(source);
  EXPECT_FALSE(SearchPattern(pattern, text).Found());
  EXPECT_TRUE(SearchAllPatterns(pattern, text).empty());
  // The matches found before the give-up are kept.
  EXPECT_EQ(Offsets(SearchAllPatterns(pattern, "xxy" + text)), std::vector<int>{0});
}

TEST(PatternSearchAll, FindsSuccessiveNonOverlappingMatches) {
  const Text row = "<tr><td>1</td><td>2</td></tr>";
  const std::vector<MatchResult> cells = SearchAllPatterns(Compiled("<td>(.*?)</td>"), row);
  EXPECT_EQ(GroupTexts(cells, row, 1), (std::vector<Text>{"1", "2"}));
  EXPECT_EQ(Offsets(cells), (std::vector<int>{4, 14}));

  const Text odd = "<td>a</td><td>b</td><td>c</td>";
  const std::vector<MatchResult> pairs =
      SearchAllPatterns(Compiled("<td>(.*?)</td>.*?<td>(.*?)</td>"), odd);
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(GroupText(pairs[0], odd, 2), "b");
}

TEST(PatternSearchAll, StartsEachSearchWhereTheLastMatchEnded) {
  struct Row {
    const char* name;
    Text pattern;
    Text text;
    std::vector<int> expectedOffsets;
  };
  const Row rows[] = {
      {"a match may begin where the last one ended", "ab", "abab", {0, 2}},
      {"that place is the beginning for ^", "^a", "aab", {0, 1}},
      {"a match at the very end", "c", "abc", {2}},
      {"an empty match at byte 1 stops", "x*", "abc", {0}},
      {"an empty match elsewhere steps on one byte", "(?=b)", "abab", {1, 3}},
      {"an empty match at the end stops", "$", "ab", {2}},
      {"no match", "z", "abc", {}},
      {"the empty text", "x*", "", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(Offsets(SearchAllPatterns(Compiled(row.pattern), row.text)), row.expectedOffsets);
  }
  EXPECT_TRUE(SearchAllPatterns(Pattern(), "abc").empty());
}

TEST(PatternGroupText, IsEmptyForGroupsThatMatchedNothing) {
  struct Row {
    const char* name;
    Text pattern;
    Text text;
    int group;
    Text expected;
  };
  const Row rows[] = {
      {"the whole match", "b(c)", "abcd", 0, "bc"},
      {"a group", "b(c)", "abcd", 1, "c"},
      {"a group that took part", "(a)|(b)", "a", 1, "a"},
      {"a group that did not take part", "(a)|(b)", "a", 2, ""},
      {"a group that matched nothing", "a()b", "ab", 1, ""},
      {"a group above the pattern's count", "(a)", "a", 2, ""},
      {"a negative group", "(a)", "a", -1, ""},
      {"a failed search", "(a)", "b", 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(GroupText(SearchPattern(Compiled(row.pattern), row.text), row.text, row.group),
              row.expected);
  }
  // Paired with a shorter text than the one searched, it stays inside that text.
  const MatchResult result = SearchPattern(Compiled("c(de)"), "abcdef");
  EXPECT_EQ(GroupText(result, "abcd", 1), "d");
  EXPECT_EQ(GroupText(result, "ab", 1), "");
}

}  // namespace
}  // namespace qc
