// Small helpers shared by the MSIS tests: one evaluation point and a stdout
// capture that flushes the C stream first.
#ifndef KEST_TESTS_ATMOSPHERE_MSIS_TEST_UTIL_HPP
#define KEST_TESTS_ATMOSPHERE_MSIS_TEST_UTIL_HPP

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>

#include "kest/atmosphere.h"

namespace msistest {

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
