// Evaluation rate of the NRLMSISE-00 full-altitude entry gtd7 at 400 km
// (thermosphere) and at 50 km (thermosphere at 72.5 km plus the middle-
// atmosphere splines).
//
// Each iteration changes the universal time, so the entry's input cache
// never short-cuts the evaluation: the figure is the cost of a fresh point, as
// along an orbit. Latitude, longitude and local time stay, so the
// expansion's Legendre functions and local-time harmonics are kept; a new
// place each call adds under 2 per cent at 400 km. The "_cached" variants
// repeat one point and measure the cost when the caches hold (above 72.5 km
// the thermosphere is still evaluated on every call).
//
// The drivers: NRLMSISE-00, MSISE-90 and MSIS-86 over a 1000-point track at
// 400 km.
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

// The three drivers over a 1000-point orbit-like series at 400 km.
template <void (*Driver)(int*, int*, int*, double*, double*, double*, double*, double*, double*,
                         double*, double*, double*)>
void run_driver(benchmark::State& state) {
  constexpr int n = 1000;
  static int doy[n];
  static double ut[n], alt[n], lat[n], lon[n], fa[n], f[n], ap[7 * n], dens[9 * n], temp[2 * n];
  for (int i = 0; i < n; ++i) {
    doy[i] = 172;
    ut[i] = 29000.0 + 10.0 * i;
    alt[i] = 400.0;
    lat[i] = -60.0 + 0.12 * i;
    lon[i] = -180.0 + 0.36 * i;
    fa[i] = f[i] = 150.0;
  }
  for (double& a : ap) a = 4.0;
  int count = n, which = 1;
  for (auto _ : state) {
    Driver(&count, &which, doy, ut, alt, lat, lon, fa, f, ap, dens, temp);
    benchmark::DoNotOptimize(dens);
  }
  state.SetItemsProcessed(state.iterations() * n);
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
BENCHMARK(run_driver<nrlmsise00_>)->Name("BM_nrlmsise00_driver_400km");
BENCHMARK(run_driver<msise90_>)->Name("BM_msise90_driver_400km");
BENCHMARK(run_driver<msis86_>)->Name("BM_msis86_driver_400km");
