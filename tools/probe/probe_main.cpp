// qingchuang-probe --portal HOST[:PORT] --run-dir DIR --out DIR [ACTION ...]
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "probe/probe_run.h"

int main(int argc, char** argv) {
  qc::ProbeOptions options;
  std::string error;
  if (!qc::ParseProbeArguments(argc, argv, options, error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    std::fprintf(stderr,
                 "usage: qingchuang-probe --portal HOST[:PORT] --run-dir DIR --out DIR [ACTION ...]\n"
                 "actions: type=TEXT key=enter key=escape key=a click-search press=X,Y move=X,Y\n"
                 "         snap=NAME strip\n");
    return 2;
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return qc::RunProbe(options);
}
