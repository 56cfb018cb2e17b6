// Benchmarks that paint need a QApplication on the offscreen platform.
#include <benchmark/benchmark.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  // Qt wants a private runtime directory and complains on every start without one.
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    const std::string runtime = "/tmp/qingchuang-runtime-" + std::to_string(getuid());
    mkdir(runtime.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv))
    return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
