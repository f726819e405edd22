// Alexeev 2000 paraboloid model of the magnetosphere (external-model code 12).
//
// The magnetopause is a paraboloid of revolution about the Sun-Earth line
// whose nose lies at R1 (set by the solar-wind pressure and IMF Bz). Inside it
// the field is the sum of independent current systems, each written where its
// form is simplest: the Earth's dipole and the ring current with the
// magnetopause currents that shield them (a spherical-harmonic potential near
// Earth, a Bessel series in paraboloid coordinates farther out), the tail
// current sheet with its magnetopause closure (a Bessel series in paraboloid
// coordinates, evaluated at a point shifted along z by the tilt-dependent
// warping z0), the region-1 field-aligned currents on the polar-cap boundary,
// and a fraction of the interplanetary field that penetrates. The model's
// ten parameters (tilt, dipole strength, tail flux, ring-current field, region
// 1 intensity, R1, the inner edge R2 of the tail sheet and the IMF) follow
// from the date, the time and the solar-wind and geomagnetic drivers at every
// call.
//
// The model computes in single precision, as it was built; only the entry
// and champ's adaptor handle doubles. Nothing depends on an earlier call
// except the source switches and the last computed solar longitude.
//
// Paraboloid coordinates (lengths in units of R1): x/R1 = (alpha^2 -
// beta^2)/2 + 1/2, rho/R1 = alpha beta, with the azimuth phi about the x axis
// measured from +z towards +y. The magnetopause is alpha = 1, beta grows
// tailward. The spherical system used near Earth has its polar axis along +x.
#include <algorithm>
#include <cmath>
#include <limits>

#include "extfield/alexeev2000.hpp"
#include "extfield/alexeev2000_zeros.hpp"
#include "frame/conventions.hpp"
#include "extfield/champ_adaptors.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace kest::a2k {

Sm sm = {{1.0f, 0.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 0.0f}};
T2 t2;  // static storage: all but pi start at 0
T1 t1{};
S2 s2{};
S1 s1{};
T21 t21{};
Fac12 fac12{};
Tfac tfac{};
Cor1 cor1{};
Cor2 cor2{};
Cor3 cor3{};
Cor4 cor4{};
Imfd imfd{};
SunCache sun_cache{};

namespace {

// ---- Coefficient tables -------------------------------------------------------
// References: I. I. Alexeev and Yu. I. Feldstein, Modeling of geomagnetic
// field during magnetic storms and comparison with observations, J. Atmos.
// Sol.-Terr. Phys. 63, 431 (2001); I. I. Alexeev, E. S. Belenkaya and C. R.
// Clauer, A model of region 1 field-aligned currents dependent on ionospheric
// conductivity and solar wind parameters, J. Geophys. Res. 105, 21119 (2000).

// Near-region shielding of a dipole of unit strength at R1 = 1: the cos psi
// part S(1..6) and the sin psi part S(7..12) of the degree 1..6 potential.
constexpr float kS[12] = {0.649722636f,   0.216462076f,   0.0434291288f, -0.000846358016f,
                          -0.00491722487f, -0.00222440297f, 0.940280914f,  0.464989096f,
                          0.12928167f,    -0.0147655336f, -0.0169427544f, -0.0225597396f};

// Far-region shielding: the sin psi series (T_a, with the zeros of J1) and
// the cos psi series (T_b, with the zeros of J'_1).
constexpr float kTa[5] = {-94630.5312f, -10798057.0f, -652953024.0f, -3.01583811e10f,
                          -1.19816389e12f};
constexpr float kTb[5] = {-1318.69336f, -190097.984f, -9603382.0f, -369794432.0f,
                          -1.25022474e10f};

// Tail-current series [s][m] (s = 1..5 down, order n = 2m - 1 across):
// T_c for the region inside the inner edge of the sheet, T_d beyond it.
constexpr float kTc[5][6] = {
    {7.49366331f, 0.311953217f, 0.0170602221f, 0.00103359774f, 6.63334358e-05f, 4.42121382e-06f},
    {0.00577770779f, 0.000210370767f, 7.53850281e-06f, 3.01126789e-07f, 1.31397533e-08f,
     6.13862627e-10f},
    {1.86724483e-05f, 5.96518476e-07f, 1.71246697e-08f, 5.43331713e-10f, 1.89762771e-11f,
     7.17571673e-13f},
    {8.54530811e-08f, 2.57156096e-09f, 6.45145534e-11f, 1.75563372e-12f, 5.24527389e-14f,
     1.7016372e-15f},
    {4.43194342e-10f, 1.2695873e-11f, 2.88578813e-13f, 6.99784062e-15f, 1.85385879e-16f, 0.0f},
};
constexpr float kTd[5][6] = {
    {5.40613255e-05f, 0.00117552606f, 0.0201041922f, 0.314150602f, 4.67288017f, 67.3370361f},
    {0.00250590104f, 0.202158093f, 7.58793116f, 216.779907f, 5328.09229f, 118727.938f},
    {0.172159329f, 21.3628654f, 1157.198f, 45465.0625f, 1482947.12f, 42673480.0f},
    {14.7345324f, 2354.22266f, 161804.312f, 7916121.0f, 316102912.0f, 1.09744691e10f},
    {1367.45789f, 254342.531f, 20562944.0f, 1.1799049e09f, 5.49011128e10f, 2.20506463e12f},
};

// Dipole coefficients (g10, g11, h11) in nT at the epochs 1900, 1905, ...,
// 1995 (IGRF/DGRF), and the secular variation after 1995 in nT per year.
constexpr float kG[20][3] = {
    {-31543.0f, -2298.0f, 5922.0f}, {-31464.0f, -2298.0f, 5909.0f}, {-31354.0f, -2297.0f, 5898.0f},
    {-31212.0f, -2306.0f, 5875.0f}, {-31060.0f, -2317.0f, 5845.0f}, {-30926.0f, -2318.0f, 5817.0f},
    {-30805.0f, -2316.0f, 5808.0f}, {-30715.0f, -2306.0f, 5812.0f}, {-30654.0f, -2292.0f, 5821.0f},
    {-30594.0f, -2285.0f, 5810.0f}, {-30554.0f, -2250.0f, 5815.0f}, {-30500.0f, -2215.0f, 5820.0f},
    {-30421.0f, -2169.0f, 5791.0f}, {-30334.0f, -2119.0f, 5776.0f}, {-30220.0f, -2068.0f, 5737.0f},
    {-30100.0f, -2013.0f, 5675.0f}, {-29992.0f, -1956.0f, 5604.0f}, {-29873.0f, -1905.0f, 5500.0f},
    {-29775.0f, -1848.0f, 5406.0f}, {-29682.0f, -1789.0f, 5318.0f},
};
constexpr float kSV[3] = {17.6f, 13.0f, -18.3f};

constexpr float kDeg = 0.0174532924f;       // radians per degree
constexpr float kBetaSeam = 1.54919338f;    // sqrt(2.4): seam of the shielding forms
// The model's bound on beta inside the inner edge of the tail sheet, and the
// value put in its place: 174.673 is twice 87.3365, the magnitude of the
// logarithm of the smallest normal single-precision number. It is no bound of
// exp() in single precision (which overflows beyond 88.72 already). For the
// drivers the model is meant for, beta inside the inner edge stays far below
// it.
constexpr float kExpClamp = 174.673004f;
constexpr float kExpClamped = 174.669998f;

// Offset (Earth radii) given to y for a point on the x axis (or whose tail
// evaluation point, shifted by z0, is on it), where the azimuth about the
// axis is undefined: the field there is taken as its limit from +y, along the
// plane z = 0 (the tail current sheet when the tilt is 0).
constexpr float kAxisOffset = 1.0e-4f;

// Matrix-vector product w = M v, M stored column by column.
void pere(const float v[3], float w[3], const float m[9]) {
  for (int i = 0; i < 3; ++i) w[i] = m[i] * v[0] + m[i + 3] * v[1] + m[i + 6] * v[2];
}

// Paraboloid basis of the current point: columns e_beta, e_alpha, e_phi.
void pris(float m[9]) {
  const float a = cor1.alpha, b = cor1.beta, h = cor1.h;
  const float c = cor2.cos_phi, s = cor2.sin_phi;
  m[0] = -b / h;
  m[1] = a * s / h;
  m[2] = a * c / h;
  m[3] = a / h;
  m[4] = b * s / h;
  m[5] = b * c / h;
  m[6] = 0.0f;
  m[7] = c;
  m[8] = -s;
}

// Spherical basis about the x axis: columns e_r, e_theta, e_phi.
void spherical_basis(float m[9]) {
  const float ct = cor3.cos_t, st = cor3.sin_t;
  const float c = cor2.cos_phi, s = cor2.sin_phi;
  m[0] = ct;
  m[1] = st * s;
  m[2] = st * c;
  m[3] = -st;
  m[4] = ct * s;
  m[5] = ct * c;
  m[6] = 0.0f;
  m[7] = c;
  m[8] = -s;
}

}  // namespace

