// Mead magnetospheric field model.
//
// The field of the magnetospheric currents (magnetopause and tail) as a
// quadratic polynomial in solar-magnetic coordinates scaled to units of 10
// Earth radii, turned by 4 degrees about the SM z axis (the aberration of the
// solar wind by the Earth's orbital motion), with one coefficient set per Kp
// class and a part linear in the dipole tilt (in units of 10 degrees). The
// polynomial is low order: the model is meant for the inner magnetosphere
// (within about 17 Earth radii, where the field routine refuses points).
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// Mead coefficient sets, one row per Kp class 1..4, nT.
// Bz: c1..c7 of the terms 1, X, X^2, Y^2, Z^2, T Z, T X Z.
constexpr double kMeadBz[4][7] = {
    {-9.41, 15.07, 13.16, 8.36, 7.95, 4.55, 0.51},
    {-11.96, 17.87, 15.88, 9.77, 9.43, 5.57, 1.53},
    {-19.88, 20.23, 22.72, 13.23, 11.46, 6.33, 0.67},
    {-22.9, 22.7, 26.5, 15.54, 11.0, 7.36, 1.85},
};
// By: b1..b3 of the terms Y Z, T Y, T X Y.
constexpr double kMeadBy[4][3] = {
    {-10.11, -1.98, 0.09},
    {-11.84, -2.57, -0.28},
    {-16.54, -3.08, 0.22},
    {-19.1, -3.5, 0.23},
};
// Bx: a1..a7 of the terms Z, X Z, T, T X, T X^2, T Y^2, T Z^2.
constexpr double kMeadBx[4][7] = {
    {17.93, -5.79, 2.98, -2.57, -0.3, -1.47, 1.05},
    {21.79, -7.03, 3.02, -2.99, -0.62, -1.22, 0.95},
    {33.16, -6.39, 4.3, -3.25, -0.44, -1.27, 0.45},
    {39.48, -2.91, 5.17, -3.86, -1.04, -1.29, -1.14},
};

// cos 4 deg and sin 4 deg as the model states them (eight digits).
constexpr double kCos4 = 0.99756405;
constexpr double kSin4 = 0.06975647;

}  // namespace

// mead: Mead external field at one point.
// Given:    x, y, z  double  SM position, Earth radii
//           iopt  int  Kp class 1..4
// Returned: bx, by, bz  double  external field, nT (SM components)
// State:    reads dip_ang (tilt, degrees).
// Requires: dip_ang set for the time; iopt from the set-up.
// Failure:  none reported; a class outside 1..4 is the caller's fault and
//           gives the zero vector rather than reading outside the table.
// Notes:    1. The components are those of the 4-degree-turned frame; they
//             are not turned back (the model was fitted that way).
// References: G. D. Mead, Deformation of the geomagnetic field by the solar
//           wind, J. Geophys. Res. 69, 1181 (1964); G. D. Mead and D. H.
//           Fairfield, A quantitative magnetospheric model derived from
//           spacecraft magnetometer data, J. Geophys. Res. 80, 523 (1975).
extern "C" void mead_(double* x, double* y, double* z, int* iopt, double* bx, double* by, double* bz) {
  if (*iopt < 1 || *iopt > 4) {
    *bx = *by = *bz = 0.0;
    return;
  }
  const int k = *iopt - 1;
  const double X = 0.1 * (*x * kCos4 - *y * kSin4);
  const double Y = 0.1 * (*y * kCos4 + *x * kSin4);
  const double Z = 0.1 * *z;
  const double T = 0.1 * kest::dip_ang.tilt;
  const double* a = kMeadBx[k];
  const double* b = kMeadBy[k];
  const double* c = kMeadBz[k];
  const double X2 = X * X, Y2 = Y * Y, Z2 = Z * Z;
  *bx = a[0] * Z + a[1] * X * Z + T * (a[2] + a[3] * X + a[4] * X2 + a[5] * Y2 + a[6] * Z2);
  *by = b[0] * Y * Z + T * (b[1] * Y + b[2] * X * Y);
  *bz = c[0] + c[1] * X + c[2] * X2 + c[3] * Y2 + c[4] * Z2 + T * (c[5] * Z + c[6] * X * Z);
}

// The Mead model as champ calls it: SM point, Kp class from the set-up.
void kest::mead_champ(double* x, double* b) { mead_(&x[0], &x[1], &x[2], &kest::index.kp_class, &b[0], &b[1], &b[2]); }
