// Time per L* point at geostationary points, and the cost of its inner loop:
// one field evaluation (champ_) and one field-line step (sksyst_).
//
// - The batch program's configuration (IGRF with the Olson-Pfitzer quiet
//   model, options (1, 0, 2, 0, 0)): a day of hourly points in one call
//   against the same points one per call, and one point from scratch.
// - Scattered points (six longitudes x eight unrelated times) in one call
//   against one point per call, Olson-Pfitzer quiet and Tsyganenko 1989.
// - The cost of the resolution options: options(3) (colatitude steps) and
//   options(4) (field lines of the drift shell), one point per call.
//
// Every L* case reports s_per_pt (CPU time per point, seconds) and
// evals_per_pt (field evaluations per point). The evaluations are counted by
// a champ_ defined here, which the library's own calls reach (they go
// through the dynamic symbol: the benchmark build does not bind them to the
// library's own routines) and which counts and hands over to the library's
// champ_; the library's code is unchanged.
//
//   cmake -S . -B build-bench -DKEST_BENCH=ON -DKEST_TESTS=OFF &&
//   cmake --build build-bench -j3 &&
//   build-bench/bench/bench_lstar --benchmark_repetitions=3
#include <benchmark/benchmark.h>
#include <dlfcn.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "kest.h"
#include "magcoords/field_setup.hpp"

// ---- Field-evaluation counter -------------------------------------------
namespace {
using ChampFn = void (*)(double*, double*, double*, int*);
long long g_field_evals = 0;
ChampFn library_champ() {
  static ChampFn f = [] {
    void* p = dlsym(RTLD_NEXT, "champ_");
    if (p == nullptr) {
      std::fprintf(stderr, "bench_lstar: champ_ not found in the library\n");
      std::exit(1);
    }
    return reinterpret_cast<ChampFn>(p);
  }();
  return f;
}
}  // namespace

extern "C" void champ_(double* xGEO, double* BxGEO, double* Blocal, int* ifail) {
  ++g_field_evals;
  library_champ()(xGEO, BxGEO, Blocal, ifail);
}

namespace {

// Time per point and field evaluations per point of an L* case; `points`
// points per iteration, `evals0` the counter before the loop.
void report(benchmark::State& state, int points, long long evals0) {
  const double n = static_cast<double>(state.iterations()) * points;
  // A rate of points per second, inverted: seconds per point.
  state.counters["s_per_pt"] = benchmark::Counter(n, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["evals_per_pt"] = static_cast<double>(g_field_evals - evals0) / n;
}

// A series of points for make_lstar1_, in GEO, with all its outputs.
struct Points {
  int n = 0;
  std::vector<int> iyr, idoy;
  std::vector<double> ut, x1, x2, x3, maginput;
  std::vector<double> lm, lstar, blocal, bmin, xj, mlt;
  // A geostationary point (equator, 35793 km above the ellipsoid) at a
  // longitude and time, with Kp x 10 in maginput(1) (read by kext 4 only).
  void add(double lon, int year, int doy, double secs, double kp10) {
    double lat = 0.0, alt = 35793.0, x, y, z;
    gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
    iyr.push_back(year);
    idoy.push_back(doy);
    ut.push_back(secs);
    x1.push_back(x);
    x2.push_back(y);
    x3.push_back(z);
    maginput.resize(maginput.size() + 25, 0.0);
    maginput[25 * n] = kp10;
    ++n;
    for (auto* v : {&lm, &lstar, &blocal, &bmin, &xj, &mlt}) v->resize(n);
  }
  // make_lstar1_ on `count` points from point `first`.
  void run(int first, int count, int kext, int opt3 = 2, int opt4 = 0) {
    int options[5] = {1, 0, opt3, opt4, 0}, sysaxes = 1;
    const int i = first;
    make_lstar1_(&count, &kext, options, &sysaxes, &iyr[i], &idoy[i], &ut[i], &x1[i], &x2[i], &x3[i],
                 &maginput[25 * i], &lm[i], &lstar[i], &blocal[i], &bmin[i], &xj[i], &mlt[i]);
  }
};

constexpr int kHours = 24;

// A day of hourly geostationary points at longitude -75.2 (the batch
// program's example).
const Points& day() {
  static const Points p = [] {
    Points q;
    for (int i = 0; i < kHours; ++i) q.add(-75.2, 2004, 75, 3600.0 * i, 0.0);
    return q;
  }();
  return p;
}

// Six longitudes x eight unrelated times, time by time (the six longitudes
// of one time, then the next time), Kp 2.
const Points& scattered() {
  static const Points p = [] {
    const double lon[6] = {-75.2, -15.0, 36.5, 98.0, 145.0, -160.0};
    const int year[8] = {2001, 2004, 2002, 2007, 2003, 2005, 2008, 2006};
    const int doy[8] = {32, 75, 171, 290, 355, 110, 202, 5};
    const double secs[8] = {4300.0, 43200.0, 77000.0, 22100.0, 61000.0, 9900.0, 51500.0, 33000.0};
    Points q;
    for (int t = 0; t < 8; ++t)
      for (double l : lon) q.add(l, year[t], doy[t], secs[t], 20.0);
    return q;
  }();
  return p;
}

// The batch program's case: one call for a day of hourly points, each
// starting from the shell of the hour before.
void BM_LstarPointDay(benchmark::State& state) {
  Points p = day();
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    p.run(0, kHours, 5);
    benchmark::DoNotOptimize(p.lstar[kHours - 1]);
  }
  report(state, kHours, e0);
}
BENCHMARK(BM_LstarPointDay)->Unit(benchmark::kMillisecond);

// The same day, one point per call: every shell searched from scratch.
void BM_LstarDayPerPoint(benchmark::State& state) {
  Points p = day();
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    for (int i = 0; i < kHours; ++i) p.run(i, 1, 5);
    benchmark::DoNotOptimize(p.lstar[kHours - 1]);
  }
  report(state, kHours, e0);
}
BENCHMARK(BM_LstarDayPerPoint)->Unit(benchmark::kMillisecond);