// ---- Date, tilt and parameters ------------------------------------------------

// idd: day of the year.
// Given:    year, month, day  int  calendar date
// Returned: day of year (1 January = 1)
// Notes:    1. Month numbers beyond 12 count 31 days for each further month.
int idd(int year, int month, int day) {
  static constexpr int kDays[11] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30};
  int total = day;
  for (int m = 1; m < month; ++m) total += m <= 11 ? kDays[m - 1] : 31;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  if (month > 2 && total > 59 && leap) ++total;
  return total;
}

// dipgarm: dipole coefficients of a year.
// Given:    year  int
// Returned: g(3)  float  g10, g11, h11, nT
// Notes:    1. Linear between the five-year epochs 1900..1995; from 1995 on,
//             the 1995 values plus the secular variation; 1896..1899
//             extrapolate from the 1900-1905 interval.
//           2. Years before 1896 (outside the table) take the 1900 values.
void dipgarm(int year, float g[3]) {
  if (year < 1896) year = 1900;
  const int k = (year - 1900) / 5;
  const int r = (year - 1900) - 5 * k;
  if (k > 18) {
    for (int i = 0; i < 3; ++i) g[i] = kG[19][i] + static_cast<float>(year - 1995) * kSV[i];
  } else {
    for (int i = 0; i < 3; ++i)
      g[i] = kG[k][i] + (kG[k + 1][i] - kG[k][i]) * 0.2f * static_cast<float>(r);
  }
}

// sun_a2000: ecliptic longitude of the sun.
// Given:    year, doy, hour, minute, second  int
// Returned: longitude, radians, in [0, 2 pi] (one subtraction of 2 pi above
//           it, so the single-precision 2 pi itself can come back)
// State:    sun_cache (the last computed longitude).
// Failure:  a year outside 1901..2099 computes nothing and returns the last
//           computed longitude (0 before any).
// Notes:    1. Day count from 1900 January 0.5 in double precision; mean
//             longitude and anomaly with the equation of centre to second
//             order.
float sun_a2000(int year, int doy, int hour, int minute, int second) {
  if (year <= 1900 || year >= 2100) return sun_cache.lambda;
  const double f = (3600.0 * hour + 60.0 * minute + second) * 1.1574074074074073e-05;
  const double d = 365.0 * (year - 1900) + (year - 1901) / 4 + doy - 0.5 + f;
  const float t = static_cast<float>(d * 2.7378507871321012e-05);
  const float vl = static_cast<float>(std::fmod(279.6966857910156 + 0.9856473207473755 * d, 360.0));
  const float g =
      static_cast<float>(std::fmod(358.475830078125 + 0.9856002926826477 * d, 360.0)) / 57.2957802f;
  float slong = (vl + (1.91946006f - 0.004789f * t) * std::sin(g) + 0.020094f * std::sin(2.0f * g)) /
                57.2957802f;
  if (slong > 6.28318548f) slong -= 6.28318548f;
  if (slong < 0.0f) slong += 6.28318548f;
  sun_cache.lambda = slong;
  return slong;
}

