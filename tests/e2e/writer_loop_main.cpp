// qc-writer-loop RUN_DIR PORTAL_HOST TRACE_FILE
//
// Runs the program's two writers, the recent list and the icon cache, in a tight loop in RUN_DIR,
// so that a test can kill a writer with SIGKILL at random moments and look at what is left.
// Commands, one byte each, on standard input:
//   g  start a writer; it prints "ready PID" once its set-up is done and the loop begins
//   t  the same, but the writer runs to the end and stores in TRACE_FILE every content it gave
//      Configuration.ini, in order, as "<length>\n<bytes>" records: the states a kill may leave
//   w  wait for the writer to end; prints "killed" or "finished"
// The loop has a fixed length and order, so from the same Configuration.ini every writer writes
// the same files in the same sequence. Writers are forked from this process once Qt, its fonts and
// the program's globals are loaded, so that a writer starts quickly; each creates the form and
// paints by itself, since painting starts threads that a fork would not carry over.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/form_state.h"
#include "app/globals.h"
#include "app/headless_platform.h"
#include "followed/followed_panel.h"
#include "followed/recent_list.h"
#include "primitives/files.h"
#include "primitives/native_path.h"
#include "query/icon_cache.h"
#include "query/portal_host.h"
#include "support/gbk_literal.h"

namespace {

std::vector<std::string> g_states;
bool g_tracing = false;

std::string FileBytes(const char* path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void RunWriter(const std::filesystem::path& runDir, const char* trace) {
  g_tracing = trace != nullptr;
  qc::CreateForm();
  qc::StartGraphicsLayer(&qc::GraphicsToken);
  // Paints once before the loop, so that the loop is all writing.
  qc::RefreshFollowedPanel(qc::RefreshMode::Rows);

  // Started from a list of five (the test's), the first steps already go through every kind
  // of change: appending the sixth, the full list's shift, and moving a known city to the front.
  const char* const cities[] = {"杭州", "南京", "北京", "武汉", "上海", "成都"};
  const char* const icons[] = {"qing", "duoyun", "yin", "xiaoyu", "qing_1", "duoyun_1"};
  std::printf("ready %d\n", static_cast<int>(getpid()));
  std::fflush(stdout);

  for (int step = 0; step < 300; ++step) {
    qc::RecordRecentCity(qc::test::Gbk(cities[step % std::size(cities)]));
    // An icon on every third step keeps the loop quick while every kind of write still comes
    // up within a few milliseconds. Removed first, so that it is downloaded and stored again.
    if (step % 3 == 0) {
      const std::string icon = icons[step / 3 % std::size(icons)];
      std::filesystem::remove(runDir / "TP" / (icon + ".PNG"));
      qc::ResolveIcon(icon, ".PNG", ".png");
    }
  }
  if (g_tracing) {
    std::ofstream out(trace, std::ios::binary | std::ios::trunc);
    for (const std::string& state : g_states)
      out << state.size() << '\n' << state;
  }
}

}  // namespace

// The program's files reach their names only through rename (files.cpp), so this is the one
// place that sees every state the configuration passes through. Defined in the executable, it
// takes the place of the C library's rename for the program's code linked in here.
extern "C" int rename(const char* from, const char* to) noexcept {
  const int result = renameat(AT_FDCWD, from, AT_FDCWD, to);
  if (result == 0 && g_tracing && std::filesystem::path(to).filename() == "Configuration.ini") {
    g_states.push_back(FileBytes(to));
  }
  return result;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: qc-writer-loop RUN_DIR PORTAL_HOST TRACE_FILE\n");
    return 2;
  }
  qc::UseHeadlessPlatform();
  // The recent list redraws its panel after every change, and text needs fonts. Measuring text
  // loads the font list and the faces without painting.
  QGuiApplication app(argc, argv);
  QFontDatabase::families();
  for (const char* family : {"AR PL UMing CN", "WenQuanYi Zen Hei"}) {
    QFontMetrics(QFont(QString::fromLatin1(family))).horizontalAdvance(QString::fromUtf8("岳阳"));
  }

  const std::filesystem::path runDir = std::filesystem::absolute(argv[1]);
  qc::OverrideProgramDirectory(qc::TextPath(runDir));
  qc::SetPortalHost(argv[2]);
  qc::CreateGlobals();
  qc::RunDirectory = qc::ProgramDirectory();
  pid_t writer = -1;
  for (int command = std::getchar(); command != EOF; command = std::getchar()) {
    if (command == 'g' || command == 't') {
      std::fflush(stdout);
      writer = fork();
      if (writer == 0) {
        RunWriter(runDir, command == 't' ? argv[3] : nullptr);
        std::fflush(stdout);
        _exit(0);
      }
    } else if (command == 'w' && writer > 0) {
      int status = 0;
      waitpid(writer, &status, 0);
      writer = -1;
      std::printf(WIFSIGNALED(status) ? "killed\n" : "finished\n");
      std::fflush(stdout);
    }
  }
  return 0;
}
