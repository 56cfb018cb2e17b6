#include "primitives/files.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "primitives/native_path.h"
#include "support/gbk_literal.h"

namespace qc {
namespace {

namespace fs = std::filesystem;
using test::Gbk;

Bytes B(const std::string& text) {
  return Bytes(text.begin(), text.end());
}

std::string Slurp(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& file, const std::string& content) {
  std::ofstream(file, std::ios::binary) << content;
}

std::set<std::string> Entries(const fs::path& folder) {
  std::set<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder))
    names.insert(entry.path().filename().native());
  return names;
}

// Every case gets a fresh folder of its own under the system's temporary folder.
class FilesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    dir_ = fs::temp_directory_path() /
           ("qc-files-" + std::to_string(getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(dir_);
    fs::create_directory(dir_);
  }
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(dir_, ignored);
  }
  // The program's way of naming a file: its directory in the "\" form, then "\" and the rest.
  Text At(const Text& relative) const { return TextPath(dir_) + "\\" + relative; }

  fs::path dir_;
};

TEST(NativePathTest, ConvertsGbkAndSeparators) {
  struct Row {
    const char* rule;
    Text text;
    std::string native;
  };
  const Row rows[] = {
      {"a leading separator is the root", "\\work\\run", "/work/run"},
      {"GBK names become UTF-8", Gbk("\\work\\run\\最近关注.ini"), "/work/run/最近关注.ini"},
      {"a trail byte 0x5C is no separator", Gbk("\\run\\乗.png"), "/run/乗.png"},
      {"the empty path", "", ""},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(NativePath(row.text).native(), row.native) << row.rule;
    EXPECT_EQ(TextPath(fs::path(row.native)), row.text) << row.rule;
  }
}

// Every byte a path can hold comes back: the GB18030 conversion covers GBK, and whatever it
// refuses travels as the raw byte. "/" is left out because it comes back as "\".
TEST(NativePathTest, EveryByteSurvivesTheRoundTrip) {
  for (int a = 1; a < 256; ++a) {
    for (int b = 1; b < 256; ++b) {
      if (a == '/' || b == '/')
        continue;
      Text text{static_cast<char>(a), static_cast<char>(b)};
      ASSERT_EQ(TextPath(NativePath(text)), text) << std::hex << a << " " << b;
    }
  }
  // Four-byte GB18030 sequences and broken ones, from the bytes at the edges of its ranges.
  const unsigned char edges[] = {0x30, 0x39, 0x40, 0x5C, 0x7F, 0x80, 0x81, 0x84,
                                 0x90, 0xBF, 0xC3, 0xE3, 0xFE, 0xFF, 'a'};
  for (unsigned char a : edges)
    for (unsigned char b : edges)
      for (unsigned char c : edges)
        for (unsigned char d : edges) {
          Text text{static_cast<char>(a), static_cast<char>(b), static_cast<char>(c),
                    static_cast<char>(d)};
          ASSERT_EQ(TextPath(NativePath(text)), text)
              << std::hex << +a << " " << +b << " " << +c << " " << +d;
        }
}

TEST_F(FilesTest, NonUtf8NamesReachTheDiskAndAreFoundAgain) {
  const Text names[] = {Gbk("岳阳.png"), Gbk("乗誠"), "\x80\xFF.png", "\xB0"};
  for (const Text& name : names) {
    EXPECT_TRUE(WriteFileBytes(At(name), B("x"))) << test::Utf8(name);
    EXPECT_TRUE(FileExists(At(name))) << test::Utf8(name);
  }
  std::set<Text> found;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir_))
    found.insert(TextPath(entry.path().filename()));
  EXPECT_EQ(found, std::set<Text>(std::begin(names), std::end(names)));
  // GBK names are stored as real UTF-8 names that other programs show.
  EXPECT_TRUE(fs::exists(dir_ / "岳阳.png"));
}