// trans: dipole tilt and dipole strength of a date and time.
// Given:    ut  float  time of day, hours; doy, year  int
// Returned: psi  float  tilt, degrees; bd  float  dipole strength, nT (< 0)
// State:    through sun_a2000, the solar-longitude cache.
// Notes:    1. psi is the angle of the dipole axis from the GSM z axis with
//             the opposite sign of the usual tilt: negative when the northern
//             end leans towards the sun.
//           2. UT is split into whole hours, minutes and seconds by
//             truncation before the solar longitude is computed.
//           3. A UT that is not a number, or whose hour count is beyond the
//             32-bit range, has no clock time: psi is then not a number, so
//             the field is not one either and champ refuses the point.
void trans(float ut, int doy, int year, float& psi, float& bd) {
  if (!(std::fabs(ut) < 2147483648.0f)) {
    psi = std::numeric_limits<float>::quiet_NaN();
    bd = psi;
    return;
  }
  const int h = static_cast<int>(ut);
  const float minutes = 60.0f * (ut - static_cast<float>(h));
  const int m = static_cast<int>(minutes);
  const int s = static_cast<int>(60.0f * (minutes - static_cast<float>(m)));
  const float slong = sun_a2000(year, doy, h, m, s);
  float g[3];
  dipgarm(year, g);
  const float g10 = g[0], g11 = g[1], h11 = g[2];
  bd = -std::sqrt(g10 * g10 + g11 * g11 + h11 * h11);
  const float theta_d = std::atan(-std::sqrt(g11 * g11 + h11 * h11) / g10);
  const float lambda_d = std::atan(h11 / g11) / kDeg;
  const float phi = (lambda_d + 15.0f * ut) * kDeg;
  const float sin_dec = std::sin(23.4419f * kDeg) * std::cos(1.57079625f - slong + 9.924e-5f);
  const float cos_dec = std::sqrt(1.0f - sin_dec * sin_dec);
  const float sin_psi = std::cos(phi) * std::sin(theta_d) * cos_dec - std::cos(theta_d) * sin_dec;
  psi = std::asin(sin_psi) / kDeg;
}

// submod: the ten model parameters from date, time and drivers.
// Given:    ut  float  hours; year, month, day  int
//           dens  float  solar-wind density, cm^-3 (> 0)
//           vel  float  solar-wind speed, km/s (> 0)
//           imf(3)  float  IMF, nT (Bz sets R1 and the region-1 intensity)
//           dst, al  float  Dst and AL, nT
// Returned: par(10)  float  psi (deg), bd (nT), tail flux, b_r (nT), region-1
//           intensity (MA), R1, R2 (Earth radii), IMF x, y, z (nT)
void submod(float ut, int year, int month, int day, float dens, float vel, const float imf[3],
            float dst, float al, float par[10]) {
  const int doy = idd(year, month, day);
  float psi, bd;
  trans(ut, doy, year, psi, bd);
  const float bz = imf[2];
  const float pdyn = 1.67e-6f * dens * vel * vel;  // nPa
  const float k = bz >= 0.0f ? 0.013f : 0.14f;
  const float r1 = std::pow(pdyn, -0.151515156f) * (11.4f + k * bz);
  float r2;
  if (dst >= -10.0f) {
    r2 = 0.7f * r1;
  } else {
    // Equatorward edge of the auroral oval moves down with |Dst|; the sheet's
    // inner edge is the equatorial distance of that dipole field line.
    const float lat = (74.9f - 8.6f * std::log10(-dst)) * 3.14159989f * 0.00555555569f;
    const float c = std::cos(lat);
    r2 = 1.0f / (c * c);
  }
  const float phi_inf = 1.57079995f * r1 * r1 * std::sqrt(2.0f * r2 / r1 + 1.0f) *
                            (-al * 0.142857149f) * 6.37816f * 6.37816f * 1000.0f +
                        395982784.0f;
  const float b_r = dst < 0.0f ? dst - 10.0f : -10.0f;
  float start = 0.327744f;
  if (bz <= -1.61133f) start = -bz * 1.017f * 0.2f;
  const float i1 = std::sqrt(400.0f / vel) * (2.0f * start) * std::pow(5.0f / dens, 0.125f);
  par[0] = psi;
  par[1] = bd;
  par[2] = phi_inf;
  par[3] = b_r;
  par[4] = i1;
  par[5] = r1;
  par[6] = r2;
  par[7] = imf[0];
  par[8] = imf[1];
  par[9] = imf[2];
}

// ---- Source constants -----------------------------------------------------------

// masring: ring-current constants from its radius and its field at Earth.
// State:    reads t21 (four, rho_r, b_r); writes t21 (a_r, m_r, c_r, 64).
// Notes:    1. A_r is chosen so that the ring's field at the centre is b_r.
void masring() {
  const float rho = t21.rho_r;
  const float q = rho / (2.0f * t21.four);
  const float q2 = q * q;
  const float q5 = q2 * q2 * q;
  t21.m_r = q5 / std::pow(q2 + 1.0f, 2.5f);
  t21.c_r = t21.m_r / (rho * rho * rho * q2);
  t21.sixty_four = t21.four * t21.four * t21.four;
  t21.a_r = (q2 * rho * rho * rho * t21.b_r * 0.5f) / (q5 - t21.m_r);
}

