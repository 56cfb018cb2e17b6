// qingchuang-probe --portal HOST[:PORT] --run-dir DIR --out DIR [--http-timeout SECONDS]
//                  [ACTION ...]
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "probe/probe_run.h"

int main(int argc, char** argv) {
  qc::ProbeOptions options;
  std::string error;
  if (!qc::ParseProbeArguments(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::fprintf(stderr,
                 "usage: qingchuang-probe --portal HOST[:PORT] --run-dir DIR --out DIR\n"
                 "                        [--http-timeout SECONDS] [ACTION ...]\n"
                 "actions: type=TEXT key=enter key=escape key=a click-search press=X,Y move=X,Y\n"
                 "         snap=NAME strip\n");
    return 2;
  }
  // Qt wants a private runtime directory and complains on every start without one.
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::string runtime = "/tmp/qingchuang-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return qc::RunProbe(options);
}
