// The geocentric frames across the seams of the time arguments: midnight
// (86400 s of one day and 0 s of the next), 28/29 February to 1 March, and
// the New Year of common and leap years near both ends of the ephemeris.
//
// The axes are tied to the Earth's rotation and the sun's motion, so a
// position converted at two instants dt apart may move by at most the frame's
// turning rate times dt: the Earth turns at 7.292e-5 rad/s, the sun moves
// 2e-7 rad/s, and the dipole's daily circle about the rotation axis turns GSM
// and SM against GEI by less than the Earth's rate (8e-5 rad/s bounds them
// all). A day counted wrongly at a year end, or a seconds-of-day scale that
// does not meet the next day, would move them by a degree or by a second of
// rotation, thousands of times that bound.
//
// GSM, SM and MAG take the IGRF epoch of the middle of the year, so at a New
// Year their dipole axis steps by a year's secular change (0.01 to 0.045
// degree); those three are left out at the year ends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "kest.h"

namespace {

enum Sys { GDZ = 0, GEO, GSM, GSE, SM, GEI, MAG, SPH, RLL };

void input(int sys, double* x) {
  switch (sys) {
    case GDZ: x[0] = 512.5, x[1] = 31.7, x[2] = -44.2; break;  // km, deg, deg
    case SPH:
    case RLL: x[0] = 2.385, x[1] = -27.3, x[2] = 151.9; break;  // Re, deg, deg
    default: x[0] = 2.385, x[1] = -0.61, x[2] = 1.173; break;   // Re
  }
}

double radius(int sys, const double* p) { return sys == GDZ ? 1.0 + p[0] / 6371.2 : p[0]; }

// Displacement of the second position from the first relative to the
// first's distance from the centre. (radius, latitude, longitude) triples
// are compared on the sphere of their radius; for the small changes here
// that is the Cartesian displacement, whichever latitude the triple holds.
double relative_move(int sys, const double* p, const double* q) {
  if (sys == GDZ || sys == SPH || sys == RLL) {
    const double r = radius(sys, p), dr = radius(sys, q) - r;
    const double rad = M_PI / 180.0;
    const double dlat = (q[1] - p[1]) * rad;
    const double dlon = std::remainder(q[2] - p[2], 360.0) * rad * std::cos(p[1] * rad);
    return std::sqrt(dr * dr + r * r * (dlat * dlat + dlon * dlon)) / r;
  }
  const double d0 = q[0] - p[0], d1 = q[1] - p[1], d2 = q[2] - p[2];
  return std::sqrt((d0 * d0 + d1 * d1 + d2 * d2) / (p[0] * p[0] + p[1] * p[1] + p[2] * p[2]));
}

void convert(int in, int out, int iyr, int idoy, double ut, double* xout) {
  double x[3];
  input(in, x);
  coord_trans1_(&in, &out, &iyr, &idoy, &ut, x, xout);
}

TEST(TimeSeams, GeocentricFramesTurnContinuouslyAcrossMidnightAndNewYear) {
  struct Seam {
    int y1, d1, y2, d2;  // the day ending, the day beginning
    bool new_year;
  } seams[] = {
      {2003, 100, 2003, 101, false},  // an ordinary midnight
      {2003, 59, 2003, 60, false},    // 28 February to 1 March, common year
      {2004, 59, 2004, 60, false},    // 28 to 29 February, leap year
      {2004, 60, 2004, 61, false},    // 29 February to 1 March
      {1999, 365, 2000, 1, true},     {2000, 366, 2001, 1, true},
      {1904, 366, 1905, 1, true},     {2098, 365, 2099, 1, true},
  };
  constexpr double kRate = 8e-5;  // rad/s, bounds every frame's turning
  constexpr double kDt = 1e-3;    // s, either side of the seam
  // The IGRF warning of the years outside 1965-2015 is captured; the cases
  // that fail are kept and reported once the capture has ended.
  std::vector<std::string> failed;
  testing::internal::CaptureStdout();
  for (const Seam& s : seams) {
    for (int in = GDZ; in <= RLL; ++in) {
      for (int out = GDZ; out <= RLL; ++out) {
        if (in == out) continue;
        const bool dipole = in == GSM || in == SM || in == MAG || out == GSM || out == SM || out == MAG;
        if (s.new_year && dipole) continue;
        double before[3], after[3], end_of_day[3], start_of_day[3];
        convert(in, out, s.y1, s.d1, 86400.0 - kDt, before);
        convert(in, out, s.y2, s.d2, kDt, after);
        // 86400 s of a day is the same instant as 0 s of the next.
        convert(in, out, s.y1, s.d1, 86400.0, end_of_day);
        convert(in, out, s.y2, s.d2, 0.0, start_of_day);
        const double across = relative_move(out, before, after);
        const double same = relative_move(out, end_of_day, start_of_day);
        if (!(across < kRate * 2.0 * kDt) || !(same < 1e-12)) {
          char text[160];
          std::snprintf(text, sizeof text, "%d -> %d at %d/%d: moved %.3g across the seam, %.3g at the same instant",
                        in, out, s.y1, s.d1, across, same);
          failed.push_back(text);
        }
      }
    }
  }
  testing::internal::GetCapturedStdout();
  for (const std::string& f : failed) ADD_FAILURE() << f;
}

}  // namespace
