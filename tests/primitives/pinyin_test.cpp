#include "primitives/pinyin.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "support/gbk_literal.h"

namespace qc {
namespace {

using test::Gbk;
using test::Utf8;

// The pinyin of every two-byte character of a GBK word, one after another (what the icon
// naming does, without its pass-through of ASCII).
std::string Spell(const Text& word) {
  std::string spelt;
  for (std::size_t i = 0; i + 1 < word.size(); i += 2)
    spelt += PinyinOf(word.substr(i, 2));
  return spelt;
}

struct ReadingsRow {
  const char* utf8;
  std::vector<std::string> readings;  // readings 1, 2, 3; the rest are empty
};

TEST(PinyinOf, GivesEachReadingInOrderAndNothingPastTheLast) {
  const ReadingsRow rows[] = {
      {"大", {"da", "dai"}},
      {"暴", {"bao", "pu"}},
      {"转", {"zhuan", "zhuai"}},
      {"重", {"zhong", "chong"}},
      {"夹", {"jia", "ga"}},
      {"强", {"qiang", "jiang"}},
      {"度", {"du", "duo"}},
      {"行", {"xing", "hang", "heng"}},
      {"晴", {"qing"}},
      {"雨", {"yu"}},
      {"雪", {"xue"}},
      {"阵", {"zhen"}},
      // Zero-initial syllables: the whole final stands alone.
      {"阿", {"a"}},
      {"爱", {"ai"}},
      {"昂", {"ang"}},
      {"儿", {"er"}},
      // U-umlaut is written u, and nu/lu fold into one reading with their tone variants.
      {"女", {"nu"}},
      {"绿", {"lu"}},
  };
  for (const ReadingsRow& row : rows) {
    const Text character = Gbk(row.utf8);
    for (int reading = 1; reading <= 4; ++reading) {
      const std::size_t index = static_cast<std::size_t>(reading - 1);
      const std::string expected = index < row.readings.size() ? row.readings[index] : "";
      EXPECT_EQ(PinyinOf(character, reading), expected) << row.utf8 << " reading " << reading;
    }
  }
}

TEST(PinyinOf, SplitsSyllablesTheWayTheTableSpellsThem) {
  const struct {
    const char* utf8;
    const char* first;
  } rows[] = {
      {"熊", "xiong"},
      {"旧", "jiu"},
      {"贵", "gui"},
      {"壮", "zhuang"},
      {"略", "lue"},
      {"虐", "nue"},
      {"有", "you"},
      {"用", "yong"},
      {"翁", "weng"},
      {"烟", "yan"},
      {"要", "yao"},
      {"也", "ye"},
      {"呀", "ya"},
      {"一", "yi"},
      {"因", "yin"},
      {"英", "ying"},
      {"鱼", "yu"},
      {"月", "yue"},
      {"云", "yun"},
      {"元", "yuan"},
      {"蛙", "wa"},
      {"歪", "wai"},
      {"弯", "wan"},
      {"王", "wang"},
      {"问", "wen"},
      {"我", "wo"},
      {"为", "wei"},
      {"五", "wu"},
      {"欧", "ou"},
      {"鹅", "e"},
      // Syllabic nasals have no final: 哼 keeps heng, 嗯 is spelt as it is typed.
      {"哼", "heng"},
      {"嗯", "en"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(PinyinOf(Gbk(row.utf8)), row.first) << row.utf8;
}

TEST(PinyinOf, SpellsTheConditionWords) {
  const struct {
    const char* utf8;
    const char* pinyin;
  } rows[] = {
      {"晴", "qing"},
      {"多云", "duoyun"},
      {"阴", "yin"},
      {"小雨", "xiaoyu"},
      {"中雨", "zhongyu"},
      {"大雨", "dayu"},
      {"暴雨", "baoyu"},
      {"阵雨", "zhenyu"},
      {"雷阵雨", "leizhenyu"},
      {"阵雪", "zhenxue"},
      {"小雪", "xiaoxue"},
      {"中雪", "zhongxue"},
      {"大雪", "daxue"},
      {"雨夹雪", "yujiaxue"},
      {"冻雨", "dongyu"},
      {"冰雹", "bingbao"},
      {"沙尘暴", "shachenbao"},
      {"浮尘", "fuchen"},
      {"扬沙", "yangsha"},
      {"雾", "wu"},
      {"霾", "mai"},
      {"特大暴雨", "tedabaoyu"},
      {"暴雪", "baoxue"},
  };
  for (const auto& row : rows)
    EXPECT_EQ(Spell(Gbk(row.utf8)), row.pinyin) << row.utf8;
}

TEST(PinyinOf, TakesReadingsBelowOneAsTheFirst) {
  for (const int reading : {0, -5, INT_MIN}) {
    EXPECT_EQ(PinyinOf(Gbk("行"), reading), "xing") << reading;
    EXPECT_EQ(PinyinOf(Gbk("晴"), reading), "qing") << reading;
  }
  EXPECT_EQ(PinyinOf(Gbk("行"), INT_MAX), "");
  EXPECT_EQ(PinyinOf(Gbk("晴"), INT_MAX), "");
}

TEST(PinyinOf, LooksAtTheFirstCharacterOnly) {
  EXPECT_EQ(PinyinOf(Gbk("晴天")), "qing");
  EXPECT_EQ(PinyinOf(Gbk("行a"), 2), "hang");
}

TEST(PinyinOf, GivesNothingOutsideTheCharacterArea) {
  const struct {
    const char* name;
    Text text;
  } rows[] = {
      {"empty", ""},
      {"ASCII", "qing"},
      {"single lead byte", "\xC7"},
      {"full-width comma, lead A3", Gbk("，")},
      {"full-width space, lead A1", Gbk("　")},
      {"pinyin letter, lead A8", Gbk("é")},
      {"GBK extension, lead 81", Gbk("丂")},
      {"GBK extension, lead B0 trail 7E", Gbk("皛")},
      {"GBK extension, lead C7 trail 80", Gbk("莯")},
      {"lead F8, just past the area", "\xF8\xA1"},
      {"lead FE", "\xFE\xFE"},
      {"trail A0, just before the area", "\xB0\xA0"},
      {"trail FF, just past the area", "\xB0\xFF"},
      {"ASCII trail", "\xC7q"},
      {"zero trail", std::string("\xC7\0", 2)},
  };
  for (const auto& row : rows)
    for (const int reading : {1, 2, 3})
      EXPECT_EQ(PinyinOf(row.text, reading), "") << row.name << " reading " << reading;
}

TEST(PinyinOf, GivesNothingForTheRadicalsAndUnassignedPositions) {
  std::vector<Text> none;
  for (unsigned char trail = 0xFA; trail <= 0xFE; ++trail)
    none.push_back(Text{'\xD7', static_cast<char>(trail)});
  const std::string_view radicals =
      "丶匚刂冂亻勹亠冫冖讠卩阝廴凵艹廾扌呒彡犭夂饣忄丬氵宀辶彐屮纟攵灬礻肀钅疒衤虍";
  const Text gbk = Gbk(radicals);
  for (std::size_t i = 0; i + 1 < gbk.size(); i += 2)
    none.push_back(gbk.substr(i, 2));
  ASSERT_EQ(none.size(), 43u);

  for (const Text& character : none)
    for (const int reading : {1, 2, 3})
      EXPECT_EQ(PinyinOf(character, reading), "") << Utf8(character) << " reading " << reading;

  // Every other position of the area has a reading: the grid holds no further zero.
  int zeros = 0;
  for (const std::uint16_t entry : PinyinGrid())
    zeros += entry == 0;
  EXPECT_EQ(zeros, 43);
}

// The shape of a reading word: an initial (codes 1..23) with a final (24..55) in the high
// byte, or a final alone with 0 in the high byte. Anything else spells a broken syllable.
bool IsWellFormedWord(std::uint16_t word) {
  const unsigned low = word & 0xFFu;
  const unsigned high = word >> 8;
  const bool lowIsInitial = low >= 1 && low <= 23;
  const bool lowIsFinal = low >= 24 && low <= 55;
  return (lowIsInitial && high >= 24 && high <= 55) || (lowIsFinal && high == 0);
}

TEST(PinyinTable, HoldsOnlyWellFormedReadings) {
  const std::span<const std::uint16_t> grid = PinyinGrid();
  const std::span<const std::uint16_t> triples = PinyinTriples();
  ASSERT_EQ(grid.size(), 72u * 94u);
  ASSERT_EQ(triples.size() % 3, 0u);

  std::vector<int> uses(triples.size() / 3, 0);
  for (const std::uint16_t entry : grid) {
    if (entry == 0 || !(entry & 0x8000)) {
      EXPECT_TRUE(entry == 0 || IsWellFormedWord(entry)) << std::hex << entry;
      continue;
    }
    const std::size_t k = entry & 0x7FFFu;
    ASSERT_LT(k, uses.size());
    ++uses[k];
    // A polyphonic character has at least two readings, packed from the front.
    const std::uint16_t* words = &triples[k * 3];
    EXPECT_TRUE(IsWellFormedWord(words[0]) && IsWellFormedWord(words[1])) << k;
    EXPECT_TRUE(words[2] == 0 || IsWellFormedWord(words[2])) << k;
    EXPECT_TRUE(words[0] != words[1] && words[1] != words[2] && words[0] != words[2]) << k;
  }
  for (std::size_t k = 0; k < uses.size(); ++k)
    EXPECT_EQ(uses[k], 1) << "triple " << k;

  // What comes out is letters only, for every position and reading.
  for (unsigned char lead = 0xB0; lead <= 0xF7; ++lead)
    for (unsigned char trail = 0xA1; trail <= 0xFE; ++trail)
      for (const int reading : {1, 2, 3}) {
        const Text pinyin =
            PinyinOf(Text{static_cast<char>(lead), static_cast<char>(trail)}, reading);
        EXPECT_EQ(pinyin.find_first_not_of("abcdefghijklmnopqrstuvwxyz"), Text::npos)
            << std::hex << int{lead} << int{trail} << " " << pinyin;
      }
}

}  // namespace
}  // namespace qc
