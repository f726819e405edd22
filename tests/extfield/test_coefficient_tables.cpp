// Every published coefficient of the Mead and Ostapenko-Maltsev 1997 models
// through the compiled routines: the Mead polynomials evaluated with the
// published 4 x 17 table at points and tilts that separate all its terms, and
// each of the 17 x 5 Ostapenko-Maltsev regression coefficients selected by
// one driver at one standard deviation from its mean.
#include <cmath>
#include <gtest/gtest.h>

#include "extfield/extfield_state.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

// Mead and Fairfield coefficients (nT), one row per Kp class: c1..c7 (Bz:
// 1, X, X^2, Y^2, Z^2, T Z, T X Z), b1..b3 (By: Y Z, T Y, T X Y), a1..a7
// (Bx: Z, X Z, T, T X, T X^2, T Y^2, T Z^2).
constexpr double kMead[4][17] = {
    {-9.41, 15.07, 13.16, 8.36, 7.95, 4.55, 0.51, -10.11, -1.98, 0.09, 17.93, -5.79, 2.98, -2.57, -0.3, -1.47,
     1.05},
    {-11.96, 17.87, 15.88, 9.77, 9.43, 5.57, 1.53, -11.84, -2.57, -0.28, 21.79, -7.03, 3.02, -2.99, -0.62, -1.22,
     0.95},
    {-19.88, 20.23, 22.72, 13.23, 11.46, 6.33, 0.67, -16.54, -3.08, 0.22, 33.16, -6.39, 4.3, -3.25, -0.44, -1.27,
     0.45},
    {-22.9, 22.7, 26.5, 15.54, 11.0, 7.36, 1.85, -19.1, -3.5, 0.23, 39.48, -2.91, 5.17, -3.86, -1.04, -1.29,
     -1.14},
};

// The Mead field written out from its definition: positions in units of 10
// Earth radii turned by 4 degrees (cosine and sine as the model states them,
// eight digits), the tilt in units of 10 degrees.
void mead_by_hand(int iopt, double tilt, double x, double y, double z, double b[3]) {
  const double* k = kMead[iopt - 1];
  const double X = 0.1 * (x * 0.99756405 - y * 0.06975647);
  const double Y = 0.1 * (y * 0.99756405 + x * 0.06975647);
  const double Z = 0.1 * z;
  const double T = 0.1 * tilt;
  b[2] = k[0] + k[1] * X + k[2] * X * X + k[3] * Y * Y + k[4] * Z * Z + T * (k[5] * Z + k[6] * X * Z);
  b[1] = k[7] * Y * Z + T * (k[8] * Y + k[9] * X * Y);
  b[0] = k[10] * Z + k[11] * X * Z + T * (k[12] + k[13] * X + k[14] * X * X + k[15] * Y * Y + k[16] * Z * Z);
}

// Every term of every class: the points and tilts make the 17 monomials of
// each class linearly independent, so a wrong or misplaced coefficient, or
// the rotation taken as cos 4 deg computed at run time, shows at some point.
TEST(MeadTable, EveryCoefficientOfEveryClass) {
  const double points[][3] = {{0.0, 0.0, 0.0},  {10.0, 0.0, 0.0},  {-8.0, 3.0, 0.0}, {6.6, -4.0, 2.0},
                              {-12.0, 7.0, -5.0}, {3.0, 9.0, 6.0}, {-2.0, -6.0, 8.5}, {14.0, 1.0, -3.0}};
  for (int iopt = 1; iopt <= 4; ++iopt)
    for (double tilt : {0.0, 23.4, -31.0})
      for (const auto& p : points) {
        kest::dip_ang.tilt = tilt;
        double x = p[0], y = p[1], z = p[2], got[3], want[3];
        int k = iopt;
        mead_(&x, &y, &z, &k, &got[0], &got[1], &got[2]);
        mead_by_hand(iopt, tilt, p[0], p[1], p[2], want);
        for (int c = 0; c < 3; ++c)
          EXPECT_NEAR(got[c], want[c], 2e-13) << "class " << iopt << " tilt " << tilt << " point " << p[0] << ","
                                              << p[1] << "," << p[2] << " component " << c;
      }
}

