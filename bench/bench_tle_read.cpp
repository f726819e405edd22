// Reading a two-line element file: time of the driver on a file of N blank
// lines before one element set (propagated over one step), for N from 2^10
// to 2^20. Reading is linear in the size of the file: the fitted
// complexity should be O(N), the time per blank line constant.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "kest/orbit.h"

namespace {

const char* const set_lines =
    "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  3985\n"
    "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774\n";

void BM_TleBlankLinesBeforeASet(benchmark::State& state) {
  char tmpl[] = "/tmp/kest_bench_tle_XXXXXX";
  const char* dir = mkdtemp(tmpl);
  if (dir == nullptr) {
    state.SkipWithError("no scratch folder");
    return;
  }
  std::string in = std::string(dir) + "/sets.tle", out = std::string(dir) + "/orbit.txt";
  if (std::FILE* f = std::fopen(in.c_str(), "w")) {
    for (int64_t k = 0; k < state.range(0); ++k) std::fputc('\n', f);
    std::fputs(set_lines, f);
    std::fclose(f);
  }
  int runtype = 1, li = static_cast<int>(in.size()), lo = static_cast<int>(out.size());
  double start = 0.0, stop = 60.0, step = 60.0;
  for (auto _ : state) sgp4_tle1_(&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo);
  state.SetComplexityN(state.range(0));
  std::remove(in.c_str());
  std::remove(out.c_str());
  rmdir(dir);
}

}  // namespace

BENCHMARK(BM_TleBlankLinesBeforeASet)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
