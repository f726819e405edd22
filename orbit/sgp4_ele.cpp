// Element orbit driver: an orbit given in one of five element sets brought to
// the veska set (inclination, perigee and apogee heights, node, argument of
// perigee, mean anomaly), propagated with SGP4 and returned as dated
// positions in the caller's coordinate system. With the element-set
// conversions and the normalisation of the fifth and sixth elements.
//
// Element sets (ele_opts(1)): 1 veska, 2 classical (a in Earth radii, e, i,
// node, fifth, sixth), 3 state vector (km, km/s, GEI), 4 solar (i, perigee
// and apogee heights, local time of apogee, local time a quarter turn past
// the ascending node, sixth), 5 mean
// (mean motion in rev/day, e, i, node, fifth, sixth). Fifth element
// (ele_opts(2)): 1 argument of perigee, 2 longitude of perigee. Sixth element
// (ele_opts(3)): 1 time of perigee passage (s from the epoch), 2 true
// anomaly, 3 argument of latitude, 4 true longitude, 5 mean anomaly.
// Heights are above a sphere of 6378.137 km; angles in degrees.
#include <cmath>
#include <limits>

#include "frame/conventions.hpp"
#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_rows.hpp"
#include "orbit/orbit_text.hpp"

namespace {

using kest::otext::TraceLine;

constexpr double re = 6378.137;        // km
constexpr double mu = 398600.4418;     // km^3/s^2
constexpr double pi = 3.141592653589793;
constexpr double twopi = 6.283185307179586;
constexpr double rad2deg = 57.29577951308232;
constexpr double deg2rad = 0.01745329251994329;
constexpr double undefined = 999999.1;  // rv2coe's marker of an undefined angle

// Truncated remainder (sign of x).
double fmodt(double x, double y) { return std::fmod(x, y); }
// An angle in degrees brought into [0, 360).
double wrap360(double x) { return fmodt(fmodt(x, 360.0) + 360.0, 360.0); }

void trace_opts(const char* text, const int* opts) { TraceLine().text(text).nums(opts, 5).print(); }
void trace_elements(const double* e) { TraceLine().text("with these elements = ").nums(e, 6).print(); }

}  // namespace

// classical2veska: classical set (a in Earth radii, e, i) to veska set.
// Given and returned: e1..e6 (e4..e6 unchanged); ele_opts(1) = 1.
extern "C" void classical2veska_(double* e1, double* e2, double* e3, double* /*e4*/,
                                 double* /*e5*/, double* /*e6*/, double* /*jd*/, int* ele_opts) {
  const double a = *e1, e = *e2, incl = *e3;
  *e1 = incl;
  *e2 = (a * (1.0 - e) - 1.0) * re;
  *e3 = (a * (1.0 + e) - 1.0) * re;
  ele_opts[0] = 1;
}

// mean2classical: mean motion (rev/day) to semi-major axis (Earth radii),
// Kepler's third law.
// Given and returned: e1 (e2..e6 unchanged); ele_opts(1) = 2.
// Failure: a negative mean motion gives a semi-major axis that is not a
//          number, a zero one an infinite axis; the propagator refuses both.
extern "C" void mean2classical_(double* e1, double* /*e2*/, double* /*e3*/, double* /*e4*/,
                                double* /*e5*/, double* /*e6*/, double* /*jd*/, int* ele_opts) {
  const double n = *e1 * twopi / 86400.0;
  // n enters squared: a negative mean motion, which no orbit has (a slipped
  // sign), would otherwise pass as the orbit of |n|.
  const double a = n < 0.0 ? std::numeric_limits<double>::quiet_NaN() : std::cbrt(mu / (n * n));
  *e1 = a / re;
  ele_opts[0] = 2;
}