// One point (the first of the day) per call: its shell searched from
// scratch.
void BM_LstarPointScratch(benchmark::State& state) {
  Points p = day();
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    p.run(0, 1, 5);
    benchmark::DoNotOptimize(p.lstar[0]);
  }
  report(state, 1, e0);
}
BENCHMARK(BM_LstarPointScratch)->Unit(benchmark::kMillisecond);

// The 48 scattered points in one call (each time's search starts from the
// shell of the point before it), argument kext (5 or 4).
void BM_LstarScatteredOneCall(benchmark::State& state) {
  Points p = scattered();
  const int kext = static_cast<int>(state.range(0));
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    p.run(0, p.n, kext);
    benchmark::DoNotOptimize(p.lstar[p.n - 1]);
  }
  report(state, p.n, e0);
}
BENCHMARK(BM_LstarScatteredOneCall)->Arg(5)->Arg(4)->Unit(benchmark::kMillisecond);

// The same 48 points, one per call (every shell from scratch).
void BM_LstarScatteredPerPoint(benchmark::State& state) {
  Points p = scattered();
  const int kext = static_cast<int>(state.range(0));
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    for (int i = 0; i < p.n; ++i) p.run(i, 1, kext);
    benchmark::DoNotOptimize(p.lstar[p.n - 1]);
  }
  report(state, p.n, e0);
}
BENCHMARK(BM_LstarScatteredPerPoint)->Arg(5)->Arg(4)->Unit(benchmark::kMillisecond);

// options(3): 720 x (options(3) + 1) colatitude steps over 180 degrees;
// one point per call, 25 field lines.
void BM_LstarOption3(benchmark::State& state) {
  Points p = day();
  const int opt3 = static_cast<int>(state.range(0));
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    p.run(0, 1, 5, opt3, 0);
    benchmark::DoNotOptimize(p.lstar[0]);
  }
  report(state, 1, e0);
}
BENCHMARK(BM_LstarOption3)->Arg(0)->Arg(1)->Arg(2)->Arg(4)->Arg(9)->Unit(benchmark::kMillisecond);

// options(4): a drift shell of 25 x (options(4) + 1) field lines; one point
// per call, options(3) = 2.
void BM_LstarOption4(benchmark::State& state) {
  Points p = day();
  const int opt4 = static_cast<int>(state.range(0));
  const long long e0 = g_field_evals;
  for (auto _ : state) {
    p.run(0, 1, 5, 2, opt4);
    benchmark::DoNotOptimize(p.lstar[0]);
  }
  report(state, 1, e0);
}
BENCHMARK(BM_LstarOption4)->Arg(0)->Arg(1)->Arg(3)->Arg(9)->Unit(benchmark::kMillisecond);

// Set-up of one time of the batch configuration (kext 5, or 0 for IGRF
// alone).
void set_up_time(int kext) {
  int options[5] = {1, 0, 2, 0, 0}, sysaxes = 1;
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
  const double m[25] = {};
  kest::field_setup_time(s, 2004, 75, 3600.0, 6.6, 0.0, 0.0, m);
}

// One field evaluation (through the counting champ_ above, which adds an
// indirect call and an increment).
void BM_Champ(benchmark::State& state) {
  set_up_time(static_cast<int>(state.range(0)));
  double x[3] = {2.4, -5.9, 1.1}, b[3], bl;
  int ifail;
  for (auto _ : state) {
    champ_(x, b, &bl, &ifail);
    benchmark::DoNotOptimize(bl);
    x[2] = -x[2];  // two points, so nothing can be kept from one call to the next
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Champ)->Arg(5)->Arg(0);

void BM_Sksyst(benchmark::State& state) {
  set_up_time(5);
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
