// IGRF-10 coefficient tables, epoch set-up and field sum.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "frame/frame_state.hpp"
#include "frame/internal_field_tables.hpp"
#include "fresh_process.hpp"
#include "kest/frame.h"
#include "sh_reference.hpp"

namespace tb = kest::tables;

namespace {

int slot(int n, int m) { return n * (n + 1) / 2 + m; }  // 0-based

void set_epoch(double year) { init_dtd_(&year); }

std::string set_epoch_captured(double year) {
  testing::internal::CaptureStdout();
  set_epoch(year);
  std::fflush(stdout);
  return testing::internal::GetCapturedStdout();
}

}  // namespace

// Transcription guard: sizes and the published values quoted for the model.
TEST(IgrfTables, CountAndTellingValues) {
  EXPECT_EQ(2 * tb::igrf10_nepoch * tb::igrf10_nslot, 1188);
  EXPECT_EQ(2 * tb::igrf10_sv_nslot, 90);
  EXPECT_EQ(sizeof tb::igrf10_g / sizeof(double), 594u);
  EXPECT_EQ(sizeof tb::igrf10_sv_h / sizeof(double), 45u);
  struct Row { const double* table; int n, m; double value; };
  const Row rows[] = {
      {tb::igrf10_g[0], 1, 0, -30334.0},  {tb::igrf10_g[7], 1, 0, -29619.4},
      {tb::igrf10_g[8], 1, 0, -29556.8},  {tb::igrf10_g[8], 1, 1, -1671.8},
      {tb::igrf10_h[8], 1, 1, 5080.0},    {tb::igrf10_g[8], 2, 0, -2340.5},
      {tb::igrf10_g[8], 2, 1, 3047.0},    {tb::igrf10_h[8], 2, 1, -2594.9},
      {tb::igrf10_g[8], 10, 10, -2.2},    {tb::igrf10_h[8], 10, 10, -8.0},
      {tb::igrf10_sv_g, 1, 0, 8.8},       {tb::igrf10_sv_g, 1, 1, 10.8},
      {tb::igrf10_sv_h, 1, 1, -21.3},
  };
  for (const Row& r : rows) EXPECT_EQ(r.table[slot(r.n, r.m)], r.value) << r.n << "," << r.m;
  // Slot of (0,0) and every h with m = 0 are zero.
  for (int e = 0; e < tb::igrf10_nepoch; ++e) {
    EXPECT_EQ(tb::igrf10_g[e][0], 0.0);
    for (int n = 0; n <= 10; ++n) EXPECT_EQ(tb::igrf10_h[e][slot(n, 0)], 0.0);
  }
}

TEST(Igrf, EpochYearsGiveTheirTablesExactlyWithoutWarning) {
  for (int e : {0, 1, 4, 8}) {
    const std::string out = set_epoch_captured(1965.0 + 5 * e);
    EXPECT_EQ(out, "");
    for (int k = 0; k < 66; ++k) {
      EXPECT_EQ(kest::dgrf.gnm[k], tb::igrf10_g[e][k]);
      EXPECT_EQ(kest::dgrf.hnm[k], tb::igrf10_h[e][k]);
    }
  }
}

TEST(Igrf, OutOfRangeYearsWarnAndUseNearestYear) {
  struct Case { double year; double nearest; const char* text; };
  const Case cases[] = {
      {1964.99, 1965.0, "1964.99"},
      {2016.5, 2015.0, "2016.50"},
      {1800.0, 1965.0, "1800.00"},
      {-12345.0, 1965.0, "*******"},
      {123456.0, 2015.0, "*******"},
  };
  for (const Case& c : cases) {
    set_epoch(c.nearest);
    const kest::Dgrf want = kest::dgrf;
    const std::string out = set_epoch_captured(c.year);
    EXPECT_EQ(out, std::string("\n\n *** WARNING -- Input year = ") + c.text +
                       "\n is out of valid range 1965-2015. Using nearest ***\n\n\n");
    EXPECT_EQ(std::memcmp(&want, &kest::dgrf, sizeof want), 0) << c.year;
  }
  // get_igrf_coeffs raises its flag only out of range, and leaves it otherwise.
  double g[66], h[66];
  int flag = 7;
  double y = 2015.0;
  get_igrf_coeffs_(&y, g, h, &flag);
  EXPECT_EQ(flag, 7);
  y = 2015.01;
  testing::internal::CaptureStdout();
  get_igrf_coeffs_(&y, g, h, &flag);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(flag, 1);
}

