// The four painting sections on synthetic content slices and on the simulator's pages.
#include <gtest/gtest.h>

#include "app/form_state.h"
#include "app/globals.h"
#include "followed/config_file.h"
#include "portal/city_page.h"
#include "query/forecast_section.h"
#include "query/info_section.h"
#include "query/nearby_section.h"
#include "query/portal_host.h"
#include "query/query_city.h"
#include "query/today_font.h"
#include "query/today_section.h"
#include "support/gbk_literal.h"
#include "support/program_fixture.h"

namespace qc {
namespace {

using test::Gbk;
using test::Utf8;

struct Written {
  int x, y;
  std::string text;
  bool operator==(const Written&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Written& w) {
  return out << "(" << w.x << "," << w.y << " " << w.text << ")";
}

std::vector<Written> Writes(const DrawPanel& panel) {
  std::vector<Written> out;
  for (const PanelOp& op : panel.Ops()) {
    // An empty text draws nothing; the sections still call for it, which is no concern here.
    const auto* w = std::get_if<WriteAtOp>(&op);
    if (w != nullptr && !w->text.empty()) out.push_back({w->x, w->y, Utf8(w->text)});
  }
  return out;
}

template <typename Op>
std::vector<Op> OpsOf(const DrawPanel& panel) {
  std::vector<Op> out;
  for (const PanelOp& op : panel.Ops()) {
    if (const auto* o = std::get_if<Op>(&op)) out.push_back(*o);
  }
  return out;
}

class SectionsTest : public test::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    // Icons are requested from a closed port: the sections must draw their texts all the same.
    SetPortalHost("127.0.0.1:1");
    CreateMissingFiles();
  }
};

std::string NearbyRow(const std::string& city, const std::string& condition) {
  return "<li><a href=\"/search.php?f=1&c=1&city=" + city + "&dpc=1\"><span class=\"n\">" + city +
         "</span><b>1~9℃</b><img src=\"a.png\" title=" + condition +
         "><img src=\"b.png\" title=\"x\"></a></li>";
}

TEST_F(SectionsTest, NearbyRowsAtMostFiveWithStripIcons) {
  std::string content = "载入中";
  const char* cities[] = {"汨罗", "临湘", "华容", "平江", "湘阴", "君山"};
  for (const char* city : cities) content += NearbyRow(city, " \"多云转晴\" ");
  content += "周边城市" + NearbyRow("不算", "\"晴\"");
  CitySlots.Set(11, Gbk("old"));
  DrawNearbySection(Gbk(content));

  const auto lines = OpsOf<DrawLineOp>(Form().followedPanel);
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[0].y1, 243);
  EXPECT_EQ(lines[4].y1, 383);
  const auto writes = Writes(Form().followedPanel);
  ASSERT_EQ(writes.size(), 10u);
  EXPECT_EQ(writes[0], (Written{10, 220, "汨罗"}));
  EXPECT_EQ(writes[1], (Written{70, 220, "1~9℃"}));
  const auto pictures = OpsOf<DrawPictureOp>(Form().followedPanel);
  ASSERT_EQ(pictures.size(), 10u);
  EXPECT_EQ(pictures[0].left, 150);
  EXPECT_EQ(pictures[0].top, 216);
  EXPECT_EQ(pictures[0].width, 25);
  EXPECT_EQ(pictures[1].left, 180);
  EXPECT_EQ(pictures[0].format, std::optional<std::string>("BMP"));
  EXPECT_EQ(NearbyConditions.Size(), 6);
  EXPECT_EQ(Utf8(NearbyConditions.Get(1)), "多云转晴");
  EXPECT_EQ(NearbyConditions.Get(6), "");
  EXPECT_EQ(Utf8(CitySlots.Get(7)), "汨罗");
  EXPECT_EQ(Utf8(CitySlots.Get(11)), "湘阴");
}

TEST_F(SectionsTest, NearbyWithoutMarkerDrawsNothingAndEmptiesTheNearbySlots) {
  CitySlots.Set(7, Gbk("old"));
  DrawNearbySection(Gbk("载入中" + NearbyRow("汨罗", "\"晴\"")));
  EXPECT_TRUE(Form().followedPanel.Ops().empty());
  EXPECT_EQ(CitySlots.Get(7), "");
  EXPECT_EQ(NearbyConditions.Size(), 6);
}

std::string TodayContent(const std::string& g4, const std::string& g5, const std::string& g8,
                         const std::string& g9) {
  return "右侧主内容<h3>湖南<span>岳阳</span><i>07:30更新</i></h3>今天白天<img "
         "src=\"/i/180_180/duoyun.png\"><ul><li><b>12℃</b></li><li><span>体感</span><em>10℃</em></"
         "li><li>" +
         g4 + "</li><li>" + g5 + "</li></ul>今天夜间<img src=\"/i/180_180/qing_1.png\"><ul><li><b>3℃</b></li><li>" +
         g8 + "</li><li>" + g9 + "</li></ul>";
}

