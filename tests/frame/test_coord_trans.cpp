// Coordinate transformation dispatch between the twelve systems.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "kest.h"

namespace {

constexpr double kFill = -1.0e31;
constexpr double kAuKm = 149598500.0;

struct Time {
  int iyr, idoy;
  double ut;
};

void trans(int in, int out, Time t, double* xin, double* xout) { coord_trans1_(&in, &out, &t.iyr, &t.idoy, &t.ut, xin, xout); }

// Converts a copy, leaving the caller's vector alone.
void trans_copy(int in, int out, Time t, const double* x, double* xout) {
  double c[3] = {x[0], x[1], x[2]};
  trans(in, out, t, c, xout);
}

const Time kT{2004, 75, 43200.0};

TEST(CoordTrans, EqualCodesCopySilently) {
  for (int code : {15, 3, -2}) {
    double xin[3] = {2.385, -0.61, 1.173}, xout[3] = {0, 0, 0};
    testing::internal::CaptureStdout();
    trans(code, code, kT, xin, xout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (int k = 0; k < 3; ++k) EXPECT_EQ(xout[k], xin[k]);
  }
}

TEST(CoordTrans, OutOfRangeCodesPrintAndFill) {
  struct Case {
    int in, out;
    const char* text;
  } cases[] = {{12, 20, " sysaxesIN out of range !\n"},
               {-1, 1, " sysaxesIN out of range !\n"},
               {1, -1, " sysaxesOUT out of range !\n"},
               {0, 12, " sysaxesOUT out of range !\n"}};
  for (const auto& c : cases) {
    double xin[3] = {1, 2, 3}, xout[3] = {0, 0, 0};
    testing::internal::CaptureStdout();
    trans(c.in, c.out, kT, xin, xout);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.text);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(xout[k], kFill);
  }
}

TEST(CoordTrans, GeodeticSphericalAndRll) {
  double x[3], out[3];
  x[0] = 0, x[1] = 0, x[2] = 0;
  trans(0, 1, kT, x, out);  // GDZ (0, 0, 0): on the equatorial radius
  EXPECT_NEAR(out[0], 6378.137 / 6371.2, 1e-15);
  EXPECT_NEAR(out[1], 0.0, 1e-15);

  x[0] = 35793.0, x[1] = 27.5, x[2] = -75.2;  // GDZ to RLL copies lat, lon
  trans(0, 8, kT, x, out);
  double g[3];
  trans_copy(0, 1, kT, x, g);
  EXPECT_EQ(out[1], 27.5);
  EXPECT_EQ(out[2], -75.2);
  EXPECT_NEAR(out[0], std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]), 1e-14);

  x[0] = 1, x[1] = 0, x[2] = 0;  // RLL (1, 0, 0): back to (1, 0, 0), xIN(1) left in km
  trans(8, 1, kT, x, out);
  EXPECT_NEAR(out[0], 1.0, 1e-14);
  EXPECT_NEAR(out[2], 0.0, 1e-14);
  EXPECT_EQ(x[0], 6371.2);

  x[0] = 0, x[1] = -1, x[2] = 0;
  trans(1, 7, kT, x, out);
  EXPECT_NEAR(out[2], 270.0, 1e-12);
  trans(1, 0, kT, x, out);
  EXPECT_NEAR(out[2], -90.0, 1e-12);

  x[0] = 2, x[1] = 45, x[2] = 30;
  trans(7, 8, kT, x, out);
  EXPECT_NEAR(out[0], 2.0, 1e-14);
  EXPECT_NEAR(out[2], 30.0, 1e-10);
}

TEST(CoordTrans, VectorFormKeepsTheCallersInput) {
  int n = 2, in = 8, out = 1, iyr[2] = {2004, 1990}, idoy[2] = {75, 200};
  double ut[2] = {0.0, 3600.0}, xin[6] = {1, 0, 0, 1, 0, 0}, xout[6];
  coord_trans_vec1_(&n, &in, &out, iyr, idoy, ut, xin, xout);
  EXPECT_EQ(xin[0], 1.0);
  EXPECT_EQ(xin[3], 1.0);
  EXPECT_NEAR(xout[3], 1.0, 1e-14);
  // Out-of-range codes: message and fill value for every point.
  out = 13;
  testing::internal::CaptureStdout();
  coord_trans_vec1_(&n, &in, &out, iyr, idoy, ut, xin, xout);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), " sysaxesOUT out of range !\n sysaxesOUT out of range !\n");
  for (double v : xout) EXPECT_EQ(v, kFill);
}

