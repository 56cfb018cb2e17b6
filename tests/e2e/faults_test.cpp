// The whole program against a misbehaving portal and a hostile file system, through the probe:
// nothing crashes, nothing is lost, and the program stays usable afterwards.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "e2e/portal_gate.h"
#include "e2e/probe_runner.h"
#include "portal/condition_icons.h"
#include "portal/portal_server.h"
#include "support/gbk_literal.h"

namespace qc::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using Clock = std::chrono::steady_clock;

// Configuration.ini after the first start in an empty folder.
const std::string kFirstStart = Gbk("[关注数]\r\nA=1\r\n[最近关注]\r\n1=岳阳");

// Configuration.ini after the first start and queries of further new cities.
std::string RecentList(const std::vector<std::string>& added) {
  std::string list =
      "[关注数]\r\nA=" + std::to_string(added.size() + 1) + "\r\n[最近关注]\r\n1=岳阳\r\n";
  for (std::size_t i = 0; i < added.size(); ++i) {
    list += std::to_string(i + 2) + "=" + added[i] + "\r\n";
  }
  return Gbk(list);
}
const std::string kAfterBeijing = RecentList({"北京"});

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

QJsonObject Snapshot(const ProbeRunner& probe, const char* name) {
  QFile file(QString::fromStdString((probe.OutDir() / (std::string(name) + ".json")).string()));
  if (!file.open(QIODevice::ReadOnly))
    return {};
  return QJsonDocument::fromJson(file.readAll()).object();
}

// What a failed fetch must leave as it was.
void ExpectSameScreen(const QJsonObject& before, const QJsonObject& after) {
  EXPECT_EQ(after["title_label"], before["title_label"]);
  EXPECT_EQ(after["city_slots"], before["city_slots"]);
  EXPECT_EQ(after["nearby_conditions"], before["nearby_conditions"]);
  for (const char* panel : {"画板_主", "画板_信息", "画板_未来", "画板_关注"}) {
    EXPECT_EQ(PanelOps(after, panel), PanelOps(before, panel)) << panel;
  }
}

// The texts the last query drew on a panel.
std::vector<std::string> LastQueryTexts(const QJsonObject& json, const char* panel) {
  const QJsonArray queries = json["queries"].toArray();
  if (queries.isEmpty())
    return {};
  const int start = queries.last().toObject()["start"].toObject()[QString::fromUtf8(panel)].toInt();
  return PanelTexts(json, panel, start);
}

// The screen of a good query of 北京: its title and every section's texts.
void ExpectBeijingShown(const QJsonObject& json) {
  EXPECT_EQ(QueryCities(json).back(), "北京");
  EXPECT_EQ(json["title_label"].toString().toStdString().rfind("北京(", 0), 0u)
      << json["title_label"].toString().toStdString();
  EXPECT_GE(LastQueryTexts(json, "画板_主").size(), 8u);
  EXPECT_GE(LastQueryTexts(json, "画板_信息").size(), 6u);
  EXPECT_GE(LastQueryTexts(json, "画板_未来").size(), 20u);
}

bool IsTemporary(const std::string& name) {
  return name.rfind('.', 0) == 0 && name.find(".tmp-") != std::string::npos;
}

// The portal's picture for a cache file name: NAME.PNG is NAME.png on the portal.
std::string ServedIcon(const std::string& fileName) {
  if (fileName.size() < 4 || fileName.substr(fileName.size() - 4) != ".PNG")
    return {};
  const auto icon = portal::ConditionIcon(fileName.substr(0, fileName.size() - 4) + ".png");
  return std::string(icon.begin(), icon.end());
}

struct IconCensus {
  int whole = 0;   // files byte-equal to the picture the portal serves under that name
  int broken = 0;  // any other file, cut short or not an icon at all
};

// The files of the icon folder, folders and temporary files aside.
IconCensus CountIcons(const fs::path& folder) {
  IconCensus census;
  if (!fs::is_directory(folder))
    return census;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (entry.is_directory() || IsTemporary(name))
      continue;
    const std::string served = ServedIcon(name);
    const bool whole = !served.empty() && ReadBytes(entry.path()) == served;
    ++(whole ? census.whole : census.broken);
    EXPECT_TRUE(whole) << name << ": " << entry.file_size() << " bytes";
  }
  return census;
}