TEST_F(SectionsTest, TodayTextsByByteLength) {
  struct Row {
    const char* g4;
    int x4;
    const char* g5;
    int x5;
    const char* g8;
    int x8;
    const char* g9;
    int x9;
  };
  const Row rows[] = {
      {"北风3级", 50, "湿度:65%ab", 25, "北风3级", 200, "湿度:65%ab", 175},      // 7, 10 bytes
      {"北风3级a", 35, "湿度:65%abc", 10, "北风3级a", 190, "湿度:65%abc", 165},  // 8, 11 bytes
      {"东北风3级", 35, "湿度:65%", 25, "东北风3级", 190, "湿度:65%", 175},      // 9, 8 bytes
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.g4);
    TearDown();
    SetUp();
    Form().mainPanel.SetFont(TodayFont(12));
    DrawTodaySection(Gbk(TodayContent(row.g4, row.g5, row.g8, row.g9)));
    EXPECT_EQ(Utf8(Form().regionLabel.Get()), "湖南岳阳07:30更新");
    const std::vector<Written> expected = {
        {20, 135, "12℃"},  {60, 140, "体感 "},     {85, 135, "10℃"},   {row.x4, 155, row.g4},
        {row.x5, 180, row.g5}, {200, 135, "3℃"}, {row.x8, 155, row.g8}, {row.x9, 180, row.g9}};
    EXPECT_EQ(Writes(Form().mainPanel), expected);
  }
}

TEST_F(SectionsTest, TodayDrawsTheFeltLabelSmallerAndRequestsBothIcons) {
  Form().mainPanel.SetFont(TodayFont(12));
  DrawTodaySection(Gbk(TodayContent("a", "b", "c", "d")));
  for (const PanelOp& op : Form().mainPanel.Ops()) {
    const auto* w = std::get_if<WriteAtOp>(&op);
    if (w == nullptr) continue;
    ASSERT_TRUE(w->font.has_value());
    EXPECT_EQ(w->font->size, Utf8(w->text) == "体感 " ? 8 : 12);
    EXPECT_TRUE(w->font->bold);
  }
  const auto images = OpsOf<DrawImageOp>(Form().mainPanel);
  ASSERT_EQ(images.size(), 2u);
  EXPECT_EQ(images[0].path, RunDirectory + "\\TP\\duoyun.PNG");
  EXPECT_EQ(images[0].x, 30);
  EXPECT_EQ(images[1].path, RunDirectory + "\\TP\\qing_1.PNG");
  EXPECT_EQ(images[1].x, 179);
  EXPECT_FALSE(images[0].loaded);
}

TEST_F(SectionsTest, TodayWithoutMatchStillDrawsTheFixedParts) {
  DrawTodaySection(Gbk("nothing here"));
  const std::vector<Written> expected = {
      {20, 135, "℃"}, {60, 140, "体感 "}, {85, 135, "℃"}, {200, 135, "℃"}};
  EXPECT_EQ(Writes(Form().mainPanel), expected);
  EXPECT_EQ(Form().regionLabel.Get(), "");
}

TEST_F(SectionsTest, InfoTablesWithTheirOwnGuards) {
  const std::string content =
      "载入中0123456789<table><tr><th>日出日落时间</th></tr><tr><td>日出 07:12</td><td>日落　17:26</td>"
      "<td>a</td><td>b</td><td>c</td><td>d</td></tr></table><!-- 生活指数 begin "
      "--><table><tr><td>紫外线</td><td>强</td></tr><tr><td>穿衣</td><td>较冷</td></tr><tr><td>"
      "odd</td></tr></table>";
  DrawInfoSection(Gbk(content));
  const std::vector<Written> expected = {
      {10, 40, "日出07:12"}, {10, 60, "日落17:26"}, {10, 80, "a"},         {10, 100, "b"},
      {10, 120, "c"},        {10, 140, "d"},        {10, 135, "紫外线强"}, {10, 155, "穿衣较冷"}};
  EXPECT_EQ(Writes(Form().infoPanel), expected);

  // The sunrise heading within the first 17 bytes leaves its table empty.
  TearDown();
  SetUp();
  DrawInfoSection(Gbk("<td>x</td>日出日落时间<td>y</td></table>"));
  EXPECT_TRUE(Writes(Form().infoPanel).empty());
}

