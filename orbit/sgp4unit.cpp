// SGP4/SDP4 orbit propagation: element record, gravity constants,
// initialisation, propagation, sidereal time and the deep-space terms.
//
// The model is the NORAD general perturbations theory: Brouwer mean elements
// with secular J2/J4 gravity, a power-law atmosphere drag (SGP4), and for
// periods of 225 minutes or more the luni-solar secular and periodic terms and
// the 12 h / 24 h geopotential resonances integrated from the epoch (SDP4).
// Inside the model lengths are in Earth radii of the constant set and time in
// minutes; positions leave in km and velocities in km/s, in the frame of the
// element set (true equator, mean equinox).
//
// References: F. R. Hoots, R. L. Roehrich, Models for propagation of NORAD
// element sets, Spacetrack Report #3, 1980; D. A. Vallado, P. Crawford,
// R. Hujsak, T. S. Kelso, Revisiting Spacetrack Report #3, AIAA 2006-6753.
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <type_traits>

#include "frame/conventions.hpp"
#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit/sgp4unit.hpp"

namespace kest {
Elsetrec elsetrec{};
}  // namespace kest

namespace {

using kest::Elsetrec;
using kest::elsetrec;

constexpr double pi = 3.14159265358979;
constexpr double twopi = 6.283185307179586;
constexpr double x2o3 = 2.0 / 3.0;

// Earth rotation rate, rad/min, for the sidereal angle of the resonances.
constexpr double rptim = 0.0043752690880113;

// Kepler's equation: Newton steps while the last step is at least this large,
// at most kepler_steps steps.
constexpr double kepler_tol = 1.0e-12;
constexpr int kepler_steps = 10;

// Truncated remainder (sign of the dividend), as every angle reduction of the
// model uses; nothing is shifted into [0, 2 pi).
inline double fmod2p(double x) { return std::fmod(x, twopi); }

// Constants of one gravity set, as getgravconst_ writes them.
struct Grav {
  double tumin, radius, xke, j2, j3, j4, j3oj2;
};

Grav load_grav(int set) {
  Grav g{};
  getgravconst_(&set, &g.tumin, &g.radius, &g.xke, &g.j2, &g.j3, &g.j4, &g.j3oj2);
  return g;
}

// Long-period mean-longitude coefficient for an inclination with cosine c and
// sine s. The divisor 1 + cos i vanishes for retrograde equatorial orbits, and
// within 1.5e-12 of 0 it is replaced by a small constant. The constant meant
// here, 1 + cos(pi - 1e-9), rounds to exactly 0 in double precision (a
// division by zero: an inclination of 180 degrees never propagated), and its
// exact value, 5e-19, would make the coefficient of a 180-degree orbit 0.3 to
// 1.8 and turn its position by degrees. The band's own bound, 1.5e-12, the
// smallest divisor the other branch ever uses, keeps the divisor continuous
// at the band's edge and the term negligible at 180 degrees, where sin i is
// below 1e-15.
double long_period_l(double j3oj2, double s, double c) {
  const double den = std::fabs(c + 1.0) > 1.5e-12 ? 1.0 + c : 1.5e-12;
  return -0.25 * j3oj2 * s * (3.0 + 5.0 * c) / den;
}

}  // namespace

// getgravconst: constants of a gravity model.
// Given:    whichconst  int  721 WGS-72 low precision, 72 WGS-72, 84 WGS-84
// Returned: tumin  double  minutes per time unit (1/xke)
//           radiusearthkm  double  km
//           xke  double  sqrt(GM) in Earth radii^1.5 per minute
//           j2, j3, j4, j3oj2  double  zonal harmonics and J3/J2
// Failure:  any other set writes nothing; the outputs keep what they held.
extern "C" void getgravconst_(int* whichconst, double* tumin, double* radiusearthkm,
                              double* xke, double* j2, double* j3, double* j4,
                              double* j3oj2) {
  double r, k, c2, c3, c4;
  switch (*whichconst) {
    case 721:
      r = 6378.135;
      k = 0.0743669161;
      c2 = 0.001082616;
      c3 = -0.00000253881;
      c4 = -0.00000165597;
      break;
    case 72: {
      r = 6378.135;
      const double mu = 398600.8;
      k = 60.0 / std::sqrt(r * r * r / mu);
      c2 = 0.001082616;
      c3 = -0.00000253881;
      c4 = -0.00000165597;
      break;
    }
    case 84: {
      r = 6378.137;
      const double mu = 398600.5;
      k = 60.0 / std::sqrt(r * r * r / mu);
      c2 = 0.00108262998905;
      c3 = -0.00000253215306;
      c4 = -0.00000161098761;
      break;
    }
    default:
      return;
  }
  *radiusearthkm = r;
  *xke = k;
  *tumin = 1.0 / k;
  *j2 = c2;
  *j3 = c3;
  *j4 = c4;
  *j3oj2 = c3 / c2;
}

// gstime: Greenwich mean sidereal time (IAU 1982) at an instant.
// Given:    jdut1  double  UT1 Julian date
// Returned: (function)  double  radians in [0, 2 pi)
// Failure:  a date that is not a number, or so far (beyond about 2e107 days)
//           that the cube of its Julian centuries overflows: the fill value
//           -1.0e31.
extern "C" double gstime_(double* jdut1) {
  const double tut1 = (*jdut1 - 2451545.0) * 2.7378507871321012e-05;
  double temp = -6.2e-6 * tut1 * tut1 * tut1 + 0.093104 * tut1 * tut1 +
                3164400184.812866 * tut1 + 67310.54841;  // seconds
  // An infinite polynomial has no remainder to take.
  if (!std::isfinite(temp)) return -1.0e31;
  temp = std::fmod(temp * 0.01745329251994329 / 240.0, twopi);
  if (temp < 0.0) temp += twopi;
  return temp;
}

// initl: Brouwer mean motion and the auxiliary quantities of the epoch.
// Given:    satn  int  satellite number (not used); whichconst  int
//           ecco  double  eccentricity; epoch  double  days from 1949-12-31 0h UT
//           inclo  double  inclination, rad
// Given and returned:
//           no  double  Kozai mean motion in, Brouwer mean motion out, rad/min
// Returned: method  char  'n'; ainv, ao  double  1/a0, a0 (Earth radii)
//           con41, con42  double  3cos^2 i - 1, 1 - 5cos^2 i
//           cosio, cosio2, eccsq, omeosq  double  cos i, cos^2 i, e^2, 1 - e^2
//           posq, rp  double  p0^2 (Earth radii^2), perigee radius (Earth radii)
//           rteosq, sinio  double  sqrt(1 - e^2), sin i
//           gsto  double  Greenwich sidereal time at epoch, rad in [0, 2 pi)
// Notes:    1. The sidereal time comes from a polynomial in the Julian
//              centuries of 0h UT of the epoch day plus the rotation through the
//              day, not from gstime_: it differs from gstime_ by up to about
//              5e-10 rad over the epochs 1950 to 2060.
//           2. The epoch day is found by truncation toward zero.
extern "C" void initl_(int* satn, int* whichconst, double* ecco, double* epoch,
                       double* inclo, double* no, char* method, double* ainv,
                       double* ao, double* con41, double* con42, double* cosio,
                       double* cosio2, double* eccsq, double* omeosq, double* posq,
                       double* rp, double* rteosq, double* sinio, double* gsto) {
  (void)satn;
  const Grav g = load_grav(*whichconst);

  *eccsq = *ecco * *ecco;
  *omeosq = 1.0 - *eccsq;
  *rteosq = std::sqrt(*omeosq);
  *cosio = std::cos(*inclo);
  *cosio2 = *cosio * *cosio;

  // Un-Kozai: the element set carries the Kozai mean motion; the theory runs on
  // Brouwer's. One refinement of the semi-major axis suffices.
  const double ak = std::pow(g.xke / *no, x2o3);
  const double d1 = 0.75 * g.j2 * (3.0 * *cosio2 - 1.0) / (*rteosq * *omeosq);
  double del = d1 / (ak * ak);
  const double adel =
      ak * (1.0 - del * del - del * (1.0 / 3.0 + 134.0 * del * del / 81.0));
  del = d1 / (adel * adel);
  *no = *no / (1.0 + del);

  *ao = std::pow(g.xke / *no, x2o3);
  *sinio = std::sin(*inclo);
  const double po = *ao * *omeosq;
  *con42 = 1.0 - 5.0 * *cosio2;
  *con41 = -*con42 - *cosio2 - *cosio2;
  *ainv = 1.0 / *ao;
  *posq = po * po;
  *rp = *ao * (1.0 - *ecco);
  *method = 'n';

  const double jd = *epoch + 2433281.5;
  const double d0 = std::trunc(jd - 0.5);
  const double t0 = (d0 + 0.5 - 2451545.0) * 2.7378507871321012e-05;
  double theta = (jd - 0.5 - d0) * 6.30038809866574 +
                 (1.75336855923327 + 628.331970688841 * t0 +
                  6.77071394490334e-06 * t0 * t0 - 4.50876723431868e-10 * t0 * t0 * t0);
  theta = std::fmod(theta, 6.28318530717959);
  if (theta < 0.0) theta += 6.28318530717959;
  *gsto = theta;
}

