// Benchmarks that paint need a QApplication on the offscreen platform.
#include <benchmark/benchmark.h>
#include <QApplication>

#include "app/headless_platform.h"

int main(int argc, char** argv) {
  qc::UseHeadlessPlatform();
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
