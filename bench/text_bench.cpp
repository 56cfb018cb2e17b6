// The text and pattern operations on a typical 60 KB city page.
#include <benchmark/benchmark.h>

#include "portal/city_page.h"
#include "primitives/pattern.h"
#include "primitives/text_array.h"
#include "query/query_city.h"

namespace qc {
namespace {

const Text& Page() {
  static const Text page = [] {
    Text p = portal::BuildCityPage(portal::Cities()[0]);
    while (p.size() < 60000)
      p += p.substr(0, 60000 - p.size());
    return p;
  }();
  return page;
}

void BM_FindTextFromStart(benchmark::State& state) {
  const Text needle = "\xBB\xFA\xB3\xA1\xCC\xEC\xC6\xF8\xB9\xF6\xB6\xAF";  // 机场天气滚动
  for (auto _ : state)
    benchmark::DoNotOptimize(FindText(Page(), needle));
}
BENCHMARK(BM_FindTextFromStart);

void BM_FindTextReverse(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(FindTextReverse(Page(), "/"));
}
BENCHMARK(BM_FindTextReverse);

void BM_SplitText(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(SplitText(Page(), ">"));
}
BENCHMARK(BM_SplitText);

void BM_RemoveSpaces(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(RemoveSpaces(Page()));
}
BENCHMARK(BM_RemoveSpaces);

void BM_SearchAllCells(benchmark::State& state) {
  Pattern pattern;
  CompilePattern(pattern, "<td>(.*?)</td>");
  for (auto _ : state)
    benchmark::DoNotOptimize(SearchAllPatterns(pattern, Page()));
}
BENCHMARK(BM_SearchAllCells);

void BM_ContentSlice(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(ContentSliceOf(Page()));
}
BENCHMARK(BM_ContentSlice);

}  // namespace
}  // namespace qc