// sgp4init: initialises the propagator for one element set.
// Given:    whichconst  int  gravity set (721, 72, 84)
//           satn  int  satellite number
//           xbstar  double  B*, per Earth radius
//           xecco  double  eccentricity
//           epoch  double  days from 1949-12-31 0h UT (Julian date - 2433281.5)
//           xargpo, xinclo, xmo  double  perigee argument, inclination, mean
//                                anomaly, rad
//           xno  double  Kozai mean motion, rad/min
//           xnodeo  double  right ascension of the ascending node, rad
// Returned: error  int  0, a propagation code of sgp4_ at t = 0, or 5
// State:    writes the element and state fields of elsetrec; the state
//           fields of the previous set are cleared first.
// Failure:  5 when the perigee radius is below one Earth radius (the element
//           set is sub-orbital) and the propagation at the epoch succeeds; the
//           propagation's own nonzero code takes precedence. The record is
//           initialised in every case, so sgp4_ may still be called.
// Notes:    1. Below 220 km perigee the simplified drag terms are used; below
//              156 km the density parameter s* follows the perigee (20 km at or
//              below 98 km).
//           2. Periods of 225 minutes or more are propagated in deep space.
//           3. The drag and secular terms are skipped only when both 1 - e^2
//              and the Brouwer mean motion are negative (or not numbers); the
//              closing propagation then runs on cleared terms and reports.
extern "C" void sgp4init_(int* whichconst, int* satn, double* xbstar, double* xecco,
                          double* epoch, double* xargpo, double* xinclo, double* xmo,
                          double* xno, double* xnodeo, int* error) {
  Elsetrec& s = elsetrec;
  // Clear the propagator state of the previous element set: a set whose drag
  // and secular terms cannot be formed must not run on another set's terms.
  static_assert(std::is_standard_layout_v<Elsetrec>);
  std::memset(reinterpret_cast<char*>(&s) + offsetof(Elsetrec, ay_coef), 0,
              sizeof(Elsetrec) - offsetof(Elsetrec, ay_coef));
  s.method = 'n';
  *error = 0;
  s.bstar = *xbstar;
  s.eccentricity = *xecco;
  s.perigee_argument = *xargpo;
  s.inclination = *xinclo;
  s.mean_anomaly = *xmo;
  s.mean_motion = *xno;
  s.ascending_node = *xnodeo;
  const Grav g = load_grav(*whichconst);

  // Atmosphere density parameters: s = 78 km, q0 = 120 km above the surface.
  const double ss = 78.0 / g.radius + 1.0;
  const double qzms2t = std::pow((120.0 - 78.0) / g.radius, 4);

  s.init_flag = 'y';
  const double t = 0.0;

  char method = 'n';
  double ainv, ao, con41, con42, cosio, cosio2, eccsq, omeosq, posq, rp, rteosq,
      sinio, gsto;
  initl_(satn, whichconst, &s.eccentricity, epoch, &s.inclination, &s.mean_motion,
         &method, &ainv, &ao, &con41, &con42, &cosio, &cosio2, &eccsq, &omeosq,
         &posq, &rp, &rteosq, &sinio, &gsto);
  s.method = method;
  s.gst_epoch = gsto;
  const bool suborbital = rp < 1.0;

  const double ecco = s.eccentricity, no = s.mean_motion, bstar = s.bstar;
  if (omeosq >= 0.0 || no >= 0.0) {
    s.simple_drag = rp < 220.0 / g.radius + 1.0 ? 1 : 0;

    double sfour = ss, qzms24 = qzms2t;
    const double perige = (rp - 1.0) * g.radius;  // perigee height, km
    if (perige < 156.0) {
      sfour = perige - 78.0;
      if (perige <= 98.0) sfour = 20.0;
      qzms24 = std::pow((120.0 - sfour) / g.radius, 4);
      sfour = sfour / g.radius + 1.0;
    }
    const double pinvsq = 1.0 / posq;
    const double tsi = 1.0 / (ao - sfour);
    s.eta = ao * ecco * tsi;
    const double etasq = s.eta * s.eta;
    const double eeta = ecco * s.eta;
    const double psisq = std::fabs(1.0 - etasq);
    const double coef = qzms24 * std::pow(tsi, 4);
    const double coef1 = coef / std::pow(psisq, 3.5);
    const double cc2 =
        coef1 * no *
        (ao * (1.0 + 1.5 * etasq + eeta * (4.0 + etasq)) +
         0.375 * g.j2 * tsi / psisq * con41 * (8.0 + 3.0 * etasq * (8.0 + etasq)));
    s.drag_c1 = bstar * cc2;
    double cc3 = 0.0;
    if (ecco > 1.0e-4) cc3 = -2.0 * coef * tsi * g.j3oj2 * no * sinio / ecco;
    s.one_m_cos2 = 1.0 - cosio2;
    s.drag_c4 =
        2.0 * no * coef1 * ao * omeosq *
        (s.eta * (2.0 + 0.5 * etasq) + ecco * (0.5 + 2.0 * etasq) -
         g.j2 * tsi / (ao * psisq) *
             (-3.0 * con41 * (1.0 - 2.0 * eeta + etasq * (1.5 - 0.5 * eeta)) +
              0.75 * s.one_m_cos2 * (2.0 * etasq - eeta * (1.0 + etasq)) *
                  std::cos(2.0 * s.perigee_argument)));
    s.drag_c5 = 2.0 * coef1 * ao * omeosq * (1.0 + 2.75 * (etasq + eeta) + eeta * etasq);

    // Secular rates from J2 (first and second order) and J4.
    const double cosio4 = cosio2 * cosio2;
    const double temp1 = 1.5 * g.j2 * pinvsq * no;
    const double temp2 = 0.5 * temp1 * g.j2 * pinvsq;
    const double temp3 = -0.46875 * g.j4 * pinvsq * pinvsq * no;
    s.mean_anomaly_rate = no + 0.5 * temp1 * rteosq * con41 +
                          0.0625 * temp2 * rteosq * (13.0 - 78.0 * cosio2 + 137.0 * cosio4);
    s.perigee_rate = -0.5 * temp1 * con42 +
                     0.0625 * temp2 * (7.0 - 114.0 * cosio2 + 395.0 * cosio4) +
                     temp3 * (3.0 - 36.0 * cosio2 + 49.0 * cosio4);
    const double xhdot1 = -temp1 * cosio;
    s.node_rate = xhdot1 + (0.5 * temp2 * (4.0 - 19.0 * cosio2) +
                            2.0 * temp3 * (3.0 - 7.0 * cosio2)) * cosio;
    const double xpidot = s.perigee_rate + s.node_rate;
    s.perigee_drag = bstar * cc3 * std::cos(s.perigee_argument);
    s.m_drag = 0.0;
    if (ecco > 1.0e-4) s.m_drag = -x2o3 * coef * bstar / eeta;
    s.node_drag = 3.5 * omeosq * xhdot1 * s.drag_c1;
    s.t2_coef = 1.5 * s.drag_c1;
    s.l_coef = long_period_l(g.j3oj2, sinio, cosio);
    s.ay_coef = -0.5 * g.j3oj2 * sinio;
    s.delta_m0 = std::pow(1.0 + s.eta * std::cos(s.mean_anomaly), 3);
    s.sin_m0 = std::sin(s.mean_anomaly);
    s.three_cos2_m1 = con41;
    s.seven_cos2_m1 = 7.0 * cosio2 - 1.0;

    if (2.0 * pi / no >= 225.0) {
      s.method = 'd';
      s.simple_drag = 1;
      const double tc = 0.0;
      double inclm = s.inclination;
      kest::DeepGeometry geo{};
      kest::dscom(*epoch, ecco, s.perigee_argument, tc, s.inclination,
                  s.ascending_node, no, geo);
      double ep = ecco, inclp = s.inclination, nodep = s.ascending_node,
             argpp = s.perigee_argument, mp = s.mean_anomaly;
      kest::dpper(t, s.init_flag, ep, inclp, nodep, argpp, mp);
      double em = geo.em, argpm = 0.0, mm = 0.0, nm = geo.nm, nodem = 0.0, dndt = 0.0;
      kest::dsinit(g.xke, t, tc, geo, s.mean_anomaly_rate, s.node_rate, xpidot, em,
                   argpm, inclm, mm, nm, nodem, dndt);
    }

    if (s.simple_drag != 1) {
      const double cc1 = s.drag_c1;
      const double cc1sq = cc1 * cc1;
      s.drag_d2 = 4.0 * ao * tsi * cc1sq;
      const double temp = s.drag_d2 * tsi * cc1 / 3.0;
      s.drag_d3 = (17.0 * ao + sfour) * temp;
      s.drag_d4 = 0.5 * temp * ao * tsi * (221.0 * ao + 31.0 * sfour) * cc1;
      s.t3_coef = s.drag_d2 + 2.0 * cc1sq;
      s.t4_coef = 0.25 * (3.0 * s.drag_d3 + cc1 * (12.0 * s.drag_d2 + 10.0 * cc1sq));
      s.t5_coef = 0.2 * (3.0 * s.drag_d4 + 12.0 * cc1 * s.drag_d3 +
                         6.0 * s.drag_d2 * s.drag_d2 +
                         15.0 * cc1sq * (2.0 * s.drag_d2 + cc1sq));
    }
  }

  s.init_flag = 'n';
  double r[3], v[3];
  double t0 = 0.0;
  sgp4_(whichconst, &t0, r, v, error);
  if (*error == 0 && suborbital) *error = 5;
}