// mas2d: coefficients of the far shielding and of the tail series.
// State:    reads t2, the Bessel zeros; writes s2, s1, t2 (k_stretch, c_log,
//           scale, beta_b).
// Notes:    1. The tail coefficients join the inside (I_n) and the beyond
//             (K_n) forms at the inner edge beta = alpha0 of the sheet.
void mas2d() {
  const float r1 = t2.r1;
  const float a0 = t2.alpha0;
  const float q = 10.0f / r1;
  const float f = q * q * q * t2.b0p * (-3.20512809e-05f);
  for (int i = 0; i < 5; ++i) {
    s2.s[i] = t2.sin_psi * kTa[i] * f;
    s2.s[5 + i] = t2.cos_psi * kTb[i] * f;
    s2.s[10 + i] = kLambda[i][0] * s2.s[5 + i];
  }
  const float g = t2.b_t * 0.025f;
  for (int m = 0; m < 6; ++m) {
    const int n = 2 * m + 1;
    for (int s = 0; s < 5; ++s) {
      const float lam = kLambda[s][m];
      float x1 = kBetaSeam * lam;
      float x2 = a0 * lam;
      float k1, k2, dk, i1, i2, di;
      besk(n, x1, k1, dk);
      besk(n, x2, k2, dk);
      besm(n, x1, i1, di);
      besm(n, x2, i2, di);
      const float ratio_i = std::exp(x2 - x1) * i2 / i1;
      s1.c_near[m][s] = g * kTc[s][m] * a0 * k2 / (k1 * kBetaSeam);
      s1.c_far[m][s] = g * kTd[s][m] * a0 * ratio_i / kBetaSeam;
      s1.lc_near[m][s] = lam * s1.c_near[m][s];
      s1.lc_far[m][s] = lam * s1.c_far[m][s];
    }
  }
  t2.beta_b = kBetaSeam;
  t2.c_log = t2.b_t * 61.9677353f * 0.025f * a0 / kBetaSeam;
  t2.scale = 1.0e7f;
  const float p = t2.psi_deg * 0.0333333351f;
  t2.k_stretch = p * p * 0.2f + 1.0f;
}

// mas1d: all source constants of a parameter set.
// Given:    phi_inf  float  tail lobe flux; b_r  float  ring field at Earth,
//           nT; r1, r2  float  magnetopause and sheet edge distances, Earth radii
// State:    reads t2 (psi_deg, bd), fac12.intensity; writes t2, t1, s2, s1,
//           t21, fac12.
// Requires: a_field's storing of psi, bd, R1 and the region-1 intensity.
void mas1d(float phi_inf, float b_r, float r1, float r2) {
  t2.r1 = r1;
  const float a0 = std::sqrt(2.0f * r2 / r1 + 1.0f);
  t2.alpha0 = a0;
  t2.b_t = phi_inf / (r1 * (r1 * 1.57079995f) * a0 * 6.37816f * 6.37816f * 1000.0f);
  const float psi = t2.psi_deg * 3.1415925f * 0.00555555569f;
  t2.cos_psi = std::cos(psi);
  t2.sin_psi = std::sin(psi);
  const float sp = t2.sin_psi, cp = t2.cos_psi;
  t2.z0 = 2.0f * r1 * sp * cp / (sp * sp + 3.0f);
  // Polar cap: the flux of the tail lobe leaves the ionosphere inside the
  // colatitude theta_pc.
  const float u = phi_inf * 3.91235304f / std::fabs(t2.bd) * 1.0e-6f;
  fac12.theta_pc = std::asin(std::sqrt(u)) * 180.0f / 3.1415925f;
  fac12.intensity = (std::sqrt(1.0f - u) + 1.0f) * (0.5f * fac12.intensity);
  t21.four = 4.0f;
  t21.b_r = b_r;
  t21.rho_r = r2 >= 6.0f ? 6.0f : r2;
  masring();
  t2.b0p = t21.m_r * t21.a_r + t2.bd;
  t2.bd_over_b0p = t2.bd / t2.b0p;
  mas2d();
  float rn = r1 * r1;
  for (int n = 1; n <= 6; ++n) {
    rn *= r1;  // R1^(n + 2)
    t1.a[n - 1] = t2.b0p / rn * kS[n - 1] * cp;
    t1.b[n - 1] = t2.b0p / rn * kS[5 + n] * sp;
  }
}

// ---- Coordinates -------------------------------------------------------------------

// paraboloid_coords: paraboloid coordinates and azimuth of a point.
// Given:    x, y, z  float  GSM, Earth radii
// State:    reads t2.r1; writes cor1, cor2, cor3.r.
// Notes:    1. On the x axis the azimuth is taken as 0 (cos 1, sin 0).
//           2. The coordinate that vanishes on the x axis is computed from
//             alpha^2 beta^2 = (rho/R1)^2, without cancellation.
void paraboloid_coords(float x, float y, float z) {
  const float r1 = t2.r1;
  const float rho = std::sqrt(y * y + z * z);
  const float r = std::sqrt(x * x + y * y + z * z);
  cor3.r = r;
  if (rho > 0.0f) {
    cor2.cos_phi = z / rho;
    cor2.sin_phi = y / rho;
  } else {
    cor2.cos_phi = 1.0f;
    cor2.sin_phi = 0.0f;
  }
  const float f = x / r1 - 0.5f;
  const float rr = r / r1;
  const float g = std::sqrt(std::fabs(rr * rr - f - 0.25f));
  // alpha^2 = g + f and beta^2 = g - f, with (g + f)(g - f) = (rho/R1)^2:
  // the smaller of the two is taken from the product, since the difference
  // of g and |f| loses every digit near the x axis (alpha would come out 0
  // on the tail side, beta on the day side).
  const float rho1 = rho / r1;
  float a2, b2;
  if (f < 0.0f) {
    b2 = g - f;
    a2 = rho1 * rho1 / b2;
  } else {
    a2 = g + f;
    b2 = a2 > 0.0f ? rho1 * rho1 / a2 : 0.0f;
  }
  cor1.alpha = std::sqrt(a2);
  cor1.beta = std::sqrt(b2);
  cor1.h2 = cor1.alpha * cor1.alpha + cor1.beta * cor1.beta;
  cor1.h = std::sqrt(cor1.h2);
  cor1.ab = cor1.alpha * cor1.beta;
}

