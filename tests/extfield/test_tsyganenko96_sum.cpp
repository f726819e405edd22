// Tsyganenko 1996 entry: the amplitudes of the current systems from the
// drivers, the pressure scaling, the magnetopause coordinate and the module
// sum, written out from the model's definition on top of its module routines
// and compared with t96_01 inside, in the boundary layer and outside, for
// drivers that reach every branch of the IMF clock angle.
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/tsyganenko96.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

struct Drivers {
  double pdyn, dst, by, bz;
};

// The model field from its definition (Tsyganenko 1995, 1996; T96_01
// constants), with the module fields taken from the module routines.
void t96_by_hand(double tilt_deg, const Drivers& d, double x, double y, double z, double out[3]) {
  const double pi = 4.0 * std::atan(1.0);
  double ps = tilt_deg * pi / 180.0;
  // Pressure-corrected Dst; the Dst weight is the single-precision 0.8.
  const double dstar = static_cast<double>(0.8f) * d.dst - 13.0 * std::sqrt(d.pdyn);
  const double bt = std::sqrt(d.by * d.by + d.bz * d.bz);
  // Clock angle in (0, 2 pi]; 0 only for a zero IMF.
  double theta = 0.0;
  if (!(d.by == 0.0 && d.bz == 0.0)) {
    theta = std::atan2(d.by, d.bz);
    if (theta <= 0.0) theta += 8.0 * std::atan(1.0);
  }
  const double ct = std::cos(theta), st = std::sin(theta);
  const double eps = 718.5 * std::sqrt(d.pdyn) * bt * std::sin(theta / 2.0);
  const double fe = eps / 3630.7 - 1.0, fp = std::sqrt(d.pdyn / 2.0) - 1.0;
  const double a_rc = -(1.162 * dstar);
  const double a_t2 = 22.344 + 18.5 * fp + 2.602 * fe;
  const double a_t3 = 6.903 + 5.287 * fp;
  const double a_r1 = 0.579 + 0.4462 * fe;
  const double a_r2 = 20.0 * a_r1;
  const double a_ic = 0.785 * bt;
  const double kappa = std::pow(d.pdyn / 2.0, 0.14);
  const double ys = y * ct - z * st, zs = z * ct + y * st;
  const double fimf = std::exp(x / 20.0 - (ys / 10.0) * (ys / 10.0));
  const double outer[3] = {0.0, 0.785 * d.by * fimf, 0.785 * d.bz * fimf};

  // Magnetopause coordinate of the unscaled point: an ellipsoid about the x
  // axis continued tailward as a cylinder.
  const double x0 = 5.48 / kappa, a = 70.0 / kappa, rho2 = y * y + z * z;
  const double m = std::fmax(a + x - x0, 0.0);
  const double A = a * a + rho2 + m * m;
  const double sigma = std::sqrt((A + std::sqrt(A * A - 4.0 * a * a * m * m)) / (2.0 * a * a));

  double q[3], px = x, py = y, pz = z;
  if (sigma >= 1.08 + 0.005) {
    dipole_(&ps, &px, &py, &pz, &q[0], &q[1], &q[2]);
    for (int k = 0; k < 3; ++k) out[k] = outer[k] - q[k];
    return;
  }
  double X = kappa * x, Y = kappa * y, Z = kappa * z;
  double c[3], rc[3], t2[3], t3[3], r1[3], r2[3], ic[3];
  kest::t96::dipshld(ps, X, Y, Z, c);
  kest::t96::tailrc96(std::sin(ps), X, Y, Z, rc, t2, t3);
  birk1tot_02_(&ps, &X, &Y, &Z, &r1[0], &r1[1], &r1[2]);
  birk2tot_02_(&ps, &X, &Y, &Z, &r2[0], &r2[1], &r2[2]);
  kest::t96::intercon(X, kappa * ys, kappa * zs, ic);
  const double in[3] = {ic[0], ic[1] * ct + ic[2] * st, ic[2] * ct - ic[1] * st};
  double f[3];
  for (int k = 0; k < 3; ++k)
    f[k] = kappa * kappa * kappa * c[k] + a_rc * rc[k] + a_t2 * t2[k] + a_t3 * t3[k] + a_r1 * r1[k] +
           a_r2 * r2[k] + a_ic * in[k];
  if (sigma < 1.08 - 0.005) {
    for (int k = 0; k < 3; ++k) out[k] = f[k];
    return;
  }
  const double fint = 0.5 * (1.0 - (sigma - 1.08) / 0.005), fext = 0.5 * (1.0 + (sigma - 1.08) / 0.005);
  dipole_(&ps, &px, &py, &pz, &q[0], &q[1], &q[2]);
  for (int k = 0; k < 3; ++k) out[k] = (f[k] + q[k]) * fint + outer[k] * fext - q[k];
}

