#include "followed/recent_list.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "app/form_state.h"
#include "app/globals.h"
#include "followed/config_file.h"
#include "followed/followed_panel.h"
#include "support/gbk_literal.h"
#include "support/program_fixture.h"

namespace qc {
namespace {

using test::Gbk;
using test::Utf8;

constexpr char kDefault[] = "[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳";

class RecentListTest : public test::ProgramTest {
 protected:
  // Start-up lists the file's cities (adding them to FollowedSet) before the first query.
  void StartUp(std::optional<std::string> initialUtf8) {
    if (initialUtf8) WriteFile("Configuration.ini", Gbk(*initialUtf8));
    RefreshFollowedPanel(RefreshMode::Rows);
  }
  void Record(std::initializer_list<const char*> cities) {
    for (const char* city : cities) RecordRecentCity(Gbk(city));
  }
  std::string ConfigUtf8() const { return Utf8(FileBytes("Configuration.ini")); }
  // The recent rows of the last refresh of 画板_关注, in order.
  std::vector<std::string> Rows() const {
    const auto& ops = Form().followedPanel.Ops();
    std::size_t last = 0;
    for (std::size_t i = 0; i < ops.size(); ++i) {
      if (std::holds_alternative<ClearRectOp>(ops[i])) last = i;
    }
    return test::WrittenTexts({ops.begin() + static_cast<long>(last), ops.end()});
  }
};

TEST_F(RecentListTest, FirstStartCreatesTheDefaultFileAndTheIconFolder) {
  StartUp(std::nullopt);
  EXPECT_EQ(FileBytes("Configuration.ini"), Gbk(kDefault));
  EXPECT_EQ(FileBytes("Configuration.ini").size(), 33u);
  EXPECT_TRUE(std::filesystem::is_directory(Dir() / "TP"));
  EXPECT_EQ(Rows(), std::vector<std::string>{"岳阳"});
  EXPECT_EQ(Utf8(CitySlots.Get(1)), "岳阳");
}

TEST_F(RecentListTest, ScenariosLeaveExactlyTheseFiles) {
  struct Row {
    const char* name;
    std::optional<std::string> initial;
    std::vector<const char*> cities;
    std::string expected;
    std::vector<std::string> rows;
  };
  const std::string six =
      "[关注数]\r\nA=6\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n3=上海\r\n4=广州\r\n5=长沙\r\n6=武汉\r\n";
  const Row rows[] = {
      {"start-up query of the default city rewrites it unchanged", std::nullopt, {"岳阳"},
       kDefault, {"岳阳"}},
      {"new cities are appended and A grows", std::nullopt, {"北京", "上海"},
       "[关注数]\r\nA=3\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n3=上海\r\n", {"岳阳", "北京", "上海"}},
      {"appending stops at six", std::nullopt, {"北京", "上海", "广州", "长沙", "武汉"}, six,
       {"岳阳", "北京", "上海", "广州", "长沙", "武汉"}},
      {"a new city with six listed goes first and the sixth drops", six, {"成都"},
       "[关注数]\r\nA=6\r\n[最近关注]\r\n1=成都\r\n2=岳阳\r\n3=北京\r\n4=上海\r\n5=广州\r\n6=长沙\r\n",
       {"成都", "岳阳", "北京", "上海", "广州", "长沙"}},
      {"a listed city moves to the front, the others keep their order", six, {"广州"},
       "[关注数]\r\nA=6\r\n[最近关注]\r\n1=广州\r\n2=岳阳\r\n3=北京\r\n4=上海\r\n5=长沙\r\n6=武汉\r\n",
       {"广州", "岳阳", "北京", "上海", "长沙", "武汉"}},
      {"a city that dropped out pushes the sixth onto key 7", six, {"成都", "武汉"},
       "[关注数]\r\nA=6\r\n[最近关注]\r\n1=武汉\r\n2=成都\r\n3=岳阳\r\n4=北京\r\n5=上海\r\n6=广州\r\n"
       "7=长沙\r\n",
       {"武汉", "成都", "岳阳", "北京", "上海", "广州"}},
      {"case and inner spaces make different cities", "[关注数]\r\nA=1\r\n[最近关注]\r\n1=Lhasa\r\n",
       {"lhasa", "北 京"},
       "[关注数]\r\nA=3\r\n[最近关注]\r\n1=Lhasa\r\n2=lhasa\r\n3=北 京\r\n", {"Lhasa", "lhasa", "北 京"}},
      {"listed names are trimmed when the list is written back",
       "[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=　北京　\r\n", {"岳阳"},
       "[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n", {"岳阳", "北京"}},
      {"A above six is read as six", six + "7=拉萨\r\n8=昆明\r\n", {"西安"},
       "[关注数]\r\nA=6\r\n[最近关注]\r\n1=西安\r\n2=岳阳\r\n3=北京\r\n4=上海\r\n5=广州\r\n6=长沙\r\n"
       "7=拉萨\r\n8=昆明\r\n",
       {"西安", "岳阳", "北京", "上海", "广州", "长沙"}},
      {"a negative A is read as zero", "[关注数]\r\nA=-3\r\n[最近关注]\r\n1=岳阳\r\n", {"西安"},
       "[关注数]\r\nA=1\r\n[最近关注]\r\n1=西安\r\n", {"西安"}},
      {"an empty name is not recorded", std::nullopt, {""}, kDefault, {"岳阳"}},
      {"a name with a line break is not recorded", std::nullopt, {"北京\r\n[关注数]"}, kDefault,
       {"岳阳"}},
      {"comments, blank lines and other sections are kept",
       "; my cities\r\n[window]\r\nx=1\r\n\r\n[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳\r\n", {"北京"},
       "; my cities\r\n[window]\r\nx=1\r\n\r\n[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n",
       {"岳阳", "北京"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    TearDown();
    SetUp();
    StartUp(row.initial);
    for (const char* city : row.cities) RecordRecentCity(Gbk(city));
    EXPECT_EQ(ConfigUtf8(), row.expected);
    EXPECT_EQ(Rows(), row.rows);
  }
}

TEST_F(RecentListTest, ZeroCountDrawsNoRowsButKeepsTheRule) {
  StartUp("[关注数]\r\nA=0\r\n[最近关注]\r\n1=岳阳\r\n");
  EXPECT_TRUE(Rows().empty());
  const auto& ops = Form().followedPanel.Ops();
  ASSERT_EQ(ops.size(), 2u);
  const auto& rule = std::get<DrawLineOp>(ops[1]);
  EXPECT_EQ(rule.y1, 20);
  EXPECT_EQ(rule.x2, 216);
}

TEST_F(RecentListTest, RowsAndRulesFollowTheirPitch) {
  StartUp("[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n");
  const auto& ops = Form().followedPanel.Ops();
  ASSERT_EQ(ops.size(), 6u);
  const auto& clear = std::get<ClearRectOp>(ops[0]);
  EXPECT_EQ(clear.top, 25);
  EXPECT_EQ(std::get<WriteAtOp>(ops[2]).y, 28);
  EXPECT_EQ(std::get<DrawLineOp>(ops[3]).y1, 48);
  EXPECT_EQ(std::get<WriteAtOp>(ops[4]).y, 56);
  EXPECT_EQ(std::get<DrawLineOp>(ops[5]).y1, 76);
  EXPECT_EQ(std::get<WriteAtOp>(ops[4]).x, 10);
}

TEST_F(RecentListTest, ATpFileStopsTheFolderAndNothingBreaks) {
  WriteFile("TP", "not a folder");
  StartUp(std::nullopt);
  EXPECT_TRUE(std::filesystem::is_regular_file(Dir() / "TP"));
  Record({"北京"});
  EXPECT_EQ(Rows(), (std::vector<std::string>{"岳阳", "北京"}));
}

}  // namespace
}  // namespace qc