// ---- Dipole, shielding and ring current ---------------------------------------------

// bdipc: dipole field in Cartesian GSM components.
// Given:    x(3)  float  GSM, Earth radii; m  float  strength, nT (sign included)
// Returned: b(3)  float  nT
// State:    reads t2 (cos_psi, sin_psi). Axis (-sin psi, 0, cos psi).
void bdipc(const float x[3], float m, float b[3]) {
  const float r2 = x[0] * x[0] + x[1] * x[1] + x[2] * x[2];
  const float r = std::sqrt(r2);
  const float q = x[2] * t2.cos_psi - x[0] * t2.sin_psi;
  const float f = m / (r2 * r2 * r);
  b[0] = f * (r2 * t2.sin_psi + 3.0f * x[0] * q);
  b[1] = f * (3.0f * x[1] * q);
  b[2] = f * (3.0f * x[2] * q - r2 * t2.cos_psi);
}

// bdip: the same dipole in spherical components (r, theta, phi) about +x.
// Given:    m  float  strength, nT
// Returned: b(3)  float  nT
// State:    reads cor2, cor3, t2.
void bdip(float b[3], float m) {
  const float c = cor3.cos_t, s = cor3.sin_t, r = cor3.r;
  const float cp = t2.cos_psi, sp = t2.sin_psi;
  const float r3 = r * r * r;
  b[0] = 2.0f * m * (s * cor2.cos_phi * cp - c * sp) / r3;
  b[1] = -m * (s * sp + c * cor2.cos_phi * cp) / r3;
  b[2] = m * cp * cor2.sin_phi / r3;
}

// beg: near-region shielding field of the dipole plus ring-current moment.
// Returned: b(3)  float  spherical components (r, theta, phi), nT
// State:    reads cor2, cor3, t1.
// Notes:    1. The gradient of U = sum_{n=1..6} r^n (b_n P_n(c) - a_n s
//             P'_n(c) cos phi), c = cos theta, s = sin theta.
void beg(float b[3]) {
  const float c = cor3.cos_t, s = cor3.sin_t, r = cor3.r;
  float p[7], dp[8];
  p[0] = 1.0f;
  p[1] = c;
  for (int n = 2; n <= 6; ++n)
    p[n] = ((2.0f * n - 1.0f) * c * p[n - 1] - (n - 1.0f) * p[n - 2]) / static_cast<float>(n);
  dp[0] = 0.0f;
  dp[1] = 1.0f;
  dp[2] = 3.0f * c;
  for (int n = 2; n <= 6; ++n)
    dp[n + 1] = ((2.0f * n + 1.0f) * c * dp[n] - (n + 1.0f) * dp[n - 1]) / static_cast<float>(n);
  float s1 = 0.0f, s2s = 0.0f, s3 = 0.0f, s4 = 0.0f, s5 = 0.0f;
  for (int n = 6; n >= 1; --n) {
    const float fn = static_cast<float>(n);
    const float an = t1.a[n - 1], bn = t1.b[n - 1];
    s1 = s1 * r + fn * bn * p[n];
    s2s = s2s * r + bn * dp[n];
    s3 = s3 * r + fn * an * dp[n];
    s4 = s4 * r + an * dp[n];
    s5 = s5 * r + fn * an * dp[n + 1];
  }
  b[0] = s1 - s * cor2.cos_phi * s3;
  b[1] = cor2.cos_phi * ((s3 + s4) * c - s5) - s * s2s;
  b[2] = s4 * cor2.sin_phi;
}

// flyd: far-region field of the dipole plus ring-current moment with its
// shielding.
// Returned: b(3)  float  paraboloid components (beta, alpha, phi), nT
// State:    reads cor1, cor2, s2, the Bessel zeros.
// Notes:    1. A potential series J(kappa alpha) K(kappa beta) whose alpha
//             derivative vanishes on alpha = 1 (kappa zeros of J1 and J'_1).
//           2. On the x axis (alpha beta = 0) the azimuthal component is 0.
void flyd(float b[3]) {
  const float a = cor1.alpha, be = cor1.beta;
  float sb1 = 0.0f, sb2 = 0.0f, sa1 = 0.0f, sa2 = 0.0f, sp = 0.0f;
  for (int i = 0; i < 5; ++i) {
    const float mu = kMu[i];
    const float lam = kLambda[i][0];
    const float ma = mu * a, mb = mu * be;
    const float j0 = besj0(ma), j1 = besj1(ma), k0 = besk0(mb), k1 = besk1(mb);
    float jl, djl, kl, dkl;
    bess(1, lam * a, jl, djl);
    besk(1, lam * be, kl, dkl);
    sb1 += s2.s[i] * j0 * k1;
    sb2 += s2.s[10 + i] * jl * dkl;
    sa1 += s2.s[i] * j1 * k0;
    sa2 += s2.s[10 + i] * djl * kl;
    sp += s2.s[5 + i] * jl * kl;
  }
  b[0] = (sb1 - cor2.cos_phi * sb2) / cor1.h;
  b[1] = (sa1 - cor2.cos_phi * sa2) / cor1.h;
  b[2] = cor1.ab != 0.0f ? cor2.sin_phi * sp / cor1.ab : 0.0f;
}

