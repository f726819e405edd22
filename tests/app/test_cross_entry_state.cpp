// The library keeps its model state in global records (the IGRF epoch and the
// sun and dipole axes, the selected external model and its drivers, the model
// caches of every field and atmosphere generation, the element record of
// SGP4, the tables of the flux models). A program calls its entries in any
// order; what an entry returns for its arguments must not depend on what ran
// before it. Each call below is made once in a process in which nothing has
// run (the reference), then many times in this process: in the table's
// order, reversed, in shuffled orders, after every other call of the table,
// and after calls with hostile arguments. Every output must be that of the
// call made alone, bit for bit.
//
// The calls stay clear of what is carried between calls by design: the
// drift-shell memory that drift_shell reads after an L*; the switches shared
// by the MSIS generations (a unit sets its own before a direct model call),
// the unit setters and the model caches of the direct MSIS routines; the
// sun of the last call that years outside 1901-2099 reuse; and the tilt
// caches of the Tsyganenko 1996 and 2001 dipole terms, which serve a tilt
// less than 1e-5 rad from the kept one with the kept sine and cosine, as the
// models were published (no two calls here share a tilt that closely).
//
// The CRRES tables are synthetic fixtures (smooth positive values), not
// model data.

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "fresh_process.hpp"
#include "kest.h"
#include "orbit/sgp4_elements.hpp"
#include "radiation/crres_fixture.hpp"

namespace {

using Values = std::vector<double>;

struct Call {
  const char* name;
  std::function<Values()> run;
};

constexpr int kRows = 100000;  // rows of the flux and orbit arrays

void put(Values& v, const double* p, std::size_t n) { v.insert(v.end(), p, p + n); }

// The flux array of the radiation entries (100000 x 25), made once: a fresh
// 20 MB array at every call would cost more than the calls. The rows a call
// reads back are first set to a marker, so that none can pass on a value an
// earlier call left.
double* flux_array(int ntime) {
  static std::vector<double> flux(25 * static_cast<std::size_t>(kRows));
  for (int k = 0; k < 25; ++k) std::fill_n(&flux[static_cast<std::size_t>(kRows) * k], ntime, 7.0);
  return flux.data();
}

// Standard output goes to /dev/null while the object lives: the hostile
// calls print their warnings, which are not under test here.
class Silence {
 public:
  Silence() {
    std::fflush(stdout);
    saved_ = dup(1);
    const int null = open("/dev/null", O_WRONLY);
    if (null >= 0) {
      dup2(null, 1);
      close(null);
    }
  }
  ~Silence() {
    std::fflush(stdout);
    if (saved_ >= 0) {
      dup2(saved_, 1);
      close(saved_);
    }
  }
  Silence(const Silence&) = delete;
  Silence& operator=(const Silence&) = delete;

