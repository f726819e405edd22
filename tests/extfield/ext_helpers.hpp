// Shared helpers of the external-model tests: a field vector, numerical
// divergence, and the external field as the field entry delivers it.
#ifndef KEST_TESTS_EXTFIELD_EXT_HELPERS_HPP
#define KEST_TESTS_EXTFIELD_EXT_HELPERS_HPP

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/magcoords_state.hpp"

namespace ext_test {

constexpr double kFill = -1.0e31;

struct Vec {
  double x, y, z;
};

inline double norm(const Vec& v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

using Field = std::function<Vec(double, double, double)>;

// div B by central differences of step h; also returns through scale the sum
// of the magnitudes of the three diagonal derivatives, the size the
// divergence is to be compared with.
inline double divergence(const Field& f, double x, double y, double z, double h, double* scale) {
  const double dxx = (f(x + h, y, z).x - f(x - h, y, z).x) / (2 * h);
  const double dyy = (f(x, y + h, z).y - f(x, y - h, z).y) / (2 * h);
  const double dzz = (f(x, y, z + h).z - f(x, y, z - h).z) / (2 * h);
  if (scale) *scale = std::fabs(dxx) + std::fabs(dyy) + std::fabs(dzz);
  return dxx + dyy + dzz;
}

// curl B by central differences.
inline Vec curl(const Field& f, double x, double y, double z, double h) {
  const Vec px = f(x + h, y, z), mx = f(x - h, y, z);
  const Vec py = f(x, y + h, z), my = f(x, y - h, z);
  const Vec pz = f(x, y, z + h), mz = f(x, y, z - h);
  const double k = 1.0 / (2 * h);
  return {(py.z - my.z - pz.y + mz.y) * k, (pz.x - mz.x - px.z + mx.z) * k, (px.y - mx.y - py.x + my.x) * k};
}

// One get_field call at a point given in the model frame (sysaxes 2 GSM or 4
// SM); a second call without external model gives the internal field, and
// the difference is turned into the model frame. ok is false when the point
// was refused (fill values).
struct EntryResult {
  bool ok;
  Vec ext;  // external field in the model frame, nT
};

inline EntryResult external_via_get_field(int kext, const double* maginput, int sysaxes, double x, double y,
                                          double z, int iyr = 2005, int idoy = 80, double ut = 37800.0) {
  double mi[25];
  for (int k = 0; k < 25; ++k) mi[k] = maginput[k];
  int options[5] = {0, 0, 0, 0, 0};
  double b[3], bl, b0[3], bl0;
  double p[3] = {x, y, z};
  int k0 = 0;
  get_field1_(&k0, options, &sysaxes, &iyr, &idoy, &ut, &p[0], &p[1], &p[2], mi, b0, &bl0);
  get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &p[0], &p[1], &p[2], mi, b, &bl);
  if (bl == kFill) return {false, {kFill, kFill, kFill}};
  double d[3] = {b[0] - b0[0], b[1] - b0[1], b[2] - b0[2]}, m[3];
  if (sysaxes == 2)
    geo_gsm_(d, m);
  else
    geo_sm_(d, m);
  return {true, {m[0], m[1], m[2]}};
}

// A Kp-class model through the field entry: with code kext and Kp (times
// 10) kp10 in maginput(1), the entry must choose class want_class and give,
// at the GSM point, the model routine's own field for that class at the tilt
// the entry set.
using ClassModel = Vec (*)(int iopt, double tilt, double x, double y, double z);
inline void expect_entry_gives_class_field(int kext, double kp10, int want_class, ClassModel model,
                                           double x, double y, double z) {
  double mi[25] = {};
  mi[0] = kp10;
  const auto r = external_via_get_field(kext, mi, 2, x, y, z);
  ASSERT_TRUE(r.ok) << "kext " << kext;
  EXPECT_EQ(kest::index.kp_class, want_class) << "kext " << kext;
  const Vec want = model(want_class, kest::dip_ang.tilt, x, y, z);
  EXPECT_NEAR(r.ext.x, want.x, 1e-6) << "kext " << kext;
  EXPECT_NEAR(r.ext.y, want.y, 1e-6) << "kext " << kext;
  EXPECT_NEAR(r.ext.z, want.z, 1e-6) << "kext " << kext;
}

}  // namespace ext_test

#endif
