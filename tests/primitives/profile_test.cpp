#include "primitives/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "primitives/native_path.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

namespace fs = std::filesystem;
using test::Gbk;

// True when `after` is `before` with one run of at most a few lines put in somewhere: every
// old byte is still there, in order.
bool OnlyInserted(const std::string& before, const std::string& after) {
  if (after.size() < before.size() || after.size() > before.size() + 64)
    return false;
  size_t prefix = 0;
  while (prefix < before.size() && before[prefix] == after[prefix])
    ++prefix;
  size_t rest = before.size() - prefix;
  return after.compare(after.size() - rest, rest, before, prefix, rest) == 0;
}

// Every case gets a fresh folder of its own with the configuration file's path in it.
class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("qc-profile-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    ini_ = TextPath(dir_) + "\\Configuration.ini";
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  fs::path File() const { return dir_ / "Configuration.ini"; }
  void Put(const std::string& content) const { std::ofstream(File(), std::ios::binary) << content; }
  std::string Content() const {
    std::ifstream in(File(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Text Read(const Text& section, const Text& key) const {
    return ReadProfileText(ini_, section, key);
  }

  fs::path dir_;
  Text ini_;
};

// The file the program writes on its first start, and its updates by the recent list.
TEST_F(ProfileTest, DefaultContentIsUpdated) {
  const Text initial = Gbk("[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳");
  ASSERT_EQ(initial.size(), 33u);
  Put(initial);
  EXPECT_EQ(Read(Gbk("关注数"), "A"), "1");
  EXPECT_EQ(Read(Gbk("最近关注"), "1"), Gbk("岳阳"));
  EXPECT_EQ(Read(Gbk("最近关注"), "2"), "");

  EXPECT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "2", Gbk("北京")));
  EXPECT_TRUE(WriteProfileText(ini_, Gbk("关注数"), "A", "2"));
  EXPECT_EQ(Content(), Gbk("[关注数]\r\nA=2\r\n[最近关注]\r\n1=岳阳\r\n2=北京\r\n"));
  EXPECT_EQ(Read(Gbk("最近关注"), "1"), Gbk("岳阳"));
  EXPECT_EQ(Read(Gbk("最近关注"), "2"), Gbk("北京"));

  EXPECT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "1", Gbk("北京")));
  EXPECT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "2", Gbk("岳阳")));
  EXPECT_EQ(Content(), Gbk("[关注数]\r\nA=2\r\n[最近关注]\r\n1=北京\r\n2=岳阳\r\n"));
}

