#include "query/icon_cache.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/globals.h"
#include "followed/config_file.h"
#include "primitives/files.h"
#include "query/pinyin_name.h"
#include "support/gbk_literal.h"
#include "support/portal_fixture.h"

namespace qc {
namespace {

using test::Gbk;

class IconCacheTest : public test::PortalTest {
 protected:
  void SetUp() override {
    PortalTest::SetUp();
    CreateMissingFiles();
  }
  bool Cached(const std::string& file) { return std::filesystem::exists(Dir() / "TP" / file); }
};

TEST_F(IconCacheTest, DownloadsOnceAndReusesTheFile) {
  const Text path = ResolveIcon("duoyun.", "PNG", "png");
  EXPECT_EQ(path, RunDirectory + "\\TP\\duoyun.PNG");
  EXPECT_TRUE(Cached("duoyun.PNG"));
  EXPECT_EQ(ResolveIcon("duoyun.", "PNG", "png"), path);
  EXPECT_EQ(Portal().IconRequests(), std::vector<std::string>{"duoyun"});
}

TEST_F(IconCacheTest, ZhenxueIsDrawnAsXiaoxue) {
  EXPECT_EQ(PinyinName(Gbk("阵雪")), "zhenxue");
  ResolveIcon(PinyinName(Gbk("阵雪")), "_1.PNG", "_1.png");
  ResolveIcon("zhenxue", ".PNG", ".png");
  EXPECT_TRUE(Cached("xiaoxue_1.PNG"));
  EXPECT_TRUE(Cached("xiaoxue.PNG"));
  EXPECT_EQ(Portal().IconRequests(), (std::vector<std::string>{"xiaoxue_1", "xiaoxue"}));
  for (const char* name : {"zhenxue_1", "Zhenxue", "zhenxue."}) {
    EXPECT_EQ(SubstituteIconName(name), name);
  }
}

TEST_F(IconCacheTest, KeepsOnlyRealPicturesAboveTheSizeLimit) {
  struct Row {
    const char* name;
    bool stored;
  };
  const Row rows[] = {{"fault-1000", false}, {"fault-1001", true}, {"fault-errorpage", false},
                      {"no-such-icon", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResolveIcon(row.name, ".PNG", ".png");
    EXPECT_EQ(Cached(std::string(row.name) + ".PNG"), row.stored);
  }
  // What was dropped is fetched again at the next use.
  Portal().ClearRequests();
  ResolveIcon("fault-errorpage", ".PNG", ".png");
  ResolveIcon("fault-1001", ".PNG", ".png");
  EXPECT_EQ(Portal().IconRequests(), std::vector<std::string>{"fault-errorpage"});
}

TEST_F(IconCacheTest, AnEmptyNameStillGivesAPath) {
  EXPECT_EQ(ResolveIcon("", "PNG", "png"), RunDirectory + "\\TP\\PNG");
  EXPECT_EQ(Portal().Requests().at(0).target, "/images/yb3/78_78/png");
}

TEST_F(IconCacheTest, HostileNamesReachNeitherTheNetworkNorTheDisk) {
  for (const char* name : {"../../escape", "a/b", "a\\b", "c:x", "..", "x\x01y", "*", "q?ng"}) {
    SCOPED_TRACE(name);
    const Text path = ResolveIcon(name, ".PNG", ".png");
    EXPECT_FALSE(FileExists(path));
  }
  EXPECT_TRUE(Portal().Requests().empty());
  EXPECT_FALSE(std::filesystem::exists(Dir().parent_path() / "escape.PNG"));
}

TEST_F(IconCacheTest, ATpFileMakesEveryStoreFailSilently) {
  std::filesystem::remove_all(Dir() / "TP");
  WriteFile("TP", "in the way");
  const Text path = ResolveIcon("qing.", "PNG", "png");
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(FileBytes("TP"), "in the way");
}

TEST(PinyinName, WritesConditionTextsInPinyin) {
  struct Row {
    const char* text;
    const char* name;
  };
  const Row rows[] = {{"多云", "duoyun"}, {"小雨3", "xiaoyu3"},  {"a晴-b", "aqing-b"},
                      {"", ""},            {"雷阵雨", "leizhenyu"}, {"特大暴雨", "tedabaoyu"}};
  for (const Row& row : rows) EXPECT_EQ(PinyinName(Gbk(row.text)), row.name) << row.text;
  // A character without a reading keeps its own bytes; a lone lead byte at the end too.
  EXPECT_EQ(PinyinName(Gbk("亻晴")), Gbk("亻") + "qing");
  EXPECT_EQ(PinyinName("\xC7"), "\xC7");
}

}  // namespace
}  // namespace qc
