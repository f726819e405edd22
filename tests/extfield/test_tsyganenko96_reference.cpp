// Tsyganenko 1996 modules and entry at fixed points against reference values.
//
// The expected values come from an independent double-precision evaluation
// of the model's published formulas (the Region-1 and Region-2 Birkeland
// systems with their shielding fields, the ring current and tail modes with
// their shielding fields, and the entry's amplitudes, pressure scaling and
// magnetopause), written separately from this library and using only the
// coefficient tables of data/tsyganenko. Over some thousands of points of the
// model region the two agree to 1e-12 of |B| where the sums do not cancel;
// the shielding sums of large amplitudes cancel sunward of the magnetopause,
// where the two differ by up to 3e-10 of |B|, rounding in both. The points
// below lie where the sums are well conditioned (agreement better than 1e-12
// of |B|); the tolerance is 1e-10 of |B|. It tells apart, for instance, the
// single-precision exponent of the Region-1 boundary points from the double
// one (1e-7 of |B| in the transition layers).
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/tsyganenko96.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

constexpr double kTol = 1e-10;

void expect_vec(const double got[3], const double want[3], const char* what, int row) {
  const double n = std::sqrt(want[0] * want[0] + want[1] * want[1] + want[2] * want[2]);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], want[k], kTol * n) << what << " row " << row << " component " << k;
}

struct ModuleCase {
  double ps, x, y, z;  // tilt (rad), scaled GSM point (Re)
  double b[3];         // nT per unit amplitude
};

// Region 1, one point per zone of the foot colatitude: high latitude,
// plasma sheet, northern and southern transition layers.
TEST(T96Reference, Region1InEachZone) {
  const struct {
    int zone;
    ModuleCase c;
  } rows[] = {
      {1, {0.2, 2.6, -2.9, 5.3, {12.505229594692835, 5.6510982582472389, -4.6414142136917356}}},
      {2, {0.2, -4.8, 2.7, -0.3, {0.86411189753244222, 0.90758531163412759, 4.4326881469743729}}},
      {3, {-0.3, -7.8, 1.3, 2.1, {0.59918108156884209, 0.03166381047634672, 4.4517377849110309}}},
      {4, {0.2, -5.9, 0.4, -2.7, {-1.7577918215933475, 0.17214352671718414, 6.2998937109507969}}},
  };
  int row = 0;
  for (const auto& r : rows) {
    double ps = r.c.ps, x = r.c.x, y = r.c.y, z = r.c.z, b[3];
    birk1tot_02_(&ps, &x, &y, &z, &b[0], &b[1], &b[2]);
    EXPECT_EQ(kest::t96::birk1_last_zone(), r.zone) << "row " << row;
    expect_vec(b, r.c.b, "Region 1", row++);
  }
}

// Region 2, one point in each range of the shell parameter: outer field,
// outer-sheet blend, sheet, inner-sheet blend, inner field.
TEST(T96Reference, Region2InEachZone) {
  const ModuleCase rows[] = {
      {0.2, -5.9, 0.4, -2.7, {-0.23044975112542049, 0.023941933730302033, -0.19155053156628898}},
      {-0.3, -4.9, -3.0, 1.2, {0.30846156214892212, 0.25943563102959688, -0.18544021768852098}},
      {0.2, -4.8, 2.7, -0.3, {-0.33101945170902786, 0.047389406267586393, -0.58394706039061195}},
      {0.45, 3.4, 4.2, 0.1, {0.033765719192488476, -0.043293904634030697, -0.025128969689012348}},
      {-0.3, -3.1, -2.5, -0.6, {0.22247597183374673, -0.023078310151964689, -0.60295253652127401}},
  };
  const double lo[] = {-1.0, -0.045, -0.015, 0.015, 0.045}, hi[] = {-0.045, -0.015, 0.015, 0.045, 1.0};
  int row = 0;
  for (const auto& r : rows) {
    double ps = r.ps, x = r.x, y = r.y, z = r.z, b[3];
    const double c = std::cos(ps), s = std::sin(ps);
    const double k = kest::t96::xksi(x * c - z * s, y, z * c + x * s);
    EXPECT_GE(k, lo[row]) << "row " << row;
    EXPECT_LT(k, hi[row]) << "row " << row;
    birk2tot_02_(&ps, &x, &y, &z, &b[0], &b[1], &b[2]);
    expect_vec(b, r.b, "Region 2", row++);
  }
}