// bring1: interior correction of the ring-current field.
// Returned: b(3)  float  spherical components, nT; p, q  float  the radial
//           factors F4 (of B_r) and F2 (of B_theta, B_phi)
// State:    reads cor2, cor3, t2, t21.
// Notes:    1. F4 vanishes at the ring radius; the correction keeps div B = 0.
void bring1(float b[3], float& p, float& q) {
  float d[3];
  bdip(d, t21.a_r);
  const float r = cor3.r;
  const float r3 = r * r * r;
  const float dd = t21.sixty_four + r * r;
  const float g = r3 / (dd * std::sqrt(dd));
  const float h = t21.c_r * r3;
  p = g - h - t21.m_r;
  q = 3.0f * (h - t21.sixty_four * g / dd) + p;
  b[0] = p * d[0];
  b[1] = q * d[1];
  b[2] = q * d[2];
}

// bring: ring-current field.
// Returned: b(3)  float  spherical components (r, theta, phi), nT
// State:    reads cor2, cor3, t2, t21.
// Notes:    1. A dipole of moment m_r A_r outside the ring radius; inside,
//             the correction of bring1 makes the field at the centre b_r
//             along the dipole axis.
void bring(float b[3]) {
  bdip(b, t21.m_r * t21.a_r);
  if (cor3.r <= t21.rho_r) {
    float c[3], p, q;
    bring1(c, p, q);
    b[0] += c[0];
    b[1] += c[1];
    b[2] += c[2];
  }
}

// ---- Tail current -----------------------------------------------------------------------

// dery4d: field of the tail current system at the shifted point.
// Returned: b(3)  float  paraboloid components (beta, alpha, phi), nT
// State:    reads cor1, cor2 (of the point shifted by z0), t2, s1, sm(8).
// Failure:  beta beyond 174.673004 inside the inner edge writes " GRAND
//           EXP-DERY,AL=" with beta (E12.5) and goes on with 174.669998.
// Notes:    1. Odd azimuthal orders n = 1..11 with alternating signs: the
//             Fourier series of the lobe field's reversal across the sheet.
//           2. Beyond the inner edge a logarithmic term carries the part of
//             the lobe field that the series cannot; it changes sign across
//             the sheet and vanishes exactly on it.
//           3. The switch turns the tail on only at exactly 1.
void dery4d(float b[3]) {
  if (sm.v[7] != 1.0f) {
    b[0] = b[1] = b[2] = 0.0f;
    return;
  }
  float be = cor1.beta;
  const float a = cor1.alpha, h = cor1.h;
  const float cphi = cor2.cos_phi, sphi = cor2.sin_phi;
  const bool beyond = be > t2.alpha0;
  float lg = 0.0f;
  if (beyond) {
    if (cphi > 0.0f)
      lg = t2.c_log / (be * be);
    else if (cphi < 0.0f)
      lg = -t2.c_log / (be * be);
  } else if (be > kExpClamp) {
    msg(("GRAND EXP-DERY,AL=" + fortran_e12_5(be)).c_str());
    be = kExpClamped;
  }
  const float cos2 = 2.0f * cphi * cphi - 1.0f;
  const float sin2 = 2.0f * sphi * cphi;
  float cn = cphi, sn = -sphi;  // angle -phi; each order adds 2 phi
  float sum_a = 0.0f, sum_b = 0.0f, sum_c = 0.0f;
  float sign = 1.0f;
  for (int m = 0; m < 6; ++m) {
    const int n = 2 * m + 1;
    const float c_next = cn * cos2 - sn * sin2;
    sn = sn * cos2 + cn * sin2;
    cn = c_next;
    float sw1 = 0.0f, sw = 0.0f, sj = 0.0f;
    for (int s = 0; s < 5; ++s) {
      const float lam = kLambda[s][m];
      float xx = lam * be;
      float w, w1, c1, c2;
      if (beyond) {
        float k, dk;
        besk(n, xx, k, dk);
        w = t2.scale * k;
        w1 = t2.scale * dk;
        c1 = s1.c_far[m][s];
        c2 = s1.lc_far[m][s];
      } else {
        float i, di;
        besm(n, xx, i, di);
        const float e = std::exp(xx - 16.1180954f);
        w = e * i;
        w1 = e * di;
        c1 = s1.c_near[m][s];
        c2 = s1.lc_near[m][s];
      }
      float j, dj;
      bess(n, lam * a / t2.k_stretch, j, dj);
      sw1 += c2 * j * w1;
      sw += c2 * dj * w;
      sj += c1 * j * w;
    }
    const float fn = static_cast<float>(n);
    sum_a += sign * (cn / fn) * sw1;
    sum_b += sign * (cn / fn) * sw;
    sum_c += sign * sn * sj;
    sign = -sign;
  }
  if (!beyond) {
    sum_a *= 1.0e7f;
    sum_b *= 1.0e7f;
    sum_c *= 1.0e7f;
  }
  b[0] = (-sum_a - lg * be) / h;
  b[1] = -sum_b / h;
  b[2] = cor1.ab != 0.0f ? sum_c / cor1.ab : 0.0f;
}

// ---- Region-1 field-aligned currents -------------------------------------------------------

// bfac: region-1 field in SM spherical components.
// Returned: b(3)  float  (B_r, B_Theta, B_Phi), nT
// State:    reads cor3.r, cor4, tfac (theta_pc_deg, amperes), t2.r1; writes
//           tfac (sin_pc, cos_pc, a_cap, a_out).
// Notes:    1. Zero at and inside r = 1 and at and beyond R1. Currents flow
//             radially on the cone Theta = theta_pc (and its southern
//             mirror); the field is curl-free on either side.
void bfac(float b[3]) {
  const float th = 3.1415925f * tfac.theta_pc_deg * 0.00555555569f;
  tfac.sin_pc = std::sin(th);
  tfac.cos_pc = std::cos(th);
  const float a = tfac.amperes * 9.8e-5f / tfac.sin_pc;
  tfac.a_cap = a;
  tfac.a_out = (1.0f - tfac.cos_pc) * a;
  b[0] = b[1] = b[2] = 0.0f;
  const float r = cor3.r;
  if (r <= 1.0f || r >= t2.r1) return;
  const float ct = cor4.cos_th, st = cor4.sin_th;
  const float cp = cor4.cos_ph, sp = cor4.sin_ph;
  if (st > tfac.sin_pc) {
    const float f = tfac.a_out / r / (st * st);
    b[1] = cp * f;
    b[2] = sp * ct * f;
  } else if (ct > 0.0f) {
    const float f = a / r / (1.0f + ct);
    b[1] = cp * f;
    b[2] = -sp * f;
  } else {
    const float f = a / r / (1.0f - ct);
    b[1] = cp * f;
    b[2] = sp * f;
  }
}