// sgp4: position and velocity of the satellite held in elsetrec.
// Given:    whichconst  int  gravity set (the one of sgp4init_)
//           tsince  double  minutes from the element epoch (may be negative)
// Returned: r(3)  double  position, km, frame of the element set
//           v(3)  double  velocity, km/s
//           error  int  0, or
//             1 mean e >= 1 or < -0.001, or mean a < 0.95 Earth radii
//               (also an eccentricity of the set out of that range)
//             2 mean motion <= 0 or not formed (negative mean motion of
//               the set)
//             3 perturbed eccentricity (deep space) outside [0, 1]
//             4 semi-latus rectum < 0
//             6 radius below one Earth radius (decayed)
//             7 Kepler's equation not solved within 10 Newton steps
// State:    reads elsetrec; in deep space writes ay_coef, l_coef,
//           three_cos2_m1, one_m_cos2, seven_cos2_m1 (recomputed before use
//           in the same call) and the resonance integrator state, which the
//           next call continues from without changing its result.
// Requires: sgp4init_ for the element set.
// Failure:  codes 1, 2, 3 and 6 come with the position and velocity computed;
//           codes 4 and 7 leave no meaningful state and write the fill value
//           -1.0e31 into all six outputs. An earlier code (1, 2, 3) whose
//           elements also defeat Kepler's equation (e.g. not-a-number mean
//           motion) is kept and gets the fill value too, as does a position
//           or velocity that is not a finite number under any code.
// Notes:    1. The codes are set in the order 2, 1, 3, then 4, 6 or 7; a later
//              code replaces an earlier one, except that a failed Kepler
//              solution keeps an earlier code (its cause).
//           2. A negative mean eccentricity is replaced by 1e-6.
//           3. The 0.95 Earth-radii bound is the single-precision 0.95.
//           4. A time that is not a finite number, or (for a resonant
//              deep-space set, whose integration steps 720 minutes at a time)
//              one more than 1e8 minutes from the epoch, gives the fill value
//              with a non-zero code: 2 where the integrated mean motion is
//              refused, unless a later test replaces it as note 1 says (1
//              when the drag and luni-solar terms of so long a time carry
//              the mean eccentricity out of range); else the code its
//              numbers lead to.
extern "C" void sgp4_(int* whichconst, double* tsince, double* r, double* v, int* error) {
  Elsetrec& s = elsetrec;
  *error = 0;
  const Grav g = load_grav(*whichconst);
  const double vkmpersec = g.radius * g.xke / 60.0;
  const double t = *tsince;

  // Secular gravity and drag.
  const double xmdf = s.mean_anomaly + s.mean_anomaly_rate * t;
  const double argpdf = s.perigee_argument + s.perigee_rate * t;
  const double nodedf = s.ascending_node + s.node_rate * t;
  double argpm = argpdf;
  double mm = xmdf;
  const double t2 = t * t;
  double nodem = nodedf + s.node_drag * t2;
  double tempa = 1.0 - s.drag_c1 * t;
  double tempe = s.bstar * s.drag_c4 * t;
  double templ = s.t2_coef * t2;
  if (s.simple_drag != 1) {
    const double delomg = s.perigee_drag * t;
    const double delmtemp = 1.0 + s.eta * std::cos(xmdf);
    const double delm = s.m_drag * (delmtemp * delmtemp * delmtemp - s.delta_m0);
    const double temp = delomg + delm;
    mm = xmdf + temp;
    argpm = argpdf - temp;
    const double t3 = t2 * t, t4 = t3 * t;
    tempa = tempa - s.drag_d2 * t2 - s.drag_d3 * t3 - s.drag_d4 * t4;
    tempe = tempe + s.bstar * s.drag_c5 * (std::sin(mm) - s.sin_m0);
    templ = templ + s.t3_coef * t3 + t4 * (s.t4_coef + t * s.t5_coef);
  }

  double nm = s.mean_motion;
  double em = s.eccentricity;
  double inclm = s.inclination;
  if (s.method == 'd') {
    kest::dspace(t, t, em, argpm, inclm, mm, nodem, nm);
  }
  // A mean motion that is not positive, or that could not be formed (a
  // negative mean motion of the set has no Brouwer value), is code 2.
  if (!(nm > 0.0)) *error = 2;

  const double am = std::pow(g.xke / nm, x2o3) * tempa * tempa;
  nm = g.xke / std::pow(am, 1.5);
  em = em - tempe;
  if (em >= 1.0 || em < -0.001 || am < static_cast<double>(0.95f)) *error = 1;
  // An eccentricity of the set of 1 or more leaves the secular terms not a
  // number (1 - e^2 divides them): its code is 1, not that of the Kepler
  // solution the numbers then defeat. A mean eccentricity that is not a
  // number while the set's own is in range comes from the mean motion and
  // keeps code 2.
  if (std::isnan(em) && !(s.eccentricity < 1.0 && s.eccentricity >= -0.001)) *error = 1;
  if (em < 0.0) em = 1.0e-6;

  mm = mm + s.mean_motion * templ;
  double xlm = mm + argpm + nodem;
  nodem = fmod2p(nodem);
  argpm = fmod2p(argpm);
  xlm = fmod2p(xlm);
  mm = fmod2p(xlm - argpm - nodem);

  // Luni-solar periodics.
  double ep = em, xincp = inclm, argpp = argpm, nodep = nodem, mp = mm;
  double sinip, cosip;
  if (s.method != 'd') {
    sinip = std::sin(inclm);
    cosip = std::cos(inclm);
  } else {
    // dpper hands back the sine and cosine of the inclination it perturbed.
    // A negative inclination is reflected; the sine is odd and the cosine
    // even, and so are the library's (they reduce |x| and restore the sign),
    // so the reflected angle's values are the same numbers, the sine negated.
    kest::dpper(t, 'n', ep, xincp, nodep, argpp, mp, &sinip, &cosip);
    if (xincp < 0.0) {
      xincp = -xincp;
      nodep = nodep + pi;
      argpp = argpp - pi;
      sinip = -sinip;
    }
    if (ep < 0.0 || ep > 1.0) *error = 3;
    s.ay_coef = -0.5 * g.j3oj2 * sinip;
    s.l_coef = long_period_l(g.j3oj2, sinip, cosip);
  }

  // Long-period periodics, in the equinoctial components a_xN, a_yN.
  const double axnl = ep * std::cos(argpp);
  double temp = 1.0 / (am * (1.0 - ep * ep));
  const double aynl = ep * std::sin(argpp) + temp * s.ay_coef;
  const double xl = mp + argpp + nodep + temp * s.l_coef * axnl;

  // Kepler's equation for the eccentric longitude E + omega.
  const double u = fmod2p(xl - nodep);
  double eo1 = u, tem5 = 9999.9, sineo1 = 0.0, coseo1 = 0.0;
  int steps = 0;
  while (std::fabs(tem5) >= kepler_tol && steps < kepler_steps) {
    sineo1 = std::sin(eo1);
    coseo1 = std::cos(eo1);
    tem5 = 1.0 - coseo1 * axnl - sineo1 * aynl;
    tem5 = (u - aynl * coseo1 + axnl * sineo1 - eo1) / tem5;
    if (std::fabs(tem5) > 1.0) tem5 = tem5 > 0.0 ? 1.0 : -1.0;
    eo1 = eo1 + tem5;
    ++steps;
  }
  if (!(std::fabs(tem5) < kepler_tol)) {
    // Not converged (or not a number): the state is unknown.
    if (*error == 0) *error = 7;
    for (int k = 0; k < 3; ++k) r[k] = v[k] = kest::baddata;
    return;
  }
  // The last step was below 1e-12; the sines of the final iterate differ from
  // those of the previous one by less than that.

  // Short-period preliminary quantities.
  const double ecose = axnl * coseo1 + aynl * sineo1;
  const double esine = axnl * sineo1 - aynl * coseo1;
  const double el2 = axnl * axnl + aynl * aynl;
  const double pl = am * (1.0 - el2);
  if (pl < 0.0) {
    *error = 4;
    for (int k = 0; k < 3; ++k) r[k] = v[k] = kest::baddata;
    return;
  }
  const double rl = am * (1.0 - ecose);
  const double rdotl = std::sqrt(am) * esine / rl;
  const double rvdotl = std::sqrt(pl) / rl;
  const double betal = std::sqrt(1.0 - el2);
  temp = esine / (1.0 + betal);
  const double sinu = am / rl * (sineo1 - aynl - axnl * temp);
  const double cosu = am / rl * (coseo1 - axnl + aynl * temp);
  double su = std::atan2(sinu, cosu);
  const double sin2u = (cosu + cosu) * sinu;
  const double cos2u = 1.0 - 2.0 * sinu * sinu;
  temp = 1.0 / pl;
  const double temp1 = 0.5 * g.j2 * temp;
  const double temp2 = temp1 * temp;

  if (s.method == 'd') {
    const double cosisq = cosip * cosip;
    s.three_cos2_m1 = 3.0 * cosisq - 1.0;
    s.one_m_cos2 = 1.0 - cosisq;
    s.seven_cos2_m1 = 7.0 * cosisq - 1.0;
  }
  const double con41 = s.three_cos2_m1, x1mth2 = s.one_m_cos2, x7thm1 = s.seven_cos2_m1;

  // Short-period periodics (J2).
  const double mrt = rl * (1.0 - 1.5 * temp2 * betal * con41) + 0.5 * temp1 * x1mth2 * cos2u;
  su = su - 0.25 * temp2 * x7thm1 * sin2u;
  const double xnode = nodep + 1.5 * temp2 * cosip * sin2u;
  const double xinc = xincp + 1.5 * temp2 * cosip * sinip * cos2u;
  const double mvt = rdotl - nm * temp1 * x1mth2 * sin2u / g.xke;
  const double rvdot = rvdotl + nm * temp1 * (x1mth2 * cos2u + 1.5 * con41) / g.xke;

  // Orientation: U toward the satellite, V along track.
  const double sinsu = std::sin(su), cossu = std::cos(su);
  const double snod = std::sin(xnode), cnod = std::cos(xnode);
  const double sini = std::sin(xinc), cosi = std::cos(xinc);
  const double xmx = -snod * cosi, xmy = cnod * cosi;
  const double ux = xmx * sinsu + cnod * cossu;
  const double uy = xmy * sinsu + snod * cossu;
  const double uz = sini * sinsu;
  const double vx = xmx * cossu - cnod * sinsu;
  const double vy = xmy * cossu - snod * sinsu;
  const double vz = sini * cossu;

  r[0] = mrt * ux * g.radius;
  r[1] = mrt * uy * g.radius;
  r[2] = mrt * uz * g.radius;
  v[0] = (mvt * ux + rvdot * vx) * vkmpersec;
  v[1] = (mvt * uy + rvdot * vy) * vkmpersec;
  v[2] = (mvt * uz + rvdot * vz) * vkmpersec;

  if (mrt < 1.0) *error = 6;
  // Elements far outside any orbit (a B* of 1e55 from a mangled exponent
  // field) can overflow the drag terms while Kepler's equation still
  // converges: the outputs are then no numbers, and get the fill value.
  bool finite = true;
  for (int k = 0; k < 3; ++k) finite = finite && std::isfinite(r[k]) && std::isfinite(v[k]);
  if (!finite)
    for (int k = 0; k < 3; ++k) r[k] = v[k] = kest::baddata;
}