std::vector<std::string> TemporaryFiles(const fs::path& folder) {
  std::vector<std::string> names;
  if (!fs::is_directory(folder))
    return names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    if (IsTemporary(entry.path().filename().string()))
      names.push_back(entry.path().filename().string());
  }
  return names;
}

// ---- A typed query that meets a misbehaving portal after a good start-up ----

struct PortalFault {
  const char* test;
  const char* city;
  std::vector<std::string> options;
  // nullptr: the fetch fails and the screen stays as it was. Otherwise the page is used, and
  // this is the title it shows.
  const char* title;
  const char* recorded;  // the name the page adds to the recent list, if any
  // The whole probe run, start-up and both queries; a few seconds at most, even in a sanitizer
  // build. Without their limits the stall would take a minute and the backtracking far longer.
  double maxSeconds;
};

const std::vector<std::string> kShortTimeOut = {"--http-timeout", "2"};

const PortalFault kPortalFaults[] = {
    {"ResetMidBody", "fault-reset", {}, nullptr, nullptr, 20},
    {"StallPastTheTransferTimeOut", "fault-stall", kShortTimeOut, nullptr, nullptr, 20},
    {"NoAnswerBeforeTheTimeOut", "fault-slow", kShortTimeOut, nullptr, nullptr, 20},
    {"ZeroByteCutsThePageShort", "fault-zero", {}, nullptr, nullptr, 20},
    {"EmptyBody", "fault-empty", {}, nullptr, nullptr, 20},
    {"ShortErrorPage", "fault-short", {}, nullptr, nullptr, 20},
    // No title and no markers: the label is emptied, the sections find nothing, and no empty
    // name reaches the recent list.
    {"Garbage", "fault-garbage", {}, "", nullptr, 20},
    // 20 MiB are cut at 16 MiB; the page at their start is used.
    {"HugeBodyIsCut", "fault-huge", {}, "fault-huge(测试)", "fault-huge", 20},
    {"BacktrackingPageEndsQuickly",
     "fault-backtrack",
     {},
     "fault-backtrack(测试)",
     "fault-backtrack",
     20},
};

void PrintTo(const PortalFault& fault, std::ostream* out) {
  *out << fault.test;
}

class TypedQueryMeets : public ::testing::TestWithParam<PortalFault> {
 protected:
  ProbeRunner probe;
};

TEST_P(TypedQueryMeets, Fault) {
  const PortalFault& fault = GetParam();
  // Longer than the probe's time-out, shorter than the program's own.
  probe.Portal().SetSlowDelay(std::chrono::seconds(30));
  std::vector<std::string> actions = fault.options;
  actions.insert(actions.end(), {"snap=before", std::string("type=") + fault.city, "key=enter",
                                 "snap=after", "type=北京", "key=enter"});

  const Clock::time_point start = Clock::now();
  const ProbeResult result = probe.Run(actions);
  const double seconds = SecondsSince(start);

  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.exit["globals_released"].toInt(), 1);
  EXPECT_LT(seconds, fault.maxSeconds);
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳", fault.city, "北京"));
  const QJsonObject before = Snapshot(probe, "before");
  const QJsonObject after = Snapshot(probe, "after");
  EXPECT_EQ(after["search_text"].toString(), "");
  if (fault.title == nullptr) {
    ExpectSameScreen(before, after);
  } else {
    EXPECT_EQ(after["title_label"].toString().toStdString(), fault.title);
  }
  // The program is still usable: the next query is scraped and recorded as ever.
  ExpectBeijingShown(result.final);
  const std::vector<std::string> added = fault.recorded == nullptr
                                             ? std::vector<std::string>{"北京"}
                                             : std::vector<std::string>{fault.recorded, "北京"};
  EXPECT_EQ(probe.FileBytes("Configuration.ini"), RecentList(added))
      << Utf8(probe.FileBytes("Configuration.ini"));
  EXPECT_EQ(CountIcons(probe.RunDir() / "TP").broken, 0);
}

INSTANTIATE_TEST_SUITE_P(Portal, TypedQueryMeets, ::testing::ValuesIn(kPortalFaults),
                         [](const auto& info) { return std::string(info.param.test); });

