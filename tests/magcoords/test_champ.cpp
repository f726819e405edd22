// The field at a point: region limits, the sum of internal and external
// fields, the magnitude, and codes without an external field.
#include <cmath>
#include <gtest/gtest.h>

#include "kest/extfield.h"
#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"

namespace {

// Model state of one time for the given codes (2004, day 100, 01:00 UT).
void set_up(int kext, int kint) {
  kest::FieldSetup s{};
  int options[5] = {0, 0, 0, 0, kint}, sysaxes = 1;
  kest::field_setup_call(s, kest::kSetupGetField, &kext, options, &sysaxes);
  const double m[25] = {};
  ASSERT_TRUE(kest::field_setup_time(s, 2004, 100, 3600.0, 2.0, 1.0, 0.5, m));
}

struct Field {
  double b[3] = {7.0, 8.0, 9.0};
  double blocal = 6.0;
  int ifail = 99;
};

Field champ(double x, double y, double z) {
  Field f;
  double p[3] = {x, y, z};
  champ_(p, f.b, &f.blocal, &f.ifail);
  return f;
}

// Olson-Pfitzer quiet: r = 15 is accepted, just beyond is refused and the
// outputs keep what they held.
TEST(Champ, OlsonPfitzerRadiusLimit) {
  set_up(5, 0);
  const Field on = champ(9.0, 12.0, 0.0);  // r^2 = 225 exactly
  EXPECT_EQ(on.ifail, 0);
  EXPECT_GT(on.blocal, 0.0);
  const Field beyond = champ(0.0, -15.000001, 0.0);
  EXPECT_EQ(beyond.ifail, -1);
  EXPECT_EQ(beyond.b[0], 7.0);
  EXPECT_EQ(beyond.b[1], 8.0);
  EXPECT_EQ(beyond.b[2], 9.0);
  EXPECT_EQ(beyond.blocal, 6.0);
}

// A model without a finite value at a point is refused there: the T89 image
// current has no finite field on the GSM z axis at |z| >= 30 Re, well inside
// the model's 70 Re region.
TEST(Champ, NonFiniteExternalFieldIsRefused) {
  set_up(4, 0);
  double gsm[3] = {0.0, 0.0, 35.0}, geo[3];
  gsm_geo_(gsm, geo);
  const Field f = champ(geo[0], geo[1], geo[2]);
  EXPECT_EQ(f.ifail, -1);
  EXPECT_EQ(f.blocal, 6.0);  // outputs untouched, as for any refusal
  double off[3] = {0.5, 0.0, 35.0};
  gsm_geo_(off, geo);
  EXPECT_EQ(champ(geo[0], geo[1], geo[2]).ifail, 0);
}

// A point where the internal field has no finite value is refused like a
// point outside a model's region, whatever the external code: not a number,
// the centre of a centred expansion (IGRF), points so close to it that |B|
// or its square overflows (|B| grows as r^-3), and the off-axis point next
// to the centre of a fixed-epoch model that the polar-axis test lets pass.
TEST(Champ, PointWithoutFiniteFieldIsRefused) {
  const double nan = std::nan("");
  struct Case {
    const char* what;
    int kext, kint;
    double x[3];
  };
  const Case cases[] = {
      {"NaN, no external field", 0, 0, {nan, 0.0, 0.0}},
      {"NaN, eccentric dipole", 0, 1, {0.0, nan, 1.0}},
      {"infinite, eccentric dipole", 0, 1, {HUGE_VAL, 0.0, 0.0}},
      {"IGRF centre", 0, 0, {0.0, 0.0, 0.0}},
      {"IGRF centre, Olson-Pfitzer quiet", 5, 0, {0.0, 0.0, 0.0}},
      {"IGRF 1e-110 Re: |B| overflows", 0, 0, {0.0, 0.0, 1e-110}},
      {"IGRF 1e-60 Re: |B|^2 overflows", 4, 0, {1e-60, 0.0, 0.0}},
      {"Jensen-Cain next to the centre", 0, 2, {1e-120, 1e-120, 0.0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    set_up(c.kext, c.kint);
    const Field f = champ(c.x[0], c.x[1], c.x[2]);
    EXPECT_EQ(f.ifail, -1);
    EXPECT_EQ(f.blocal, 6.0);  // nothing written
    EXPECT_EQ(f.b[0], 7.0);
    // The field-line step from such a point is refused as well.
    double xin[3] = {c.x[0], c.x[1], c.x[2]}, xout[3], bl, h = 0.01;
    int ifail = 0;
    sksyst_(&h, xin, xout, &bl, &ifail);
    EXPECT_LT(ifail, 0);
  }
}

// Blocal is the Euclidean norm of BxGEO.
TEST(Champ, BlocalIsNormOfVector) {
  const double pts[][3] = {{2.385, -0.61, 1.173}, {-6.6, 0.2, 0.4}, {0.3, 4.1, -3.3}, {1.01, 0.0, 0.0}};
  for (int kext : {0, 5}) {
    set_up(kext, 0);
    for (const auto& p : pts) {
      const Field f = champ(p[0], p[1], p[2]);
      ASSERT_EQ(f.ifail, 0);
      EXPECT_NEAR(f.blocal, std::hypot(f.b[0], f.b[1], f.b[2]), 1e-12 * f.blocal);
    }
  }
}

// Without an external model the field is the internal model itself: IGRF for
// kint 0, the eccentric dipole for 1, the loaded fixed-epoch model for 2, 3;
// every point is accepted.
TEST(Champ, InternalPartAlone) {
  const double pts[][3] = {{2.385, -0.61, 1.173}, {-40.0, 3.0, 12.0}, {0.2, -0.9, 0.5}};
  for (int kint = 0; kint <= 3; ++kint) {
    set_up(0, kint);
    for (const auto& p : pts) {
      double x = p[0], y = p[1], z = p[2], b[3];
      if (kint == 0) igrf_(&x, &y, &z, &b[0], &b[1], &b[2]);
      if (kint == 1) dtd_(&x, &y, &z, &b[0], &b[1], &b[2]);
      if (kint >= 2) get_intfield_(&x, &y, &z, &b[0], &b[1], &b[2]);
      const Field f = champ(x, y, z);
      ASSERT_EQ(f.ifail, 0);
      EXPECT_EQ(f.b[0], b[0]);
      EXPECT_EQ(f.b[1], b[1]);
      EXPECT_EQ(f.b[2], b[2]);
    }
  }
}

// The fixed-epoch models have no field direction on the polar axis: champ
// refuses such a point with the fill value in every output, so no caller can
// take the fill value for a field of 1e31 nT.
TEST(Champ, FixedEpochModelRefusesThePolarAxis) {
  for (int kint : {2, 3}) {
    set_up(0, kint);
    const Field f = champ(0.0, 0.0, 1.5);
    EXPECT_EQ(f.ifail, -1);
    EXPECT_EQ(f.blocal, -1.0e31);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(f.b[k], -1.0e31);
    EXPECT_EQ(champ(0.01, 0.0, 1.5).ifail, 0);  // just off the axis
  }
}

// The Olson-Pfitzer field enters in SM: the external part of champ, turned
// into SM, is the model's field at the SM point for the time's tilt.
TEST(Champ, ExternalPartInSolarMagnetic) {
  set_up(5, 0);
  const double pts[][3] = {{-6.1, 1.7, 0.9}, {3.3, -2.2, 4.0}};
  for (const auto& p : pts) {
    double x[3] = {p[0], p[1], p[2]}, bi[3], xs[3], bs[3], bsum[3];
    igrf_(&x[0], &x[1], &x[2], &bi[0], &bi[1], &bi[2]);
    const Field f = champ(p[0], p[1], p[2]);
    ASSERT_EQ(f.ifail, 0);
    double ext[3] = {f.b[0] - bi[0], f.b[1] - bi[1], f.b[2] - bi[2]};
    geo_sm_(x, xs);
    bxyzmu_(&xs[0], &xs[1], &xs[2], &bs[0], &bs[1], &bs[2]);
    geo_sm_(ext, bsum);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(bsum[k], bs[k], 1e-9 * f.blocal);
  }
}

// Tsyganenko 1987 short tail: r = 30 is accepted, just beyond is refused; a
// point that is not a number is refused (the model gives the fill value
// there) and the outputs keep what they held.
TEST(Champ, Tsyganenko87ShortRadiusLimit) {
  set_up(2, 0);
  const Field on = champ(18.0, 24.0, 0.0);  // r^2 = 900 exactly
  EXPECT_EQ(on.ifail, 0);
  EXPECT_TRUE(std::isfinite(on.blocal));
  EXPECT_GT(on.blocal, 0.0);
  const Field beyond = champ(0.0, 0.0, -30.000001);
  EXPECT_EQ(beyond.ifail, -1);
  EXPECT_EQ(beyond.blocal, 6.0);
  const Field nan = champ(std::nan(""), 1.0, 1.0);
  EXPECT_EQ(nan.ifail, -1);
  EXPECT_EQ(nan.b[0], 7.0);
  EXPECT_EQ(nan.blocal, 6.0);
}

// An external code above 12 left in magmod by another caller adds nothing.
TEST(Champ, CodesWithoutExternalField) {
  set_up(0, 0);
  const Field base = champ(2.0, -1.0, 0.5);
  kest::magmod.kext = 17;
  const Field other = champ(2.0, -1.0, 0.5);
  EXPECT_EQ(other.ifail, 0);
  EXPECT_EQ(other.b[0], base.b[0]);
  EXPECT_EQ(other.b[2], base.b[2]);
}

}  // namespace
