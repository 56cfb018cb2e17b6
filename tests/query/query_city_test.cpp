#include "query/query_city.h"

#include <gtest/gtest.h>

#include "app/form_state.h"
#include "app/globals.h"
#include "portal/city_page.h"
#include "query/portal_host.h"
#include "support/gbk_literal.h"
#include "support/portal_fixture.h"

namespace qc {
namespace {

using test::Gbk;
using test::Utf8;

class QueryCityTest : public test::PortalTest {
 protected:
  std::string YueyangPage(portal::PageVariant variant = {}) {
    return portal::BuildCityPage(*portal::FindCity("岳阳"), variant);
  }
  // Runs a query for a page served under a test name, starting from a shown screen.
  void QueryPage(const std::string& page) {
    Portal().SetCityPage("test-page", page);
    Form().searchBox.Set("typed");
    QueryCity("test-page");
  }
  bool ScreenUntouched() {
    return Form().titleLabel.Get() == "before" && Form().mainPanel.Ops().empty() &&
           FileBytes("Configuration.ini").empty();
  }
  void SetUp() override {
    PortalTest::SetUp();
    Form().titleLabel.Set("before");
  }
};

TEST_F(QueryCityTest, BuildsTheUrlFromTheCityAsGiven) {
  EXPECT_EQ(CityPageUrl(Gbk("岳阳")),
            " http://" + Portal().Host() + "/search.php?f=1&c=1&city=" + Gbk("岳阳") + "&dpc=1");
  QueryCity("a&b=c");
  EXPECT_EQ(Portal().Requests().at(0).target, "/search.php?f=1&c=1&city=a&b=c&dpc=1");
  QueryCity("");
  EXPECT_EQ(Portal().Requests().at(1).target, "/search.php?f=1&c=1&city=&dpc=1");
}

TEST_F(QueryCityTest, PagesUpToTheThresholdChangeNothingButTheSearchBox) {
  struct Row {
    const char* name;
    std::string page;
    bool used;
  };
  std::string zeroBefore = YueyangPage();
  zeroBefore[25000] = '\0';
  const Row rows[] = {
      {"30000 bytes", YueyangPage({.exactLength = 30000}), false},
      {"30001 bytes", YueyangPage({.exactLength = 30001}), true},
      {"a zero byte ends the text before the threshold", zeroBefore, false},
      {"empty body", "", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TearDown();
    SetUp();
    QueryPage(row.page);
    EXPECT_EQ(Form().searchBox.Get(), "");
    EXPECT_EQ(ScreenUntouched(), !row.used);
    if (row.used) {
      EXPECT_EQ(Utf8(Form().titleLabel.Get()), "岳阳(湖南)");
    }
  }
}

TEST_F(QueryCityTest, AFailedFetchOnlyEmptiesTheSearchBox) {
  SetPortalHost("127.0.0.1:1");
  Form().searchBox.Set("typed");
  QueryCity(Gbk("岳阳"));
  EXPECT_EQ(Form().searchBox.Get(), "");
  EXPECT_TRUE(ScreenUntouched());
}

TEST_F(QueryCityTest, TitleAndCityName) {
  struct Row {
    const char* name;
    std::string page;
    const char* title;
    const char* recorded;  // the configuration's key 1 afterwards
  };
  const Row rows[] = {
      {"city and province", YueyangPage(), "岳阳(湖南)", "岳阳"},
      {"no parenthesis: shown, not recorded", YueyangPage({.title = portal::TitleStyle::NameOnly, .exactLength = std::nullopt}),
       "岳阳", "岳阳"},
      {"title outside the window", std::string(1000, ' ') + YueyangPage(), "", "岳阳"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TearDown();
    SetUp();
    WriteFile("Configuration.ini", Gbk("[关注数]\r\nA=0\r\n"));
    QueryPage(row.page);
    EXPECT_EQ(Utf8(Form().titleLabel.Get()), row.title);
    const bool recorded = std::string(row.title).find('(') != std::string::npos;
    EXPECT_EQ(FileBytes("Configuration.ini").find(Gbk("1=岳阳")) != std::string::npos, recorded);
  }
  EXPECT_EQ(CityNameOf(Gbk("(中国)")), "");
  EXPECT_EQ(CityNameOf(Gbk("北京(中国)")), Gbk("北京"));
}

TEST_F(QueryCityTest, ContentSliceNeedsBothMarkersInOrder) {
  const Text a = Gbk("载入中"), b = Gbk("机场天气滚动");
  EXPECT_EQ(ContentSliceOf("x" + a + "yz" + b + "w"), a + "yz");
  EXPECT_EQ(ContentSliceOf("x" + b + "yz" + a + "w"), "");
  EXPECT_EQ(ContentSliceOf("x" + a + "yz"), "");
  EXPECT_EQ(ContentSliceOf("x" + b), "");
}

TEST_F(QueryCityTest, ClearsTheResultAreasButNotTheHeadings) {
  QueryCity(Gbk("岳阳"));
  const auto& main = Form().mainPanel.Ops();
  ASSERT_FALSE(main.empty());
  const auto& clear = std::get<ClearRectOp>(main[0]);
  EXPECT_EQ(clear.top, 30);
  EXPECT_EQ(clear.bottom, 210);
  const auto& info = Form().infoPanel.Ops();
  ASSERT_GE(info.size(), 3u);
  EXPECT_EQ(std::get<ClearRectOp>(info[0]).top, 40);
  EXPECT_EQ(std::get<ClearRectOp>(info[2]).top, 135);
  const auto& forecast = std::get<ClearRectOp>(Form().forecastPanel.Ops().at(0));
  EXPECT_EQ(forecast.right, 480);
  EXPECT_EQ(forecast.bottom, 160);
}

}  // namespace
}  // namespace qc
