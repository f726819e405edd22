// The expansions G of the three MSIS generations with a year-and-day that is
// not a number, infinite or beyond the 32-bit year range: no trap and no
// out-of-range conversion of its year part; a year-and-day that is not finite
// gives a G that is not finite either, never a number made up.
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "atmosphere/atmosphere_state.hpp"
#include "kest/atmosphere.h"
#include "msis_test_util.hpp"

namespace {

TEST(MsisHostile, YearAndDayBeyondTheIntegers) {
  const msistest::KeepSettings keep;
  prmsg5_();  // MSIS-86 coefficients, zero until loaded
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  struct Case {
    double yrd;
    bool finite_input;
  } cases[] = {{nan, false}, {inf, false}, {-inf, false}, {1e300, true}, {-1e300, true}, {3e12, true}};
  using Globe = double (*)(double*, double*, double*, double*, double*, double*, double*, double*, double*);
  struct Generation {
    const char* name;
    Globe globe;
    double* coef;
  } generations[] = {{"globe7", &globe7_, kest::parm7.tinf_coef},
                     {"globe6", &globe6_, kest::parm6.tinf_coef},
                     {"globe5", &globe5_, kest::parm5.tinf_coef}};
  for (const Generation& g : generations)
    for (const Case& c : cases) {
      double yrd = c.yrd, sec = 29000, lat = 60, lon = -70, tloc = 16, fa = 150, f = 150;
      double ap[7] = {4, 4, 4, 4, 4, 4, 4};
      const double v = g.globe(&yrd, &sec, &lat, &lon, &tloc, &fa, &f, ap, g.coef);
      if (!c.finite_input) {
        EXPECT_FALSE(std::isfinite(v)) << g.name << " " << c.yrd;
      }
    }
}

}  // namespace

namespace {

// A spline section without nodes: the profile routines read no node of the
// caller's empty arrays and give the fill value, as density and temperature.
TEST(MsisHostile, ProfilesWithoutNodes) {
  double alt = 50.0, dlb = 1.0, tinf = 1000.0, tlb = 400.0, xm = 28.0, alpha = 0.0, zlb = 120.0, s2 = 0.02;
  double tg[2] = {0.0, 0.0}, g3[2] = {0.0, 0.0}, g2[2] = {0.0, 0.0};
  double z5[5] = {72.5, 55.0, 45.0, 32.5, 20.0}, t5[5] = {200.0, 250.0, 260.0, 230.0, 220.0};
  // An altitude that is not a number is not below the joining altitude: the
  // spline section, never set up, is not integrated.
  for (auto densu : {&densu7_, &densu6_}) {
    double nan_alt = std::nan(""), tz = 0.0;
    int five = 5;
    double zn[5] = {123.435, 110.0, 100.0, 90.0, 72.5}, tn[5] = {400.0, 300.0, 250.0, 200.0, 190.0};
    EXPECT_TRUE(std::isnan(densu(&nan_alt, &dlb, &tinf, &tlb, &xm, &alpha, &tz, &zlb, &s2, &five, zn, tn, tg)));
  }
  for (int empty : {0, -3}) {
    for (auto densu : {&densu7_, &densu6_}) {
      double tz = 0.0;
      EXPECT_EQ(densu(&alt, &dlb, &tinf, &tlb, &xm, &alpha, &tz, &zlb, &s2, &empty, nullptr, nullptr, tg), -1.0e31);
      EXPECT_EQ(tz, -1.0e31);
    }
    int five = 5;
    for (auto densm : {&densm7_, &densm6_}) {
      double d0 = 1.0, tz = 0.0;
      // No upper nodes; then upper nodes but no lower ones at 10 km.
      EXPECT_EQ(densm(&alt, &d0, &xm, &tz, &five, z5, t5, g3, &empty, nullptr, nullptr, g2), -1.0e31);
      EXPECT_EQ(tz, -1.0e31);
      double low = 10.0;
      EXPECT_EQ(densm(&low, &d0, &xm, &tz, &empty, nullptr, nullptr, g3, &five, z5, t5, g2), -1.0e31);
      EXPECT_EQ(tz, -1.0e31);
    }
  }
}

}  // namespace

