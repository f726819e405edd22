// Orbit from veska elements: one orbit given by inclination, perigee and
// apogee heights, node, argument of perigee and mean anomaly, propagated with
// SGP4 (no drag) and converted into the caller's coordinate system.
#include <cmath>
#include <cstdio>

#include "frame/conventions.hpp"
#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_rows.hpp"
#include "orbit/orbit_state.hpp"
#include "orbit/orbit_text.hpp"
#include "orbit/orbit_time.hpp"

namespace kest {

OrbitRows orbit_rows{};

// A row time within window_margin of the stop time is the stop time, so that
// a row a rounding error before the stop is not followed by a second one at
// the stop.
OrbitGrid::OrbitGrid(double start_min, double step_min, double stop_min)
    : base(std::fabs(start_min) > 1.0e-8 ? start_min - step_min : start_min),
      step(step_min),
      stop(stop_min),
      tol(window_margin(start_min, step_min, stop_min)) {}

bool OrbitGrid::more(double prev) const { return stop > prev + tol; }

double OrbitGrid::time(long j) const {
  const double t = base + static_cast<double>(j) * step;
  return t > stop - tol ? stop : t;
}

long OrbitGrid::count(long cap) const {
  double prev = base;
  long n = 0;
  while (n <= cap && more(prev)) prev = time(++n);
  return n;
}

namespace {
int wgs84 = 84;
constexpr double deg2rad = 0.0174532925199433;
constexpr double xpdotp = 1440.0 / (2.0 * 3.14159265358979);
// Revolutions per day at one Earth radius in the mean-motion rule (1440/84).
constexpr double rev_per_day_1re = 17.142857142857142;
constexpr double per_earth_radius = 0.00015695630336514315;  // 1/6371.2 km
// The years the rows are dated in.
constexpr int first_year = 1;
constexpr int last_year = 9999;
}  // namespace

int sgp4_orb(int* iyr, int* imon, int* iday, int* ihr, int* imin, double* sec, double e1,
             double e2, double e3, double e4, double e5, double e6, double startsfe,
             double stopsfe, double deltasec, int sysaxes_out, double (*rows)[10]) {
  // A window edge or step that is not a number holds no time. Such a step
  // is not a step of 0 or below either: it does not take the default.
  if (std::isnan(startsfe) || std::isnan(stopsfe) || std::isnan(deltasec)) {
    msg("sgp4_orb: the window's start, stop or step is not a number; no rows");
    return 0;
  }
  if (deltasec <= 0.0) deltasec = default_step_sec;
  const OrbitGrid grid(startsfe / 60.0, deltasec / 60.0, stopsfe / 60.0);

  double tumin, radius, xke, j2, j3, j4, j3oj2;
  getgravconst_(&wgs84, &tumin, &radius, &xke, &j2, &j3, &j4, &j3oj2);
  Elsetrec& s = elsetrec;
  s.satellite_number = 0;
  s.bstar = 0.0;
  s.inclination = e1;
  s.ascending_node = e4;
  s.perigee_argument = e5;
  s.mean_anomaly = e6;
  s.eccentricity = (e3 - e2) / (e2 + e3 + 2.0 * radius);
  const double a = (2.0 * radius + e2 + e3) * 0.5 / radius;
  s.mean_motion = rev_per_day_1re / std::sqrt(a * a * a) / xpdotp;
  s.semi_major_axis = std::pow(s.mean_motion * tumin, -2.0 / 3.0);
  s.inclination *= deg2rad;
  s.ascending_node *= deg2rad;
  s.perigee_argument *= deg2rad;
  s.mean_anomaly *= deg2rad;
  if (std::fabs(s.eccentricity - 1.0) > 1.0e-6) {
    s.perigee_height = (1.0 - s.eccentricity) * s.semi_major_axis - 1.0;
    s.apogee_height = (1.0 + s.eccentricity) * s.semi_major_axis - 1.0;
  } else {
    s.apogee_height = 999999.9;
    s.perigee_height = 8.0 / std::pow(s.mean_motion * s.mean_motion, 1.0 / 3.0);
  }
  double jd0;
  jday_(iyr, imon, iday, ihr, imin, sec, &jd0);
  s.epoch_jd = jd0;

  int satn = 0, error = 0;
  double bstar = 0.0, ecc = s.eccentricity, epoch = jd0 - 2433281.5;
  double argp = s.perigee_argument, incl = s.inclination, mo = s.mean_anomaly;
  double no = s.mean_motion, node = s.ascending_node;
  sgp4init_(&wgs84, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &error);
  if (error >= 1) otext::TraceLine().text("# *** SGP4 Model Error ***").num(error).print();

  // The rows are dated from the epoch's day of year, which the calendar
  // routines give for the years 1 to 9999 only: they stop the process at the
  // year 0 (a two-digit 00 passed as it stands) and at a day number beyond
  // 32 bits (a month or day count of millions of years). Such an epoch ends
  // the rows before the first, as a window time outside those years does.
  // Every date of those years lies within 2.93e6 days of 2000-01-01 12:00;
  // within 4e6 days of it the day numbers of any year 1 to 9999 and any
  // month and day fit easily.
  if (*iyr < first_year || *iyr > last_year || !(std::fabs(jd0 - 2451545.0) <= 4.0e6)) {
    char line[160];
    std::snprintf(line, sizeof line,
                  "sgp4_orb: the epoch (year %d, month %d, day %d) is not a date of the years "
                  "1 to 9999; no rows",
                  *iyr, *imon, *iday);
    msg(line);
    return 0;
  }
  const int year0 = *iyr;
  const double doy0 = day_of_year(*iyr, *imon, *iday, *ihr, *imin, *sec);
  double r[3], v[3], t = 0.0;
  sgp4_(&wgs84, &t, r, v, &error);
  int k = 0;
  double prev = grid.base;
  while (error == 0 && k < max_orbit_rows && grid.more(prev)) {
    t = grid.time(k + 1);
    prev = t;
    // A time outside the years 1 to 9999 has no date the calendar routines
    // give (they stop at the year zero), and the deep-space integration, which
    // restarts from the epoch in every call, would run in proportion to it:
    // the rows end there, like at a propagation error.
    {
      int y, mo, d, h, mi;
      double sc;
      date_after(year0, doy0, t, y, mo, d, h, mi, sc);
      if (!std::isfinite(t) || y < first_year || y > last_year) {
        msg("sgp4_orb: a time of the window lies outside the years 1 to 9999; the rows end there");
        break;
      }
    }
    sgp4_(&wgs84, &t, r, v, &error);
    if (error >= 1) otext::TraceLine().text("# Error in SGP4 .. ").num(error).print();
    if (error != 0) break;
    int year, minute;
    date_after(year0, doy0, t, year, *imon, *iday, *ihr, minute, *sec);
    *iyr = year >= 2000 ? year - 2000 : year - 1900;
    int doy = get_doy_(&year, imon, iday);
    double ut = minute * 60.0 + *ihr * 3600.0 + *sec;
    double xgei[3] = {r[0] * per_earth_radius, r[1] * per_earth_radius, r[2] * per_earth_radius};
    double xout[3];
    int gei = 5, sys = sysaxes_out;
    coord_trans1_(&gei, &sys, &year, &doy, &ut, xgei, xout);
    int isec = static_cast<int>(*sec);
    double decy;
    date_and_time2decy_(&year, imon, iday, ihr, &minute, &isec, &decy);
    double* row = rows[k];
    row[0] = *iday;
    row[1] = *imon;
    row[2] = year;
    row[3] = *ihr;
    row[4] = minute;
    row[5] = *sec;
    row[6] = decy;
    row[7] = xout[0];
    row[8] = xout[1];
    row[9] = xout[2];
    ++k;
  }
  return k;
}

}  // namespace kest