TEST_F(ProfileTest, WritesLandWhereTheyBelong) {
  struct Row {
    const char* rule;
    std::string before;
    Text section, key, value;
    std::string after;
  };
  const Row rows[] = {
      {"replaced in place", "[s]\r\nk=old\r\nz=1\r\n", "s", "k", "new", "[s]\r\nk=new\r\nz=1\r\n"},
      {"LF line ends kept", "[s]\nk=old\nz=1", "s", "k", "new", "[s]\nk=new\nz=1"},
      {"case-insensitive names, spelling kept", "[Sec]\r\nKey=1\r\n", "sEC", "KEY", "2",
       "[Sec]\r\nKey=2\r\n"},
      {"spacing before = kept", "[s]\r\n  k\t= old ; x\r\n", "s", "k", "new",
       "[s]\r\n  k\t=new\r\n"},
      {"first of two keys", "[s]\r\nk=1\r\nk=2\r\n", "s", "k", "9", "[s]\r\nk=9\r\nk=2\r\n"},
      {"first of two sections", "[s]\r\n[t]\r\n[s]\r\nk=2\r\n", "s", "k", "9",
       "[s]\r\nk=9\r\n[t]\r\n[s]\r\nk=2\r\n"},
      {"empty value keeps the key", "[s]\r\nk=old\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
      {"appended after the section's last key", "[a]\r\nx=1\r\n\r\n; b\r\n[b]\r\ny=2\r\n", "a", "z",
       "3", "[a]\r\nx=1\r\nz=3\r\n\r\n; b\r\n[b]\r\ny=2\r\n"},
      {"appended to a section without keys", "[a]\r\n[b]\r\n", "a", "x", "1",
       "[a]\r\nx=1\r\n[b]\r\n"},
      {"appended to a last line without a break", "[a]\r\nx=1", "a", "z", "3",
       "[a]\r\nx=1\r\nz=3\r\n"},
      {"appended to a lone header", "[a]", "a", "z", "3", "[a]\r\nz=3\r\n"},
      {"new section at the end", "[a]\r\nx=1\r\n", "b", "y", "2", "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"new section after a last line without a break", "[a]\r\nx=1", "b", "y", "2",
       "[a]\r\nx=1\r\n[b]\r\ny=2\r\n"},
      {"keys above every section are not in one", "k=1\r\n", "s", "k", "2",
       "k=1\r\n[s]\r\nk=2\r\n"},
      {"a comment is no key", "[s]\r\n;k=1\r\n", "s", "k", "2", "[s]\r\nk=2\r\n;k=1\r\n"},
      {"names are trimmed", "", " s\t", " k ", "v", "[s]\r\nk=v\r\n"},
      {"empty file", "", "s", "k", "v", "[s]\r\nk=v\r\n"},
      {"GBK trail bytes are not letters", Gbk("[丄]\r\n癆=1\r\n"), Gbk("丄"), Gbk("癮"), "2",
       Gbk("[丄]\r\n癆=1\r\n癮=2\r\n")},
  };
  for (const Row& row : rows) {
    Put(row.before);
    EXPECT_TRUE(WriteProfileText(ini_, row.section, row.key, row.value)) << row.rule;
    EXPECT_EQ(Content(), row.after) << row.rule;
    EXPECT_EQ(Read(row.section, row.key), row.value) << row.rule;
  }
}

TEST_F(ProfileTest, WriteCreatesAMissingFile) {
  EXPECT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "1", Gbk("岳阳")));
  EXPECT_EQ(Content(), Gbk("[最近关注]\r\n1=岳阳\r\n"));
  // The folder must exist: none is created on the way.
  EXPECT_FALSE(WriteProfileText(TextPath(dir_) + "\\missing\\a.ini", "s", "k", "v"));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
}

TEST_F(ProfileTest, HandEditedFileKeepsEveryOtherByte) {
  const std::string before =
      Gbk("; 晴窗的配置\r\n"
          "\r\n"
          "[窗口]\n"
          "位置 = 100,200\t\n"
          "\n"
          "[关注数]\r\n"
          "  A = 3   ; 城市数\r\n"
          "\r\n"
          "; 下面是城市\r\n"
          "[最近关注]\r\n"
          "1=岳阳\r\n"
          "2 = 长沙\r\n"
          "\r\n"
          "[其他]\r\n"
          "x\r\n");
  Put(before);
  EXPECT_EQ(Read(Gbk("窗口"), Gbk("位置")), "100,200");
  // The platform knows no comments after a value: they are part of it.
  EXPECT_EQ(Read(Gbk("关注数"), "a"), Gbk("3   ; 城市数"));
  ASSERT_TRUE(WriteProfileText(ini_, Gbk("关注数"), "A", "4"));
  ASSERT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "3", Gbk("武汉")));
  ASSERT_TRUE(WriteProfileText(ini_, Gbk("最近关注"), "2", Gbk("北京")));
  EXPECT_EQ(Content(), Gbk("; 晴窗的配置\r\n"
                           "\r\n"
                           "[窗口]\n"
                           "位置 = 100,200\t\n"
                           "\n"
                           "[关注数]\r\n"
                           "  A =4\r\n"
                           "\r\n"
                           "; 下面是城市\r\n"
                           "[最近关注]\r\n"
                           "1=岳阳\r\n"
                           "2 =北京\r\n"
                           "3=武汉\r\n"
                           "\r\n"
                           "[其他]\r\n"
                           "x\r\n"));
}

