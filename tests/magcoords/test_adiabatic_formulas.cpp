// The closed formulas behind Lm and L*, checked against their own definitions
// rather than against a tolerance around the dipole L:
//
// - Hilton's approximation of McIlwain's L: with X = I^3 Bm / B0,
//   Lm^3 Bm / B0 = 1 + 1.35047 X^(1/3) + 0.465376 X^(2/3) + 0.0475455 X
//   (Hilton, J. Geophys. Res. 76, 6952, 1971). Every tracer that returns Lm,
//   I and the mirror field must satisfy it to rounding, in any field model.
// - The polar-cap flux of a drift shell: Phi = pi B(pole) dtheta^2 / 4 (the
//   cap of radius dtheta/2 about the pole) plus, along each of the N foot-point
//   meridians, |B| sin(theta) dtheta 2 pi / N at theta = dtheta, 2 dtheta, ...
//   up to the line's foot colatitude, with |B| the field magnitude on the unit
//   sphere; L* = 2 pi B0 / Phi. In a centred axial dipole |B| on the sphere is
//   B0 sqrt(1 + 3 cos^2 theta), so the sum is evaluated here from the foot
//   colatitudes alone, and its integral has the closed form
//   2 pi B0 [F(1) - F(cos theta_c)], F(u) = u sqrt(1 + 3u^2) / 2 +
//   asinh(sqrt(3) u) / (2 sqrt(3)), with sin^2 theta_c = 1 / L.
// - The colatitude search of a drift-shell line walks a grid of steps dtheta
//   anchored at its start: its first trace moves on by +dtheta when the trace
//   closed (-dtheta when it did not) and takes the new colatitude as the lower
//   end of the bracket, every later trace moves towards the crossing (+dtheta
//   while I >= the point's I), and the search stops at the first change of
//   sign of I - I(point), giving the middle of the last two colatitudes.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "frame/frame_state.hpp"
#include "kest/frame.h"
#include "kest/magcoords.h"
#include "magcoords/field_line_trace.hpp"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"

#include "axial_dipole.hpp"

namespace {

constexpr double kFill = -1.0e31;
const double kPi = 4.0 * std::atan(1.0);

// McIlwain's L by Hilton's formula from I (Earth radii), the mirror field Bm
// and the dipole moment B0 (nT), written out as published.
double hilton(double xj, double bm, double b0) {
  const double x = xj * xj * xj * bm / b0;
  const double poly = 1.0 + 1.35047 * std::pow(x, 1.0 / 3.0) + 0.465376 * std::pow(x, 2.0 / 3.0) + 0.0475455 * x;
  return std::pow(poly * b0 / bm, 1.0 / 3.0);
}

struct GeodeticPoint {
  int kext;
  double alt, lat, lon;  // km, degrees
};

// Points on closed lines, off their equators (I well above 0), in the
// internal field alone and with the Olson-Pfitzer quiet model; the second
// mirrors at 100 km over the region conjugate to the South Atlantic Anomaly,
// where Lm carries the loss-cone sign.
const GeodeticPoint kPoints[] = {
    {0, 20000.0, 15.0, -90.0}, {0, 100.0, 15.0, -90.0}, {0, 3000.0, -30.0, 40.0},
    {5, 25000.0, 12.0, 120.0}, {5, 1000.0, 50.0, 200.0}, {5, 12000.0, -35.0, 310.0},
};

// |B| and the dipole moment of the time at a geodetic point, from the same
// model set-up as the tracers.
void field_at(const GeodeticPoint& p, int iyr, int idoy, double ut, double* bl, double* b0) {
  int kext = p.kext, options[5] = {0, 0, 0, 0, 0}, sysaxes = 0;
  double alt = p.alt, lat = p.lat, lon = p.lon, m[25] = {}, b[3];
  get_field1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &alt, &lat, &lon, m, b, bl);
  *b0 = kest::dipigrf.b0;
}