TEST_F(FilesTest, WildcardsMatchInTheLastComponent) {
  Put(dir_ / "a.png", "");
  Put(dir_ / "北京.PNG", "");
  Put(dir_ / "x[1].ini", "");
  fs::create_directory(dir_ / "TP");
  struct Row {
    Text pattern;
    bool exists;
  };
  const Row rows[] = {
      {"*", true},
      {"*.png", true},
      {"?.png", true},
      {"??.png", false},
      {Gbk("北?.PNG"), true},  // "?" is one character, not one byte
      {Gbk("北???.PNG"), false},
      {Gbk("*京*"), true},
      {"*.gif", false},
      {"x[1].ini", true},  // brackets are plain characters
      {"x[1]*", true},
      {"x1.ini", false},
      {"[ax].png", false},
      {"T?", true},  // folders count
      {"a.png*", true},
      {"a.png?", false},
  };
  for (const Row& row : rows)
    EXPECT_EQ(FileExists(At(row.pattern)), row.exists) << test::Utf8(row.pattern);
  EXPECT_FALSE(FileExists(At("missing\\*")));
}

TEST_F(FilesTest, ManyStarsTakeBoundedTime) {
  Put(dir_ / std::string(200, 'a'), "");
  Text pattern;
  for (int i = 0; i < 100; ++i)
    pattern += "*a";
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FileExists(At(pattern + "*b")));
  EXPECT_TRUE(FileExists(At(pattern + "*")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(FilesTest, ExistsForFilesAndFolders) {
  fs::create_directory(dir_ / "TP");
  Put(dir_ / "Configuration.ini", "");
  EXPECT_TRUE(FileExists(At("TP")));
  EXPECT_TRUE(FileExists(At("Configuration.ini")));
  EXPECT_FALSE(FileExists(At("tp")));
  EXPECT_FALSE(FileExists(At("missing")));
  EXPECT_FALSE(FileExists(""));
  EXPECT_FALSE(FileExists(At(Text("Configuration.ini\0x", 19))));
}

// The start-up sequence: a file named TP stands where the icon folder would be.
TEST_F(FilesTest, AFileNamedTpStopsTheFolder) {
  Put(dir_ / "TP", "not a folder");
  ASSERT_TRUE(FileExists(At("TP")));
  EXPECT_FALSE(CreateFolder(At("TP")));
  EXPECT_TRUE(fs::is_regular_file(dir_ / "TP"));
  EXPECT_EQ(Slurp(dir_ / "TP"), "not a folder");
}

TEST_F(FilesTest, CreateFolderMakesOneLevelOnly) {
  EXPECT_TRUE(CreateFolder(At("TP")));
  EXPECT_TRUE(fs::is_directory(dir_ / "TP"));

  Put(dir_ / "TP" / "icon.png", "icon");
  EXPECT_FALSE(CreateFolder(At("TP")));
  EXPECT_EQ(Slurp(dir_ / "TP" / "icon.png"), "icon");

  EXPECT_FALSE(CreateFolder(At("a\\b")));
  EXPECT_FALSE(fs::exists(dir_ / "a"));
  EXPECT_TRUE(CreateFolder(At(Gbk("图标"))));
  EXPECT_TRUE(fs::is_directory(dir_ / "图标"));
  EXPECT_FALSE(CreateFolder(""));
}

TEST_F(FilesTest, WriteReplacesTheWholeFile) {
  Put(dir_ / "a.png", "a much longer old content");
  EXPECT_TRUE(WriteFileBytes(At("a.png"), B("new")));
  EXPECT_EQ(Slurp(dir_ / "a.png"), "new");

  const std::string withZeros("\x89PNG\0\0\r\n", 8);
  EXPECT_TRUE(WriteFileBytes(At("a.png"), {Bytes(), B(withZeros), Bytes(), B("tail")}));
  EXPECT_EQ(Slurp(dir_ / "a.png"), withZeros + "tail");

  EXPECT_TRUE(WriteFileBytes(At("a.png"), Bytes()));
  EXPECT_EQ(fs::file_size(dir_ / "a.png"), 0u);
  EXPECT_TRUE(WriteFileBytes(At("new.png"), Bytes()));
  EXPECT_TRUE(fs::is_regular_file(dir_ / "new.png"));
  // Nothing but the targets is left behind.
  EXPECT_EQ(Entries(dir_), (std::set<std::string>{"a.png", "new.png"}));
}

TEST_F(FilesTest, WriteKeepsTheModeOfTheFileItReplaces) {
  Put(dir_ / "Configuration.ini", "old");
  fs::permissions(dir_ / "Configuration.ini", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_TRUE(WriteFileBytes(At("Configuration.ini"), B("new")));
  EXPECT_EQ(fs::status(dir_ / "Configuration.ini").permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FilesTest, WriteFailsWithoutTouchingAnything) {
  fs::create_directory(dir_ / "TP");
  Put(dir_ / "TP" / "icon.png", "icon");

  EXPECT_FALSE(WriteFileBytes(At("missing\\a.png"), B("x")));
  EXPECT_FALSE(fs::exists(dir_ / "missing"));
  EXPECT_FALSE(WriteFileBytes(At("TP"), B("x")));
  EXPECT_TRUE(fs::is_directory(dir_ / "TP"));
  EXPECT_EQ(Slurp(dir_ / "TP" / "icon.png"), "icon");
  EXPECT_FALSE(WriteFileBytes("", B("x")));
  EXPECT_FALSE(WriteFileBytes(At("TP\\"), B("x")));
  // A zero byte would cut the path short and name another file.
  EXPECT_FALSE(WriteFileBytes(At(Text("TP\0.png", 7)), B("x")));
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"TP"});
  EXPECT_EQ(Entries(dir_ / "TP"), std::set<std::string>{"icon.png"});
}

// A write that fails half-way (here: the file size limit, which binds root as well) leaves
// the old file whole and no temporary file behind.
TEST_F(FilesTest, AFailedWriteKeepsTheOldFile) {
  Put(dir_ / "Configuration.ini", "old content");
  rlimit saved;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
  sighandler_t oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit small = saved;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  bool written = WriteFileBytes(At("Configuration.ini"), {B("start"), Bytes(8192, 'x')});
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);

  EXPECT_FALSE(written);
  EXPECT_EQ(Slurp(dir_ / "Configuration.ini"), "old content");
  EXPECT_EQ(Entries(dir_), std::set<std::string>{"Configuration.ini"});
}

TEST_F(FilesTest, ReadOnlyFolderRefusesWrites) {
  Put(dir_ / "a.png", "old");
  fs::permissions(dir_, fs::perms::owner_read | fs::perms::owner_exec);
  // Root writes into read-only folders; find out by trying.
  if (std::ofstream(dir_ / "probe"))
    GTEST_SKIP() << "this user can write into read-only folders";
  EXPECT_FALSE(WriteFileBytes(At("a.png"), B("new")));
  EXPECT_FALSE(CreateFolder(At("TP")));
  EXPECT_EQ(Slurp(dir_ / "a.png"), "old");
}

TEST_F(FilesTest, ProgramDirectoryIsTheFolderOfTheProgram) {
  const fs::path started = fs::current_path();
  // The test binary stands in for the program; no other case asks for its directory first.
  Text directory = ProgramDirectory();
  EXPECT_FALSE(directory.empty());
  EXPECT_NE(directory.back(), '\\');
  EXPECT_TRUE(FileExists(directory + "\\test_primitives"));
  EXPECT_EQ(fs::current_path(), NativePath(directory));
  EXPECT_EQ(ProgramDirectory(), directory);

  OverrideProgramDirectory(TextPath(dir_));
  EXPECT_EQ(ProgramDirectory(), TextPath(dir_));
  EXPECT_EQ(fs::current_path(), dir_);
  OverrideProgramDirectory(TextPath(started));
}

TEST_F(FilesTest, AbandonedWritesOfDeadWritersAreRemovedAndNothingElse) {
  // A writer that has certainly ended: a child that exited and was reaped.
  const pid_t child = fork();
  if (child == 0)
    _exit(0);
  waitpid(child, nullptr, 0);
  const std::string dead = std::to_string(child);
  const std::string alive = std::to_string(getpid());
  const std::vector<std::string> names = {
      ".Configuration.ini.tmp-" + dead + "-0",  // abandoned
      ".qing.PNG.tmp-" + dead + "-12",          // abandoned
      ".qing.PNG.tmp-" + alive + "-3",          // a writer that still runs
      ".notes.tmp-x-1",                         // not one of ours
      "qing.PNG.tmp-" + dead + "-0",            // not hidden: not one of ours
      "Configuration.ini",
  };
  for (const std::string& name : names)
    Put(dir_ / name, "x");
  RemoveAbandonedWrites(TextPath(dir_));
  EXPECT_EQ(Entries(dir_), (std::set<std::string>(names.begin() + 2, names.end())));
  RemoveAbandonedWrites("");
  RemoveAbandonedWrites(At("missing"));
}

}  // namespace
}  // namespace qc