// A year that is not a number has no nearest valid year: a warning and the
// raised flag, the fill value for every coefficient handed back, and an
// epoch whose field is not a number (so no point is computed from it) until
// a valid year is set again.
TEST(Igrf, YearThatIsNotANumber) {
  double y = std::nan(""), g[66], h[66];
  int flag = 0;
  testing::internal::CaptureStdout();
  get_igrf_coeffs_(&y, g, h, &flag);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n\n *** WARNING -- Input year =     nan\n is out of valid range 1965-2015. Using nearest ***\n\n\n");
  EXPECT_EQ(flag, 1);
  for (int k = 0; k < 66; ++k) {
    EXPECT_EQ(g[k], -1.0e31) << k;
    EXPECT_EQ(h[k], -1.0e31) << k;
  }

  set_epoch(1990.0);
  const kest::Dgrf want = kest::dgrf;
  set_epoch_captured(std::nan(""));
  double x = 2.0, yy = 1.0, z = 0.5, b[3];
  igrf_(&x, &yy, &z, &b[0], &b[1], &b[2]);
  for (double c : b) EXPECT_TRUE(std::isnan(c));
  EXPECT_TRUE(std::isnan(kest::dipigrf.b0));
  set_epoch(1990.0);
  EXPECT_EQ(std::memcmp(&want, &kest::dgrf, sizeof want), 0);
  igrf_(&x, &yy, &z, &b[0], &b[1], &b[2]);
  for (double c : b) EXPECT_TRUE(std::isfinite(c));
}

TEST(Igrf, SecularVariationAfter2005) {
  // Half way: 2005 plus 2.5 years of secular variation; 2015: ten years.
  set_epoch(2007.5);
  EXPECT_NEAR(kest::dgrf.gnm[1], -29556.8 + 2.5 * 8.8, 1e-9);
  EXPECT_NEAR(kest::dgrf.gnm[1], -29534.8, 1e-9);
  EXPECT_NEAR(kest::dgrf.hnm[2], 5080.0 - 2.5 * 21.3, 1e-9);
  EXPECT_EQ(set_epoch_captured(2015.0), "");
  EXPECT_NEAR(kest::dgrf.gnm[1], -29468.8, 1e-9);
  for (int k = 0; k < 45; ++k) {
    EXPECT_NEAR(kest::dgrf.gnm[k], tb::igrf10_g[8][k] + 10.0 * tb::igrf10_sv_g[k], 1e-9);
    EXPECT_NEAR(kest::dgrf.hnm[k], tb::igrf10_h[8][k] + 10.0 * tb::igrf10_sv_h[k], 1e-9);
  }
  // Degrees 9 and 10 (slots 45-65) have no secular variation.
  for (int k = 45; k < 66; ++k) {
    EXPECT_EQ(kest::dgrf.gnm[k], tb::igrf10_g[8][k]);
    EXPECT_EQ(kest::dgrf.hnm[k], tb::igrf10_h[8][k]);
  }
}

TEST(Igrf, LinearBetweenDefinitiveEpochs) {
  set_epoch(1982.5);
  for (int k = 0; k < 66; ++k)
    EXPECT_NEAR(kest::dgrf.gnm[k], 0.5 * (tb::igrf10_g[3][k] + tb::igrf10_g[4][k]), 1e-9);
  set_epoch(1966.0);  // first interval, weight 0.2
  for (int k = 0; k < 66; ++k)
    EXPECT_NEAR(kest::dgrf.hnm[k], 0.8 * tb::igrf10_h[0][k] + 0.2 * tb::igrf10_h[1][k], 1e-9);
}

