#include "query/condition_number.h"

#include <gtest/gtest.h>

#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::Gbk;

TEST(ConditionNumber, ListIsTheFixedVocabulary) {
  EXPECT_EQ(TextLength(ConditionList()), 152);
  EXPECT_EQ(ConditionList().back(), ',');
}

TEST(ConditionNumber, MapsTextsToStripIndexes) {
  struct Row {
    const char* condition;
    int number;
    int first;
    int second;
  };
  const Row rows[] = {
      {"晴", 1, 0, 1},          {"多云", 3, 2, 3},       {"阴天", 5, 4, 5},
      {"阴", 5, 4, 5},          {"小雨", 7, 6, 7},       {"阵雨", 9, 8, 9},
      {"中雨", 11, 10, 11},     {"暴雨", 13, 12, 13},    {"特大暴雨", 15, 14, 15},
      {"雷阵雨", 17, 16, 17},   {"雨加雪", 21, 20, 21},  {"冻雨", 23, 22, 23},
      {"冰雹", 25, 24, 25},     {"小雪", 1, 0, 1},       {"大雨", 1, 0, 1},
      {"", 1, 0, 1},            {"雨", 7, 6, 7},         {"雪", 21, 20, 21},
      {"大暴雨", 15, 14, 15},   {"云", 3, 2, 3},         {"sunny", 1, 0, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.condition);
    EXPECT_EQ(ConditionNumber(Gbk(row.condition)), row.number);
    const RowIcons icons = RowIconsOf(Gbk(row.condition));
    EXPECT_EQ(icons.first, row.first);
    EXPECT_EQ(icons.second, row.second);
  }
}

TEST(ConditionNumber, SplitsAtZhuanIntoDayAndNightPictures) {
  struct Row {
    const char* condition;
    int first;
    int second;
  };
  const Row rows[] = {
      {"多云转晴", 2, 1},    {"晴转多云", 0, 3},  {"阴转小雨", 4, 7},
      {"转晴", 0, 1},        {"多云转", 2, 1},    {"多云转小雨", 2, 7},
      {"小雨转中雨转大雨", 6, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.condition);
    const RowIcons icons = RowIconsOf(Gbk(row.condition));
    EXPECT_EQ(icons.first, row.first);
    EXPECT_EQ(icons.second, row.second);
  }
}

TEST(ConditionNumber, EveryTextWithoutCommaGivesAnIndexInsideTheStrip) {
  // Every piece of every entry: all results are odd, none reaches 26.
  for (int start = 1; start <= TextLength(ConditionList()); ++start) {
    for (int length = 1; start + length <= TextLength(ConditionList()) + 1; ++length) {
      const Text piece = TextMid(ConditionList(), start, length);
      if (piece.find(',') != Text::npos || piece.find("\xD7\xAA") != Text::npos) continue;
      const int number = ConditionNumber(piece);
      ASSERT_GE(number, 1);
      ASSERT_LE(number, 25);
    }
  }
}

}  // namespace
}  // namespace qc