// The portal goes away midway: the query after that finds its port closed.
TEST(PortalGoneAway, ConnectionsRefusedAfterAGoodStartUp) {
  std::unique_ptr<PortalGate> gate;
  portal::PortalServer portal(0, [&](const portal::LoggedRequest& request) {
    if (request.target.find("city=shut-the-gate") != std::string::npos)
      gate->Shut();
  });
  gate = std::make_unique<PortalGate>(portal.Port());
  ProbeRunner probe;

  const ProbeResult result = probe.Run(
      {"snap=before", "type=shut-the-gate", "key=enter", "type=北京", "key=enter", "snap=after"},
      gate->Host());
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_THAT(QueryCities(result.final), ElementsAre("岳阳", "shut-the-gate", "北京"));
  // 北京 never reached the portal.
  EXPECT_THAT(portal.CityRequests(), ElementsAre(Gbk("岳阳"), "shut-the-gate"));
  ExpectSameScreen(Snapshot(probe, "before"), Snapshot(probe, "after"));
  EXPECT_EQ(result.final["search_text"].toString(), "");
  EXPECT_EQ(probe.FileBytes("Configuration.ini"), kFirstStart);

  // With the portal back, the next start works from the same files.
  const ProbeResult again = probe.Run({"type=北京", "key=enter"}, portal.Host());
  ASSERT_EQ(again.exitCode, 0);
  ExpectBeijingShown(again.final);
  EXPECT_EQ(probe.FileBytes("Configuration.ini"), kAfterBeijing);
}

// ---- The run folder read-only, full, or its names taken by the wrong kind of entry ----

Environment FailingWrites(const fs::path& folder, const char* error) {
  // A sanitizer build wants its runtime first in the process; the shim comes before it.
  const char* sanitizer = getenv("ASAN_OPTIONS");
  return {{"LD_PRELOAD", QC_WRITE_FAILURE_SHIM_PATH},
          {"QC_FAIL_WRITES_UNDER", fs::absolute(folder).string()},
          {"QC_FAIL_WRITES_ERRNO", error},
          {"ASAN_OPTIONS",
           std::string(sanitizer == nullptr ? "" : sanitizer) + ":verify_asan_link_order=0"}};
}

enum class ConfigAfter { Unchanged, Updated, StillAFolder, Missing };
enum class IconsAfter { None, Stored, StillAFile };

struct WriteFault {
  const char* test;
  // Spoils the folder left by a good first start; returns the probe's extra environment.
  std::function<Environment(ProbeRunner&)> arrange;
  ConfigAfter config;
  IconsAfter icons;
};

const WriteFault kWriteFaults[] = {
    {"ReadOnlyRunFolder", [](ProbeRunner& probe) { return FailingWrites(probe.RunDir(), "EROFS"); },
     ConfigAfter::Unchanged, IconsAfter::None},
    {"ReadOnlyIconFolder",
     [](ProbeRunner& probe) { return FailingWrites(probe.RunDir() / "TP", "EROFS"); },
     ConfigAfter::Updated, IconsAfter::None},
    {"FullDisk", [](ProbeRunner& probe) { return FailingWrites(probe.RunDir(), "ENOSPC"); },
     ConfigAfter::Unchanged, IconsAfter::None},
    // Nothing to start from and nothing can be made: every redraw of the list tries again.
    {"FirstStartInAReadOnlyFolder",
     [](ProbeRunner& probe) {
       fs::remove(probe.RunDir() / "Configuration.ini");
       fs::remove(probe.RunDir() / "TP");
       return FailingWrites(probe.RunDir(), "EROFS");
     },
     ConfigAfter::Missing, IconsAfter::None},
    {"FullIconFolder",
     [](ProbeRunner& probe) { return FailingWrites(probe.RunDir() / "TP", "ENOSPC"); },
     ConfigAfter::Updated, IconsAfter::None},
    {"ConfigurationIsAFolder",
     [](ProbeRunner& probe) {
       fs::remove(probe.RunDir() / "Configuration.ini");
       fs::create_directory(probe.RunDir() / "Configuration.ini");
       return Environment{};
     },
     ConfigAfter::StillAFolder, IconsAfter::Stored},
    // Icons are fetched for each use and never stored.
    {"IconFolderIsAFile",
     [](ProbeRunner& probe) {
       fs::remove(probe.RunDir() / "TP");
       WriteBytes(probe.RunDir() / "TP", "not a folder");
       return Environment{};
     },
     ConfigAfter::Updated, IconsAfter::StillAFile},
    {"IconsAreFolders",
     [](ProbeRunner& probe) {
       for (const std::string& name : probe.Portal().IconRequests()) {
         fs::create_directory(probe.RunDir() / "TP" / (name + ".PNG"));
       }
       return Environment{};
     },
     ConfigAfter::Updated, IconsAfter::Stored},
};