TEST(Igrf, NoBlendingBetweenEpochs) {
  set_epoch(2000.0);
  const kest::Dgrf d0 = kest::dgrf;
  const kest::Model m0 = kest::model;
  const kest::Dipigrf p0 = kest::dipigrf;
  set_epoch(1980.0);
  EXPECT_NE(std::memcmp(&d0, &kest::dgrf, sizeof d0), 0);
  set_epoch(2000.0);
  EXPECT_EQ(std::memcmp(&d0, &kest::dgrf, sizeof d0), 0);
  EXPECT_EQ(std::memcmp(&m0, &kest::model, sizeof m0), 0);
  EXPECT_EQ(std::memcmp(&p0, &kest::dipigrf, sizeof p0), 0);
}

TEST(Igrf, DipoleMomentAndAxis) {
  // Hand derivation from the quoted 2005 coefficients.
  set_epoch(2005.0);
  const double b0 = std::sqrt(29556.8 * 29556.8 + 1671.8 * 1671.8 + 5080.0 * 5080.0);
  EXPECT_NEAR(kest::dipigrf.b0, b0, 1e-9);
  EXPECT_NEAR(kest::dipigrf.cos_th, 29556.8 / b0, 1e-14);
  const double ph = std::atan(5080.0 / -1671.8);  // northern end near 71.8 W
  EXPECT_NEAR(kest::dipigrf.cos_ph, std::cos(ph), 1e-14);
  EXPECT_NEAR(kest::dipigrf.sin_ph, std::sin(ph), 1e-14);
  EXPECT_NEAR(std::acos(kest::dipigrf.cos_th) * 180 / M_PI, 10.26, 0.02);
  EXPECT_NEAR(ph * 180 / M_PI, -71.78, 0.02);
  const double th2005 = std::acos(kest::dipigrf.cos_th);
  // The eccentric dipole lies a few hundred km from the centre, under the
  // western Pacific, in the northern hemisphere.
  const kest::Dipigrf d = kest::dipigrf;
  const double off = std::sqrt(d.x0 * d.x0 + d.y0 * d.y0 + d.z0 * d.z0) * 6371.2;
  EXPECT_GT(off, 400.0);
  EXPECT_LT(off, 650.0);
  const double lon = std::atan2(d.y0, d.x0) * 180 / M_PI;
  EXPECT_GT(lon, 120.0);
  EXPECT_LT(lon, 170.0);
  EXPECT_GT(d.z0, 0.0);
  // 1965: stronger moment, axis further from the geographic pole.
  set_epoch(1965.0);
  EXPECT_GT(kest::dipigrf.b0, b0);
  EXPECT_GT(std::acos(kest::dipigrf.cos_th), th2005);
}

TEST(Igrf, PackedCoefficientsLayout) {
  // gh[n^2] holds the scaled g(n,0): the scale of degree n is -n!/2^n.
  set_epoch(1990.0);
  EXPECT_EQ(kest::model.gh[0], 0.0);
  double fact = 1.0;
  for (int n = 1; n <= 10; ++n) {
    fact *= n;
    EXPECT_NEAR(kest::model.gh[n * n], -fact / std::pow(2.0, n) * kest::dgrf.gnm[slot(n, 0)],
                1e-9 * std::fabs(kest::model.gh[n * n]) + 1e-12);
  }
}