 private:
  int saved_;
};

std::string scratch;  // folder of the fixtures (ends in "/"), set before any call

// ---- Frame -------------------------------------------------------------------

Values coord(int in, int out, int iyr, int idoy, double ut, double x, double y, double z) {
  double xin[3] = {x, y, z}, xout[3];
  void* a[7] = {&in, &out, &iyr, &idoy, &ut, xin, xout};
  coord_trans_(7, a);
  return Values(xout, xout + 3);
}

Values coord_vec_gse_sm() {
  int n = 3, in = 3, out = 4;
  int iyr[3] = {1968, 1990, 2011}, idoy[3] = {40, 181, 330};
  double ut[3] = {100.0, 43210.5, 86000.0};
  double xin[9] = {3.0, 1.0, -0.5, -6.0, 2.5, 1.5, 0.5, -4.0, 2.0}, xout[9];
  void* a[8] = {&n, &in, &out, iyr, idoy, ut, xin, xout};
  coord_trans_vec_(8, a);
  return Values(xout, xout + 9);
}

// The internal field and axes of an instant set up by hand, then a rotation
// and the IGRF sum at a point.
Values dtd_gsm_igrf() {
  double year = 1993.7;
  init_dtd_(&year);
  int iyr = 1993, iday = 256;
  double ut = 5000.0, psi;
  init_gsm_(&iyr, &iday, &ut, &psi);
  double x[3] = {1.2, -3.4, 0.9}, g[3], b[3];
  geo_gsm_(x, g);
  igrf_(&x[0], &x[1], &x[2], &b[0], &b[1], &b[2]);
  Values v{psi};
  put(v, g, 3);
  put(v, b, 3);
  return v;
}

// A fixed-epoch internal model loaded (each leaves the other's higher
// degrees in the table) and summed at a point.
Values fixed_epoch_field(bool gsfc) {
  double x = 1.3, y = 0.4, z = -0.8, b[3];
  gsfc ? gsfc1266_() : jensenandcain1960_();
  get_intfield_(&x, &y, &z, &b[0], &b[1], &b[2]);
  return Values(b, b + 3);
}

// Calendar, geodetic and spherical conversions: no model state.
Values calendar_and_geodetic() {
  Values v;
  int y = 1987, m = 11, d = 23;
  int jd = julday_(&y, &m, &d);
  v.push_back(jd);
  int yy, mm, dd;
  jd += 1000;
  caldat_(&jd, &yy, &mm, &dd);
  v.insert(v.end(), {double(yy), double(mm), double(dd)});
  double decy = 2003.6172, ut;
  int doy, hr, mi, se;
  decy2date_and_time_(&decy, &yy, &mm, &dd, &doy, &hr, &mi, &se, &ut);
  v.insert(v.end(), {double(yy), double(mm), double(dd), double(doy), double(hr), double(mi), double(se), ut});
  double lat = 47.3, lon = -122.1, alt = 812.0, g[3], back[3];
  void* a[6] = {&lat, &lon, &alt, &g[0], &g[1], &g[2]};
  gdz2geo_(6, a);
  void* b[6] = {&g[0], &g[1], &g[2], &back[0], &back[1], &back[2]};
  geo2gdz_(6, b);
  put(v, g, 3);
  put(v, back, 3);
  return v;
}

// ---- Field, Lm, L*, tracing ----------------------------------------------------

// maginput: Kp x 10, Dst, density, speed, Pdyn, By, Bz, G1..G3, W1..W6, AL.
double quiet[25] = {23.0, -12.0, 6.0, 420.0, 1.8, 2.0, -1.5, 3.0, 5.0, 4.0,
                    0.4,  0.3,   0.2, 0.5,   0.3, 0.9, -150.0};
double storm[25] = {57.0, -95.0, 18.0, 610.0, 6.5, -8.0, -9.0, 12.0, 15.0, 9.0,
                    1.1,  0.9,   0.7,  1.6,   0.8, 2.4,  -900.0};

Values field(int kext, int kint, int sysaxes, int iyr, int idoy, double ut, double x1, double x2,
             double x3, double* maginput) {
  int options[5] = {0, 0, 0, 0, kint};
  double b[4];
  void* a[12] = {&kext, options, &sysaxes, &iyr, &idoy, &ut, &x1, &x2, &x3, maginput, b, &b[3]};
  get_field_(12, a);
  return Values(b, b + 4);
}

Values lstar_two_points() {
  int ntime = 2, kext = 5, sys = 1;
  int options[5] = {1, 0, 0, 0, 1};
  int iyr[2] = {1998, 1998}, idoy[2] = {100, 100};
  double ut[2] = {3600.0, 3660.0}, x1[2] = {-3.0, -2.98}, x2[2] = {2.5, 2.53}, x3[2] = {0.6, 0.6};
  double mi[50] = {};
  double lm[2], ls[2], bl[2], bm[2], xj[2], mlt[2];
  void* a[17] = {&ntime, &kext, options, &sys, iyr, idoy, ut, x1, x2, x3, mi, lm, ls, bl, bm, xj, mlt};
  make_lstar_(17, a);
  Values v;
  for (double* p : {lm, ls, bl, bm, xj, mlt}) put(v, p, 2);
  return v;
}

Values shell_splitting() {
  int ntime = 1, nipa = 2, kext = 4, sys = 0;
  int options[5] = {0, 0, 0, 0, 0};
  int iyr = 2002, idoy = 45;
  double ut = 20000.0, x1 = 19000.0, x2 = 8.0, x3 = 30.0, alpha[2] = {90.0, 55.0};
  static std::vector<double> out(4 * 2 * static_cast<std::size_t>(kRows));
  for (std::size_t k = 0; k < 8; ++k) out[k * kRows] = 7.0;
  double* lm = out.data();
  double* ls = lm + 2 * kRows;
  double* bmirr = ls + 2 * kRows;
  double* xj = bmirr + 2 * kRows;
  double bmin, mlt;
  void* a[19] = {&ntime, &nipa, &kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, alpha, quiet,
                 lm, ls, bmirr, &bmin, xj, &mlt};
  make_lstar_shell_splitting_(19, a);
  Values v{bmin, mlt};
  for (const double* p : {lm, ls, bmirr, xj}) v.insert(v.end(), {p[0], p[kRows]});
  return v;
}

Values mirror_point() {
  int kext = 7, sys = 1, iyr = 1995, idoy = 300;
  int options[5] = {0, 0, 0, 0, 0};
  double ut = 61000.0, x1 = 1.8, x2 = -2.9, x3 = 1.4, alpha = 35.0, out[5];
  void* a[14] = {&kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, &alpha, storm, &out[0], &out[1], &out[2]};
  find_mirror_point_(14, a);
  return Values(out, out + 5);
}

Values magequator() {
  int kext = 12, sys = 2, iyr = 2000, idoy = 200;
  int options[5] = {0, 0, 0, 0, 0};
  double ut = 40000.0, x1 = -4.0, x2 = 1.5, x3 = 1.0, out[4];
  void* a[12] = {&kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, quiet, &out[0], &out[1]};
  find_magequator_(12, a);
  return Values(out, out + 4);
}

// A field line in the GSFC 12/66 internal model: its summaries, the number of
// points and every point.
Values field_line() {
  int kext = 0, sys = 1, iyr = 1970, idoy = 10;
  int options[5] = {0, 0, 0, 0, 3};
  double ut = 0.0, x1 = 2.6, x2 = 0.5, x3 = 0.9, lm, bmin, xj, blocal[1000], posit[3000];
  int n = 0;
  void* a[16] = {&kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, quiet, &lm, blocal, &bmin, &xj, posit, &n};
  trace_field_line_(16, a);
  Values v{lm, bmin, xj, double(n)};
  const std::size_t points = static_cast<std::size_t>(std::clamp(n, 0, 1000));
  put(v, blocal, points);
  put(v, posit, 3 * points);
  return v;
}

Values hemi() {
  int kext = 2, sys = 4, iyr = 1979, idoy = 77, hemi = -9;
  int options[5] = {0, 0, 0, 0, 1};
  double ut = 30000.0, x1 = 3.0, x2 = -2.0, x3 = -1.2;
  void* a[11] = {&kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, quiet, &hemi};
  get_hemi_(11, a);
  Values v = field(kext, 1, sys, iyr, idoy, ut, x1, x2, x3, quiet);
  v.push_back(hemi);
  return v;
}

Values mlt() {
  int y = 2009, d = 150;
  double t = 12345.0, xgeo[3] = {-1.0, 4.0, 0.7}, mlt;
  void* b[5] = {&y, &d, &t, xgeo, &mlt};
  get_mlt_(5, b);
  return {mlt};
}

Values lstar_phi() {
  int n = 2, inv = 1, options[5] = {0, 0, 0, 0, 0}, iyr[2] = {1984, 2006}, idoy[2] = {33, 290};
  double ls[2] = {4.5, 6.2}, phi[2];
  void* a[7] = {&n, &inv, options, iyr, idoy, ls, phi};
  lstar_phi_(7, a);
  int back = 2, options2[5] = {0, 0, 0, 0, 2};
  double ls2[2];
  void* b[7] = {&n, &back, options2, iyr, idoy, ls2, phi};
  lstar_phi_(7, b);
  return {phi[0], phi[1], ls2[0], ls2[1]};
}

// ---- Radiation belts -------------------------------------------------------------

Values flux_rows(const double* flux, int ntime, int nene) {
  Values v;
  for (int k = 0; k < nene; ++k)
    for (int i = 0; i < ntime; ++i) v.push_back(flux[i + static_cast<std::size_t>(kRows) * k]);
  return v;
}

Values nasa(int whichm, int whatf, int sysaxes) {
  int ntime = 1, nene = 2;
  double energy[50] = {};
  const bool electrons = whichm <= 2;
  energy[0] = electrons ? 0.5 : 10.0, energy[1] = electrons ? 0.8 : 20.0;
  energy[2] = electrons ? 1.5 : 50.0, energy[3] = electrons ? 2.5 : 80.0;
  int iyr = 2004, idoy = 250;
  double ut = 70000.0, x1 = 1.2, x2 = 1.0, x3 = 0.4;
  if (sysaxes == 0) x1 = 2500.0, x2 = 10.0, x3 = 40.0;
  double* flux = flux_array(ntime);
  void* a[13] = {&ntime, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x1, &x2, &x3, flux};
  fly_in_nasa_aeap_(13, a);
  return flux_rows(flux, 1, 2);
}

Values ae8_lookup() {
  int ntime = 3, whichm = 3, whatf = 3, nene = 1;
  double energy[50] = {15.0}, bbo[3] = {1.0, 1.8, 4.0}, lm[3] = {1.5, 2.2, 1.9};
  double* flux = flux_array(ntime);
  void* a[8] = {&ntime, &whichm, &whatf, &nene, energy, bbo, lm, flux};
  get_ae8_ap8_flux_idl_(8, a);
  return flux_rows(flux, 3, 1);
}

Values crres_along_points() {
  int ntime = 2, sys = 1, whichm = 3, whatf = 3, nene = 2;
  double energy[50] = {1.0, 2.2, 3.0, 4.0};
  int iyr[2] = {1990, 2001}, idoy[2] = {100, 300};
  double ut[2] = {1000.0, 50000.0}, x1[2] = {3.2, -4.0}, x2[2] = {1.2, 2.0}, x3[2] = {0.3, -0.5};
  double ap15[2] = {6.0, 30.0};
  double* flux = flux_array(ntime);
  std::string path = scratch;
  int plen = static_cast<int>(path.size());
  void* a[16] = {&ntime, &sys, &whichm, &whatf, &nene, energy, iyr, idoy, ut, x1, x2, x3, ap15, flux,
                 path.data(), &plen};
  fly_in_afrl_crres_(16, a);
  return flux_rows(flux, 2, 2);
}

Values crres_lookup() {
  int ntime = 2, whichm = 3, whatf = 2, nene = 1;
  double energy[50] = {1.0, 4.0}, bbo[2] = {1.3, 12.0}, lm[2] = {3.0, 5.5}, ap15[2] = {8.0, 22.0};
  double* flux = flux_array(ntime);
  std::string path = scratch;
  int plen = static_cast<int>(path.size());
  void* a[11] = {&ntime, &whichm, &whatf, &nene, energy, bbo, lm, ap15, flux, path.data(), &plen};
  get_crres_flux_idl_(11, a);
  return flux_rows(flux, 2, 1);
}

Values mission(bool meo, int whichm, int whatf) {
  int launch = 1996, duration = 7, nene = 0;
  double energy[100] = {}, lower[50] = {}, mean[50] = {}, upper[50] = {};
  void* a[9] = {&launch, &duration, &whichm, &whatf, &nene, energy, lower, mean, upper};
  meo ? fly_in_meo_gnss_(9, a) : fly_in_ruk_(9, a);
  Values v{double(nene)};
  for (const double* p : {lower, mean, upper}) put(v, p, 50);
  return v;
}

// ---- Orbits -------------------------------------------------------------------------

// DELTA 1 DEB of the published verification file, 40 minutes in 5-minute
// steps from run type 1: the numbers of every output line.
Values tle_run() {
  std::string in = scratch + "delta.tle", out = scratch + "orbit.txt";
  int runtype = 1, li = static_cast<int>(in.size()), lo = static_cast<int>(out.size());
  double start = 600.0, stop = 3000.0, step = 300.0;
  void* a[8] = {&runtype, &start, &stop, &step, in.data(), &li, out.data(), &lo};
  sgp4_tle_(8, a);
  Values v;
  std::ifstream f(out);
  std::string line;
  while (std::getline(f, line)) {
    for (char& c : line)
      if (c == '/' || c == ':') c = ' ';
    std::istringstream s(line);
    double x;
    while (s >> x) v.push_back(x);
  }
  return v;
}

// The half-day resonant Molniya set through the core: its resonance
// integrator runs from the epoch at each call.
Values molniya() {
  Values v{double(sgp4_test::init(sgp4_test::molniya))};
  for (double t : {2880.0, 1000.0, -700.0}) {
    int grav = 72, err = -1;
    double r[3], vel[3];
    sgp4_(&grav, &t, r, vel, &err);
    v.push_back(err);
    put(v, r, 3);
    put(v, vel, 3);
  }
  return v;
}

// Classical elements of a 2-Earth-radius orbit, one hour in GSM.
Values ele_run() {
  int sys = 2, iyr = 1999, imon = 7, iday = 4, ihr = 5, imin = 30;
  double sec = 12.0, e[6] = {2.0, 0.12, 51.0, 80.0, 30.0, 10.0};
  int opts[5] = {2, 1, 5, 0, 0};
  double start = 0.0, stop = 3600.0, step = 900.0;
  static std::vector<int> year(kRows), doy(kRows);
  static std::vector<double> ut(kRows), x1(kRows), x2(kRows), x3(kRows);
  for (int i = 0; i < 4; ++i) year[i] = doy[i] = 7, ut[i] = x1[i] = x2[i] = x3[i] = 7.0;
  void* a[23] = {&sys,  &iyr, &imon, &iday, &ihr,  &imin,  &sec,  &e[0],        &e[1],      &e[2],     &e[3],    &e[4],
                 &e[5], opts, &start, &stop, &step, year.data(), doy.data(), ut.data(), x1.data(), x2.data(), x3.data()};
  sgp4_ele_(23, a);
  Values v{double(iyr), double(imon), double(iday), double(ihr), double(imin), sec};
  for (int i = 0; i < 4; ++i) v.insert(v.end(), {double(year[i]), double(doy[i]), ut[i], x1[i], x2[i], x3[i]});
  return v;
}

Values rv2coe() {
  double r[3] = {7000.0, -1200.0, 300.0}, v[3] = {1.0, 7.2, 0.5}, k[11];
  void* a[13] = {r, v, &k[0], &k[1], &k[2], &k[3], &k[4], &k[5], &k[6], &k[7], &k[8], &k[9], &k[10]};
  rv2coe_idl_(13, a);
  return Values(k, k + 11);
}

// ---- Atmosphere --------------------------------------------------------------------

Values msis_driver(int generation, int which_ap) {
  int ntime = 3, idoy[3] = {15, 172, 300};
  double ut[3] = {29000.0, 55000.0, 3000.0}, alt[3] = {120.0, 400.0, 90.0};
  double lat[3] = {60.0, -20.0, 5.0}, lon[3] = {-70.0, 100.0, 200.0};
  double f107a[3] = {150.0, 90.0, 210.0}, f107[3] = {160.0, 80.0, 250.0};
  double ap[21] = {4.0, 4.0, 4.0, 4.0, 4.0, 4.0, 4.0, 30.0, 25.0, 40.0, 12.0,
                   9.0, 7.0, 20.0, 15.0, 18.0, 22.0, 30.0, 27.0, 14.0, 10.0};
  double dens[27], temp[6];
  void* a[12] = {&ntime, &which_ap, idoy, ut, alt, lat, lon, f107a, f107, ap, dens, temp};
  if (generation == 0) msis86_idl_(12, a);
  if (generation == 1) msise90_idl_(12, a);
  if (generation == 2) nrlmsise00_idl_(12, a);
  Values v(dens, dens + (generation == 2 ? 27 : 24));
  put(v, temp, 6);
  return v;
}

// A direct NRLMSISE-00 call with its switches set first (the generations
// share them): the drag density and the pressure-level altitude.
Values nrlmsise00_direct() {
  double sv[25];
  std::fill(sv, sv + 25, 1.0);
  tselec7_(sv);
  int iyd = 2005172, mass = 48;
  double sec = 29000.0, alt = 350.0, glat = 45.0, glong = -30.0, stl = 6.0, f107a = 150.0, f107 = 150.0;
  double ap[7] = {4.0, 4.0, 4.0, 4.0, 4.0, 4.0, 4.0}, d[9], t[2];
  gtd7d_(&iyd, &sec, &alt, &glat, &glong, &stl, &f107a, &f107, ap, &mass, d, t);
  Values v(d, d + 9);
  put(v, t, 2);
  double press = 1.0e-6, dp[9], tp[2];
  ghp7_(&iyd, &sec, &alt, &glat, &glong, &stl, &f107a, &f107, ap, dp, tp, &press);
  v.push_back(alt);
  put(v, dp, 9);
  return v;
}

// ---- The table ---------------------------------------------------------------------

std::vector<Call> valid_calls() {
  return {
      {"coord_trans GEO to GSM, 2004", [] { return coord(1, 2, 2004, 123, 37845.5, 2.1, -1.3, 0.8); }},
      {"coord_trans GEI to MAG, 1977", [] { return coord(5, 6, 1977, 300, 100.0, -1.5, 4.2, 2.2); }},
      {"coord_trans GEO to HEEQ, 2010", [] { return coord(1, 11, 2010, 200, 7000.0, 30.0, -12.0, 4.0); }},
      {"coord_trans_vec GSE to SM, three years", coord_vec_gse_sm},
      {"init_dtd, init_gsm, geo_gsm, igrf", dtd_gsm_igrf},
      {"GSFC 12/66 loaded and summed", [] { return fixed_epoch_field(true); }},
      {"Jensen-Cain 1960 loaded and summed", [] { return fixed_epoch_field(false); }},
      {"calendar and geodetic conversions", calendar_and_geodetic},
      {"get_field IGRF alone, 2004", [] { return field(0, 0, 1, 2004, 123, 37845.5, 2.1, -1.3, 0.8, quiet); }},
      {"get_field T89 in GSM, 1985", [] { return field(4, 0, 2, 1985, 182, 0.0, -5.0, 1.0, 2.0, storm); }},
      {"get_field T96 with the dipole, 2001",
       [] { return field(7, 1, 1, 2001, 90, 9000.0, 4.0, 2.0, -1.0, storm); }},
      {"get_field T04 storm in SM, 2003", [] { return field(11, 0, 4, 2003, 303, 64000.0, -6.0, -2.0, 1.5, storm); }},
      {"get_field Ostapenko-Maltsev, 1999",
       [] { return field(8, 0, 1, 1999, 60, 20000.0, -3.0, 3.5, 1.0, quiet); }},
      {"get_field Alexeev 2000, 2000", [] { return field(12, 0, 1, 2000, 81, 50000.0, 5.0, -4.0, 2.0, quiet); }},
      {"get_field Mead in Jensen-Cain, 1965",
       [] { return field(1, 2, 0, 1965, 20, 700.0, 20000.0, 35.0, -60.0, quiet); }},
      {"get_field T01 storm form, 1997", [] { return field(10, 0, 1, 1997, 130, 3000.0, -5.0, 3.0, 2.0, quiet); }},
      {"get_field T87 long tail, 1989", [] { return field(3, 0, 1, 1989, 64, 80000.0, -7.0, -1.0, 1.0, storm); }},
      {"get_field T87 long tail quiet, 1972",
       [] { return field(3, 1, 1, 1972, 300, 7000.0, 5.0, 2.0, -1.0, quiet); }},
      {"get_field T87 short tail, 1983", [] { return field(2, 0, 1, 1983, 33, 20000.0, 4.0, 3.0, -2.0, storm); }},
      {"get_field OP quiet, 1992", [] { return field(5, 0, 1, 1992, 15, 1000.0, 3.0, -2.0, 1.0, quiet); }},
      {"get_field T01 in GSM, 2005", [] { return field(9, 0, 2, 2005, 250, 50000.0, -6.0, 2.0, 1.0, quiet); }},
      {"get_field OP dynamic in GSFC 12/66", [] { return field(6, 3, 1, 1975, 250, 0.0, 3.0, 3.0, 1.0, quiet); }},
      {"make_lstar OP quiet in the dipole, two points", lstar_two_points},
      {"make_lstar_shell_splitting T89", shell_splitting},
      {"find_mirror_point T96", mirror_point},
      {"find_magequator Alexeev 2000", magequator},
      {"trace_field_line GSFC 12/66", field_line},
      {"get_hemi and get_field T87 short", hemi},
      {"get_mlt", mlt},
      {"lstar_phi both ways", lstar_phi},
      {"AE8 MAX along GDZ points", [] { return nasa(2, 3, 0); }},
      {"AP8 MIN along GSM points", [] { return nasa(3, 2, 2); }},
      {"AP8 MIN lookup", ae8_lookup},
      {"CRRESELE average along GEO points", crres_along_points},
      {"CRRESELE average lookup", crres_lookup},
      {"ruk IGE-2006 integral", [] { return mission(false, 3, 3); }},
      {"MEO GNSS version 2 band", [] { return mission(true, 2, 2); }},
      {"sgp4_tle DELTA 1 DEB", tle_run},
      {"sgp4init and sgp4 Molniya", molniya},
      {"sgp4_ele classical in GSM", ele_run},
      {"rv2coe", rv2coe},
      {"msis86 driver", [] { return msis_driver(0, 1); }},
      {"msise90 driver, 3-hour Ap", [] { return msis_driver(1, 2); }},
      {"nrlmsise00 driver", [] { return msis_driver(2, 1); }},
      {"NRLMSISE-00 direct, switches set", nrlmsise00_direct},
  };
}

// Hostile arguments: not a number, absurd dates, selectors out of range.
// Each ends soundly in its own way; none may change what a later valid call
// gives.
std::vector<Call> hostile_calls() {
  const double nan = std::nan("");
  return {
      {"get_field with NaN position and time", [nan] {
         static double nan_inputs[25];
         std::fill(nan_inputs, nan_inputs + 25, std::nan(""));
         Values v = field(7, 0, 1, 2001, 90, nan, nan, 2.0, -1.0, nan_inputs);
         put(v, field(12, 1, 1, 2000, 81, 50000.0, nan, 2.0, 1.0, nan_inputs).data(), 4);
         return v;
       }},
      {"get_field with codes out of range and year 3000",
       [] { return field(99, 9, 1, 3000, 400, 1.0e9, 2.0, 1.0, 0.5, storm); }},
      {"coord_trans with year 2150, year 1850 and code 42", [nan] {
         Values v = coord(1, 2, 2150, 10, 100.0, 1.0, 2.0, 3.0);
         put(v, coord(11, 3, 1850, 10, 100.0, 0.5, 0.5, 0.1).data(), 3);
         put(v, coord(1, 42, 2004, 1, 0.0, 1.0, 2.0, 3.0).data(), 3);
         put(v, coord(3, 9, 2004, 1, nan, 1.0, 2.0, 3.0).data(), 3);
         return v;
       }},
      {"init_dtd and init_gsm with NaN", [nan] {
         double year = nan, psi;
         init_dtd_(&year);
         int iyr = 2004, iday = 5;
         double ut = nan;
         init_gsm_(&iyr, &iday, &ut, &psi);
         return Values{psi};
       }},
      {"make_lstar with bad options, NaN points and absurd drivers", [nan] {
         int ntime = 2, kext = 12, sys = 0;
         int options[5] = {1, 5, 42, -3, 7};
         int iyr[2] = {2000, 1900}, idoy[2] = {900, 1};
         double ut[2] = {0.0, nan}, x1[2] = {nan, 1000.0}, x2[2] = {1.0, 2.0}, x3[2] = {1.0, 2.0};
         double mi[50];
         std::fill(mi, mi + 50, 1.0e30);
         double out[12];
         void* a[17] = {&ntime, &kext, options, &sys, iyr, idoy, ut, x1, x2, x3, mi,
                        &out[0], &out[2], &out[4], &out[6], &out[8], &out[10]};
         make_lstar_(17, a);
         return Values(out, out + 12);
       }},
      {"drift_shell at the centre of the Earth", [] {
         int kext = 5, sys = 1, iyr = 1998, idoy = 100;
         int options[5] = {0, 0, 0, 0, 0};
         double ut = 0.0, x1 = 0.0, x2 = 0.0, x3 = 0.0, out[4];
         static std::vector<double> blocal(1000 * 48), posit(3 * 1000 * 48);
         int ind[48];
         void* a[17] = {&kext, options, &sys, &iyr, &idoy, &ut, &x1, &x2, &x3, quiet,
                        &out[0], &out[1], blocal.data(), &out[2], &out[3], posit.data(), ind};
         drift_shell_(17, a);
         return Values(out, out + 4);
       }},
      {"flux drivers with selectors out of range and NaN positions", [nan] {
         Values v = nasa(9, 7, 0);
         int ntime = 1, sys = 1, whichm = 3, whatf = 1, nene = 1, iyr = 2001, idoy = 1;
         double energy[50] = {1.0}, ut = nan, x = nan, ap15 = nan;
         double* flux = flux_array(ntime);
         std::string path = scratch;
         int plen = static_cast<int>(path.size());
         void* a[16] = {&ntime, &sys, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &x, &x, &ap15,
                        flux, path.data(), &plen};
         fly_in_afrl_crres_(16, a);
         v.push_back(flux[0]);
         whichm = 11;
         double bbo = 2.0, lm = 4.0;
         void* b[11] = {&ntime, &whichm, &whatf, &nene, energy, &bbo, &lm, &ap15, flux, path.data(), &plen};
         get_crres_flux_idl_(11, b);
         v.push_back(flux[0]);
         return v;
       }},
      {"mission models with duration 0 and energies out of range", [] {
         int launch = 2030, duration = 0, whichm = 1, whatf = 1, nene = 2;
         double energy[100] = {50.0, 0.0, 1.0e-9}, lower[50], mean[50], upper[50];
         void* a[9] = {&launch, &duration, &whichm, &whatf, &nene, energy, lower, mean, upper};
         fly_in_ruk_(9, a);
         duration = 3;
         fly_in_meo_gnss_(9, a);
         return Values{mean[0], mean[1]};
       }},
      {"SGP4 with e above 1, NaN elements and a NaN window", [nan] {
         sgp4_test::Elements bad = sgp4_test::molniya;
         bad.ecc = 1.5;
         Values v{double(sgp4_test::init(bad))};
         bad = sgp4_test::geo;
         bad.n = nan;
         v.push_back(sgp4_test::init(bad));
         int grav = 72, err = -1;
         double t = 100.0, r[3], vel[3];
         sgp4_(&grav, &t, r, vel, &err);
         v.push_back(err);
         int sys = 2, iyr = 1999, imon = 7, iday = 4, ihr = 5, imin = 30, opts[5] = {2, 1, 5, 0, 0};
         double sec = 12.0, e[6] = {nan, 0.12, 51.0, 80.0, 30.0, 10.0}, start = 0.0, stop = nan, step = 60.0;
         static std::vector<int> year(kRows), doy(kRows);
         static std::vector<double> ut(kRows), x1(kRows), x2(kRows), x3(kRows);
         void* a[23] = {&sys,  &iyr, &imon,  &iday, &ihr,  &imin,       &sec,       &e[0],     &e[1],
                        &e[2], &e[3], &e[4], &e[5], opts,  &start,      &stop,      &step,     year.data(),
                        doy.data(), ut.data(), x1.data(), x2.data(), x3.data()};
         sgp4_ele_(23, a);
         return v;
       }},
      {"MSIS drivers with NaN and absurd inputs", [nan] {
         Values v;
         for (int g = 0; g < 3; ++g) {
           int ntime = 2, which_ap = 2, idoy[2] = {400, -5};
           double ut[2] = {nan, 1.0e12}, alt[2] = {50.0, 1.0e6}, lat[2] = {nan, 95.0}, lon[2] = {0.0, 1.0e9};
           double f107a[2] = {1.0e5, -10.0}, f107[2] = {nan, 0.0}, ap[14];
           std::fill(ap, ap + 14, 1.0e4);
           double dens[18], temp[4];
           void* a[12] = {&ntime, &which_ap, idoy, ut, alt, lat, lon, f107a, f107, ap, dens, temp};
           if (g == 0) msis86_idl_(12, a);
           if (g == 1) msise90_idl_(12, a);
           if (g == 2) nrlmsise00_idl_(12, a);
           v.push_back(temp[1]);
         }
         return v;
       }},
  };
}

// ---- The test ----------------------------------------------------------------------

// A synthetic CRRES table of ne energies x ncells L cells, 34 B/B0 cells per
// record, in the "(34(D9.3,1x))" layout, falling smoothly with energy and B/B0.
void write_table(const std::string& file, int ne, int ncells) {
  std::ofstream out(file);
  char f[16];
  for (int ie = 1; ie <= ne; ++ie)
    for (int il = 1; il <= ncells; ++il) {
      for (int ib = 1; ib <= 34; ++ib) {
        std::snprintf(f, sizeof f, "%9.3E", std::pow(10.0, 5.0 - 0.15 * ie - 0.04 * ib + 0.02 * il));
        out << f << ' ';
      }
      out << '\n';
    }
}

// A walk through calls 0..n-1 in which every call follows every other call
// exactly once (an Euler circuit of the complete directed graph, by
// Hierholzer's method): n (n - 1) + 1 calls.
std::vector<std::size_t> every_pair(std::size_t n) {
  std::vector<std::size_t> next(n, 0);  // next successor of each call to use
  auto successor = [&](std::size_t i) {
    std::size_t j = next[i]++;
    return j >= i ? j + 1 : j;  // the j-th call other than i
  };
  std::vector<std::size_t> stack{0}, walk;
  while (!stack.empty()) {
    const std::size_t i = stack.back();
    if (next[i] < n - 1) {
      stack.push_back(successor(i));
    } else {
      walk.push_back(i);
      stack.pop_back();
    }
  }
  std::reverse(walk.begin(), walk.end());
  return walk;
}

bool same(const Values& a, const Values& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

TEST(CrossEntryState, EveryCallGivesItsValueMadeAlone) {
  if (kest_test::rerun_alone_unless_first()) return;
  crres_test::TempDir dir;
  scratch = dir.path;
  write_table(scratch + "crresele_Average.txt", 10, 86);
  std::ofstream(scratch + "delta.tle")
      << "1 06251U 62025E   06176.82412014  .00008885  00000-0  12808-3 0  3985\n"
         "2 06251  58.0579  54.0425 0030035 139.1568 221.1854 15.56387291  6774\n";

  const std::vector<Call> calls = valid_calls();
  const std::vector<Call> hostile = hostile_calls();
  const std::size_t n = calls.size();

  // The references, each made in a process of its own before anything runs
  // here. Each computes something: not every value the fill value.
  std::vector<Values> alone(n);
  for (std::size_t i = 0; i < n; ++i) {
    alone[i] = kest_test::in_fresh_process(calls[i].run, true);
    ASSERT_FALSE(alone[i].empty()) << calls[i].name;
    EXPECT_TRUE(std::any_of(alone[i].begin(), alone[i].end(),
                            [](double v) { return std::isfinite(v) && v != -1.0e31; }))
        << calls[i].name;
  }

  // The orders: forward, reversed, shuffled; then every ordered pair, in
  // one walk that runs each call right after every other one (call i, then
  // i + d, i + 2d, ... for each step d).
  std::vector<std::vector<std::size_t>> orders;
  std::vector<std::size_t> forward(n);
  for (std::size_t i = 0; i < n; ++i) forward[i] = i;
  orders.push_back(forward);
  orders.emplace_back(forward.rbegin(), forward.rend());
  for (unsigned seed : {1u, 7u, 2026u}) {
    std::vector<std::size_t> s = forward;
    std::shuffle(s.begin(), s.end(), std::mt19937(seed));
    orders.push_back(s);
  }
  orders.push_back(every_pair(n));
  ASSERT_EQ(orders.back().size(), n * (n - 1) + 1);

  std::vector<std::string> faults;
  {
    Silence quiet;  // until the verdict, which gtest prints on standard output
    for (std::size_t o = 0; o < orders.size(); ++o) {
      std::size_t before = n;
      for (std::size_t i : orders[o]) {
        if (!same(calls[i].run(), alone[i]))
          faults.push_back(std::string(calls[i].name) + " after " + (before < n ? calls[before].name : "nothing") +
                           " (order " + std::to_string(o) + ")");
        before = i;
      }
    }
    // Every hostile call, then every valid call once, in turn.
    for (const Call& h : hostile)
      for (std::size_t i = 0; i < n; ++i) {
        h.run();
        if (!same(calls[i].run(), alone[i])) faults.push_back(std::string(calls[i].name) + " after " + h.name);
      }
  }
  std::string list;
  for (std::size_t k = 0; k < faults.size() && k < 30; ++k) list += "\n  " + faults[k];
  EXPECT_TRUE(faults.empty()) << faults.size() << " calls differ from the call made alone (the first 30):" << list;
}

}  // namespace