// rv2classical: state vector (km, km/s) to the classical set with argument of
// perigee and mean anomaly; two trace lines.
// Given and returned: e1..e6 (r, v in; a in Earth radii, e, then i, node,
//         omega, M in degrees out);
//         ele_opts(1..3) = (2, 1, 5).
// Notes: 1. Angles that rv2coe_ leaves undefined for the orbit's type are
//           replaced by the convention of that type, so that the orbit
//           propagates where the state vector puts it: an equatorial orbit
//           (the inclination test of rv2coe_) takes its node on the x axis
//           (0) even when rv2coe_ gives it one, an elliptical equatorial one its
//           argument of perigee from the longitude of perigee, a circular one
//           argument of perigee 0 (its mean anomaly then counts from the node,
//           or the x axis, as rv2coe_ gives it). A state vector without an
//           orbit plane keeps the markers, which the propagator refuses.
extern "C" void rv2classical_(double* e1, double* e2, double* e3, double* e4, double* e5,
                              double* e6, double* /*jd*/, int* ele_opts) {
  double r[3] = {*e1, *e2, *e3}, v[3] = {*e4, *e5, *e6};
  TraceLine().text("R, V = ").nums(r, 3).nums(v, 3).print();
  double c[11];  // P, A, Ecc, Incl, Omega, Argp, Nu, M, ArgLat, TrueLon, LonPer
  rv2coe_(r, v, &c[0], &c[1], &c[2], &c[3], &c[4], &c[5], &c[6], &c[7], &c[8], &c[9], &c[10]);
  TraceLine().text("P,A,Ecc,Incl,Omega,Argp,Nu,M,ArgLat,TrueLon,LonPer").nums(c, 11).print();
  double omega = c[4], argp = c[5];
  const bool has_plane = c[0] != undefined;
  if (has_plane) {
    // rv2coe_ counts the longitude of perigee and the true longitude of an
    // equatorial orbit from the x axis, so the node goes there too, also when
    // a residue of z or vz (micrometres suffice) gives the node vector a
    // direction of its own within the 1e-8 rad of the equatorial test.
    const bool equatorial = c[3] < 1.0e-8 || std::fabs(c[3] - pi) < 1.0e-8;
    if (omega == undefined || equatorial) omega = 0.0;
    if (argp == undefined) argp = c[10] != undefined ? c[10] : 0.0;
  }
  *e1 = c[1] / re;
  *e2 = c[2];
  *e3 = c[3] * rad2deg;
  *e4 = omega * rad2deg;
  *e5 = argp * rad2deg;
  *e6 = c[7] * rad2deg;
  ele_opts[0] = 2;
  ele_opts[1] = 1;
  ele_opts[2] = 5;
}