// sgp4_orb1: propagates an orbit given by veska elements into a row table.
// Given:    imin  int  epoch minute
//           e1..e6  double  inclination (deg), perigee and apogee heights (km
//                   above a sphere of 6378.137 km), node, argument of perigee,
//                   mean anomaly (deg)
//           startsfe, stopsfe, deltasec  double  window and step, s from the
//                   epoch (step 60 s when 0 or below; any of the three
//                   not a number: a message and no rows)
//           sysaxesOUT  int  output coordinate system, 0 to 11
// Given and returned:
//           iyr, imon, iday, ihr  int, sec  double  the epoch (four-digit
//                 year) in; the time of the last row out (iyr as the
//                 year less 2000 from 2000 on, else less 1900: two digits
//                 for 1900-2099), unchanged when no row is computed
// Returned: rows  double(10, 100000)  one row per time: day, month, year,
//                 hour, minute, seconds, decimal year, x1, x2, x3
// State:    writes elsetrec and, through coord_trans1_, the frame's IGRF epoch
//           and sun/axes state (time of the last row).
// Failure:  "# *** SGP4 Model Error ***" and the code for an initialisation
//           error; "# Error in SGP4 .. " and the code for a propagation error,
//           which ends the rows (later rows keep older contents). A time
//           outside the years 1 to 9999 ends the rows in the same way, with a
//           message; so does, before the first row, an epoch that is no date
//           of those years (year 0, a month or day count far outside the
//           calendar).
// Notes:    1. Rows at startsfe, startsfe + deltasec, ..., the last exactly at
//              stopsfe (a shortened step); a zero start puts the first row one
//              step after the epoch. At most 100000 rows.
//           2. The mean motion follows 1440/84 rev/day at one Earth radius,
//              scaled by a^-1.5, not the Keplerian value; no drag.
extern "C" void sgp4_orb1_(int* iyr, int* imon, int* iday, int* ihr, int* imin, double* sec,
                           double* e1, double* e2, double* e3, double* e4, double* e5,
                           double* e6, double* startsfe, double* stopsfe, double* deltasec,
                           int* sysaxesOUT, double* rows) {
  kest::sgp4_orb(iyr, imon, iday, ihr, imin, sec, *e1, *e2, *e3, *e4, *e5, *e6, *startsfe,
                 *stopsfe, *deltasec, *sysaxesOUT, reinterpret_cast<double (*)[10]>(rows));
}