// fac: region-1 field at a GSM point.
// Given:    x(3)  float  GSM, Earth radii
// Returned: b(3)  float  GSM field, nT; z(3)  float  set to 0
// State:    reads fac12, t2, sm(9); writes tfac, cor3.r, cor4, sm(10) = 0.
void fac(const float x[3], float b[3], float z[3]) {
  b[0] = b[1] = b[2] = 0.0f;
  z[0] = z[1] = z[2] = 0.0f;
  tfac.theta_pc_deg = fac12.theta_pc;
  tfac.amperes = fac12.intensity * 1.0e6f;
  const float cp = t2.cos_psi, sp = t2.sin_psi;
  const float xs = cp * x[0] + sp * x[2];
  const float ys = x[1];
  const float zs = -sp * x[0] + cp * x[2];
  const float r = std::sqrt(x[0] * x[0] + x[1] * x[1] + x[2] * x[2]);
  cor3.r = r;
  cor4.cos_th = zs / r;
  // On the axis zs / r may round above 1: the radicand is held at 0 rather
  // than made negative, so that no square root of a negative number (an
  // invalid operation, which a host trapping them would stop on) is taken;
  // 0 takes the branch below just as that NaN did.
  cor4.sin_th = std::sqrt(std::max(0.0f, 1.0f - cor4.cos_th * cor4.cos_th));
  // Within a few degrees of the SM pole 1 - cos^2 cancels in single
  // precision (a point 0.001 Earth radii off the axis at r = 4 got sin Theta
  // wrong by a third, and the cap field by a half). There the colatitude and
  // the azimuth come from the distance to the axis instead, which keeps
  // (cos Phi, sin Phi) a unit pair; on the axis itself Phi = 0.
  if (!(cor4.sin_th >= 0.1f)) {
    const float rho = std::sqrt(xs * xs + ys * ys);
    cor4.sin_th = rho / r;
    cor4.cos_ph = rho != 0.0f ? xs / rho : 1.0f;
    cor4.sin_ph = rho != 0.0f ? ys / rho : 0.0f;
  } else {
    cor4.cos_ph = xs / (r * cor4.sin_th);
    cor4.sin_ph = ys / (r * cor4.sin_th);
  }
  sm.v[9] = 0.0f;
  if (sm.v[8] == 0.0f) return;
  float bs[3];
  bfac(bs);
  const float ct = cor4.cos_th, st = cor4.sin_th, cf = cor4.cos_ph, sf = cor4.sin_ph;
  const float v[3] = {bs[0] * st * cf + bs[1] * ct * cf - bs[2] * sf,
                      bs[0] * st * sf + bs[1] * ct * sf + bs[2] * cf, bs[0] * ct - bs[1] * st};
  // SM to GSM: columns (cos psi, 0, sin psi), (0, 1, 0), (-sin psi, 0, cos psi).
  const float m[9] = {cp, 0.0f, sp, 0.0f, 1.0f, 0.0f, -sp, 0.0f, cp};
  pere(v, b, m);
}

// ---- Field sum ---------------------------------------------------------------------------------

// field: the seven sources and their sum at a GSM point.
// Given:    x(3)  float  GSM, Earth radii
// Returned: src(7,3)  float  dipole, ring current, tail, dipole shielding,
//           ring shielding, region-1, IMF penetration (GSM, nT);
//           total(3)  float  their sum
// State:    reads the source constants and switches; writes cor1..cor4,
//           and through the region-1 field tfac and switch element 10.
// Requires: mas1d for the parameter set.
// Notes:    1. The tail is evaluated at the point shifted by z0 along z.
//           2. The shielded dipole uses the spherical-harmonic form for
//             beta < 1.54919338 and the Bessel form (minus the dipole) beyond.
//           3. The ring current is given in spherical components and is
//             turned to GSM with the spherical basis in both regions.
//           4. A point on the x axis (or whose shifted point is) is evaluated
//             1e-4 Earth radii off the axis in +y, where the azimuth exists.
void field(const float x[3], float src[7][3], float total[3]) {
  const float xx = x[0], zz = x[2];
  float yy = x[1];
  if (yy == 0.0f && (zz == 0.0f || zz + t2.z0 == 0.0f)) yy = kAxisOffset;
  const float xp[3] = {xx, yy, zz};

  // Polar angle from +x of the point itself (kept through both passes).
  const float r = std::sqrt(xx * xx + yy * yy + zz * zz);
  cor3.cos_t = xx / r;
  cor3.sin_t = std::sqrt(yy * yy + zz * zz) / r;

  float m[9], v[3];
  // Tail current at the shifted point, in its own paraboloid basis.
  paraboloid_coords(xx, yy, zz + t2.z0);
  dery4d(v);
  pris(m);
  pere(v, src[2], m);

  // Everything else at the point itself.
  paraboloid_coords(xx, yy, zz);
  float dip[3], bsh[3];
  bdipc(xp, t2.b0p, dip);
  float sph[9];
  spherical_basis(sph);
  if (cor1.beta < t2.beta_b) {
    beg(v);
    pere(v, bsh, sph);
  } else {
    flyd(v);
    pris(m);
    float w[3];
    pere(v, w, m);
    for (int i = 0; i < 3; ++i) bsh[i] = w[i] - dip[i];
  }
  bring(v);
  pere(v, src[1], sph);

  for (int i = 0; i < 3; ++i) {
    src[0][i] = dip[i] * sm.v[4] * t2.bd_over_b0p;
    src[3][i] = sm.v[6] * bsh[i] * t2.bd_over_b0p;
    src[4][i] = bsh[i] - src[3][i];
  }
  src[6][0] = sm.v[2] * 0.0116f * imfd.b[0];
  src[6][1] = sm.v[2] * 0.0978f * imfd.b[1];
  src[6][2] = sm.v[2] * 0.0978f * imfd.b[2];
  float zf[3];
  fac(xp, src[5], zf);

  for (int i = 0; i < 3; ++i)
    total[i] = ((src[5][i] + src[6][i]) + src[1][i]) +
               (src[2][i] + ((src[3][i] + src[4][i]) + src[0][i]));
}

