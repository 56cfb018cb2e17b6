// The simulator's pages, scraped as the program scrapes them: one golden city, and for every city
// of the table the layout and counts that the program's sections depend on.
#include <algorithm>
#include <map>
#include <set>

#include <gtest/gtest.h>

#include "client_scrape.h"
#include "portal/city_page.h"
#include "portal/city_table.h"

namespace qc::portal::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

// Groups 1.. of each match, in UTF-8 for readable failures.
Rows Readable(const std::vector<Groups>& matches) {
  Rows rows;
  for (const Groups& match : matches) {
    std::vector<std::string> row = Utf8(match);
    row.erase(row.begin());
    rows.push_back(row);
  }
  return rows;
}

std::string Page(std::string_view utf8City) {
  const std::string* page = TableCityPage(Gbk(utf8City));
  return page == nullptr ? std::string() : *page;
}

TEST(CityPage, YueyangGivesTheIntendedValues) {
  const ScrapedPage page = Scrape(Page("岳阳"));
  ASSERT_TRUE(page.accepted);
  EXPECT_EQ(Utf8(page.title), "\"岳阳(湖南)\"");
  EXPECT_EQ(Utf8(RecordedName(page.title)), "岳阳");

  Rows nearby = Readable(page.nearby);
  for (auto& row : nearby)
    row.pop_back();  // the second title is not used
  EXPECT_EQ(nearby, (Rows{{"长沙", "长沙", "6~11℃", "\"阴转小雨\""},
                          {"常德", "常德", "4~10℃", "\"小雨\""},
                          {"株洲", "株洲", "6~12℃", "\"多云转阴\""},
                          {"荆州", "荆州", "-1~2℃", "\"阵雪\""},
                          {"武汉", "武汉", "0~5℃", "\"阴转雨夹雪\""},
                          {"南昌", "南昌", "7~13℃", "\"多云\""}}));

  EXPECT_EQ(Readable({page.region}), (Rows{{"湖南 ", "岳阳", " 12月13日07:30更新"}}));
  EXPECT_EQ(Readable({page.today}), (Rows{{"duoyun.", "12", "10", "东北风3级", "湿度:65%",
                                           "xiaoyu_1.", "5", "北风2级", "湿度:82%"}}));
  std::vector<std::string> sun;
  for (const std::string& cell : page.sunCells)
    sun.push_back(Utf8(cell));
  EXPECT_EQ(sun, (std::vector<std::string>{"日出07:10", "日落17:26", "昼长10小时16分"}));
  EXPECT_EQ(Readable(page.livingIndex),
            (Rows{{"穿衣", "较冷"}, {"紫外线", "弱"}, {"洗车", "不宜"}, {"感冒", "易发"}}));
  EXPECT_EQ(Readable(page.days),
            (Rows{{"14日周六", "白天", "(/images/yb3/78_78/xiaoyu.", "小雨", "9℃", "北风", "3-4级",
                   "夜间", "阴", "4℃", "北风", "3级"},
                  {"15日周日", "白天", "(/images/yb3/78_78/yin.", "阴", "8℃", "东北风", "3级",
                   "夜间", "雨夹雪", "2℃", "北风", "3-4级"},
                  {"16日周一", "白天", "(/images/yb3/78_78/zhenxue.", "阵雪", "3℃", "偏北风",
                   "4-5级", "夜间", "阵雪", "-1℃", "北风", "3级"},
                  {"17日周二", "白天", "(/images/yb3/78_78/duoyun.", "多云", "6℃", "北风", "3级",
                   "夜间", "晴", "-2℃", "北风", "2级"}}));
  EXPECT_EQ(IconRequestsFor(page),
            (std::vector<std::string>{"duoyun", "xiaoyu_1", "xiaoyu", "yin_1", "yin", "yujiaxue_1",
                                      "xiaoxue", "xiaoxue_1", "duoyun", "qing_1"}));
}

TEST(CityPage, EveryCityGivesCompleteSections) {
  const std::vector<std::string>& served = ServedIconNames();
  for (const CityRecord& city : Cities()) {
    SCOPED_TRACE(city.name);
    const std::string bytes = Page(city.name);
    const ScrapedPage page = Scrape(bytes);
    ASSERT_TRUE(page.accepted);
    EXPECT_EQ(bytes.find('\0'), std::string::npos);
    // The first "<h3" of the page is the title tag, wholly inside bytes 18000..18999.
    const std::size_t tagStart = bytes.find("<h3") + 1;
    const std::size_t tagEnd = bytes.find('>', tagStart) + 1;
    EXPECT_GE(tagStart, 18000u);
    EXPECT_LE(tagEnd, 18999u);
    EXPECT_EQ(Utf8(page.title), "\"" + city.name + "(" + city.province + ")\"");
    EXPECT_EQ(Utf8(RecordedName(page.title)), city.name);

    ASSERT_EQ(page.nearby.size(), city.nearby.size());
    for (const Groups& row : page.nearby) {
      EXPECT_NE(FindCity(Utf8(row[1])), nullptr) << Utf8(row[1]);
      EXPECT_EQ(row[2], row[1]);
    }
    ASSERT_EQ(page.region.size(), 4u);
    EXPECT_EQ(Utf8(page.region[2]), city.name);
    ASSERT_EQ(page.today.size(), 10u);
    EXPECT_EQ(Utf8(page.today[4]), city.today.dayWind);
    EXPECT_EQ(Utf8(page.today[9]), city.today.nightLine);
    EXPECT_EQ(page.sunCells.size(), 3u);
    EXPECT_EQ(page.sunCells.front().find(' '), std::string::npos);
    EXPECT_EQ(page.livingIndex.size(), 4u);
    ASSERT_EQ(page.days.size(), city.days.size());
    for (std::size_t k = 0; k < page.days.size(); ++k) {
      EXPECT_EQ(Utf8(page.days[k][5]), city.days[k].dayTemperature);
      EXPECT_EQ(Utf8(page.days[k][12]), city.days[k].nightForce);
    }
    for (std::string name : IconRequestsFor(page)) {
      if (name.ends_with("_1"))
        name.resize(name.size() - 2);
      EXPECT_NE(std::find(served.begin(), served.end(), name), served.end()) << name;
    }
  }
}