// Ring current and tail modes 2 and 3, each with its shielding field, for
// the sine of the tilt: inner magnetosphere, near and far tail, dayside.
TEST(T96Reference, TailAndRingCurrent) {
  const struct {
    double sps, x, y, z;
    double b[9];  // ring current, tail mode 2, tail mode 3
  } rows[] = {
      {0.3, -6.0, 1.0, 1.5,
       {-0.2854085693253321, 0.021986404365875237, -0.55650615550488824, -0.44597701815942792,
        0.0090169030728620703, -1.2849276607569133, -0.007952817806416608, -0.00069502183954747146,
        -0.26941375069551998}},
      {-0.4, -15.0, 5.0, -3.0,
       {-0.0048329661874363557, -0.013091191678860484, 0.096408716118362547, 0.15313660384454456,
        -0.066373059632104492, -0.34334001245136175, 0.023508649430667022, 0.0031227074781472902,
        -0.45186593798488739}},
      {0.5, -30.0, -8.0, 6.0,
       {0.015485914745181673, 0.0026510088757191429, 0.022345511498930236, 0.3489384316633381,
        0.059289574893879572, 0.062169231337986713, 0.46684981798911157, 0.0031321942884680151,
        -0.36975245105692778}},
      {0.0, 4.0, -3.0, 1.0,
       {-0.24034855270303157, 0.19372230943134555, -0.79138736500203954, 0.048318662895387492,
        0.019649411131052244, -0.62863781276573083, 0.010118832331589236, -0.00019285124932899995,
        -0.12563186556591063}},
  };
  int row = 0;
  for (const auto& r : rows) {
    double rc[3], t2[3], t3[3];
    kest::t96::tailrc96(r.sps, r.x, r.y, r.z, rc, t2, t3);
    expect_vec(rc, r.b, "ring current", row);
    expect_vec(t2, r.b + 3, "tail mode 2", row);
    expect_vec(t3, r.b + 6, "tail mode 3", row);
    ++row;
  }
}

// The whole model at unscaled GSM points: inside (three driver sets and
// tilts), in the boundary layer and outside the magnetopause.
TEST(T96Reference, ModelInsideAcrossAndOutside) {
  const struct {
    double parmod[4];  // Pdyn, Dst, By, Bz
    double x, y, z, tilt_deg;
    double b[3];
  } rows[] = {
      {{2.0, -20.0, 3.0, -5.0}, -10.0, 3.0, 2.0, 10.0, {13.004804893526515, -1.6962509686135072, -16.29652698894802}},
      {{5.5, -80.0, -7.0, -9.0}, -4.0, -1.5, 3.5, -25.0, {76.35495511117729, 12.284901114357933, -45.449149389961804}},
      {{0.7, 15.0, 2.0, 6.0}, -35.0, 10.0, -4.0, 30.0, {-6.5356144542849854, 1.2215538606982377, -0.73639672742228524}},
      {{2.0, -30.0, -2.0, -3.0}, 11.0, 0.5, 0.3, 5.0, {3.3957888313447717, -2.1367721406774054, 15.341698796580062}},
      {{2.0, -30.0, 0.0, 4.0}, 12.0, 1.0, -1.0, -5.0, {-7.2160421512677653, -0.72721134054539183, -10.873289718324511}},
  };
  int row = 0;
  for (const auto& r : rows) {
    kest::dip_ang.tilt = r.tilt_deg;
    double parmod[4] = {r.parmod[0], r.parmod[1], r.parmod[2], r.parmod[3]};
    double x = r.x, y = r.y, z = r.z, b[3];
    t96_01_(parmod, &x, &y, &z, &b[0], &b[1], &b[2]);
    expect_vec(b, r.b, "model", row++);
  }
}

}  // namespace
