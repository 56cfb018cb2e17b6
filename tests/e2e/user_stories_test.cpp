// The program as a user meets it: the real start-up in a probe process against the simulator,
// one test per user story.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <filesystem>

#include "e2e/probe_runner.h"
#include "support/gbk_literal.h"

namespace qc::test {
namespace {

using ::testing::ElementsAre;

class UserStories : public ::testing::Test {
 protected:
  ProbeRunner probe;
};

TEST_F(UserStories, FirstStartInAnEmptyFolder) {
  const ProbeResult result = probe.Run({});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(probe.FileBytes("Configuration.ini"), Gbk("[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳"));
  EXPECT_TRUE(std::filesystem::is_directory(probe.RunDir() / "TP"));
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳"));
  EXPECT_EQ(result.final["title_label"].toString().toStdString(), "岳阳(湖南)");
  EXPECT_EQ(result.final["region_label"].toString().toStdString().rfind("湖南", 0), 0u);
  // Heading, recent row, the today headings and every section's texts.
  const auto followed = PanelTexts(result.final, "画板_关注");
  ASSERT_GE(followed.size(), 3u);
  EXPECT_EQ(followed[0], "岳阳");
  EXPECT_EQ(followed[1], "最近关注");
  const auto main = PanelTexts(result.final, "画板_主");
  ASSERT_GE(main.size(), 2u);
  EXPECT_EQ(main[0], "今天白天");
  EXPECT_EQ(main[1], "今天夜间");
  EXPECT_GE(main.size(), 10u);
  EXPECT_GE(PanelTexts(result.final, "画板_信息").size(), 6u);
  EXPECT_GE(PanelTexts(result.final, "画板_未来").size(), 20u);
  // The icons of the screen were fetched once each and stored.
  EXPECT_FALSE(probe.Portal().IconRequests().empty());
  for (const std::string& name : probe.Portal().IconRequests()) {
    EXPECT_TRUE(std::filesystem::exists(probe.RunDir() / "TP" / (name + ".PNG"))) << name;
  }
  EXPECT_EQ(result.exit["globals_released"].toInt(), 1);
}

TEST_F(UserStories, TypingACityAndEnter) {
  const ProbeResult result = probe.Run({"type=北京", "key=enter"});
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳", "北京"));
  EXPECT_EQ(result.final["search_text"].toString(), "");
  EXPECT_EQ(result.final["title_label"].toString().toStdString().rfind("北京", 0), 0u);
  EXPECT_EQ(probe.FileBytes("Configuration.ini"),
            Gbk("[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n"));
}

TEST_F(UserStories, TheSearchButtonAndOtherKeys) {
  const ProbeResult result = probe.Run({"type=上海", "key=a", "click-search"});
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳", "上海a"));
  const ProbeResult empty = probe.Run({"key=enter", "key=enter"});
  // Enter in an empty box still queries, with the empty text.
  EXPECT_THAT(QueryCities(empty.final), ElementsAre("岳阳", "", ""));
}

TEST_F(UserStories, PressingARecentRowAndANearbyRow) {
  const ProbeResult result = probe.Run({"type=北京", "key=enter", "press=50,30", "press=50,220"});
  const auto citySlots = Strings(result.final, "city_slots");
  const auto cities = QueryCities(result.final);
  ASSERT_EQ(cities.size(), 4u);
  EXPECT_EQ(cities[2], "岳阳");
  // The nearby row pressed is the first of 岳阳's page.
  EXPECT_EQ(cities[3], "长沙");
  EXPECT_EQ(result.final["search_text"].toString(), "");
  EXPECT_THAT(std::vector<std::string>(citySlots.begin(), citySlots.begin() + 3),
              ElementsAre("岳阳", "北京", "长沙"));
}

TEST_F(UserStories, PressingAnEmptyRowOrARuleQueriesNothing) {
  const ProbeResult result = probe.Run({"press=50,120", "press=50,48", "press=0,30"});
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳"));
  EXPECT_EQ(result.final["search_text"].toString(), "");
}

TEST_F(UserStories, HoveringInAndOutOfTheBands) {
  const ProbeResult inside =
      probe.Run({"move=160,220", "snap=in", "move=160,237", "snap=between", "move=100,100"});
  const auto conditions = Strings(inside.final, "nearby_conditions");
  ASSERT_EQ(conditions.size(), 6u);
  ASSERT_FALSE(conditions[0].empty());
  EXPECT_EQ(inside.final["tooltip"].toString(), "");
  auto tooltipOf = [&](const char* snap) {
    QFile file(QString::fromStdString((probe.OutDir() / (std::string(snap) + ".json")).string()));
    file.open(QIODevice::ReadOnly);
    return QJsonDocument::fromJson(file.readAll()).object()["tooltip"].toString().toStdString();
  };
  EXPECT_EQ(tooltipOf("in"), conditions[0]);
  EXPECT_EQ(tooltipOf("between"), conditions[0]);
}

TEST_F(UserStories, EscapeClosesTheProgramAndReleasesTheGlobalsOnce) {
  const ProbeResult result = probe.Run({"type=北京", "key=escape", "key=enter"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳"));
  EXPECT_EQ(result.exit["globals_released"].toInt(), 1);
}

TEST_F(UserStories, ASecondStartReusesTheFileAndTheIcons) {
  probe.Run({"type=北京", "key=enter"});
  probe.Portal().ClearRequests();
  const ProbeResult second = probe.Run({});
  EXPECT_THAT(QueryCities(second.final), ElementsAre("岳阳"));
  EXPECT_EQ(PanelTexts(second.final, "画板_关注")[1], "北京");
  EXPECT_TRUE(probe.Portal().IconRequests().empty());
  EXPECT_EQ(probe.Portal().CityRequests().size(), 1u);
}

TEST_F(UserStories, ThePortalUnreachableAtStartUp) {
  const ProbeResult result = probe.Run({"type=北京", "key=enter"}, "127.0.0.1:1");
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.final["title_label"].toString(), "");
  EXPECT_EQ(probe.FileBytes("Configuration.ini"), Gbk("[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳"));
  EXPECT_EQ(PanelTexts(result.final, "画板_关注"), (std::vector<std::string>{"岳阳", "最近关注"}));
}

TEST_F(UserStories, TheWindowIsLaidOutAsItsForm) {
  const ProbeResult result = probe.Run({});
  EXPECT_EQ(result.final["client_size"].toArray(), (QJsonArray{698, 489}));
  EXPECT_TRUE(result.final["caption"].toString().startsWith("晴窗 1.0   "));
  const QJsonArray controls = result.final["controls"].toArray();
  ASSERT_EQ(controls.size(), 15);
  EXPECT_EQ(controls[0].toObject()["name"].toString(), "透明标签2");
  EXPECT_EQ(controls[10].toObject()["name"].toString(), "画板_关注");
  EXPECT_EQ(controls[10].toObject()["rect"].toArray(), (QJsonArray{0, 88, 216, 400}));
  EXPECT_EQ(controls[11].toObject()["parent"].toString(), "图片框5");

  // The picture: not blank, and the big areas where they belong. Average colours of whole
  // areas, not single pixels, so the test does not depend on how text is rendered.
  const QImage& picture = result.picture;
  ASSERT_EQ(picture.size(), QSize(698, 489));
  auto average = [&](QRect area) {
    long r = 0, g = 0, b = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor c = picture.pixelColor(x, y);
        r += c.red();
        g += c.green();
        b += c.blue();
      }
    }
    const long n = static_cast<long>(area.width()) * area.height();
    return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
  };
  auto isBlue = [](QColor c) { return c.blue() > c.red() + 40 && c.blue() > 120; };
  EXPECT_TRUE(isBlue(average({218, 120, 300, 170})));  // today panel
  EXPECT_TRUE(isBlue(average({218, 328, 480, 160})));  // forecast strip
  const QColor search = average({300, 12, 88, 28});
  EXPECT_GT(search.red(), search.blue() + 60);             // the orange search button
  EXPECT_GT(average({2, 130, 200, 50}).lightness(), 230);  // the white recent rows
}

}  // namespace
}  // namespace qc::test