namespace {

// A longitude that is not a number is not the request (-1000 or less) to
// leave the longitude and universal-time terms out: they take part and carry
// it, so the exospheric temperature is not a number either, never the value
// of a place without longitude. An altitude that is not a number lies in no
// part of the full-altitude profile: no temperature there (formerly 0 K).
TEST(MsisHostile, LongitudeOrAltitudeNotANumber) {
  const msistest::KeepSettings keep;
  using Entry = void (*)(int*, double*, double*, double*, double*, double*, double*, double*,
                         double*, int*, double*, double*);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  double sv[25];
  for (double& s : sv) s = 1.0;
  tselec7_(sv);
  struct Case {
    const char* name;
    Entry entry;
    double alt, glong;
  } cases[] = {{"gtd7", &gtd7_, 400, nan}, {"gtd7", &gtd7_, 50, nan},   {"gts7", &gts7_, 400, nan},
               {"gtd6", &gtd6_, 400, nan}, {"gtd6", &gtd6_, 50, nan},   {"gts6", &gts6_, 400, nan},
               {"gts5", &gts5_, 400, nan}, {"gtd7", &gtd7_, nan, -70}, {"gtd6", &gtd6_, nan, -70},
               {"gtd7", &gtd7_, 400, -1000}};  // the terms asked away: a number
  for (const Case& c : cases) {
    int iyd = 172, mass = 48;
    double sec = 29000, alt = c.alt, glat = 60, glong = c.glong, stl = 16, f107a = 150, f107 = 150;
    double ap[7] = {4, 4, 4, 4, 4, 4, 4}, d[9] = {}, t[2] = {};
    c.entry(&iyd, &sec, &alt, &glat, &glong, &stl, &f107a, &f107, ap, &mass, d, t);
    const bool number_asked = !std::isnan(c.glong) && !std::isnan(c.alt);
    EXPECT_EQ(std::isfinite(t[1]), number_asked) << c.name << " alt " << c.alt << " glong " << c.glong;
    EXPECT_EQ(std::isfinite(d[5]), number_asked) << c.name << " alt " << c.alt << " glong " << c.glong;
  }
}

// Sections of more than 100 nodes are splines of their first 100. Through
// points on the line y = 2x + 1 with free ends the spline is that line, so
// past node 100 value and integral follow it exactly: y = 2x + 1 and the
// integral from 0, x^2 + x. Formerly the second derivatives beyond node 100,
// which the spline never sets, were read.
TEST(MsisHostile, SplinesOfMoreThan100Nodes) {
  constexpr int n = 150;
  constexpr double unset = 7.25e77;
  using Spline = void (*)(double*, double*, int*, double*, double*, double*);
  using Eval = void (*)(double*, double*, double*, int*, double*, double*);
  struct Family {
    Spline spline;
    Eval splint, splini;
  } families[] = {{&spline7_, &splint7_, &splini7_}, {&spline6_, &splint6_, &splini6_}};
  for (const Family& f : families) {
    std::vector<double> x(n), y(n), y2(n, unset);
    for (int i = 0; i < n; ++i) {
      x[i] = i;
      y[i] = 2.0 * i + 1.0;
    }
    int nn = n;
    double free_end = 1e30;
    f.spline(x.data(), y.data(), &nn, &free_end, &free_end, y2.data());
    for (int i = 0; i < 100; ++i) EXPECT_EQ(y2[i], 0.0) << i;
    for (int i = 100; i < n; ++i) EXPECT_EQ(y2[i], unset) << i;
    for (double at : {50.25, 120.5, 149.0}) {
      double v = 0, integral = 0;
      f.splint(x.data(), y.data(), y2.data(), &nn, &at, &v);
      f.splini(x.data(), y.data(), y2.data(), &nn, &at, &integral);
      EXPECT_NEAR(v, 2.0 * at + 1.0, 1e-9) << at;
      EXPECT_NEAR(integral, at * at + at, 1e-7) << at;
    }
  }
}

}  // namespace