// The field sum against an independent Schmidt-normalised Legendre sum of
// the same coefficients.
TEST(Igrf, AgreesWithIndependentLegendreSum) {
  for (double year : {1972.3, 2007.5}) {
    set_epoch(year);
    shref::Coeffs k;
    k.nmax = 10;
    for (int n = 1; n <= 10; ++n)
      for (int m = 0; m <= n; ++m) {
        k.g[n][m] = kest::dgrf.gnm[slot(n, m)];
        k.h[n][m] = kest::dgrf.hnm[slot(n, m)];
      }
    const double pts[12][3] = {
        {1.0, 0.0, 0.0},     {1e-3, 0.0, 1.0001},  {-0.61, 0.35, -0.72}, {2.385, -0.61, 1.173},
        {0.12, 1.05, 0.3},   {-1.3, -0.9, 0.4},   {0.5, -0.2, -1.1},    {3.7, 4.1, -2.2},
        {-6.5, 0.3, 0.02},   {0.01, -0.02, -1.2}, {1.1, 1.1, 1.1},      {-0.25, 0.7, 0.68},
    };
    for (const auto& p : pts) {
      double x = p[0], y = p[1], z = p[2], b[3], ref[3];
      igrf_(&x, &y, &z, &b[0], &b[1], &b[2]);
      shref::field(k, x, y, z, ref);
      for (int i = 0; i < 3; ++i) EXPECT_NEAR(b[i], ref[i], 1e-6) << year << " " << x << " " << i;
    }
  }
}

TEST(Igrf, ZeroFieldBeforeAnyEpoch) {
  if (kest_test::rerun_alone_unless_first()) return;
  double x = 1.2, y = -0.3, z = 0.4, b[3] = {1, 1, 1};
  igrf_(&x, &y, &z, &b[0], &b[1], &b[2]);
  EXPECT_EQ(b[0], 0.0);
  EXPECT_EQ(b[1], 0.0);
  EXPECT_EQ(b[2], 0.0);
  EXPECT_EQ(kest::dipigrf.b0, 0.0);
}

TEST(Igrf, NorthPoleFieldPointsDown) {
  set_epoch(2000.0);
  double x = 0, y = 0, z = 1, b[3];
  igrf_(&x, &y, &z, &b[0], &b[1], &b[2]);
  EXPECT_LT(b[2], -50000.0);
  EXPECT_LT(std::hypot(b[0], b[1]), 0.1 * std::fabs(b[2]));
}

// The coefficients are piecewise linear in time, held at their end values
// outside 1965-2015: the field is continuous across every epoch of the table
// (the ends of the table included), with a slope no larger than the secular
// variation of the main field. At the surface that stays below 200 nT a year
// in every component over 1965-2015; a year on either side of a boundary
// taken from the wrong interval or with the wrong weight moves B by tens to
// thousands of nT however close to the boundary, far beyond 400 nT/yr x d.
TEST(Igrf, FieldContinuousAcrossEveryEpoch) {
  const double pts[][3] = {
      {1.0, 0.0, 0.0},        {0.0, 0.0, 1.0},     {0.0, 0.0, -1.0},     {-0.45, -0.55, -0.70},
      {0.25, -0.90, -0.36},   {-0.70, 0.10, 0.71}, {0.05, 0.999, 0.02},  {2.385, -0.61, 1.173},
  };
  const double epochs[] = {1965.0, 1970.0, 1975.0, 1980.0, 1985.0, 1990.0,
                           1995.0, 2000.0, 2005.0, 2010.0, 2015.0};
  for (double e : epochs)
    for (double d : {1e-9, 1e-6, 1e-3, 0.25})
      for (const auto& p : pts) {
        double b[3][3];
        const double years[3] = {e - d, e, e + d};
        for (int s = 0; s < 3; ++s) {
          set_epoch_captured(years[s]);  // the years just outside the table warn
          double x = p[0], y = p[1], z = p[2];
          igrf_(&x, &y, &z, &b[s][0], &b[s][1], &b[s][2]);
        }
        for (int i = 0; i < 3; ++i) {
          EXPECT_LE(std::fabs(b[0][i] - b[1][i]), 400.0 * d + 1e-9) << e << " -" << d << " " << i;
          EXPECT_LE(std::fabs(b[2][i] - b[1][i]), 400.0 * d + 1e-9) << e << " +" << d << " " << i;
        }
      }
}