// a_field: sources and total field for a point and a parameter set.
// Given:    x(3)  float  GSM, Earth radii; par(10)  float  as submod gives
// Returned: b(3)  float  total field (GSM, nT); src(7,3) as field gives
// State:    writes t2 (psi_deg, bd, r1), fac12.intensity, imfd and, through
//           mas1d and field, every other record of the model.
void a_field(const float x[3], const float par[10], float b[3], float src[7][3]) {
  t2.psi_deg = par[0];
  t2.bd = par[1];
  fac12.intensity = par[4];
  t2.r1 = par[5];
  imfd.b[0] = par[7];
  imfd.b[1] = par[8];
  imfd.b[2] = par[9];
  mas1d(par[2], par[3], par[5], par[6]);
  field(x, src, b);
}

}  // namespace kest::a2k

namespace kest {

// ---- champ's adaptor ---------------------------------------------------------------------------

// a2000_champ: the model for champ, from the drivers of the set-up.
// Given:    x(3)  double  GSM, Earth radii
// Returned: b(3)  double  external field, GSM, nT
// State:    reads drivers (dens, vel, dst, bzimf, al) and a2000_time.
// Notes:    1. The drivers hold no IMF Bx, and the set-up of code 12 copies no
//             By, so the IMF handed to the model is (0, 0, Bz): the model then
//             depends on Bz alone, and no stale By of another model leaks in.
void a2000_champ(double* x, double* b) {
  const Drivers& d = drivers;
  float ro = static_cast<float>(d.dens);
  float v = static_cast<float>(d.vel);
  float imf[3] = {0.0f, 0.0f, static_cast<float>(d.bzimf)};
  float dst = static_cast<float>(d.dst);
  float al = static_cast<float>(d.al);
  float xs[3] = {static_cast<float>(x[0]), static_cast<float>(x[1]), static_cast<float>(x[2])};
  float bm[3];
  a2000_(&ro, &v, imf, &dst, &al, xs, bm);
  b[0] = bm[0];
  b[1] = bm[1];
  b[2] = bm[2];
}

}  // namespace kest

// a2000: the Alexeev 2000 external field at one point.
// Given:    ro  float  solar-wind density, cm^-3 (> 0)
//           v  float  solar-wind speed, km/s (> 0)
//           bimf(3)  float  IMF, GSM, nT (all three penetrate; Bz also sets
//           R1 and the region-1 intensity)
//           dst, al  float  Dst and AL, nT
//           x(3)  float  GSM position, Earth radii
// Returned: bm(3)  float  external field, GSM, nT (the model's total without
//           its own dipole; 0 outside the magnetopause)
// State:    reads a2000_time (ut_a2000 in hours, year, month, day) and the
//           switches; writes the solar-longitude cache and, for a point
//           inside the magnetopause, every other working record of the
//           model and switch element 10.
// Requires: a2000_time set for the time (the field-model set-up).
// Failure:  none reported; inputs are not tested.
// Notes:    1. The magnetopause is x + (y^2 + z^2) / (2 R1) = R1; a point on
//             it counts as inside.
//           2. The time of day is taken in hours as the set-up stores it.
// References: I. I. Alexeev, E. S. Belenkaya, V. V. Kalegaev, Y. I.
//           Feldstein and A. Grafe, J. Geophys. Res. 101, 7737 (1996);
//           Alexeev and Feldstein, J. Atmos. Sol.-Terr. Phys. 63, 431 (2001).
extern "C" void a2000_(float* ro, float* v, float* bimf, float* dst, float* al, float* x,
                       float* bm) {
  using namespace kest::a2k;
  const kest::A2000Time& t = kest::a2000_time;
  const float ut = static_cast<float>(t.ut_a2000);
  float par[10];
  submod(ut, t.year, t.month, t.day, *ro, *v, bimf, *dst, *al, par);
  const float r1 = par[5];
  if (x[0] + (x[1] * x[1] + x[2] * x[2]) * (0.5f / r1) > r1) {
    bm[0] = bm[1] = bm[2] = 0.0f;
    return;
  }
  float b[3], src[7][3];
  a_field(x, par, b, src);
  for (int i = 0; i < 3; ++i) bm[i] = b[i] - src[0][i];
}

// pstatus: set the source switches.
// Given:    s5, s6, s8, s4, s7, s9, s3  float  values of switch elements 5
//           (dipole), 6, 8 (tail), 4, 7 (dipole share of the shielding), 9
//           (region 1) and 3 (IMF)
// State:    writes sm (and clears element 10).
extern "C" void pstatus_(float* s5, float* s6, float* s8, float* s4, float* s7, float* s9,
                         float* s3) {
  float* sm = kest::a2k::sm.v;
  sm[4] = *s5;
  sm[5] = *s6;
  sm[7] = *s8;
  sm[3] = *s4;
  sm[6] = *s7;
  sm[8] = *s9;
  sm[2] = *s3;
  sm[9] = 0.0f;
}