std::string Day(const std::string& h4, const std::string& g4, const std::string& g6,
                const std::string& g7, const std::string& g9, const std::string& g11,
                const std::string& g12) {
  return "<h4>" + h4 + "</h4><h5>白天</h5><i style=\"background:url(/images/yb3/78_78/qing.png)\"></i><ul><li>" + g4 +
         "</li><li class=\"t\">5℃</li><li>" + g6 + "</li><li>" + g7 + "</li></ul><h5>夜间</h5><ul><li>" +
         g9 + "</li><li class=\"t\">-1℃</li><li>" + g11 + "</li><li>" + g12 + "</li></ul>";
}

TEST_F(SectionsTest, ForecastColumnsThresholdsAndAFifthDay) {
  std::string content = "载入中未来";
  content += Day("1日", "晴", "北风", "3级", "晴", "北风", "3级");            // short texts
  content += Day("2日", "多云", "东北风转北", "3-4级", "小雨", "东北风转北", "3-4级");  // long
  content += Day("3日", "晴", "北风", "3级", "阵雪", "北风", "3级");
  content += Day("4日", "晴", "北风", "3级", "晴", "北风", "3级");
  content += Day("5日", "晴", "北风", "3级", "晴", "北风", "3级");
  content += "订阅天气短信";
  DrawForecastSection(Gbk(content));

  const auto writes = Writes(Form().forecastPanel);
  // All five headings first.
  for (int k = 0; k < 5; ++k) EXPECT_EQ(writes[k], (Written{5 + 120 * k, 5, std::to_string(k + 1) + "日"}));
  // Day 1 short texts, then day 2 long ones (col 140).
  const std::vector<Written> day1 = {{20, 30, "白天"}, {25, 95, "晴"},  {20, 110, "5℃"},
                                     {20, 125, "北风"}, {22, 140, "3级"}, {75, 30, "夜间"},
                                     {80, 95, "晴"},  {75, 110, "-1℃"}, {75, 125, "北风"},
                                     {77, 140, "3级"}};
  const std::vector<Written> day2 = {{140, 30, "白天"}, {140, 95, "多云"}, {140, 110, "5℃"},
                                     {120, 125, "东北风转北"}, {135, 140, "3-4级"}, {195, 30, "夜间"},
                                     {195, 95, "小雨"}, {195, 110, "-1℃"}, {180, 125, "东北风转北"},
                                     {190, 140, "3-4级"}};
  EXPECT_EQ(std::vector<Written>(writes.begin() + 5, writes.begin() + 15), day1);
  EXPECT_EQ(std::vector<Written>(writes.begin() + 15, writes.begin() + 25), day2);

  const auto images = OpsOf<DrawImageOp>(Form().forecastPanel);
  ASSERT_EQ(images.size(), 10u);
  EXPECT_EQ(images[0].x, 12);
  EXPECT_EQ(images[1].x, 68);
  EXPECT_EQ(images[6].x, 12 + 119 * 3);
  EXPECT_EQ(images[8].x, 12 + 119 * 4);
  EXPECT_EQ(images[0].path, RunDirectory + "\\TP\\qing.PNG");
  EXPECT_EQ(images[3].path, RunDirectory + "\\TP\\xiaoyu_1.PNG");
  EXPECT_EQ(images[5].path, RunDirectory + "\\TP\\xiaoxue_1.PNG");
}

TEST_F(SectionsTest, ForecastMarkersMissingOrOutOfOrderDrawNothing) {
  const std::string day = Day("1日", "晴", "北风", "3级", "晴", "北风", "3级");
  for (const std::string& content : {"未来" + day, day + "订阅天气短信", "订阅天气短信未来" + day}) {
    TearDown();
    SetUp();
    DrawForecastSection(Gbk(content));
    EXPECT_TRUE(Form().forecastPanel.Ops().empty());
  }
  EXPECT_EQ(ForecastDayIconName("(/images/yb3/78_78/duoyun."), "duoyun");
  EXPECT_EQ(ForecastDayIconName("no-slash."), "");
}

TEST_F(SectionsTest, EveryCityOfTheSimulatorFillsEverySection) {
  for (const portal::CityRecord& city : portal::Cities()) {
    SCOPED_TRACE(city.name);
    TearDown();
    SetUp();
    const Text content = ContentSliceOf(portal::BuildCityPage(city));
    DrawNearbySection(content);
    DrawTodaySection(content);
    DrawInfoSection(content);
    DrawForecastSection(content);
    EXPECT_EQ(OpsOf<DrawLineOp>(Form().followedPanel).size(),
              std::min<std::size_t>(city.nearby.size(), 5));
    EXPECT_EQ(Writes(Form().mainPanel).size(), 8u);
    EXPECT_GE(Writes(Form().infoPanel).size(), 6u);
    EXPECT_EQ(OpsOf<DrawImageOp>(Form().forecastPanel).size(), 2 * city.days.size());
    EXPECT_FALSE(Form().regionLabel.Get().empty());
  }
}

}  // namespace
}  // namespace qc