void PrintTo(const WriteFault& fault, std::ostream* out) {
  *out << fault.test;
}

class WritesMeet : public ::testing::TestWithParam<WriteFault> {
 protected:
  ProbeRunner probe;
};

TEST_P(WritesMeet, Fault) {
  const WriteFault& fault = GetParam();
  ASSERT_EQ(probe.Run({}).exitCode, 0);
  // Emptied, so that the faulty run has icons to store.
  for (const fs::directory_entry& entry : fs::directory_iterator(probe.RunDir() / "TP")) {
    fs::remove(entry.path());
  }
  const Environment environment = fault.arrange(probe);
  const fs::path config = probe.RunDir() / "Configuration.ini";
  const std::string oldConfig = fs::is_regular_file(config) ? ReadBytes(config) : "";

  const ProbeResult result = probe.Run({"type=北京", "key=enter"}, "", environment);
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.exit["globals_released"].toInt(), 1);
  ExpectBeijingShown(result.final);
  switch (fault.config) {
    case ConfigAfter::Unchanged:
      EXPECT_EQ(ReadBytes(config), oldConfig);
      break;
    case ConfigAfter::Updated:
      EXPECT_EQ(ReadBytes(config), kAfterBeijing);
      break;
    case ConfigAfter::StillAFolder:
      EXPECT_TRUE(fs::is_directory(config));
      EXPECT_TRUE(fs::is_empty(config));
      break;
    case ConfigAfter::Missing:
      EXPECT_FALSE(fs::exists(config));
      EXPECT_FALSE(fs::exists(probe.RunDir() / "TP"));
      break;
  }
  EXPECT_THAT(TemporaryFiles(probe.RunDir()), ElementsAre());
  EXPECT_THAT(TemporaryFiles(probe.RunDir() / "TP"), ElementsAre());
  const IconCensus icons = CountIcons(probe.RunDir() / "TP");
  EXPECT_EQ(icons.broken, 0);
  switch (fault.icons) {
    case IconsAfter::None:
      EXPECT_EQ(icons.whole, 0);
      break;
    case IconsAfter::Stored:
      EXPECT_GT(icons.whole, 0);
      break;
    case IconsAfter::StillAFile:
      EXPECT_EQ(probe.FileBytes("TP"), "not a folder");
      break;
  }
}

INSTANTIATE_TEST_SUITE_P(Files, WritesMeet, ::testing::ValuesIn(kWriteFaults),
                         [](const auto& info) { return std::string(info.param.test); });

// ---- Killed at random moments while writing ----

// The writer helper (writer_loop_main.cpp) and the pipes to talk to it.
class WriterLoop {
 public:
  WriterLoop(const fs::path& runDir, const std::string& portal, const fs::path& trace) {
    std::vector<std::string> args = {QC_WRITER_LOOP_PATH, runDir.string(), portal, trace.string()};
    std::vector<char*> argv;
    for (std::string& arg : args)
      argv.push_back(arg.data());
    argv.push_back(nullptr);
    int commands[2];
    int answers[2];
    if (pipe2(commands, O_CLOEXEC) != 0 || pipe2(answers, O_CLOEXEC) != 0)
      return;
    pid_ = fork();
    if (pid_ == 0) {
      dup2(commands[0], STDIN_FILENO);
      dup2(answers[1], STDOUT_FILENO);
      execv(argv[0], argv.data());
      _exit(127);
    }
    close(commands[0]);
    close(answers[1]);
    commands_ = commands[1];
    answers_ = answers[0];
  }
  ~WriterLoop() {
    close(commands_);  // end of input ends the helper
    int status = 0;
    waitpid(pid_, &status, 0);
    close(answers_);
  }

