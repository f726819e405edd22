// SGP4/SDP4 throughput: propagations per second for a near-Earth, a
// deep-space (non-resonant) and a resonant (12 h Molniya) element set, and
// initialisations per second. WGS-84 constants, as the library's drivers use.
#include <benchmark/benchmark.h>

#include <cmath>

#include "kest/orbit.h"

namespace {

constexpr double deg = 3.14159265358979323846 / 180.0;
constexpr double revday = 2.0 * 3.14159265358979323846 / 1440.0;

struct Elements {
  int satnum;
  double epoch, bstar, ecc, incl, node, argp, mo, n;
};

// Element sets of the public verification suite (epochs in days from
// 1949-12-31 00:00 UT).
const Elements near_earth{28057, 20631.78615833, 0.35940e-4, 0.0000884, 98.4283,
                          247.6961, 88.1964, 271.9322, 14.35478080};
const Elements deep_space{20413, 20452.79166667, 0.0, 0.7864447, 12.3514,
                          187.4253, 196.3027, 356.5478, 0.24690082};
const Elements resonant{8195, 20630.33215444, 0.11873e-3, 0.6877146, 64.1586,
                        279.0717, 264.7651, 20.2257, 2.00491383};

int init(const Elements& e) {
  int whichconst = 84, satn = e.satnum, err = 0;
  double bstar = e.bstar, ecc = e.ecc, epoch = e.epoch, argp = e.argp * deg,
         incl = e.incl * deg, mo = e.mo * deg, no = e.n * revday, node = e.node * deg;
  sgp4init_(&whichconst, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &err);
  return err;
}

// One day of one-minute steps per iteration; items = propagations.
void propagate_day(benchmark::State& state, const Elements& e) {
  if (init(e) != 0) state.SkipWithError("set-up failed");
  int whichconst = 84, err = 0;
  double r[3], v[3];
  for (auto _ : state) {
    for (int k = 0; k < 1440; ++k) {
      double t = k;
      sgp4_(&whichconst, &t, r, v, &err);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * 1440);
}

void BM_Sgp4NearEarth(benchmark::State& s) { propagate_day(s, near_earth); }
void BM_Sgp4DeepSpace(benchmark::State& s) { propagate_day(s, deep_space); }
void BM_Sgp4Resonant(benchmark::State& s) { propagate_day(s, resonant); }

// Resonant set far from its epoch: the integration restarts from the epoch
// in every call (one 720-minute step per half day), so the cost grows with
// the time. Argument: days from epoch.
void BM_Sgp4ResonantFar(benchmark::State& state) {
  if (init(resonant) != 0) state.SkipWithError("set-up failed");
  int whichconst = 84, err = 0;
  double r[3], v[3], t = state.range(0) * 1440.0;
  for (auto _ : state) {
    sgp4_(&whichconst, &t, r, v, &err);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_Sgp4Init(benchmark::State& state, const Elements& e) {
  for (auto _ : state) benchmark::DoNotOptimize(init(e));
  state.SetItemsProcessed(state.iterations());
}
void BM_Sgp4InitNearEarth(benchmark::State& s) { BM_Sgp4Init(s, near_earth); }
void BM_Sgp4InitResonant(benchmark::State& s) { BM_Sgp4Init(s, resonant); }

}  // namespace

BENCHMARK(BM_Sgp4NearEarth);
BENCHMARK(BM_Sgp4DeepSpace);
BENCHMARK(BM_Sgp4Resonant);
BENCHMARK(BM_Sgp4ResonantFar)->Arg(1)->Arg(30)->Arg(365);
BENCHMARK(BM_Sgp4InitNearEarth);
BENCHMARK(BM_Sgp4InitResonant);
