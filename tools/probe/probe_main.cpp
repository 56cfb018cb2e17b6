// qingchuang-probe --portal HOST[:PORT] --run-dir DIR --out DIR [--http-timeout SECONDS]
//                  [ACTION ...]
#include <QApplication>
#include <cstdio>
#include <string>

#include "app/headless_platform.h"
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
  qc::UseHeadlessPlatform();
  QApplication app(argc, argv);
  return qc::RunProbe(options);
}