TEST(HiltonFormula, LmOfEveryTracerFollowsFromIAndTheMirrorField) {
  int iyr = 2004, idoy = 75;
  double ut = 7200.0;
  for (const GeodeticPoint& p : kPoints) {
    SCOPED_TRACE(testing::Message() << "kext " << p.kext << " alt " << p.alt << " lat " << p.lat);
    int kext = p.kext, sysaxes = 0, n = 1;
    double alt = p.alt, lat = p.lat, lon = p.lon, m[25] = {};
    double bl = 0.0, b0 = 0.0;
    field_at(p, iyr, idoy, ut, &bl, &b0);
    ASSERT_GT(bl, 0.0);

    // The L* array core (step Lb / 50), without L*.
    int options[5] = {0, 0, 0, 0, 0};
    double lm, lstar, blocal, bmin, xj, mlt;
    make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &alt, &lat, &lon, m, &lm, &lstar, &blocal,
                 &bmin, &xj, &mlt);
    ASSERT_NE(lm, kFill);
    ASSERT_GT(xj, 0.01);
    EXPECT_EQ(blocal, bl);
    EXPECT_NEAR(std::fabs(lm), hilton(xj, blocal, b0), 1e-12 * std::fabs(lm));

    // The field-line tracer (step 0.02 Lb): the mirror field is the point's.
    double flm, fbmin, fxj, fbl[1000], fposit[3000];
    int np = 0;
    trace_field_line1_(&kext, options, &sysaxes, &iyr, &idoy, &ut, &alt, &lat, &lon, m, &flm, fbl, &fbmin, &fxj,
                       fposit, &np);
    ASSERT_NE(flm, kFill);
    EXPECT_NEAR(std::fabs(flm), hilton(fxj, bl, b0), 1e-12 * std::fabs(flm));
    EXPECT_EQ(flm < 0.0, lm < 0.0);
  }
  // The loss-cone point is the one whose conjugate mirror point is below
  // the surface.
  int kext = 0, options[5] = {0, 0, 0, 0, 0}, sysaxes = 0, n = 1;
  double alt = 100.0, lat = 15.0, lon = -90.0, m[25] = {}, lm, lstar, blocal, bmin, xj, mlt;
  make_lstar1_(&n, &kext, options, &sysaxes, &iyr, &idoy, &ut, &alt, &lat, &lon, m, &lm, &lstar, &blocal, &bmin,
               &xj, &mlt);
  EXPECT_LT(lm, 0.0);
}

// The flux sum over n foot colatitudes, from the dipole's |B| on the sphere.
double cap_flux(const double* colat, int n, double dtheta, int ntheta, double b0) {
  double flux = kPi * (2.0 * b0) * dtheta * dtheta / 4.0;
  for (int i = 0; i < n; ++i) {
    double theta = 0.0;
    for (int k = 1; k <= ntheta; ++k) {
      theta = theta + dtheta;
      if (theta > colat[i]) break;
      const double c = std::cos(theta);
      flux += b0 * std::sqrt(1.0 + 3.0 * c * c) * std::sin(theta) * dtheta * 2.0 * kPi / n;
    }
  }
  return flux;
}

// The flux integral through the cap bounded by colatitude theta_c.
double cap_flux_integral(double theta_c, double b0) {
  auto f = [](double u) { return u * std::sqrt(1.0 + 3.0 * u * u) / 2.0 + std::asinh(std::sqrt(3.0) * u) / (2.0 * std::sqrt(3.0)); };
  return 2.0 * kPi * b0 * (f(1.0) - f(std::cos(theta_c)));
}

// The dipole L of a geodetic point: r / cos^2(geocentric latitude).
double dipole_l(double alt, double lat, double lon) {
  double x, y, z;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  const double r2 = x * x + y * y + z * z;
  return std::sqrt(r2) / (1.0 - z * z / r2);
}

TEST(PolarCapFlux, LstarOfTheLstarCoreIsTwoPiB0OverTheCapFlux) {
  struct Case {
    int t_resol, r_resol, opt;
    double alt, lat, lon;
  } cases[] = {
      {1, 1, 1, 20000.0, 20.0, 30.0},
      {3, 2, 1, 15000.0, -10.0, 200.0},
      {1, 1, 2, 20000.0, 20.0, 30.0},  // the slot returns Phi itself
      {2, 1, 1, 30000.0, 5.0, 100.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "t_resol " << c.t_resol << " r_resol " << c.r_resol << " opt " << c.opt);
    const double b0 = set_axial_dipole();
    kest::magmod.lstar_opt = c.opt;
    int tr = c.t_resol, rr = c.r_resol;
    double alt = c.alt, lat = c.lat, lon = c.lon, lm, lstar, xj, blocal, bmin;
    calcul_lstar_(&tr, &rr, &lat, &lon, &alt, &lm, &lstar, &xj, &blocal, &bmin);
    ASSERT_NE(lstar, kFill);
    EXPECT_EQ(kest::flag_l.set, 1);
    const int n = 25 * c.r_resol, ntheta = 720 * c.t_resol;
    const double dtheta = kPi / ntheta;
    // An axial dipole: every foot point lies on the colatitude of the line,
    // to the search's grid. (A search whose first trace already lies on the
    // far side of the crossing keeps the second colatitude as both ends of
    // its bracket, so a foot point may lie a whole step off.)
    const double l = dipole_l(c.alt, c.lat, c.lon);
    const double theta_c = std::asin(std::sqrt(1.0 / l));
    for (int i = 0; i < n; ++i) EXPECT_NEAR(kest::calotte.colat[i], theta_c, 1.5 * dtheta) << "line " << i;
    const double flux = cap_flux(kest::calotte.colat, n, dtheta, ntheta, b0);
    if (c.opt == 2)
      EXPECT_NEAR(lstar, flux, 1e-12 * flux);
    else
      EXPECT_NEAR(lstar, 2.0 * kPi * b0 / flux, 1e-12 * lstar);
    // The sum approximates the flux integral of the cap to the order of
    // its step.
    EXPECT_NEAR(flux, cap_flux_integral(theta_c, b0), 4.0 * dtheta * flux);
  }
}

