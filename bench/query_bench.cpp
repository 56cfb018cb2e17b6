// One query and its sections: scraping alone, and fetch-to-painted-panels on loopback with a
// warm and a cold icon cache, and a page built to make the patterns backtrack.
#include <benchmark/benchmark.h>

#include <unistd.h>
#include <filesystem>
#include <memory>

#include "app/form_state.h"
#include "app/globals.h"
#include "followed/config_file.h"
#include "portal/city_page.h"
#include "portal/portal_server.h"
#include "primitives/native_path.h"
#include "query/forecast_section.h"
#include "query/info_section.h"
#include "query/nearby_section.h"
#include "query/portal_host.h"
#include "query/query_city.h"
#include "query/today_section.h"

namespace qc {
namespace {

// The program's globals, form and a run directory with the portal simulator behind them.
class Program {
 public:
  Program()
      : dir_(std::filesystem::temp_directory_path() / ("qc-bench-" + std::to_string(getpid()))) {
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    CreateGlobals();
    CreateForm();
    RunDirectory = TextPath(dir_);
    StartGraphicsLayer(&GraphicsToken);
    SetPortalHost(portal_.Host());
    CreateMissingFiles();
  }
  ~Program() {
    ReleaseGlobals();
    DestroyForm();
    std::filesystem::remove_all(dir_);
  }
  void EmptyIconCache() {
    std::filesystem::remove_all(dir_ / "TP");
    std::filesystem::create_directory(dir_ / "TP");
  }
  portal::PortalServer& Portal() { return portal_; }

 private:
  std::filesystem::path dir_;
  portal::PortalServer portal_{0};
};

Program& TheProgram() {
  static Program program;
  return program;
}

const Text& Content() {
  static const Text content = ContentSliceOf(portal::BuildCityPage(portal::Cities()[0]));
  return content;
}

const Text kYueyang = "\xD4\xC0\xD1\xF4";  // 岳阳

void BM_NearbySection(benchmark::State& state) {
  TheProgram();
  for (auto _ : state)
    DrawNearbySection(Content());
}
BENCHMARK(BM_NearbySection)->Unit(benchmark::kMicrosecond);

void BM_TodaySection(benchmark::State& state) {
  TheProgram();
  QueryCity(kYueyang);  // fills the icon cache
  for (auto _ : state)
    DrawTodaySection(Content());
}
BENCHMARK(BM_TodaySection)->Unit(benchmark::kMicrosecond);

void BM_InfoSection(benchmark::State& state) {
  TheProgram();
  for (auto _ : state)
    DrawInfoSection(Content());
}
BENCHMARK(BM_InfoSection)->Unit(benchmark::kMicrosecond);

void BM_ForecastSection(benchmark::State& state) {
  TheProgram();
  QueryCity(kYueyang);
  for (auto _ : state)
    DrawForecastSection(Content());
}
BENCHMARK(BM_ForecastSection)->Unit(benchmark::kMicrosecond);

// The scraping of a typical page alone: the title, the content slice and every section's
// patterns, without painting.
void BM_ScrapeOnly(benchmark::State& state) {
  const Text page = portal::BuildCityPage(portal::Cities()[0]);
  for (auto _ : state) {
    benchmark::DoNotOptimize(CityTitle(page));
    const Text content = ContentSliceOf(page);
    benchmark::DoNotOptimize(ScrapeNearbyRows(content));
    benchmark::DoNotOptimize(ScrapeToday(content));
    benchmark::DoNotOptimize(ScrapeInfo(content));
    benchmark::DoNotOptimize(ScrapeForecastDays(content));
  }
}
BENCHMARK(BM_ScrapeOnly)->Unit(benchmark::kMicrosecond);

// The scraping and painting of a whole page, with the icons from a warm cache.
void BM_ScrapeAndPaint(benchmark::State& state) {
  TheProgram();
  QueryCity(kYueyang);
  const Text page = portal::BuildCityPage(portal::Cities()[0]);
  for (auto _ : state) {
    const Text content = ContentSliceOf(page);
    benchmark::DoNotOptimize(CityTitle(page));
    DrawNearbySection(content);
    DrawTodaySection(content);
    DrawInfoSection(content);
    DrawForecastSection(content);
  }
}
BENCHMARK(BM_ScrapeAndPaint)->Unit(benchmark::kMicrosecond);

void BM_QueryCityWarmCache(benchmark::State& state) {
  TheProgram();
  QueryCity(kYueyang);
  for (auto _ : state)
    QueryCity(kYueyang);
}
BENCHMARK(BM_QueryCityWarmCache)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_QueryCityColdCache(benchmark::State& state) {
  Program& program = TheProgram();
  for (auto _ : state) {
    state.PauseTiming();
    program.EmptyIconCache();
    state.ResumeTiming();
    QueryCity(kYueyang);
  }
}
BENCHMARK(BM_QueryCityColdCache)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PathologicalPage(benchmark::State& state) {
  Program& program = TheProgram();
  (void)program;
  for (auto _ : state)
    QueryCity("fault-backtrack");
}
BENCHMARK(BM_PathologicalPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace qc