TEST(CoordTrans, InPlaceRewritesOfTheInput) {
  const double p[3] = {1.5, -0.25, 0.75};
  double x[3], out[3];
  // GSE to HEE/HAE/HEEQ: xIN left in km.
  for (int to : {9, 10, 11}) {
    x[0] = p[0], x[1] = p[1], x[2] = p[2];
    trans(3, to, kT, x, out);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(x[k], p[k] * 6371.2) << to;
  }
  // HEE input to a geocentric system: xIN left multiplied by the AU.
  x[0] = 0.99, x[1] = 1e-5, x[2] = -2e-5;
  trans(9, 1, kT, x, out);
  EXPECT_EQ(x[0], 0.99 * kAuKm);
  // HAE, HEEQ and GEI inputs are never changed.
  for (int from : {10, 11, 5}) {
    x[0] = p[0], x[1] = p[1], x[2] = p[2];
    trans(from, 1, kT, x, out);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(x[k], p[k]) << from;
  }
}

// Every pair of the twelve systems, there and back, at several epochs: the
// rotations are orthonormal and the chains consistent, so the point comes
// back to rounding; the geodetic systems only to the tolerance of the
// geodetic iteration (up to ~0.1 km and 1e-4 degree).
TEST(CoordTrans, RoundTripsOverAllPairs) {
  const Time times[] = {{1970, 32, 3600.0}, {1985, 172, 43200.5}, {2000, 1, 0.0}, {2015, 300, 80000.0}};
  const double points[][3] = {{2.385, -0.61, 1.173}, {-4.2, 3.1, -0.9}};
  for (const Time& t : times)
    for (const auto& g : points)
      for (int a = 0; a < 12; ++a)
        for (int b = 0; b < 12; ++b) {
          double xa[3], xb[3], back[3], ga[3];
          trans_copy(1, a, t, g, xa);
          trans_copy(a, b, t, xa, xb);
          trans_copy(b, a, t, xb, back);
          trans_copy(a, 1, t, back, ga);
          const bool geodetic = a == 0 || a == 8 || b == 0 || b == 8;
          const double tol = geodetic ? 5e-5 : 1e-9;
          for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(ga[k], g[k], tol) << t.iyr << " " << a << " -> " << b << " component " << k;
        }
}

TEST(CoordTrans, RotationsPreserveLengthAndMagIsTheDipoleFrame) {
  const double g[3] = {2.385, -0.61, 1.173};
  const double r = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
  for (int to : {2, 3, 4, 5, 6}) {
    double out[3];
    trans_copy(1, to, kT, g, out);
    // The GSE z axis is the ecliptic pole to four digits, (0, -0.3978,
    // 0.9175) in GEI, of length 1.000025: GSE lengths grow by up to that.
    const double tol = to == 3 ? 3e-5 * r : 1e-13;
    EXPECT_NEAR(std::sqrt(out[0] * out[0] + out[1] * out[1] + out[2] * out[2]), r, tol) << to;
  }
  // SM and MAG share the z axis (the dipole): equal z components.
  double sm[3], mag[3];
  trans_copy(1, 4, kT, g, sm);
  trans_copy(1, 6, kT, g, mag);
  EXPECT_NEAR(sm[2], mag[2], 1e-12);
}

}  // namespace