namespace kest {

// dscom: luni-solar geometry at the epoch and the periodic coefficients.
// Given:    epoch  double  days from 1949-12-31 0h UT; tc  double  minutes
//           ep, argpp, inclp, nodep  double  e, omega, i, Omega (rad)
//           np  double  Brouwer mean motion, rad/min
// Returned: g  the geometry for dsinit
// State:    writes elsetrec per_*, sol_*, lun_*, moon_m0, sun_m0.
// Notes:    1. The Sun's orbit is fixed (obliquity, perigee); the Moon's node
//              and perigee advance linearly with the day count from 1900
//              January 0.5.
void dscom(double epoch, double ep, double argpp, double tc, double inclp,
           double nodep, double np, DeepGeometry& g) {
  Elsetrec& s = elsetrec;
  constexpr double zes = 0.01675, zel = 0.0549;
  constexpr double c1ss = 2.9864797e-6, c1l = 4.7968065e-7;
  constexpr double zsinis = 0.39785416, zcosis = 0.91744867;
  constexpr double zcosgs = 0.1945905, zsings = -0.98088458;

  g.nm = np;
  g.em = ep;
  g.snodm = std::sin(nodep);
  g.cnodm = std::cos(nodep);
  g.sinomm = std::sin(argpp);
  g.cosomm = std::cos(argpp);
  g.sinim = std::sin(inclp);
  g.cosim = std::cos(inclp);
  g.emsq = g.em * g.em;
  const double betasq = 1.0 - g.emsq;
  g.rtemsq = std::sqrt(betasq);

  s.per_e0 = s.per_i0 = s.per_l0 = s.per_gh0 = s.per_h0 = 0.0;
  g.day = epoch + 18261.5 + tc / 1440.0;
  const double xnodce = fmod2p(4.5236020 - 9.2422029e-4 * g.day);
  const double stem = std::sin(xnodce), ctem = std::cos(xnodce);
  const double zcosil = 0.91375164 - 0.03568096 * ctem;
  const double zsinil = std::sqrt(1.0 - zcosil * zcosil);
  const double zsinhl = 0.089683511 * stem / zsinil;
  const double zcoshl = std::sqrt(1.0 - zsinhl * zsinhl);
  g.gam = 5.8351514 + 0.0019443680 * g.day;
  double zx = 0.39785416 * stem / zsinil;
  const double zy = zcoshl * ctem + 0.91744867 * zsinhl * stem;
  zx = std::atan2(zx, zy);
  zx = g.gam + zx - xnodce;
  const double zcosgl = std::cos(zx), zsingl = std::sin(zx);

  // First pass the Sun, second pass the Moon.
  double zcosg = zcosgs, zsing = zsings, zcosi = zcosis, zsini = zsinis;
  double zcosh = g.cnodm, zsinh = g.snodm;
  double cc = c1ss;
  const double xnoi = 1.0 / g.nm;
  const double emsq = g.emsq, cosim = g.cosim, sinim = g.sinim;
  const double cosomm = g.cosomm, sinomm = g.sinomm;
  for (int body = 1; body <= 2; ++body) {
    const double a1 = zcosg * zcosh + zsing * zcosi * zsinh;
    const double a3 = -zsing * zcosh + zcosg * zcosi * zsinh;
    const double a7 = -zcosg * zsinh + zsing * zcosi * zcosh;
    const double a8 = zsing * zsini;
    const double a9 = zsing * zsinh + zcosg * zcosi * zcosh;
    const double a10 = zcosg * zsini;
    const double a2 = cosim * a7 + sinim * a8;
    const double a4 = cosim * a9 + sinim * a10;
    const double a5 = -sinim * a7 + cosim * a8;
    const double a6 = -sinim * a9 + cosim * a10;

    const double x1 = a1 * cosomm + a2 * sinomm;
    const double x2 = a3 * cosomm + a4 * sinomm;
    const double x3 = -a1 * sinomm + a2 * cosomm;
    const double x4 = -a3 * sinomm + a4 * cosomm;
    const double x5 = a5 * sinomm;
    const double x6 = a6 * sinomm;
    const double x7 = a5 * cosomm;
    const double x8 = a6 * cosomm;

    const double z31 = 12.0 * x1 * x1 - 3.0 * x3 * x3;
    const double z32 = 24.0 * x1 * x2 - 6.0 * x3 * x4;
    const double z33 = 12.0 * x2 * x2 - 3.0 * x4 * x4;
    double z1 = 3.0 * (a1 * a1 + a2 * a2) + z31 * emsq;
    double z2 = 6.0 * (a1 * a3 + a2 * a4) + z32 * emsq;
    double z3 = 3.0 * (a3 * a3 + a4 * a4) + z33 * emsq;
    const double z11 = -6.0 * a1 * a5 + emsq * (-24.0 * x1 * x7 - 6.0 * x3 * x5);
    const double z12 = -6.0 * (a1 * a6 + a3 * a5) +
                       emsq * (-24.0 * (x2 * x7 + x1 * x8) - 6.0 * (x3 * x6 + x4 * x5));
    const double z13 = -6.0 * a3 * a6 + emsq * (-24.0 * x2 * x8 - 6.0 * x4 * x6);
    const double z21 = 6.0 * a2 * a5 + emsq * (24.0 * x1 * x5 - 6.0 * x3 * x7);
    const double z22 = 6.0 * (a4 * a5 + a2 * a6) +
                       emsq * (24.0 * (x2 * x5 + x1 * x6) - 6.0 * (x4 * x7 + x3 * x8));
    const double z23 = 6.0 * a4 * a6 + emsq * (24.0 * x2 * x6 - 6.0 * x4 * x8);
    z1 = z1 + z1 + betasq * z31;
    z2 = z2 + z2 + betasq * z32;
    z3 = z3 + z3 + betasq * z33;
    const double s3 = cc * xnoi;
    const double s2 = -0.5 * s3 / g.rtemsq;
    const double s4 = s3 * g.rtemsq;
    const double s1 = -15.0 * g.em * s4;
    const double s5 = x1 * x3 + x2 * x4;
    const double s6 = x2 * x3 + x1 * x4;
    const double s7 = x2 * x4 - x1 * x3;

    if (body == 1) {
      g.ss1 = s1; g.ss2 = s2; g.ss3 = s3; g.ss4 = s4; g.ss5 = s5; g.ss6 = s6; g.ss7 = s7;
      g.sz1 = z1; g.sz2 = z2; g.sz3 = z3;
      g.sz11 = z11; g.sz12 = z12; g.sz13 = z13;
      g.sz21 = z21; g.sz22 = z22; g.sz23 = z23;
      g.sz31 = z31; g.sz32 = z32; g.sz33 = z33;
      zcosg = zcosgl;
      zsing = zsingl;
      zcosi = zcosil;
      zsini = zsinil;
      zcosh = zcoshl * g.cnodm + zsinhl * g.snodm;
      zsinh = g.snodm * zcoshl - g.cnodm * zsinhl;
      cc = c1l;
    } else {
      g.s1 = s1; g.s2 = s2; g.s3 = s3; g.s4 = s4; g.s5 = s5; g.s6 = s6; g.s7 = s7;
      g.z1 = z1; g.z2 = z2; g.z3 = z3;
      g.z11 = z11; g.z12 = z12; g.z13 = z13;
      g.z21 = z21; g.z22 = z22; g.z23 = z23;
      g.z31 = z31; g.z32 = z32; g.z33 = z33;
    }
  }

  s.moon_m0 = fmod2p(4.7199672 + 0.22997150 * g.day - g.gam);
  s.sun_m0 = fmod2p(6.2565837 + 0.017201977 * g.day);

  // Solar periodic coefficients.
  s.sol_e2 = 2.0 * g.ss1 * g.ss6;
  s.sol_e3 = 2.0 * g.ss1 * g.ss7;
  s.sol_i2 = 2.0 * g.ss2 * g.sz12;
  s.sol_i3 = 2.0 * g.ss2 * (g.sz13 - g.sz11);
  s.sol_l2 = -2.0 * g.ss3 * g.sz2;
  s.sol_l3 = -2.0 * g.ss3 * (g.sz3 - g.sz1);
  s.sol_l4 = -2.0 * g.ss3 * (-21.0 - 9.0 * emsq) * zes;
  s.sol_gh2 = 2.0 * g.ss4 * g.sz32;
  s.sol_gh3 = 2.0 * g.ss4 * (g.sz33 - g.sz31);
  s.sol_gh4 = -18.0 * g.ss4 * zes;
  s.sol_h2 = -2.0 * g.ss2 * g.sz22;
  s.sol_h3 = -2.0 * g.ss2 * (g.sz23 - g.sz21);

  // Lunar periodic coefficients.
  s.lun_ee2 = 2.0 * g.s1 * g.s6;
  s.lun_e3 = 2.0 * g.s1 * g.s7;
  s.lun_i2 = 2.0 * g.s2 * g.z12;
  s.lun_i3 = 2.0 * g.s2 * (g.z13 - g.z11);
  s.lun_l2 = -2.0 * g.s3 * g.z2;
  s.lun_l3 = -2.0 * g.s3 * (g.z3 - g.z1);
  s.lun_l4 = -2.0 * g.s3 * (-21.0 - 9.0 * emsq) * zel;
  s.lun_gh2 = 2.0 * g.s4 * g.z32;
  s.lun_gh3 = 2.0 * g.s4 * (g.z33 - g.z31);
  s.lun_gh4 = -18.0 * g.s4 * zel;
  s.lun_h2 = -2.0 * g.s2 * g.z22;
  s.lun_h3 = -2.0 * g.s2 * (g.z23 - g.z21);
}

// dpper: luni-solar periodics of e, i, Omega, omega and M.
// Given:    t  double  minutes from epoch; init  char  'y' at initialisation
// Given and returned:
//           ep, inclp, nodep, argpp, mp  double  elements (rad); unchanged
//           with init 'y'
// Returned: sinip, cosip  double*  (optional, may be null) sine and cosine
//           of the perturbed inclination inclp, with init 'n' only
// State:    reads elsetrec sol_*, lun_*, per_*, sun_m0, moon_m0.
// Notes:    1. Below 0.2 rad of perturbed inclination the node and perigee
//              terms are applied in Lyddane's form (through the components
//              sin i sin Omega, sin i cos Omega), which stays regular as sin i
//              goes to 0. The new node is kept within pi of the old one.
void dpper(double t, char init, double& ep, double& inclp, double& nodep,
           double& argpp, double& mp, double* sinip_out, double* cosip_out) {
  const Elsetrec& s = elsetrec;
  constexpr double zns = 1.19459e-5, zes = 0.01675;
  constexpr double znl = 1.5835218e-4, zel = 0.0549;

  // Sun.
  double zm = init == 'y' ? s.sun_m0 : s.sun_m0 + zns * t;
  double zf = zm + 2.0 * zes * std::sin(zm);
  double sinzf = std::sin(zf);
  double f2 = 0.5 * sinzf * sinzf - 0.25;
  double f3 = -0.5 * sinzf * std::cos(zf);
  const double ses = s.sol_e2 * f2 + s.sol_e3 * f3;
  const double sis = s.sol_i2 * f2 + s.sol_i3 * f3;
  const double sls = s.sol_l2 * f2 + s.sol_l3 * f3 + s.sol_l4 * sinzf;
  const double sghs = s.sol_gh2 * f2 + s.sol_gh3 * f3 + s.sol_gh4 * sinzf;
  const double shs = s.sol_h2 * f2 + s.sol_h3 * f3;

  // Moon.
  zm = init == 'y' ? s.moon_m0 : s.moon_m0 + znl * t;
  zf = zm + 2.0 * zel * std::sin(zm);
  sinzf = std::sin(zf);
  f2 = 0.5 * sinzf * sinzf - 0.25;
  f3 = -0.5 * sinzf * std::cos(zf);
  const double sel = s.lun_ee2 * f2 + s.lun_e3 * f3;
  const double sil = s.lun_i2 * f2 + s.lun_i3 * f3;
  const double sll = s.lun_l2 * f2 + s.lun_l3 * f3 + s.lun_l4 * sinzf;
  const double sghl = s.lun_gh2 * f2 + s.lun_gh3 * f3 + s.lun_gh4 * sinzf;
  const double shll = s.lun_h2 * f2 + s.lun_h3 * f3;

  double pe = ses + sel;
  double pinc = sis + sil;
  double pl = sls + sll;
  double pgh = sghs + sghl;
  double ph = shs + shll;

  if (init != 'n') return;

  pe -= s.per_e0;
  pinc -= s.per_i0;
  pl -= s.per_l0;
  pgh -= s.per_gh0;
  ph -= s.per_h0;
  inclp = inclp + pinc;
  ep = ep + pe;
  const double sinip = std::sin(inclp), cosip = std::cos(inclp);
  if (sinip_out != nullptr) *sinip_out = sinip;
  if (cosip_out != nullptr) *cosip_out = cosip;

  if (inclp >= 0.2) {
    ph = ph / sinip;
    pgh = pgh - cosip * ph;
    argpp = argpp + pgh;
    nodep = nodep + ph;
    mp = mp + pl;
  } else {
    const double sinop = std::sin(nodep), cosop = std::cos(nodep);
    double alfdp = sinip * sinop;
    double betdp = sinip * cosop;
    const double dalf = ph * cosop + pinc * cosip * sinop;
    const double dbet = -ph * sinop + pinc * cosip * cosop;
    alfdp = alfdp + dalf;
    betdp = betdp + dbet;
    nodep = fmod2p(nodep);
    double xls = mp + argpp + cosip * nodep;
    const double dls = pl + pgh - pinc * nodep * sinip;
    xls = xls + dls;
    const double xnoh = nodep;
    nodep = std::atan2(alfdp, betdp);
    if (std::fabs(xnoh - nodep) > pi) {
      if (nodep < xnoh)
        nodep = nodep + twopi;
      else
        nodep = nodep - twopi;
    }
    mp = mp + pl;
    argpp = xls - mp - cosip * nodep;
  }
}

// dsinit: luni-solar secular rates and the resonance set-up.
// Given:    xke  double  of the gravity set; t, tc  double  minutes (0 here)
//           g  the geometry of dscom
//           mdot, nodedot, xpidot  double  secular gravity rates of M, Omega
//           and omega + Omega, rad/min
// Given and returned:
//           em, argpm, inclm, mm, nodem  double  advanced by the rates times t
//           nm  double  Brouwer mean motion, rad/min; dndt  double  0
// State:    writes elsetrec deep_*_rate, resonance, res_*.
// Notes:    1. One-day resonance: 0.0034906585 < n < 0.0052359877 rad/min;
//              half-day: 0.00826 <= n <= 0.00924 rad/min with e >= 0.5.
//           2. Within 3 degrees of an equatorial orbit the node terms are
//              dropped; when sin i is exactly 0 the divisions by it are skipped.
void dsinit(double xke, double t, double tc, const DeepGeometry& g, double mdot,
            double nodedot, double xpidot, double& em, double& argpm,
            double& inclm, double& mm, double& nm, double& nodem, double& dndt) {
  Elsetrec& s = elsetrec;
  constexpr double q22 = 1.7891679e-6, q31 = 2.1460748e-6, q33 = 2.2123015e-7;
  constexpr double root22 = 1.7891679e-6, root44 = 7.3636953e-9,
                   root54 = 2.1765803e-9, root32 = 3.7393792e-7,
                   root52 = 1.1428639e-7;
  constexpr double znl = 1.5835218e-4, zns = 1.19459e-5;
  constexpr double low_incl = 5.2359877e-2;

  s.resonance = 0;
  if (nm < 0.0052359877 && nm > 0.0034906585) s.resonance = 1;
  if (nm >= 8.26e-3 && nm <= 9.24e-3 && em >= 0.5) s.resonance = 2;

  const double emsq = g.emsq, sinim = g.sinim, cosim = g.cosim;

  // Solar secular terms.
  const double ses = g.ss1 * zns * g.ss5;
  const double sis = g.ss2 * zns * (g.sz11 + g.sz13);
  const double sls = -zns * g.ss3 * (g.sz1 + g.sz3 - 14.0 - 6.0 * emsq);
  const double sghs = g.ss4 * zns * (g.sz31 + g.sz33 - 6.0);
  double shs = -zns * g.ss2 * (g.sz21 + g.sz23);
  if (inclm < low_incl || inclm > pi - low_incl) shs = 0.0;
  if (sinim != 0.0) shs = shs / sinim;
  const double sgs = sghs - cosim * shs;

  // Lunar secular terms.
  s.deep_e_rate = ses + g.s1 * znl * g.s5;
  s.deep_i_rate = sis + g.s2 * znl * (g.z11 + g.z13);
  s.deep_m_rate = sls - znl * g.s3 * (g.z1 + g.z3 - 14.0 - 6.0 * emsq);
  const double sghl = g.s4 * znl * (g.z31 + g.z33 - 6.0);
  double shll = -znl * g.s2 * (g.z21 + g.z23);
  if (inclm < low_incl || inclm > pi - low_incl) shll = 0.0;
  s.deep_perigee_rate = sgs + sghl;
  s.deep_node_rate = shs;
  if (sinim != 0.0) {
    s.deep_perigee_rate = s.deep_perigee_rate - cosim / sinim * shll;
    s.deep_node_rate = s.deep_node_rate + shll / sinim;
  }

  dndt = 0.0;
  const double theta = fmod2p(s.gst_epoch + tc * rptim);
  em = em + s.deep_e_rate * t;
  inclm = inclm + s.deep_i_rate * t;
  argpm = argpm + s.deep_perigee_rate * t;
  nodem = nodem + s.deep_node_rate * t;
  mm = mm + s.deep_m_rate * t;

  if (s.resonance == 0) return;
  const double aonv = std::pow(nm / xke, x2o3);  // 1/a

  if (s.resonance == 2) {
    // Half-day resonance: tesseral harmonics (2,2), (3,2), (4,4), (5,2), (5,4)
    // with eccentricity functions fitted in e of the element set.
    const double cosisq = cosim * cosim;
    const double e = s.eccentricity, esq = e * e;
    const double eoc = e * esq;
    const double g201 = -0.306 - (e - 0.64) * 0.440;
    double g211, g310, g322, g410, g422, g520, g521, g532, g533;
    if (e <= 0.65) {
      g211 = 3.616 - 13.2470 * e + 16.2900 * esq;
      g310 = -19.302 + 117.3900 * e - 228.4190 * esq + 156.5910 * eoc;
      g322 = -18.9068 + 109.7927 * e - 214.6334 * esq + 146.5816 * eoc;
      g410 = -41.122 + 242.6940 * e - 471.0940 * esq + 313.9530 * eoc;
      g422 = -146.407 + 841.8800 * e - 1629.014 * esq + 1083.4350 * eoc;
      g520 = -532.114 + 3017.977 * e - 5740.032 * esq + 3708.2760 * eoc;
    } else {
      g211 = -72.099 + 331.819 * e - 508.738 * esq + 266.724 * eoc;
      g310 = -346.844 + 1582.851 * e - 2415.925 * esq + 1246.113 * eoc;
      g322 = -342.585 + 1554.908 * e - 2366.899 * esq + 1215.972 * eoc;
      g410 = -1052.797 + 4758.686 * e - 7193.992 * esq + 3651.957 * eoc;
      g422 = -3581.690 + 16178.110 * e - 24462.770 * esq + 12422.520 * eoc;
      if (e <= 0.715)
        g520 = 1464.74 - 4664.75 * e + 3763.64 * esq;
      else
        g520 = -5149.66 + 29936.92 * e - 54087.36 * esq + 31324.56 * eoc;
    }
    if (e < 0.7) {
      g533 = -919.22770 + 4988.6100 * e - 9064.7700 * esq + 5542.21 * eoc;
      g521 = -822.71072 + 4568.6173 * e - 8491.4146 * esq + 5337.524 * eoc;
      g532 = -853.66600 + 4690.2500 * e - 8624.7700 * esq + 5341.4 * eoc;
    } else {
      g533 = -37995.780 + 161616.52 * e - 229838.20 * esq + 109377.94 * eoc;
      g521 = -51752.104 + 218913.95 * e - 309468.16 * esq + 146349.42 * eoc;
      g532 = -40023.880 + 170470.89 * e - 242699.48 * esq + 115605.82 * eoc;
    }
    const double sini2 = sinim * sinim;
    const double f220 = 0.75 * (1.0 + 2.0 * cosim + cosisq);
    const double f221 = 1.5 * sini2;
    const double f321 = 1.875 * sinim * (1.0 - 2.0 * cosim - 3.0 * cosisq);
    const double f322 = -1.875 * sinim * (1.0 + 2.0 * cosim - 3.0 * cosisq);
    const double f441 = 35.0 * sini2 * f220;
    const double f442 = 39.3750 * sini2 * sini2;
    const double f522 =
        9.84375 * sinim *
        (sini2 * (1.0 - 2.0 * cosim - 5.0 * cosisq) +
         0.33333333 * (-2.0 + 4.0 * cosim + 6.0 * cosisq));
    const double f523 = sinim * (4.92187512 * sini2 * (-2.0 - 4.0 * cosim + 10.0 * cosisq) +
                                 6.56250012 * (1.0 + 2.0 * cosim - 3.0 * cosisq));
    const double f542 = 29.53125 * sinim *
                        (2.0 - 8.0 * cosim + cosisq * (-12.0 + 8.0 * cosim + 10.0 * cosisq));
    const double f543 = 29.53125 * sinim *
                        (-2.0 - 8.0 * cosim + cosisq * (12.0 + 8.0 * cosim - 10.0 * cosisq));
    const double xno2 = nm * nm;
    const double ainv2 = aonv * aonv;
    double temp1 = 3.0 * xno2 * ainv2;
    double temp = temp1 * root22;
    s.res_2201 = temp * f220 * g201;
    s.res_2211 = temp * f221 * g211;
    temp1 = temp1 * aonv;
    temp = temp1 * root32;
    s.res_3210 = temp * f321 * g310;
    s.res_3222 = temp * f322 * g322;
    temp1 = temp1 * aonv;
    temp = 2.0 * temp1 * root44;
    s.res_4410 = temp * f441 * g410;
    s.res_4422 = temp * f442 * g422;
    temp1 = temp1 * aonv;
    temp = temp1 * root52;
    s.res_5220 = temp * f522 * g520;
    s.res_5232 = temp * f523 * g532;
    temp = 2.0 * temp1 * root54;
    s.res_5421 = temp * f542 * g521;
    s.res_5433 = temp * f543 * g533;
    s.res_lambda0 = fmod2p(s.mean_anomaly + s.ascending_node + s.ascending_node - theta - theta);
    s.res_factor = mdot + s.deep_m_rate + 2.0 * (nodedot + s.deep_node_rate - rptim) -
                   s.mean_motion;
  } else {
    // One-day resonance: tesseral harmonics (2,2), (3,1), (3,3).
    const double g200 = 1.0 + emsq * (-2.5 + 0.8125 * emsq);
    const double g310 = 1.0 + 2.0 * emsq;
    const double g300 = 1.0 + emsq * (-6.0 + 6.60937 * emsq);
    const double f220 = 0.75 * (1.0 + cosim) * (1.0 + cosim);
    const double f311 = 0.9375 * sinim * sinim * (1.0 + 3.0 * cosim) - 0.75 * (1.0 + cosim);
    double f330 = 1.0 + cosim;
    f330 = 1.875 * f330 * f330 * f330;
    double del1 = 3.0 * nm * nm * aonv * aonv;
    s.res_del2 = 2.0 * del1 * f220 * g200 * q22;
    s.res_del3 = 3.0 * del1 * f330 * g300 * q33 * aonv;
    s.res_del1 = del1 * f311 * g310 * q31 * aonv;
    s.res_lambda0 = fmod2p(s.mean_anomaly + s.ascending_node + s.perigee_argument - theta);
    s.res_factor = mdot + xpidot - rptim + s.deep_m_rate + s.deep_perigee_rate +
                   s.deep_node_rate - s.mean_motion;
  }

  // Integrator start at the epoch.
  s.res_lambda = s.res_lambda0;
  s.res_motion = s.mean_motion;
  s.res_time = 0.0;
  s.res_rates_set = 0;
  nm = s.mean_motion + dndt;
}

// dspace: luni-solar secular terms and the resonance integration.
// Given:    t, tc  double  minutes from epoch
// Given and returned:
//           em, argpm, inclm, mm, nodem  double  mean elements (rad),
//           advanced by the luni-solar rates; with a resonance mm is replaced
//           by the integrated value
//           nm  double  mean motion, rad/min (integrated with a resonance)
// State:    reads the deep-space fields of elsetrec; reads and writes the
//           integrator state res_time, res_lambda, res_motion and the rates
//           cached with it (res_ndot, res_nddot, res_ldot, res_rates_set).
// Failure:  a time that is not a finite number, or lies more than 1e8
//           minutes from the epoch, gets a mean anomaly and mean motion that
//           are not numbers (no integration is tried) with a resonance.
// Notes:    1. Fixed-step (720 min) second-order Taylor integration of the
//              resonant angle and mean motion on the grid of whole steps from
//              the epoch, then a Taylor step over the remainder.
//           2. Each step depends only on the grid point before it, so the
//              state left by an earlier call is the state a restart from the
//              epoch passes on its way to any time at least as far out on the
//              same side: the integration continues from it, and restarts
//              from the epoch only for a time nearer the epoch or across it.
//              The results are those of a restart, bit for bit; the cost of a
//              call is the steps between the two times.
void dspace(double t, double tc, double& em, double& argpm, double& inclm,
            double& mm, double& nodem, double& nm) {
  Elsetrec& s = elsetrec;
  constexpr double fasx2 = 0.13130908, fasx4 = 2.8843198, fasx6 = 0.37448087;
  constexpr double g22 = 5.7686396, g32 = 0.95240898, g44 = 1.8014998,
                   g52 = 1.0508330, g54 = 4.4108898;
  constexpr double stepp = 720.0, stepn = -720.0, step2 = 259200.0;
  // Farthest time from the epoch that is integrated, minutes (about 190
  // years: beyond every span of the two-digit epoch years, 1950 to 2049 as
  // the element reader dates them; at most 139000 steps).
  constexpr double max_resonance_minutes = 1.0e8;

  em = em + s.deep_e_rate * t;
  inclm = inclm + s.deep_i_rate * t;
  argpm = argpm + s.deep_perigee_rate * t;
  nodem = nodem + s.deep_node_rate * t;
  mm = mm + s.deep_m_rate * t;

  if (s.resonance == 0) return;

  // A time that is not a number or is infinite never comes within a step of
  // the grid: there is nothing to integrate. Nor is there for a time so far
  // from the epoch that the integration would take hundreds of thousands of
  // steps or more (a lost decimal point in a caller's time): no element set
  // describes an orbit centuries away, and the step count of a finite time
  // grows without bound.
  if (!std::isfinite(t) || std::fabs(t) > max_resonance_minutes) {
    mm = std::numeric_limits<double>::quiet_NaN();
    nm = mm;
    return;
  }

  // Continue from the stored grid point when the restart from the epoch would
  // pass through it: t on its side of the epoch and at least as far out. (The
  // epoch itself lies on every restart's way.) For such t every earlier grid
  // point k satisfies |t - k*step| >= 720 exactly, since the difference is
  // rounded from a value of at least 720.
  const bool resume = s.res_time == 0.0 || (s.res_time > 0.0 && t >= s.res_time) ||
                      (s.res_time < 0.0 && t <= s.res_time);
  if (!resume) {
    s.res_time = 0.0;
    s.res_motion = s.mean_motion;
    s.res_lambda = s.res_lambda0;
    s.res_rates_set = 0;
  }
  const double delt = t > 0.0 ? stepp : stepn;

  for (;;) {
    // Rates of mean motion and resonant angle at the grid point, computed
    // once per point and kept with the state.
    if (s.res_rates_set == 0) {
      const double xli = s.res_lambda, xni = s.res_motion;
      double xndt, xnddt;
      if (s.resonance != 2) {
        xndt = s.res_del1 * std::sin(xli - fasx2) +
               s.res_del2 * std::sin(2.0 * (xli - fasx4)) +
               s.res_del3 * std::sin(3.0 * (xli - fasx6));
        xnddt = s.res_del1 * std::cos(xli - fasx2) +
                2.0 * s.res_del2 * std::cos(2.0 * (xli - fasx4)) +
                3.0 * s.res_del3 * std::cos(3.0 * (xli - fasx6));
      } else {
        const double xomi = s.perigee_argument + s.perigee_rate * s.res_time;
        const double x2omi = xomi + xomi;
        const double x2li = xli + xli;
        xndt = s.res_2201 * std::sin(x2omi + xli - g22) + s.res_2211 * std::sin(xli - g22) +
               s.res_3210 * std::sin(xomi + xli - g32) +
               s.res_3222 * std::sin(-xomi + xli - g32) +
               s.res_4410 * std::sin(x2omi + x2li - g44) + s.res_4422 * std::sin(x2li - g44) +
               s.res_5220 * std::sin(xomi + xli - g52) +
               s.res_5232 * std::sin(-xomi + xli - g52) +
               s.res_5421 * std::sin(xomi + x2li - g54) +
               s.res_5433 * std::sin(-xomi + x2li - g54);
        xnddt = s.res_2201 * std::cos(x2omi + xli - g22) + s.res_2211 * std::cos(xli - g22) +
                s.res_3210 * std::cos(xomi + xli - g32) +
                s.res_3222 * std::cos(-xomi + xli - g32) +
                s.res_5220 * std::cos(xomi + xli - g52) +
                s.res_5232 * std::cos(-xomi + xli - g52) +
                2.0 * (s.res_4410 * std::cos(x2omi + x2li - g44) +
                       s.res_4422 * std::cos(x2li - g44) +
                       s.res_5421 * std::cos(xomi + x2li - g54) +
                       s.res_5433 * std::cos(-xomi + x2li - g54));
      }
      const double xldot = xni + s.res_factor;
      s.res_ndot = xndt;
      s.res_nddot = xnddt * xldot;
      s.res_ldot = xldot;
      s.res_rates_set = 1;
    }
    if (std::fabs(t - s.res_time) < stepp) break;
    const double xli = s.res_lambda, xni = s.res_motion;
    s.res_lambda = xli + s.res_ldot * delt + s.res_ndot * step2;
    s.res_motion = xni + s.res_ndot * delt + s.res_nddot * step2;
    s.res_time = s.res_time + delt;
    s.res_rates_set = 0;
  }

  // Greenwich sidereal angle at t: the resonant angle is measured from it.
  const double theta = fmod2p(s.gst_epoch + tc * rptim);
  const double xndt = s.res_ndot, xnddt = s.res_nddot, xldot = s.res_ldot;
  const double ft = t - s.res_time;
  nm = s.res_motion + xndt * ft + xnddt * ft * ft * 0.5;
  const double xl = s.res_lambda + xldot * ft + xndt * ft * ft * 0.5;
  if (s.resonance != 1)
    mm = xl - 2.0 * nodem + 2.0 * theta;
  else
    mm = xl - nodem - argpm + theta;
  const double dndt = nm - s.mean_motion;
  nm = s.mean_motion + dndt;
}

}  // namespace kest