// solar2classical: solar set (i, perigee and apogee heights, local time of
// apogee H_a, local time H_i a quarter turn past the ascending node) to the
// mean set, then classical.
// Given:  jd  double  Julian date of the epoch
// Given and returned: e1..e5 (e6 unchanged); ele_opts(1..2) = (2, 1), by way
//         of (5, 1) for the mean set.
// Notes:  1. The sidereal term 6.594703 + 0.06570982 day (day counted from
//            1992-01-01, stepping at noon) is formed in single precision.
//         2. Node 15 (H_i - 6 + H_e) deg, argument of perigee from the two
//            local times; both brought into [0, 360). H_e is close to the
//            sidereal time of 0 h UT, which is the sun's right ascension
//            less 12 h: the node lies at local time H_i - 6 h (H_i = 12
//            puts it at dawn), and apogee 15 (H_a - (H_i - 6)) degrees
//            along the orbit from the node, which is local time H_a for a
//            prograde equatorial orbit (2 H_i - 12 - H_a for a retrograde
//            one, whose angles run the other way round) and at the nodes of
//            a polar one.
//         3. The day count is truncated toward zero: it is 0 for the two days
//            from 1991-12-30 12:00 to 1992-01-01 12:00 and one above the days
//            elapsed before them. The node of an epoch before 1991-12-31
//            12:00 lies 0.986 degrees (one day of the sun's motion, 3.9
//            minutes of local time) east of the one the same local times give
//            after it.
extern "C" void solar2classical_(double* e1, double* e2, double* e3, double* e4, double* e5,
                                 double* e6, double* jd, int* ele_opts) {
  const double incl = *e1, h_a = *e4, h_i = *e5;
  int y1992 = 1992, jan = 1, one = 1, zero = 0;
  double zsec = 0.0, jd1992;
  jday_(&y1992, &jan, &one, &zero, &zero, &zsec, &jd1992);
  // Whole days kept in double precision: any date an int year can name, and
  // a Julian date that is not a number, pass without an integer conversion
  // (the single-precision sum below rounds them as it would the integer).
  const double day = std::trunc(std::trunc(*jd) + 1.0 - jd1992);
  const double hour = fmodt(*jd, 1.0) * 24.0;
  const double r_a = *e3 + re, r_p = re + *e2;
  const double ecc = (r_a - r_p) / (r_p + r_a);
  const double a = (r_p + r_a) * 0.5;
  const float s = 6.594703f + 0.06570982f * static_cast<float>(day);
  const double h_e = static_cast<double>(s) + hour * 0.002737910021096468;
  const double node = wrap360(((h_i - 6.0) + h_e) * 15.0);
  const double theta_a = (h_a + 12.0) * (pi / 12.0);
  const double theta_i = (h_i - 6.0) * (pi / 12.0);
  const double argp = wrap360((180.0 / pi) * (theta_a - theta_i));
  const double n = std::sqrt((43200.0 / pi) * (43200.0 / pi) * mu / (a * a * a));
  *e1 = n;
  *e2 = ecc;
  *e3 = incl;
  *e4 = node;
  *e5 = argp;
  ele_opts[0] = 5;
  ele_opts[1] = 1;
  double e[6] = {*e1, *e2, *e3, *e4, *e5, *e6};
  TraceLine()
      .text("S2C: Converting mean ele \r                                    "
            "(n,e,i,Omega,omega,(tsfe,nu0,u0,l0,m0):")
      .nums(e, 6)
      .print();
  mean2classical_(e1, e2, e3, e4, e5, e6, jd, ele_opts);
  double f[6] = {*e1, *e2, *e3, *e4, *e5, *e6};
  TraceLine().text("S2C: to Classical elements: ").nums(f, 6).print();
}

// tsfe2m0: mean anomaly at the epoch (deg, [0, 360)) of an orbit of
// semi-major axis a (km) that passes perigee tsfe seconds after the epoch.
extern "C" void tsfe2m0_(double* tsfe, double* a, double* m0) {
  const double period = twopi * std::sqrt(*a * *a * *a / mu);
  double m = 0.0 - (*tsfe / period) * 360.0;
  m = wrap360(m);
  *m0 = m;
  TraceLine().text("Converting tsfe (").num(*tsfe).text(") to M0 (").num(m).text(")").print();
}

// computee: eccentricity of the veska set from its perigee and apogee heights.
extern "C" void computee_(double* /*e1*/, double* e2, double* e3, double* /*e4*/,
                          double* /*e5*/, double* /*e6*/, double* ecc, int* /*ele_opts*/) {
  *ecc = ((re + *e3) - (*e2 + re)) / ((re + *e3) + (*e2 + re));
}

// meananom: mean anomaly (deg, in (-180, 180]) from eccentricity and true
// anomaly (deg), through the eccentric anomaly.
extern "C" void meananom_(double* ecc, double* nu, double* m) {
  const double v = *nu * deg2rad;
  const double k = std::sqrt((1.0 + *ecc) / (1.0 - *ecc));
  const double t = std::tan(v / 2.0) / k;
  const double e = 2.0 * std::atan(t);
  *m = (e - *ecc * std::sin(e)) * rad2deg;
}