namespace {

// Columns: the images of the unit vectors of system a in system b.
void rotation_matrix(int a, int b, Time t, double m[3][3]) {
  for (int k = 0; k < 3; ++k) {
    double e[3] = {0, 0, 0}, o[3];
    e[k] = 1.0;
    trans_copy(a, b, t, e, o);
    for (int r = 0; r < 3; ++r) m[r][k] = o[r];
  }
}

double det3(const double m[3][3]) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Largest entry of M^T M - I.
double off_orthonormal(const double m[3][3]) {
  double w = 0.0;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) {
      const double s = m[0][i] * m[0][j] + m[1][i] * m[1][j] + m[2][i] * m[2][j];
      w = std::max(w, std::fabs(s - (i == j ? 1.0 : 0.0)));
    }
  return w;
}

}  // namespace

// Every geocentric Cartesian system and every heliocentric one is a proper
// rotation of the others: orthonormal, determinant +1 (a mirrored axis keeps
// lengths and round trips, not the sign of the determinant). GSE, whose fixed
// ecliptic pole (0, -0.3978, 0.9175) has the length 1.0000255 and lies up to
// 1e-4 rad off the plane normal to the sun of date, is orthonormal to 1.5e-4
// (measured 9.4e-5 over 1965-2030).
TEST(CoordTrans, RotationsAreProperAndOrthonormal) {
  const Time times[] = {{1967, 3, 7000.0}, {1996, 250, 60001.5}, {2028, 172, 43200.0}};
  const int geocentric[] = {1, 2, 3, 4, 5, 6};
  testing::internal::CaptureStdout();  // the IGRF warning of 2028
  for (const Time& t : times) {
    for (int a : geocentric)
      for (int b : geocentric) {
        if (a == b) continue;
        double m[3][3];
        rotation_matrix(a, b, t, m);
        const double tol = (a == 3 || b == 3) ? 1.5e-4 : 4e-15;
        EXPECT_LT(off_orthonormal(m), tol) << t.iyr << " " << a << " -> " << b;
        EXPECT_NEAR(det3(m), 1.0, tol) << t.iyr << " " << a << " -> " << b;
      }
    // The heliocentric systems share the origin, the sun.
    for (auto [a, b] : {std::pair{10, 9}, std::pair{10, 11}, std::pair{9, 11}}) {
      double m[3][3];
      rotation_matrix(a, b, t, m);
      EXPECT_LT(off_orthonormal(m), 4e-15) << t.iyr << " " << a << " -> " << b;
      EXPECT_NEAR(det3(m), 1.0, 4e-15) << t.iyr << " " << a << " -> " << b;
    }
  }
  testing::internal::GetCapturedStdout();
}

// A conversion through any third system is the direct conversion: A to B to
// C equals A to C for every three distinct systems of the twelve, at one
// time. Compared as GEO positions; the geodetic systems to the tolerance of
// the geodetic iteration (up to ~0.1 km, twice), the others to rounding
// (the heliospheric ones carry the AU in Earth radii, 23480).
TEST(CoordTrans, ChainsThroughAThirdSystemAgreeWithTheDirectConversion) {
  const Time times[] = {{1971, 301, 5123.5}, {2027, 45, 70000.0}};
  const double g[3] = {-2.385, 3.61, 1.173};
  testing::internal::CaptureStdout();  // the IGRF warning of 2027
  for (const Time& t : times) {
    double p[12][3];
    for (int a = 0; a < 12; ++a) trans_copy(1, a, t, g, p[a]);
    for (int a = 0; a < 12; ++a)
      for (int b = 0; b < 12; ++b)
        for (int c = 0; c < 12; ++c) {
          if (a == b || b == c || a == c) continue;
          double xb[3], via[3], direct[3], g1[3], g2[3];
          trans_copy(a, b, t, p[a], xb);
          trans_copy(b, c, t, xb, via);
          trans_copy(a, c, t, p[a], direct);
          trans_copy(c, 1, t, via, g1);
          trans_copy(c, 1, t, direct, g2);
          const bool geodetic = a == 0 || a == 8 || b == 0 || b == 8 || c == 0 || c == 8;
          const double tol = geodetic ? 5e-5 : 1e-9;
          for (int k = 0; k < 3; ++k)
            ASSERT_NEAR(g1[k], g2[k], tol) << t.iyr << " " << a << " -> " << b << " -> " << c;
        }
  }
  testing::internal::GetCapturedStdout();
}
