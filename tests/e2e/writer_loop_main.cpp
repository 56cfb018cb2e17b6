// qc-writer-loop RUN_DIR PORTAL_HOST [--trace FILE]
//
// Runs the program's two writers, the recent list and the icon cache, in a tight loop in RUN_DIR
// so that a test can kill it with SIGKILL at random moments and look at what is left. It prints
// "ready" once its set-up is done and the loop is about to start. The loop has a fixed length and
// a fixed order: from the same Configuration.ini it always writes the same files in the same
// sequence. With --trace it runs to the end and stores every content Configuration.ini was given,
// in order, as "<length>\n<bytes>" records: the states a killed run may leave.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

}  // namespace

// The program's files reach their names only through rename (files.cpp), so this is the one
// place that sees every state the configuration passes through. Defined in the executable, it
// takes the place of the C library's rename for the program's code linked in here.
extern "C" int rename(const char* from, const char* to) noexcept {
  const int result = renameat(AT_FDCWD, from, AT_FDCWD, to);
  if (result == 0 && g_tracing &&
      std::filesystem::path(to).filename() == "Configuration.ini") {
    g_states.push_back(FileBytes(to));
  }
  return result;
}

int main(int argc, char** argv) {
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--trace")) {
    std::fprintf(stderr, "usage: qc-writer-loop RUN_DIR PORTAL_HOST [--trace FILE]\n");
    return 2;
  }
  g_tracing = argc == 5;
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::string runtime = "/tmp/qingchuang-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // The recent list redraws its panel after every change, and text needs fonts.
  QGuiApplication app(argc, argv);

  qc::OverrideProgramDirectory(qc::TextPath(std::filesystem::absolute(argv[1])));
  qc::SetPortalHost(argv[2]);
  qc::CreateGlobals();
  qc::CreateForm();
  qc::RunDirectory = qc::ProgramDirectory();
  qc::StartGraphicsLayer(&qc::GraphicsToken);
  // Loads the fonts before the loop, so that the loop is all writing.
  qc::RefreshFollowedPanel(qc::RefreshMode::Rows);

  // More cities than the list holds: the loop goes through appending, the full list's shift
  // and, once all are known, moving a city to the front.
  const char* const cities[] = {"北京", "上海", "广州", "深圳", "杭州", "南京", "武汉", "成都"};
  const char* const icons[] = {"qing", "duoyun", "yin", "xiaoyu", "qing_1", "duoyun_1"};
  const std::filesystem::path folder = std::filesystem::absolute(argv[1]) / "TP";
  std::printf("ready\n");
  std::fflush(stdout);

  for (int step = 0; step < 300; ++step) {
    qc::RecordRecentCity(qc::test::Gbk(cities[step % std::size(cities)]));
    // Removed first, so that every step downloads and stores the icon again.
    const std::string icon = icons[step % std::size(icons)];
    std::filesystem::remove(folder / (icon + ".PNG"));
    qc::ResolveIcon(icon, ".PNG", ".png");
  }

  if (g_tracing) {
    std::ofstream trace(argv[4], std::ios::binary | std::ios::trunc);
    for (const std::string& state : g_states) trace << state.size() << '\n' << state;
  }
  qc::ReleaseGlobals();
  qc::DestroyForm();
  return 0;
}
