// Time per L* point in the batch program's configuration (IGRF with the
// Olson-Pfitzer quiet model, options (1, 0, 2, 0, 0)) at geostationary
// points, and the cost of its inner loop: one field evaluation (champ_) and
// one field-line step (sksyst_).
//
//   cmake -S . -B build -DKEST_BENCH=ON && cmake --build build -j3 &&
//   build/bench/bench_lstar
#include <benchmark/benchmark.h>

#include <cmath>

#include "kest.h"
#include "magcoords/field_setup.hpp"

namespace {

constexpr int kHours = 24;

// A day of hourly geostationary points at one longitude, in GEO.
struct Day {
  int iyr[kHours], idoy[kHours];
  double ut[kHours], x1[kHours], x2[kHours], x3[kHours], maginput[25 * kHours] = {};
  double lm[kHours], lstar[kHours], blocal[kHours], bmin[kHours], xj[kHours], mlt[kHours];
  Day() {
    double lat = 0.0, lon = -75.2, alt = 35793.0;
    double x, y, z;
    gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
    for (int i = 0; i < kHours; ++i) {
      iyr[i] = 2004;
      idoy[i] = 75;
      ut[i] = 3600.0 * i;
      x1[i] = x;
      x2[i] = y;
      x3[i] = z;
    }
  }
  void run(int n) {
    int kext = 5, options[5] = {1, 0, 2, 0, 0}, sysaxes = 1;
    make_lstar1_(&n, &kext, options, &sysaxes, iyr, idoy, ut, x1, x2, x3, maginput, lm, lstar, blocal, bmin, xj,
                 mlt);
  }
};

// The batch program's case: one call for a day of hourly points, each
// starting from the shell of the hour before.
void BM_LstarPointDay(benchmark::State& state) {
  static Day day;
  for (auto _ : state) {
    day.run(kHours);
    benchmark::DoNotOptimize(day.lstar[kHours - 1]);
  }
  state.SetItemsProcessed(state.iterations() * kHours);
}
BENCHMARK(BM_LstarPointDay)->Unit(benchmark::kMillisecond);

// One point per call: every shell searched from scratch.
void BM_LstarPointScratch(benchmark::State& state) {
  static Day day;
  for (auto _ : state) {
    day.run(1);
    benchmark::DoNotOptimize(day.lstar[0]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_LstarPointScratch)->Unit(benchmark::kMillisecond);

// Set-up of one time of the batch configuration.
void set_up_time() {
  int kext = 5, options[5] = {1, 0, 2, 0, 0}, sysaxes = 1;
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
  const double m[25] = {};
  kest::field_setup_time(s, 2004, 75, 3600.0, 6.6, 0.0, 0.0, m);
}

void BM_Champ(benchmark::State& state) {
  set_up_time();
  double x[3] = {2.4, -5.9, 1.1}, b[3], bl;
  int ifail;
  for (auto _ : state) {
    champ_(x, b, &bl, &ifail);
    benchmark::DoNotOptimize(bl);
    x[2] = -x[2];  // two points, so nothing can be kept from one call to the next
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Champ);

void BM_ChampInternalOnly(benchmark::State& state) {
  int kext = 0, options[5] = {1, 0, 2, 0, 0}, sysaxes = 1;
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
  const double m[25] = {};
  kest::field_setup_time(s, 2004, 75, 3600.0, 6.6, 0.0, 0.0, m);
  double x[3] = {2.4, -5.9, 1.1}, b[3], bl;
  int ifail;
  for (auto _ : state) {
    champ_(x, b, &bl, &ifail);
    benchmark::DoNotOptimize(bl);
    x[2] = -x[2];
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ChampInternalOnly);

void BM_Sksyst(benchmark::State& state) {
  set_up_time();
  double x[3] = {2.4, -5.9, 1.1}, xo[3], bl, h = 0.13;
  int ifail;
  for (auto _ : state) {
    sksyst_(&h, x, xo, &bl, &ifail);
    benchmark::DoNotOptimize(xo[0]);
    h = -h;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Sksyst);

}  // namespace
