// SGP4/SDP4 throughput, WGS-84 constants as the library's drivers use:
// - a day of one-minute steps from the epoch for a near-Earth, a deep-space
//   (not resonant) and a 12 h resonant (Molniya) element set;
// - cold calls of the 12 h set 1, 30 and 365 days from the epoch, each
//   integrating the resonance from the epoch;
// - one-minute steps over days 29 to 31 for the 12 h, the 24 h
//   (geostationary) and an inclined 24 h resonant set, and for the same sets
//   moved out of the resonance bands;
// - initialisations per second, near-Earth and 12 h resonant.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>

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
const Elements geostationary{28626, 20630.46683397, 0.1e-3, 0.0000335, 0.0019,
                             286.9433, 13.7918, 55.6504, 1.00270176};
// An inclined geosynchronous orbit (the shape of the navigation satellites on
// inclined 24 h orbits): the 24 h set tilted to 55 deg, e = 0.003. Not of the
// verification suite; above 0.2 rad the propagator skips Lyddane's
// low-inclination form, so this is the cheapest resonant shape per call.
const Elements inclined_geosync{99001, 20630.46683397, 0.0, 0.0030, 55.0,
                                286.9433, 13.7918, 55.6504, 1.00270176};

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

// Resonant set far from its epoch, a cold call: the times alternate between
// +d and -d days, so every call lies across the epoch from the one before and
// integrates from the epoch (one 720-minute step per half day); the cost
// grows with the time. Argument: days from epoch.
void BM_Sgp4ResonantFar(benchmark::State& state) {
  if (init(resonant) != 0) state.SkipWithError("set-up failed");
  int whichconst = 84, err = 0;
  double r[3], v[3];
  const double t_fwd = state.range(0) * 1440.0, t_back = -t_fwd;
  for (auto _ : state) {
    double t = t_fwd;
    sgp4_(&whichconst, &t, r, v, &err);
    benchmark::DoNotOptimize(r);
    t = t_back;
    sgp4_(&whichconst, &t, r, v, &err);
    benchmark::DoNotOptimize(r);
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

// A month after the epoch, the usual driver pattern: one-minute steps over
// days 29 to 31, per call. Each pass starts again at day 29 (for a resonant
// set, one integration from the epoch per 2880 calls).
void propagate_month(benchmark::State& state, const Elements& e) {
  if (init(e) != 0) state.SkipWithError("set-up failed");
  int whichconst = 84, err = 0;
  double r[3], v[3];
  constexpr int calls = 2 * 1440;
  for (auto _ : state) {
    for (int k = 0; k < calls; ++k) {
      double t = 29.0 * 1440.0 + k;
      sgp4_(&whichconst, &t, r, v, &err);
      benchmark::DoNotOptimize(r);
    }
  }
  state.SetItemsProcessed(state.iterations() * calls);
}

const Elements& month_set(std::int64_t which) {
  return which == 0 ? resonant : which == 1 ? geostationary : inclined_geosync;
}

// Argument: 0 the 12 h set, 1 the 24 h set, 2 the inclined 24 h set.
void BM_Sgp4ResonantMonth(benchmark::State& state) {
  propagate_month(state, month_set(state.range(0)));
}

// The same series for deep-space sets that are not resonant but otherwise
// like the two above: the 12 h set at 1.8 rev/day and the 24 h set at
// 0.7 rev/day (both outside the resonance bands), same eccentricity and
// inclination, so the same Kepler and luni-solar work per call. The
// difference to BM_Sgp4ResonantMonth is what the resonance itself costs.
// Argument: 0 like the 12 h set, 1 and 2 like the 24 h sets.
void BM_Sgp4MonthNotResonant(benchmark::State& state) {
  Elements e = month_set(state.range(0));
  e.n = state.range(0) == 0 ? 1.8 : 0.7;
  propagate_month(state, e);
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
BENCHMARK(BM_Sgp4ResonantMonth)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Sgp4MonthNotResonant)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK(BM_Sgp4InitNearEarth);
BENCHMARK(BM_Sgp4InitResonant);