TEST_F(ProfileTest, ReadsFindSectionsAndKeysAsThePlatformDoes) {
  Put(Gbk("[  关注数\t]\r\n"
          "A =  1 \t\r\n"
          "[最近关注]\r\n"
          "1=\"岳阳\"\r\n"
          "2='长沙'\r\n"
          "3=\"\"北京\"\"\r\n"
          "4=\"武汉\r\n"
          "5=\"\r\n"
          "6=\r\n") +
      std::string("7=ab\0cd\r\n", 9) + Gbk("[Latin]\r\nKey=v\r\n[丄]\r\nA=2\r\n"));
  struct Row {
    const char* rule;
    Text section, key;
    std::optional<Text> fallback;
    Text value;
  };
  const Row rows[] = {
      {"blanks around names and values", Gbk("关注数"), "A", {}, "1"},
      {"controls and spaces before the section", Gbk(" \t\r\n关注数"), "A", {}, "1"},
      {"blanks after the names", Gbk("关注数 "), "A\t", {}, "1"},
      {"double quotes dropped", Gbk("最近关注"), "1", {}, Gbk("岳阳")},
      {"single quotes dropped", Gbk("最近关注"), "2", {}, Gbk("长沙")},
      {"only one pair dropped", Gbk("最近关注"), "3", {}, Gbk("\"北京\"")},
      {"an unpaired quote stays", Gbk("最近关注"), "4", {}, Gbk("\"武汉")},
      {"a lone quote stays", Gbk("最近关注"), "5", {}, "\""},
      {"empty value, not the default", Gbk("最近关注"), "6", "d", ""},
      {"a zero byte ends the value", Gbk("最近关注"), "7", {}, "ab"},
      {"ASCII case does not matter", "lATIN", "kEY", {}, "v"},
      {"missing key", Gbk("最近关注"), "8", {}, ""},
      {"missing key with a default", Gbk("最近关注"), "8", "d", "d"},
      {"trailing blanks of the default are cut", Gbk("最近关注"), "8", "d  ", "d"},
      {"missing section", Gbk("其他"), "1", {}, ""},
      {"empty key ignores the default", Gbk("关注数"), "", "d", ""},
      {"blank key ignores the default", Gbk("关注数"), " \t", "d", ""},
      {"empty section ignores the default", "", "A", "d", ""},
      {"a GBK character is matched whole", Gbk("丄"), "a", {}, "2"},
      {"GBK trail bytes are not letters", Gbk("乤"), "A", {}, ""},
  };
  for (const Row& row : rows)
    EXPECT_EQ(ReadProfileText(ini_, row.section, row.key, row.fallback), row.value) << row.rule;
  EXPECT_EQ(ReadProfileText(" \t" + ini_, Gbk("关注数"), "A"), "1");
  EXPECT_EQ(ReadProfileText("", Gbk("关注数"), "A", "d"), "");
  EXPECT_EQ(ReadProfileText(TextPath(dir_) + "\\missing.ini", Gbk("关注数"), "A", "d"), "d");
}

TEST_F(ProfileTest, ValuesStopAt10239Bytes) {
  const std::string fits(10239, 'x');
  const std::string halfCharacter = std::string(10238, 'x') + Gbk("岳");
  Put("[s]\r\nlong=" + fits + "yz\r\nfits=" + fits + "\r\nhalf=" + halfCharacter + "\r\n");
  EXPECT_EQ(Read("s", "long"), fits);
  EXPECT_EQ(Read("s", "fits"), fits);
  // Cutting through a two-byte character would leave a broken text; the whole character goes.
  EXPECT_EQ(Read("s", "half"), std::string(10238, 'x'));
}

// Reads trim blanks and drop enclosing quotes; writes protect the values those rules would
// change, so that every value comes back as it was written.
TEST_F(ProfileTest, EveryValueReadsBackAsWritten) {
  const Text values[] = {"", Gbk("岳阳"), Gbk(" 前后空格 "), "\t", "\"", "\"\"", "'x'", "\"x\"",
                         "a=b;c", "[x]",
                         // The longest values a read gives back, one of them quoted in the file.
                         std::string(10239, 'x'), std::string(10237, 'x') + Gbk("岳"),
                         " " + std::string(10238, 'x'), " \"x\" "};
  for (const Text& value : values) {
    ASSERT_TRUE(WriteProfileText(ini_, "s", "k", value)) << value;
    EXPECT_EQ(Read("s", "k"), value) << "[" << value << "]";
  }
  EXPECT_EQ(Content(), "[s]\r\nk=\" \"x\" \"\r\n");
}