// Ostapenko and Maltsev (1997): A(n) = T(n,0) + T(n,1) X1 + T(n,2) X2 +
// T(n,3) X3 + T(n,4) X4, as published (single-precision constants).
constexpr float kOm97[17][5] = {
    {-43.392f, 20.364f, -0.74532f, -3.2941f, -1.6294f},   {40.308f, -13.734f, 6.4463f, 3.4054f, 2.8944f},
    {7.0475f, -3.292f, 2.2886f, 0.10694f, 0.8028f},       {133.47f, -61.188f, 25.064f, 2.5815f, 11.37f},
    {-36.968f, 24.557f, -12.768f, 4.1262f, -4.2696f},     {-130.1f, 46.964f, -25.64f, -14.84f, -9.6417f},
    {23.632f, 4.9102f, 7.9419f, 4.3164f, 2.6925f},        {-1.7139f, -0.74376f, 0.28973f, -0.96157f, -0.50774f},
    {1.2742f, -15.849f, 7.172f, -1.6217f, -10.925f},      {-21.437f, -10.04f, -7.191f, -9.9341f, -5.0171f},
    {4.4863f, 3.1827f, -9.649f, -0.69168f, 3.4412f},      {23.315f, -6.8824f, 12.323f, 3.5851f, -6.1224f},
    {23.179f, -2.0127f, 9.06f, -0.18949f, 0.15f},         {-1.9672f, -1.3847f, 2.9655f, -3.4092f, 1.4149f},
    {12.97f, -4.3018f, 6.4866f, -0.12664f, -2.1103f},     {5.7215f, -3.193f, 2.2242f, 0.3512f, 0.091624f},
    {4.9085f, -1.0754f, 3.5705f, -0.99892f, -0.6214f},
};

// Means and standard deviations of the drivers in the model's data set: Dst
// (nT), dynamic pressure (nPa), Kp, IMF Bz (nT).
constexpr double kMean[4] = {-16.9367, 2.278138, 2.30896, 0.018};
constexpr double kSdev[4] = {25.2834, 1.882804, 1.35401, 3.7051};

// At the mean drivers every amplitude is exactly its published constant
// (held as the double of the single-precision value); one driver raised by
// its standard deviation adds that driver's column. A wrong entry, a column
// swap or a wrong normalisation fails here.
TEST(OstapenkoMaltsev97Table, EveryRegressionCoefficient) {
  double d[4] = {kMean[0], kMean[1], kMean[2], kMean[3]};
  double sin_tilt = 1.0;
  set_a_(&d[0], &d[1], &d[2], &d[3], &sin_tilt);
  for (int n = 0; n < 17; ++n) EXPECT_EQ(kest::coefom97.a[n], static_cast<double>(kOm97[n][0])) << "A" << n + 1;
  for (int k = 0; k < 4; ++k) {
    double v[4] = {kMean[0], kMean[1], kMean[2], kMean[3]};
    v[k] += kSdev[k];
    set_a_(&v[0], &v[1], &v[2], &v[3], &sin_tilt);
    for (int n = 0; n < 17; ++n) {
      const double want = static_cast<double>(kOm97[n][0]) + static_cast<double>(kOm97[n][k + 1]);
      EXPECT_NEAR(kest::coefom97.a[n], want, 1e-9 * (std::fabs(want) + 1.0)) << "A" << n + 1 << " driver " << k + 1;
    }
  }
  // With all four drivers at one deviation the columns add, and the tilt
  // sine multiplies A13..A17 only.
  double v[4] = {kMean[0] + kSdev[0], kMean[1] + kSdev[1], kMean[2] + kSdev[2], kMean[3] + kSdev[3]};
  sin_tilt = -0.375;
  set_a_(&v[0], &v[1], &v[2], &v[3], &sin_tilt);
  for (int n = 0; n < 17; ++n) {
    double want = 0.0;
    for (int k = 0; k < 5; ++k) want += static_cast<double>(kOm97[n][k]);
    if (n >= 12) want *= -0.375;
    EXPECT_NEAR(kest::coefom97.a[n], want, 1e-9 * (std::fabs(want) + 1.0)) << "A" << n + 1;
  }
  EXPECT_EQ(kest::coefom97.na, 17);
}

}  // namespace