// fifthelement: longitude of perigee to argument of perigee (veska set).
// Given and returned: e5, ele_opts(2) (2 -> 1); other kinds: message only.
extern "C" void fifthelement_(double* /*e1*/, double* /*e2*/, double* /*e3*/, double* e4,
                              double* e5, double* /*e6*/, int* ele_opts) {
  if (ele_opts[1] == 1) return;
  if (ele_opts[1] == 2) {
    const double lonper = *e5;
    const double omega = fmodt(lonper - *e4 + 360.0, 360.0);
    *e5 = omega;
    ele_opts[1] = 1;
    TraceLine().text("Converting PI (").num(lonper).text(") to omega (").num(omega).text(")").print();
    return;
  }
  kest::msg("ele_opts(2) must be either 1 (omega) or 2 (PI)");
}

// sixthelement: time of perigee passage, true anomaly, argument of latitude
// or true longitude to mean anomaly (veska set, after fifthelement_).
// Given and returned: e6, ele_opts(3) (1..4 -> 5); other kinds: message only.
extern "C" void sixthelement_(double* e1, double* e2, double* e3, double* e4, double* e5,
                              double* e6, int* ele_opts) {
  double nu;
  switch (ele_opts[2]) {
    case 1: {
      const double r_p = *e2 + re, r_a = re + *e3;
      double a = (r_p + r_a) * 0.5;
      double tsfe = *e6;
      tsfe2m0_(&tsfe, &a, e6);
      ele_opts[2] = 5;
      return;
    }
    case 2: nu = *e6; break;
    case 3: nu = fmodt(*e6 - *e5 + 360.0, 360.0); break;
    case 4: nu = fmodt(*e6 - *e5 - *e4 + 360.0, 360.0); break;
    case 5: return;
    default: kest::msg("ele_opts(3) must be 1-5"); return;
  }
  double ecc, m;
  computee_(e1, e2, e3, e4, e5, e6, &ecc, ele_opts);
  meananom_(&ecc, &nu, &m);
  *e6 = m;
  ele_opts[2] = 5;
}