// Each of these would corrupt the file or be unreadable after the write.
TEST_F(ProfileTest, WritesThatWouldBreakTheFileAreRefused) {
  const std::string before = "[s]\r\nk=1\r\n";
  Put(before);
  struct Row {
    const char* rule;
    Text section, key, value;
  };
  const Row rows[] = {
      {"CR in a value", "s", "k", "a\rb"},
      {"LF in a value", "s", "k", "a\n[t]\nk=2"},
      {"LF in a key", "s", "k\nx", "1"},
      {"CR in a section", "s\r", "k", "1"},
      {"] in a section", "a]b", "k", "1"},
      {"= in a key", "s", "k=2", "1"},
      {"key like a section", "s", "[t]", "1"},
      {"key like a comment", "s", ";k", "1"},
      {"control byte before a key", "s", "\x01k", "1"},
      {"empty key", "s", "", "1"},
      {"blank section", " ", "k", "1"},
      {"value longer than a read gives back", "s", "k", std::string(10240, 'x')},
  };
  for (const Row& row : rows) {
    EXPECT_FALSE(WriteProfileText(ini_, row.section, row.key, row.value)) << row.rule;
    EXPECT_EQ(Content(), before) << row.rule;
  }
}

TEST_F(ProfileTest, HostileFilesNeitherCrashNorLoseLines) {
  struct Row {
    const char* rule;
    std::string content;
  };
  const Row rows[] = {
      {"binary with zero bytes", std::string("\x00\xFF\x81[\x00]=\r\r\n\x80\x00=\x01", 14)},
      {"no line ends", std::string(3 << 20, '=')},
      {"a line of megabytes", "[s]\r\nk=" + std::string(4 << 20, '\xB0') + "\r\n"},
      {"only line breaks", std::string(1 << 20, '\n')},
      {"an open header", "[s"},
  };
  for (const Row& row : rows) {
    Put(row.content);
    EXPECT_EQ(Read("s", "x"), "") << row.rule;
    ASSERT_TRUE(WriteProfileText(ini_, "s", "x", "1")) << row.rule;
    EXPECT_EQ(Read("s", "x"), "1") << row.rule;
    EXPECT_TRUE(OnlyInserted(row.content, Content())) << row.rule;
  }
}

TEST_F(ProfileTest, OversizedOrOddFilesAreLeftAlone) {
  // A sparse file: large on paper, no time to make.
  Put("[s]\r\nk=1\r\n");
  fs::resize_file(File(), 100 << 20);
  EXPECT_EQ(ReadProfileText(ini_, "s", "k", "d"), "d");
  EXPECT_FALSE(WriteProfileText(ini_, "s", "k", "2"));
  EXPECT_EQ(fs::file_size(File()), 100u << 20);

  fs::remove(File());
  fs::create_directory(File());
  EXPECT_EQ(ReadProfileText(ini_, "s", "k", "d"), "d");
  EXPECT_FALSE(WriteProfileText(ini_, "s", "k", "2"));
  EXPECT_TRUE(fs::is_directory(File()));

  // Opening a FIFO for reading would wait for a writer forever.
  fs::remove(File());
  ASSERT_EQ(mkfifo(File().c_str(), 0600), 0);
  EXPECT_EQ(ReadProfileText(ini_, "s", "k", "d"), "d");
  EXPECT_FALSE(WriteProfileText(ini_, "s", "k", "2"));
}

TEST_F(ProfileTest, ReadOnlyFolderKeepsTheOldFile) {
  const std::string before = "[s]\r\nk=1\r\n";
  Put(before);
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  // Root writes into read-only folders; find out by trying.
  if (std::ofstream(dir_ / "probe"))
    GTEST_SKIP() << "this user can write into read-only folders";
  EXPECT_FALSE(WriteProfileText(ini_, "s", "k", "2"));
  EXPECT_EQ(Content(), before);
  EXPECT_EQ(Read("s", "k"), "1");
}

}  // namespace
}  // namespace qc
