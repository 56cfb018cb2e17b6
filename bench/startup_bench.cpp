// Start-up to the first painted window, at process level: the probe runs the real start-up
// against the simulator and exits. Reports the child's peak resident memory too.
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <filesystem>
#include <string>

#include "portal/portal_server.h"

namespace {

void BM_StartUpThroughTheProbe(benchmark::State& state) {
  qc::portal::PortalServer portal(0);
  const auto root =
      std::filesystem::temp_directory_path() / ("qc-bench-start-" + std::to_string(getpid()));
  std::filesystem::remove_all(root);
  long peakKb = 0;
  bool warm = state.range(0) != 0;
  for (auto _ : state) {
    state.PauseTiming();
    if (!warm)
      std::filesystem::remove_all(root / "run");
    state.ResumeTiming();
    const std::string host = portal.Host();
    const std::string run = (root / "run").string();
    const std::string out = (root / "out").string();
    const pid_t child = fork();
    if (child == 0) {
      execl(QC_PROBE_PATH, QC_PROBE_PATH, "--portal", host.c_str(), "--run-dir", run.c_str(),
            "--out", out.c_str(), static_cast<char*>(nullptr));
      _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    peakKb = std::max(peakKb, usage.ru_maxrss);
  }
  state.counters["peak_rss_MB"] = static_cast<double>(peakKb) / 1024.0;
  std::filesystem::remove_all(root);
}
BENCHMARK(BM_StartUpThroughTheProbe)
    ->Arg(1)
    ->ArgName("warm")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(10);

}  // namespace