TEST(PolarCapFlux, LstarOfTheDriftShellTracerIsTwoPiB0OverTheCapFlux) {
  for (int opt : {1, 2}) {
    SCOPED_TRACE(testing::Message() << "opt " << opt);
    const double b0 = set_axial_dipole();
    kest::magmod.lstar_opt = opt;
    double alt = 20000.0, lat = 20.0, lon = 30.0, lm, lstar, xj, bmin;
    std::vector<double> blocal(1000 * 48), posit(3000 * 48);
    std::vector<int> ind(48);
    trace_drift_shell_(&lat, &lon, &alt, &lm, &lstar, &xj, blocal.data(), &bmin, posit.data(), ind.data());
    ASSERT_NE(lstar, kFill);
    EXPECT_EQ(kest::flag_l.set, 0);
    const double dtheta = kPi / 720.0;
    const double theta_c = std::asin(std::sqrt(1.0 / dipole_l(alt, lat, lon)));
    for (int i = 0; i < 48; ++i) EXPECT_NEAR(kest::calotte.colat[i], theta_c, 1.5 * dtheta) << "line " << i;
    const double flux = cap_flux(kest::calotte.colat, 48, dtheta, 720, b0);
    // L* whatever the L*-slot option: never the flux.
    EXPECT_NEAR(lstar, 2.0 * kPi * b0 / flux, 1e-12 * lstar);
    EXPECT_NEAR(flux, cap_flux_integral(theta_c, b0), 4.0 * dtheta * flux);
  }
}

// The bracket rule of the colatitude search, in a centred axial dipole where
// the bounce integral falls with the foot colatitude: the crossing theta* is
// the foot of the line whose integral is the target, and each start lies a
// known number of steps from it.
TEST(ColatitudeSearch, BracketsOnTheGridOfItsStart) {
  const double b0 = set_axial_dipole();
  namespace fl = kest::fline;
  const double l = 4.0;
  const double theta_star = std::asin(std::sqrt(1.0 / l));  // 30 degrees
  const double phi = 0.3;
  // Mirror field: |B| at latitude 30 degrees of the line, r = L cos^2 = 3.
  const double bp = b0 / 27.0 * std::sqrt(1.0 + 3.0 * 0.25);
  const double ds = -0.02 * l;
  const double dtheta = kPi / 720.0;
  fl::LineIntegral at_star{};
  ASSERT_TRUE(fl::colatitude_trace(theta_star, phi, ds, bp, fl::kTraceBudget, fl::NullIntegral::fill, at_star));
  ASSERT_TRUE(at_star.closed);
  const double xj = at_star.I;
  ASSERT_GT(xj, 0.1);
  struct Case {
    double start;  // steps of dtheta from theta*
    double found;  // steps of dtheta from the start
  } cases[] = {
      {-3.3, 3.5},  // walks down the field line family to the crossing
      {-0.3, 1.0},  // the first move already crosses: both ends are the new colatitude
      {2.7, -2.5},  // first move away (the trace closed), then back across
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.start);
    const double theta0 = theta_star + c.start * dtheta;
    double found = 0.0;
    ASSERT_TRUE(fl::colatitude_search(theta0, phi, dtheta, ds, bp, xj, fl::kTraceBudget, fl::NullIntegral::fill,
                                      found));
    EXPECT_NEAR(found, theta0 + c.found * dtheta, 1e-12);
  }
}

}  // namespace