  // Starts a writer and returns its process id once it is writing; -1 when it failed to start.
  pid_t Start(char command) {
    Send(command);
    const std::string line = Line();
    return line.rfind("ready ", 0) == 0 ? std::stoi(line.substr(6)) : -1;
  }
  // True when the writer was killed, false when it had finished.
  bool Wait() {
    Send('w');
    return Line() == "killed";
  }

 private:
  void Send(char command) { ASSERT_EQ(write(commands_, &command, 1), 1); }
  std::string Line() {
    std::string line;
    char c = 0;
    while (read(answers_, &c, 1) == 1 && c != '\n')
      line += c;
    return line;
  }

  pid_t pid_ = -1;
  int commands_ = -1;
  int answers_ = -1;
};

std::set<std::string> ReadTrace(const fs::path& path) {
  std::set<std::string> states;
  std::ifstream in(path, std::ios::binary);
  std::size_t length = 0;
  while (in >> length && in.get() == '\n') {
    std::string state(length, '\0');
    in.read(state.data(), static_cast<std::streamsize>(length));
    states.insert(state);
  }
  return states;
}

TEST(KilledWhileWriting, ConfigurationAndIconsAreWholeOrAbsent) {
  ProbeRunner probe;
  const fs::path run = probe.RunDir();
  const fs::path config = run / "Configuration.ini";
  fs::create_directories(run / "TP");
  const fs::path tracePath = run.parent_path() / "trace";
  WriterLoop writers(run, probe.Portal().Host(), tracePath);

  // Every content the writers give Configuration.ini, from the same start, in one whole run.
  const std::string start = RecentList({"北京", "上海", "广州", "深圳"});
  WriteBytes(config, start);
  ASSERT_GT(writers.Start('t'), 0);
  ASSERT_FALSE(writers.Wait());
  std::set<std::string> states = ReadTrace(tracePath);
  ASSERT_GT(states.size(), 20u);
  states.insert(start);

  std::mt19937 random(20241213);
  std::uniform_int_distribution<int> delay(0, 20000);
  int interrupted = 0;
  std::set<std::string> seen;
  std::size_t leftovers = 0;
  for (int round = 0; round < 200; ++round) {
    WriteBytes(config, start);
    const pid_t writer = writers.Start('g');
    ASSERT_GT(writer, 0) << "round " << round;
    std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
    kill(writer, SIGKILL);
    interrupted += writers.Wait();

    const std::string content = ReadBytes(config);
    ASSERT_EQ(states.count(content), 1u) << "round " << round << ":\n" << Utf8(content);
    seen.insert(content);
    ASSERT_EQ(CountIcons(run / "TP").broken, 0) << "round " << round;
    leftovers = TemporaryFiles(run).size() + TemporaryFiles(run / "TP").size();
  }
  // The kills landed in the middle of the writing, not all before it or after it. How many
  // states they catch depends on the machine's speed (a dozen or more here, a few under the
  // sanitizers), so only the least is asked.
  EXPECT_GT(interrupted, 150);
  EXPECT_GT(seen.size(), 1u);
  std::printf(
      "killed %d of 200 writers mid-loop; %zu of %zu possible configurations seen; "
      "%zu temporary files left behind\n",
      interrupted, seen.size(), states.size(), leftovers);

  // Whatever was left, the program starts from Configuration.ini and the whole icons, never
  // from a temporary file beside them.
  const std::string last = Utf8(ReadBytes(config));
  const std::size_t key = last.find("\n1=") + 3;
  const ProbeResult result = probe.Run({});
  ASSERT_EQ(result.exitCode, 0);
  EXPECT_EQ(QueryCities(result.final).at(0), last.substr(key, last.find('\r', key) - key));
  EXPECT_EQ(CountIcons(run / "TP").broken, 0);
  // And it cleans up after the writers it replaces.
  EXPECT_THAT(TemporaryFiles(run), ElementsAre());
  EXPECT_THAT(TemporaryFiles(run / "TP"), ElementsAre());
}

}  // namespace
}  // namespace qc::test
