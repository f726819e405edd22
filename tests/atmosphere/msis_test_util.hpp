// Small helpers shared by the MSIS tests: one evaluation point, a stdout
// capture that flushes the C stream first, and a guard over the settings.
#ifndef KEST_TESTS_ATMOSPHERE_MSIS_TEST_UTIL_HPP
#define KEST_TESTS_ATMOSPHERE_MSIS_TEST_UTIL_HPP

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "atmosphere/atmosphere_state.hpp"
#include "kest/atmosphere.h"
#include "restore.hpp"

namespace msistest {

// The MSIS settings a process keeps from call to call: the switches and
// whether a setter ran, the gravity of the direct thermosphere calls, and the
// unit flags. A test that changes them, directly or through a driver (which
// leaves switch 9 at -1 after a 3-hour Ap run), holds one, so that the tests
// after it in the same program start from the settings of a fresh process.
struct KeepSettings {
  kest_test::Restore<kest::Csw, kest::Cswi, kest::Parmb, kest::Metsel7, kest::Metsel> keep{
      kest::csw, kest::cswi, kest::parmb, kest::metsel7, kest::metsel};
};

struct Point {
  int iyd = 172;
  double sec = 29000.0, alt = 400.0, glat = 60.0, glong = -70.0, stl = 16.0;
  double f107a = 150.0, f107 = 150.0;
  std::array<double, 7> ap{4, 4, 4, 4, 4, 4, 4};
  int mass = 48;
};

struct Result {
  std::array<double, 9> d{};
  std::array<double, 2> t{};
};

inline Result gtd7(Point p) {
  Result r;
  gtd7_(&p.iyd, &p.sec, &p.alt, &p.glat, &p.glong, &p.stl, &p.f107a, &p.f107, p.ap.data(),
        &p.mass, r.d.data(), r.t.data());
  return r;
}

// The three drivers share one signature (n, whichAp, doy, ut, alt, lat, lon,
// f107a, f107, ap(7), densities, temperatures); nd is the number of density
// columns each fills.
using Driver = void (*)(int*, int*, int*, double*, double*, double*, double*, double*, double*,
                        double*, double*, double*);
struct DriverGen {
  const char* name;
  Driver drv;
  int nd;
  double floor_km;  // lowest altitude the driver evaluates
};
inline const DriverGen kDriverGens[3] = {{"nrlmsise00", &nrlmsise00_, 9, -1e9},
                                         {"msise90", &msise90_, 8, -1e9},
                                         {"msis86", &msis86_, 8, 85.0}};

// A driver point with its expected densities (nd columns) and temperatures.
template <int ND>
struct DriverRefPoint {
  int doy;
  double ut, alt, lat, lon, f107a, f107;
  std::array<double, 7> ap;
  std::array<double, ND> d;  // densities as the driver orders them
  std::array<double, 2> t;   // exospheric, local (K)
};

// Runs a driver once over all the points and compares every density and
// temperature with the expected one to 1e-11 relative (an expected 0 must be
// exactly 0).
template <int ND, std::size_t N>
void check_driver_points(Driver drv, int which_ap, const DriverRefPoint<ND> (&pts)[N]) {
  const KeepSettings keep;
  int n = static_cast<int>(N);
  std::vector<int> doy;
  std::vector<double> ut, alt, lat, lon, f107a, f107, ap, dens(ND * N), temp(2 * N);
  for (const DriverRefPoint<ND>& p : pts) {
    doy.push_back(p.doy);
    ut.push_back(p.ut);
    alt.push_back(p.alt);
    lat.push_back(p.lat);
    lon.push_back(p.lon);
    f107a.push_back(p.f107a);
    f107.push_back(p.f107);
    ap.insert(ap.end(), p.ap.begin(), p.ap.end());
  }
  drv(&n, &which_ap, doy.data(), ut.data(), alt.data(), lat.data(), lon.data(), f107a.data(),
      f107.data(), ap.data(), dens.data(), temp.data());
  auto near = [](double got, double want) {
    return want == 0.0 ? got == 0.0 : std::fabs(got / want - 1.0) <= 1e-11;
  };
  for (std::size_t i = 0; i < N; ++i) {
    for (int k = 0; k < ND; ++k)
      EXPECT_TRUE(near(dens[ND * i + k], pts[i].d[k]))
          << "point " << i << " (" << pts[i].alt << " km) density " << k + 1 << ": "
          << dens[ND * i + k] << " vs " << pts[i].d[k];
    for (int k = 0; k < 2; ++k)
      EXPECT_TRUE(near(temp[2 * i + k], pts[i].t[k]))
          << "point " << i << " (" << pts[i].alt << " km) temperature " << k + 1 << ": "
          << temp[2 * i + k] << " vs " << pts[i].t[k];
  }
}

inline void set_switches(std::array<double, 25> sv) { tselec7_(sv.data()); }

inline std::array<double, 25> all_on() {
  std::array<double, 25> s;
  s.fill(1.0);
  return s;
}

inline void begin_capture() {
  std::fflush(stdout);
  testing::internal::CaptureStdout();
}
inline std::string end_capture() {
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

}  // namespace msistest

#endif