// The program places several texts by their byte length; every limit is met from both sides
// somewhere in the table, and so are the row and day counts that change what it draws.
TEST(CityPage, TableCoversEveryLimitFromBothSides) {
  std::map<std::string, std::set<std::size_t>> lengths;
  std::set<std::size_t> nearbyCounts;
  std::set<std::size_t> dayCounts;
  std::set<std::string> nearbyConditions;
  std::set<std::string> dayIcons;
  for (const CityRecord& city : Cities()) {
    const ScrapedPage page = Scrape(Page(city.name));
    nearbyCounts.insert(page.nearby.size());
    dayCounts.insert(page.days.size());
    for (const Groups& row : page.nearby)
      nearbyConditions.insert(Utf8(row[4]));
    for (int group : {4, 5, 8, 9})
      lengths["today " + std::to_string(group)].insert(page.today[group].size());
    for (const Groups& day : page.days) {
      for (int group : {4, 6, 7, 9, 11, 12})
        lengths["day " + std::to_string(group)].insert(day[group].size());
      dayIcons.insert(Utf8(day[3]));
    }
  }
  struct Limit {
    std::string group;
    std::size_t atMost;  // the longest text that still takes the first position
  };
  // Today's lines: the limit itself and one byte more both occur.
  for (const Limit& limit :
       std::vector<Limit>{{"today 4", 7}, {"today 5", 10}, {"today 8", 7}, {"today 9", 10}}) {
    SCOPED_TRACE(limit.group);
    EXPECT_TRUE(lengths[limit.group].count(limit.atMost)) << "no text of exactly the limit";
    EXPECT_TRUE(lengths[limit.group].count(limit.atMost + 1)) << "no text one byte over it";
  }
  // The forecast's texts: something on each side.
  for (const Limit& limit : std::vector<Limit>{
           {"day 4", 3}, {"day 6", 8}, {"day 9", 3}, {"day 11", 8}, {"day 7", 3}, {"day 12", 3}}) {
    SCOPED_TRACE(limit.group);
    const std::set<std::size_t>& seen = lengths[limit.group];
    EXPECT_LE(*seen.begin(), limit.atMost);
    EXPECT_GT(*seen.rbegin(), limit.atMost);
  }
  EXPECT_TRUE(lengths["day 6"].count(8));
  EXPECT_TRUE(lengths["day 7"].count(4));

  EXPECT_TRUE(nearbyCounts.count(0));
  EXPECT_TRUE(nearbyCounts.count(1));
  EXPECT_GE(*nearbyCounts.rbegin(), 6u);
  EXPECT_TRUE(dayCounts.count(1));
  EXPECT_TRUE(dayCounts.count(5));
  EXPECT_TRUE(dayIcons.count("(/images/yb3/78_78/zhenxue."));
  EXPECT_TRUE(nearbyConditions.count("\"阵雪\""));
  EXPECT_TRUE(std::any_of(nearbyConditions.begin(), nearbyConditions.end(),
                          [](const std::string& c) { return c.find("转") != std::string::npos; }));
  EXPECT_TRUE(std::any_of(nearbyConditions.begin(), nearbyConditions.end(),
                          [](const std::string& c) { return c.find("转") == std::string::npos; }));
}

TEST(CityPage, VariantsKeepTheContentWhole) {
  const CityRecord& city = Cities().front();
  struct Case {
    const char* name;
    TitleStyle title;
    std::optional<std::size_t> length;
    std::string expectedTitle;
  };
  for (const Case& c : {
           Case{"exactly 30000 bytes", TitleStyle::CityAndProvince, 30000, "\"岳阳(湖南)\""},
           Case{"exactly 30001 bytes", TitleStyle::CityAndProvince, 30001, "\"岳阳(湖南)\""},
           Case{"title without parenthesis", TitleStyle::NameOnly, {}, "\"岳阳\""},
           Case{"no title attribute", TitleStyle::Missing, {}, ""},
       }) {
    SCOPED_TRACE(c.name);
    PageVariant variant;
    variant.title = c.title;
    variant.exactLength = c.length;
    const std::string bytes = BuildCityPage(city, variant);
    if (c.length) {
      EXPECT_EQ(bytes.size(), *c.length);
    }
    // Scrape as if the page were long enough, so the 30000-byte page shows its content too.
    const ScrapedPage page = Scrape(bytes + std::string(c.length ? 30001 : 0, ' '));
    EXPECT_EQ(Utf8(page.title), c.expectedTitle);
    EXPECT_EQ(page.nearby.size(), 6u);
    EXPECT_EQ(page.days.size(), 4u);
    EXPECT_EQ(page.livingIndex.size(), 4u);
  }
}

}  // namespace
}  // namespace qc::portal::test