// The drivers reach each branch of the clock angle: By < 0 (atan2 negative,
// turned by 2 pi, so that sin(theta/2) stays positive), By > 0, a purely
// northward IMF (theta = 2 pi), a purely southward one, and a zero IMF; and
// pressures below, at and above the reference 2 nPa.
TEST(T96Sum, EntryIsTheDefinedSumOfItsModules) {
  const Drivers drivers[] = {{2.0, -20.0, -4.0, -3.0}, {2.0, -20.0, 4.0, -3.0}, {3.5, -60.0, 0.0, 6.0},
                             {0.8, 10.0, 0.0, -8.0},   {6.0, -95.0, 0.0, 0.0},  {1.2, -5.0, -7.0, 2.5}};
  // Points inside the magnetosphere, near the Region-1 and Region-2 layers,
  // in the tail, and on the Sun-Earth line inside, across and beyond the
  // boundary layer (for Pdyn = 2 it spans x = 10.73 .. 11.43).
  const double points[][3] = {{-6.6, 1.0, 1.5}, {3.0, -2.0, 4.0},  {-15.0, 5.0, -3.0}, {-30.0, -8.0, 6.0},
                              {1.2, 0.5, 2.8},  {8.0, 0.0, 0.0},   {11.1, 0.0, 0.0},   {11.3, 0.5, -0.3},
                              {14.0, 3.0, 2.0}, {-20.0, 25.0, 0.0}};
  for (double tilt : {0.0, 17.0, -28.0})
    for (const Drivers& d : drivers)
      for (const auto& p : points) {
        kest::dip_ang.tilt = tilt;
        double parmod[4] = {d.pdyn, d.dst, d.by, d.bz};
        double x = p[0], y = p[1], z = p[2], got[3], want[3];
        t96_01_(parmod, &x, &y, &z, &got[0], &got[1], &got[2]);
        t96_by_hand(tilt, d, p[0], p[1], p[2], want);
        const double scale = std::sqrt(want[0] * want[0] + want[1] * want[1] + want[2] * want[2]) + 1.0;
        for (int k = 0; k < 3; ++k)
          EXPECT_NEAR(got[k], want[k], 1e-12 * scale)
              << "tilt " << tilt << " drivers " << d.pdyn << "," << d.dst << "," << d.by << "," << d.bz << " point "
              << p[0] << "," << p[1] << "," << p[2] << " component " << k;
      }
}

// Dst enters only through the ring-current amplitude -1.162 D*, with D*
// weighting Dst by the single-precision 0.8: two Dst values 100 nT apart
// differ by 1.162 x 0.800000011920929 x 100 times the ring-current module,
// which tells that weight from the double 0.8 (a difference of 1.4e-6 of the
// module field).
TEST(T96Sum, DstWeightIsTheSinglePrecisionValue) {
  kest::dip_ang.tilt = 0.0;
  double x = -6.0, y = 1.0, z = 0.5, lo[3], hi[3];
  double p_lo[4] = {2.0, -90.0, 0.0, -2.0}, p_hi[4] = {2.0, 10.0, 0.0, -2.0};
  t96_01_(p_lo, &x, &y, &z, &lo[0], &lo[1], &lo[2]);
  t96_01_(p_hi, &x, &y, &z, &hi[0], &hi[1], &hi[2]);
  double rc[3], t2[3], t3[3];
  kest::t96::tailrc96(0.0, x, y, z, rc, t2, t3);  // kappa = 1 at 2 nPa
  const double w = 1.162 * static_cast<double>(0.8f) * 100.0;
  for (int k : {0, 2}) {
    ASSERT_GT(std::fabs(rc[k]), 0.01);
    EXPECT_NEAR(lo[k] - hi[k], w * rc[k], 1e-9 * std::fabs(w * rc[k])) << k;
    EXPECT_GT(std::fabs(lo[k] - hi[k] - 1.162 * 0.8 * 100.0 * rc[k]), 5e-9 * std::fabs(w * rc[k])) << k;
  }
}

}  // namespace

// On the Sun-Earth line the radicand of the magnetopause coordinate is
// (a^2 - m^2)^2, which vanishes at x = x0 = 5.48 / kappa; there it is the
// difference of two equal numbers of order 4 a^4, and rounding must not turn
// it into a negative number whose root is not a number. The field on and
// next to the line around x0 is finite and continuous.
TEST(T96Sum, FiniteOnTheSunEarthLineAtTheMagnetopauseOffset) {
  for (double pdyn : {0.5, 2.0, 7.0}) {
    const double x0 = 5.48 / std::pow(pdyn / 2.0, 0.14);
    double parmod[4] = {pdyn, -20.0, 1.0, -2.0};
    kest::dip_ang.tilt = 10.0;
    double xr = x0 + 1e-5, yr = 0.0, zr = 0.0, ref[3];
    t96_01_(parmod, &xr, &yr, &zr, &ref[0], &ref[1], &ref[2]);
    int bad = 0;
    for (int k = -300; k <= 300; ++k)
      for (double rho : {0.0, 1e-9}) {
        double x = x0 * (1.0 + k * 1e-11), y = rho, z = 0.0, b[3];
        t96_01_(parmod, &x, &y, &z, &b[0], &b[1], &b[2]);
        for (int c = 0; c < 3; ++c) {
          if (!std::isfinite(b[c])) ++bad;
          else EXPECT_NEAR(b[c], ref[c], 1e-3) << pdyn << " " << k << " " << c;
        }
      }
    EXPECT_EQ(bad, 0) << "Pdyn " << pdyn;
  }
}