// sgp4_ele1: propagates an orbit given in any of the five element sets.
// Given:    sysaxesOUT  int  coordinate system of the positions, 0 to 11
//           imin  int  epoch minute
//           startsfe, deltasec  double  window start and step, s from the
//                     epoch (step 60 s when 0 or below)
// Given and returned:
//           iyr, imon, iday, ihr  int, sec  double  the epoch (four-digit
//                     year) in; the time of the last row out (iyr as
//                     in sgp4_orb1_: two digits for 1900-2099), unchanged
//                     when no row is computed
//           e1..e6  double  elements in the set ele_opts(1); the caller's
//                     values again on return
//           ele_opts  int(5)  set, fifth and sixth element kinds in; the
//                     converted kinds out, normally (1, 1, 5, ...)
//           stopsfe  double  window end, s from the epoch; the time of row
//                     100000 when the window holds more rows
// Returned: OUTYEAR, OUTDOY  int(100000)  year and day of year of each row
//           UT, x1, x2, x3  double(100000)  seconds of day, position
// State:    orbit_rows, elsetrec, the frame's IGRF epoch and sun/axes state.
// Failure:  an invalid set or kind prints its line and propagates the
//           elements as they stand; a window of more than 100000 rows is cut
//           with three lines; rows the propagator did not reach after an
//           SGP4 error, or from a row time outside the years 1 to 9999 on
//           (every row for an epoch that is no date of those years, with a
//           message naming it), get the fill value -1.0e31 (UT, x1..x3) and
//           year and day of year 0. A start, stop or step that is not a
//           number: a message, no row written.
// Notes:    1. Rows at startsfe, startsfe + deltasec, ..., and a last row at
//              stopsfe itself (one step after the epoch first when startsfe
//              is 0): the number of rows is the number of those times, at
//              most 100000; nothing beyond them is written.
//           2. Trace lines of every conversion step on standard output.
extern "C" void sgp4_ele1_(int* sysaxesOUT, int* iyr, int* imon, int* iday, int* ihr, int* imin,
                           double* sec, double* e1, double* e2, double* e3, double* e4,
                           double* e5, double* e6, int* ele_opts, double* startsfe,
                           double* stopsfe, double* deltasec, int* OUTYEAR, int* OUTDOY,
                           double* UT, double* x1, double* x2, double* x3) {
  const double saved[6] = {*e1, *e2, *e3, *e4, *e5, *e6};
  double jd;
  jday_(iyr, imon, iday, ihr, imin, sec, &jd);

  auto trace = [&](const char* opts_text) {
    const double e[6] = {*e1, *e2, *e3, *e4, *e5, *e6};
    trace_opts(opts_text, ele_opts);
    trace_elements(e);
  };
  auto after_step = [&] { trace("to these ele_opts = "); };
  const int set = ele_opts[0];
  if (set >= 1 && set <= 5) {
    trace("Converting these ele_opts = ");
    switch (set) {
      case 1: break;
      case 2: classical2veska_(e1, e2, e3, e4, e5, e6, &jd, ele_opts); break;
      case 3:
        rv2classical_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        classical2veska_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        break;
      case 4:
        solar2classical_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        classical2veska_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        break;
      case 5:
        mean2classical_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        classical2veska_(e1, e2, e3, e4, e5, e6, &jd, ele_opts);
        after_step();
        break;
    }
    fifthelement_(e1, e2, e3, e4, e5, e6, ele_opts);
    sixthelement_(e1, e2, e3, e4, e5, e6, ele_opts);
    after_step();
  } else {
    kest::msg("ele_opts(1) must be 1-5");
  }

  // A step that is not a number keeps its value: the window then holds no
  // row, and the propagation below says so.
  const double step = *deltasec <= 0.0 ? kest::default_step_sec : *deltasec;
  const kest::OrbitGrid grid(*startsfe / 60.0, step / 60.0, *stopsfe / 60.0);
  const bool no_window = std::isnan(*startsfe) || std::isnan(*stopsfe) || std::isnan(step);
  long n = no_window ? 0 : grid.count(kest::max_orbit_rows);
  if (n > kest::max_orbit_rows) {
    kest::msg("SGP4_ELE:  Given > 100,000 timesteps in the orbit");
    kest::msg("propagation.  VESKA library requires less than that,");
    kest::msg(" so SGP4_ELE has truncated your request.  ");
    // The stop time becomes the time of the last row that fits.
    const long last = std::fabs(*startsfe / 60.0) > 1.0e-8 ? kest::max_orbit_rows - 1
                                                            : kest::max_orbit_rows;
    *stopsfe = step * static_cast<double>(last) + *startsfe;
    n = kest::max_orbit_rows;
  }

  auto& rows = kest::orbit_rows.row;
  const int k = kest::sgp4_orb(iyr, imon, iday, ihr, imin, sec, *e1, *e2, *e3, *e4, *e5, *e6,
                               *startsfe, *stopsfe, step, *sysaxesOUT, rows);
  for (int i = 0; i < k; ++i) {
    const double* row = rows[i];
    int year = static_cast<int>(row[2]), mon = static_cast<int>(row[1]),
        day = static_cast<int>(row[0]);
    OUTYEAR[i] = year;
    OUTDOY[i] = get_doy_(&year, &mon, &day);
    UT[i] = row[4] * 60.0 + row[3] * 3600.0 + row[5];
    x1[i] = row[7];
    x2[i] = row[8];
    x3[i] = row[9];
  }
  // Times of the window that the propagator did not reach (an SGP4 error).
  for (long i = k; i < n; ++i) {
    OUTYEAR[i] = 0;
    OUTDOY[i] = 0;
    UT[i] = x1[i] = x2[i] = x3[i] = kest::baddata;
  }

  *e1 = saved[0]; *e2 = saved[1]; *e3 = saved[2];
  *e4 = saved[3]; *e5 = saved[4]; *e6 = saved[5];
}
