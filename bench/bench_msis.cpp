// Evaluation rate of the NRLMSISE-00 full-altitude entry gtd7 at 400 km
// (thermosphere) and at 50 km (thermosphere at 72.5 km plus the middle-
// atmosphere splines).
//
// Each iteration changes the universal time, so the model's input caches
// never short-cut the evaluation: the figure is the cost of a fresh point, as
// along an orbit. The "_cached" variants repeat one point and measure the
// cost when the caches hold.
#include <benchmark/benchmark.h>

#include "kest/atmosphere.h"

namespace {

void run_gtd7(benchmark::State& state, double alt, bool vary) {
  int iyd = 172, mass = 48;
  double sec = 29000.0, glat = 60.0, glong = -70.0, stl = 16.0, f107a = 150.0, f107 = 150.0;
  double ap[7] = {4, 4, 4, 4, 4, 4, 4};
  double d[9], t[2];
  for (auto _ : state) {
    if (vary) {
      sec += 1.0;
      if (sec > 86400.0) sec = 0.0;
    }
    double a = alt;
    gtd7_(&iyd, &sec, &a, &glat, &glong, &stl, &f107a, &f107, ap, &mass, d, t);
    benchmark::DoNotOptimize(d);
    benchmark::DoNotOptimize(t);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_gtd7_400km(benchmark::State& s) { run_gtd7(s, 400.0, true); }
void BM_gtd7_50km(benchmark::State& s) { run_gtd7(s, 50.0, true); }
void BM_gtd7_400km_cached(benchmark::State& s) { run_gtd7(s, 400.0, false); }
void BM_gtd7_50km_cached(benchmark::State& s) { run_gtd7(s, 50.0, false); }

}  // namespace

BENCHMARK(BM_gtd7_400km);
BENCHMARK(BM_gtd7_50km);
BENCHMARK(BM_gtd7_400km_cached);
BENCHMARK(BM_gtd7_50km_cached);
