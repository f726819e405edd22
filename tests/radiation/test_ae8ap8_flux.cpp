// AE8/AP8 fluxes of (L, B/B0) points and along positions: ranges, fill
// values, write-backs, the kinds of flux, the field model of the maps and the
// selector warnings.
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

#include "kest.h"
#include "magcoords/magcoords_state.hpp"

namespace {

constexpr double kFill = -1.0e31;
constexpr int kRows = 100000;

struct Flux {
  std::vector<double> v = std::vector<double>(kRows * 25, 7.0);
  double at(int i, int k) const { return v[i + kRows * k]; }
};

// get_ae8_ap8_flux_ for points (L, B/B0); bbo is read and written back.
Flux lookup(int whichm, int whatf, std::vector<double> energy, std::vector<double> lm,
            std::vector<double>& bbo) {
  Flux f;
  int n = static_cast<int>(lm.size()), nene = static_cast<int>(energy.size() / 2);
  energy.resize(50, 0.0);
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy.data(), bbo.data(), lm.data(), f.v.data());
  return f;
}

// Equatorial log flux G of the L block at stored L and the energy block at
// stored energy of a published map file (0 when absent).
int map_node(const std::string& file, int stored_e, int stored_l) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/data/ae8ap8/" + file);
  std::vector<int> w;
  std::string line;
  while (std::getline(in, line))
    for (std::size_t p = 1; p + 6 <= line.size(); p += 6) w.push_back(std::stoi(line.substr(p, 6)));
  const int* b = w.data() + 8;
  for (int o = 0; b[o] != 0; o += b[o]) {
    if (b[o + 1] != stored_e) continue;
    for (int p = o + 2; p < o + b[o]; p += b[p])
      if (b[p + 1] == stored_l) return b[p + 2];
  }
  return 0;
}

// The accepted L ranges (bounds included) and the write-back of B/B0 below 1,
// which happens only for the points whose L is accepted; columns beyond Nene
// keep the fill value.
TEST(Ae8Ap8Flux, LRangesWriteBackAndUnusedColumns) {
  struct Case {
    int whichm;
    std::vector<double> lm;
    std::vector<bool> accepted;
  } cases[] = {
      {1, {1.19, 1.2, 11.0, 11.0001, kFill}, {false, true, true, false, false}},
      {2, {1.19, 1.2, 11.0, 11.0001, kFill}, {false, true, true, false, false}},
      {3, {1.16, 1.17, 7.0, 7.0001, kFill}, {false, true, true, false, false}},
      {4, {1.16, 1.17, 7.0, 7.0001, kFill}, {false, true, true, false, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.whichm);
    std::vector<double> bbo(c.lm.size(), -0.5);
    const Flux f = lookup(c.whichm, 3, {0.5, 0.0, 1.0, 0.0, 2.0, 0.0}, c.lm, bbo);
    for (std::size_t i = 0; i < c.lm.size(); ++i) {
      EXPECT_EQ(bbo[i], c.accepted[i] ? 1.0 : -0.5) << "L " << c.lm[i];
      if (!c.accepted[i]) {
        for (int k = 0; k < 3; ++k) EXPECT_EQ(f.at(i, k), kFill);
      }
      for (int k = 3; k < 25; ++k) EXPECT_EQ(f.at(i, k), kFill);
    }
    EXPECT_EQ(f.at(c.lm.size(), 0), 7.0);  // rows beyond ntime untouched
  }
  // With no energies no lookup takes place and nothing is written back.
  std::vector<double> bbo = {0.2};
  lookup(1, 3, {}, {3.0}, bbo);
  EXPECT_EQ(bbo[0], 0.2);
}

// At a tabulated L and energy on the equator the integral flux is the map's
// value, 10^(G/1024): AP8 MIN above 10 MeV at L 1.5, the heart of the inner
// proton belt, of the order of 10^5 protons cm^-2 s^-1; AE8 MAX above 1 MeV
// at L 4.5, the outer electron belt, of the order of 10^6.
TEST(Ae8Ap8Flux, IntegralFluxAtMapNodes) {
  struct Case {
    int whichm;
    const char* file;
    double e;
    int stored_e, stored_l;
    double lscale, lo, hi;
  } cases[] = {
      {3, "ap8min.asc", 10.0, 1000, 3072, 2048.0, 1e5, 1e6},
      {4, "ap8max.asc", 10.0, 1000, 3072, 2048.0, 1e5, 1e6},
      {2, "ae8max.asc", 1.0, 6400, 9450, 2100.0, 1e6, 1e7},
  };
  for (const Case& c : cases) {
    const int g = map_node(c.file, c.stored_e, c.stored_l);
    ASSERT_GT(g, 0) << c.file;
    std::vector<double> bbo = {1.0};
    const Flux f = lookup(c.whichm, 3, {c.e, 0.0}, {(c.stored_l + 0.5) / c.lscale}, bbo);
    EXPECT_NEAR(f.at(0, 0), std::pow(10.0, g / 1024.0), 1e-12 * f.at(0, 0)) << c.file;
    EXPECT_GT(f.at(0, 0), c.lo);
    EXPECT_LT(f.at(0, 0), c.hi);
  }
}

// The three kinds from the integral spectrum J: differential = (J(E - 0.001)
// - J(E + 0.001)) / 0.002; band mean = (J(E1) - J(E2)) / (E2 - E1); a band of
// zero width gives the differential flux. Zero flux (an energy far above the
// map) leaves the fill value.
TEST(Ae8Ap8Flux, KindsFromTheIntegralSpectrum) {
  const std::vector<double> lm = {4.43, 1.71};
  auto integral = [&](int whichm, double e, int i) {
    std::vector<double> bbo = {1.3, 1.08};
    return lookup(whichm, 3, {e, 0.0}, lm, bbo).at(i, 0);
  };
  for (int whichm : {2, 3}) {
    SCOPED_TRACE(whichm);
    const double e = whichm == 2 ? 1.2 : 17.0, e2 = whichm == 2 ? 2.2 : 33.0;
    std::vector<double> bbo = {1.3, 1.08};
    const Flux d = lookup(whichm, 1, {e, 0.0}, lm, bbo);
    const Flux band = lookup(whichm, 2, {e, e2, e, e}, lm, bbo);
    const int i = whichm == 2 ? 0 : 1;
    const double jd = (integral(whichm, e - 0.001, i) - integral(whichm, e + 0.001, i)) / 0.002;
    ASSERT_GT(jd, 0.0);
    EXPECT_NEAR(d.at(i, 0), jd, 1e-9 * jd);
    const double jb = (integral(whichm, e, i) - integral(whichm, e2, i)) / (e2 - e);
    EXPECT_NEAR(band.at(i, 0), jb, 1e-12 * jb);
    EXPECT_EQ(band.at(i, 1), d.at(i, 0));
  }
  std::vector<double> bbo = {1.0};
  EXPECT_EQ(lookup(1, 3, {12.0, 0.0}, {4.0}, bbo).at(0, 0), kFill);
  EXPECT_EQ(lookup(1, 1, {12.0, 0.0}, {4.0}, bbo).at(0, 0), kFill);
}

// The lookup does not check its selectors: an invalid one leaves every flux
// at the fill value, prints nothing and writes nothing back (no map is read).
TEST(Ae8Ap8Flux, LookupInvalidSelectorsGiveFill) {
  for (auto [whichm, whatf] : {std::pair{0, 3}, std::pair{5, 3}, std::pair{1, 0}, std::pair{1, 4}}) {
    std::vector<double> bbo = {0.5};
    testing::internal::CaptureStdout();
    const Flux f = lookup(whichm, whatf, {1.0, 2.0}, {3.0}, bbo);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    for (int k = 0; k < 25; ++k) EXPECT_EQ(f.at(0, k), kFill);
    EXPECT_EQ(bbo[0], 0.5);
  }
}

// More points or energies than the flux array holds: one message line, the
// fill value in every row the array has, nothing computed.
TEST(Ae8Ap8Flux, CallsBeyondTheArrayAreRefused) {
  Flux f;
  std::vector<double> lm(kRows + 1, 3.0), bbo(kRows + 1, 0.5), energy(50, 1.0);
  int n = kRows + 1, whichm = 1, whatf = 3, nene = 1;
  testing::internal::CaptureStdout();
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy.data(), bbo.data(), lm.data(), f.v.data());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("more than 100000 points"), std::string::npos);
  EXPECT_EQ(f.at(0, 0), kFill);
  EXPECT_EQ(f.at(kRows - 1, 24), kFill);
  EXPECT_EQ(bbo[0], 0.5);
  n = 1;
  nene = 26;
  f.v.assign(kRows * 25, 7.0);
  testing::internal::CaptureStdout();
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy.data(), bbo.data(), lm.data(), f.v.data());
  EXPECT_NE(testing::internal::GetCapturedStdout().find("more than 25 energies"), std::string::npos);
  EXPECT_EQ(f.at(0, 24), kFill);
  EXPECT_EQ(f.at(1, 0), 7.0);
}

// The argument-vector entry passes the addresses on unchanged.
TEST(Ae8Ap8Flux, EntryCallsTheLookup) {
  Flux f;
  int n = 1, whichm = 3, whatf = 3, nene = 1;
  double energy[50] = {10.0}, bbo = 0.8, lm = 1.5;
  void* argv[8] = {&n, &whichm, &whatf, &nene, energy, &bbo, &lm, f.v.data()};
  EXPECT_FLOAT_EQ(get_ae8_ap8_flux_idl_(8, argv), 9.9f);
  EXPECT_EQ(bbo, 1.0);
  std::vector<double> b = {1.0};
  EXPECT_EQ(f.at(0, 0), lookup(3, 3, {10.0, 0.0}, {1.5}, b).at(0, 0));
}

// ---- Along positions ------------------------------------------------------

struct Points {
  std::vector<int> iyr, idoy;
  std::vector<double> ut, x1, x2, x3;
  void add(double a, double b, double c, int y = 2003, int d = 77, double t = 4000.0) {
    iyr.push_back(y);
    idoy.push_back(d);
    ut.push_back(t);
    x1.push_back(a);
    x2.push_back(b);
    x3.push_back(c);
  }
};

Flux fly(int sysaxes, int& whichm, int& whatf, std::vector<double> energy, Points& p) {
  Flux f;
  int n = static_cast<int>(p.x1.size()), nene = static_cast<int>(energy.size() / 2);
  energy.resize(50, 0.0);
  fly_in_nasa_aeap1_(&n, &sysaxes, &whichm, &whatf, &nene, energy.data(), p.iyr.data(), p.idoy.data(),
                     p.ut.data(), p.x1.data(), p.x2.data(), p.x3.data(), f.v.data());
  return f;
}

// Through the whole chain: on the dipole equator at 1.5 Earth radii (inner
// proton belt) AP8 MIN gives 10^5 to 10^6 protons above 10 MeV; at 10 Earth
// radii the proton maps end (L above 7) and at 12 the electron maps (L above
// 11): fill.
TEST(Ae8Ap8Fly, InnerBeltAndBeyondTheMaps) {
  Points p;
  p.add(1.5, 0.0, 0.0);
  p.add(10.0, 0.0, 0.0);
  p.add(12.0, 0.0, 0.0);
  int whichm = 3, whatf = 3;
  const Flux pro = fly(6, whichm, whatf, {10.0, 0.0}, p);
  EXPECT_GT(pro.at(0, 0), 1e5);
  EXPECT_LT(pro.at(0, 0), 1e6);
  EXPECT_EQ(pro.at(1, 0), kFill);
  whichm = 1;
  const Flux ele = fly(6, whichm, whatf, {0.5, 0.0}, p);
  EXPECT_GT(ele.at(1, 0), 0.0);
  EXPECT_EQ(ele.at(2, 0), kFill);
}

// One position given in GDZ, GEO, SPH, MAG, GSM, GSE, SM, GEI and RLL gives
// one flux (up to the iterative geodetic conversion); RLL leaves the caller's
// radius as it was; a position code outside 0..8 gives fill.
TEST(Ae8Ap8Fly, SamePointInEveryPositionSystem) {
  double lat = -12.5, lon = 231.0, alt = 2150.0, x, y, z;
  gdz_geo_(&lat, &lon, &alt, &x, &y, &z);
  const std::vector<double> e = {2.0, 0.0, 10.0, 0.0, 30.0, 50.0};
  Points gdz;
  gdz.add(alt, lat, lon);
  int whichm = 4, whatf = 3;
  const Flux ref = fly(0, whichm, whatf, e, gdz);
  ASSERT_GT(ref.at(0, 1), 0.0);
  // Conversions in the map's field model (GSFC 12/66 loaded by the call).
  double xg[3] = {x, y, z}, xmag[3], xgsm[3], xgse[3], xsm[3], xgei[3], r, slat, slon;
  geo_mag_(xg, xmag);
  car_sph_(xg, &r, &slat, &slon);
  int yr = 2003, dy = 77;
  double t = 4000.0, psi;
  init_gsm_(&yr, &dy, &t, &psi);
  geo_gsm_(xg, xgsm);
  geo_gse_(xg, xgse);
  geo_sm_(xg, xsm);
  geo_gei_(xg, xgei);
  double rll_r = std::sqrt(x * x + y * y + z * z);
  struct Case {
    int sysaxes;
    double a, b, c;
  } cases[] = {{1, x, y, z},
               {7, r, slat, slon},
               {6, xmag[0], xmag[1], xmag[2]},
               {2, xgsm[0], xgsm[1], xgsm[2]},
               {3, xgse[0], xgse[1], xgse[2]},
               {4, xsm[0], xsm[1], xsm[2]},
               {5, xgei[0], xgei[1], xgei[2]},
               {8, rll_r, lat, lon}};
  for (const Case& c : cases) {
    Points p;
    p.add(c.a, c.b, c.c);
    const Flux f = fly(c.sysaxes, whichm, whatf, e, p);
    for (int k = 0; k < 3; ++k)
      EXPECT_NEAR(f.at(0, k), ref.at(0, k), 1e-6 * ref.at(0, k)) << "sysaxes " << c.sysaxes << " column " << k;
    if (c.sysaxes == 8) {
      EXPECT_EQ(p.x1[0], rll_r);
    }
  }
  Points bad;
  bad.add(x, y, z);
  const Flux f = fly(9, whichm, whatf, e, bad);
  for (int k = 0; k < 25; ++k) EXPECT_EQ(f.at(0, k), kFill);
}

// The maps are static and each point stands alone: along geodetic positions
// a point's fluxes are the lookup at the Lm and B/B0 of its own field line in
// the maps' field model (Jensen-Cain 1960, GSFC 12/66 for AP8 MAX; no external
// field), whatever the date of the point, the other points of the call or
// their order. The reference takes Lm, Blocal and Bmin from make_lstar1_ with
// that internal model, all points at one other date, and looks them up with
// get_ae8_ap8_flux_ (|Lm| for a line marked not closed). The points span the
// inner and outer belts, the slot, the South Atlantic Anomaly, a line that
// mirrors below the surface in the other hemisphere, and beyond the maps.
TEST(Ae8Ap8Fly, PointFluxIsTheLookupAtItsOwnFieldLine) {
  struct Pos {
    double alt, lat, lon;
    int iyr, idoy;
    double ut;
  } const pos[] = {{1850.0, -25.0, -40.0, 2003, 77, 4000.0},  {500.0, -30.0, -45.0, 1995, 200, 30000.0},
                   {1200.0, 10.0, 120.0, 2010, 15, 80000.0},  {20000.0, 5.0, -70.0, 1972, 366, 0.0},
                   {3000.0, 40.0, 10.0, 1980, 300, 100.0},    {10000.0, -20.0, 200.0, 1965, 180, 43200.0},
                   {6000.0, 50.0, -100.0, 2001, 250, 20000.0}, {100.0, -67.5, 22.5, 2019, 1, 86399.0},
                   {35786.0, 0.0, 75.0, 2015, 100, 5000.0},   {100000.0, 10.0, 10.0, 1990, 33, 7.0}};
  const int n = static_cast<int>(std::size(pos));
  Points fwd, rev;
  for (int i = 0; i < n; ++i) fwd.add(pos[i].alt, pos[i].lat, pos[i].lon, pos[i].iyr, pos[i].idoy, pos[i].ut);
  for (int i = n - 1; i >= 0; --i)
    rev.add(pos[i].alt, pos[i].lat, pos[i].lon, pos[i].iyr, pos[i].idoy, pos[i].ut);
  struct Case {
    int whichm, whatf;
    std::vector<double> energy;
  } const cases[] = {{1, 3, {0.1, 0.0, 1.0, 0.0, 3.0, 0.0}}, {2, 1, {0.5, 0.0, 2.0, 0.0}},
                     {2, 2, {0.3, 0.6, 1.0, 2.5}},         {3, 3, {1.0, 0.0, 10.0, 0.0, 100.0, 0.0}},
                     {4, 1, {5.0, 0.0, 30.0, 0.0}},         {4, 2, {10.0, 50.0}}};
  for (const Case& c : cases) {
    int whichm = c.whichm, whatf = c.whatf;
    const int nene = static_cast<int>(c.energy.size() / 2);
    const Flux f = fly(0, whichm, whatf, c.energy, fwd);
    const Flux r = fly(0, whichm, whatf, c.energy, rev);

    int kext = 0, options[5] = {0, 0, 0, 0, c.whichm == 4 ? 3 : 2}, sysaxes = 0, m = n;
    std::vector<int> iyr(n, 2008), idoy(n, 123);
    std::vector<double> ut(n, 7777.0), maginput(25 * n, 0.0), lm(n), lstar(n), blocal(n), bmin(n), xj(n),
        mlt(n);
    make_lstar1_(&m, &kext, options, &sysaxes, iyr.data(), idoy.data(), ut.data(), fwd.x1.data(),
                 fwd.x2.data(), fwd.x3.data(), maginput.data(), lm.data(), lstar.data(), blocal.data(),
                 bmin.data(), xj.data(), mlt.data());
    std::vector<double> l(n), bbo(n);
    for (int i = 0; i < n; ++i) {
      l[i] = lm[i] == kFill ? kFill : std::fabs(lm[i]);
      bbo[i] = blocal[i] / bmin[i];
    }
    const Flux g = lookup(c.whichm, c.whatf, c.energy, l, bbo);

    int valid = 0;
    for (int i = 0; i < n; ++i)
      for (int k = 0; k < nene; ++k) {
        const std::string at = "map " + std::to_string(c.whichm) + " kind " + std::to_string(c.whatf) +
                               " point " + std::to_string(i) + " energy " + std::to_string(k);
        EXPECT_EQ(f.at(i, k), g.at(i, k)) << at;
        EXPECT_EQ(f.at(i, k), r.at(n - 1 - i, k)) << at << " (reversed call)";
        if (f.at(i, k) > 0.0) ++valid;
      }
    EXPECT_GE(valid, 2 * nene) << "map " << c.whichm << " kind " << c.whatf;  // not a comparison of fills
    EXPECT_EQ(f.at(n - 1, 0), kFill);                                        // far beyond every map
  }
}

// The field model of the maps: Jensen-Cain 1960 for AE8 and AP8 MIN, GSFC
// 12/66 for AP8 MAX, without external field and L*, set at every call
// whatever an earlier call chose: the same AE8 MIN flux before and after an
// AP8 MAX call, and a proton flux that differs between the two models.
TEST(Ae8Ap8Fly, FieldModelOfTheMapsAtEveryCall) {
  Points p;
  p.add(1850.0, -25.0, -40.0, 2003, 77, 4000.0);  // South Atlantic Anomaly, inner belt
  int whichm = 1, whatf = 3;
  const Flux a = fly(0, whichm, whatf, {0.3, 0.0}, p);
  EXPECT_EQ(kest::magmod.kext, 0);
  EXPECT_EQ(kest::magmod.lstar_opt, 0);
  EXPECT_EQ(kest::magmod.kint, 2);
  whichm = 4;
  const Flux pmax = fly(0, whichm, whatf, {30.0, 0.0}, p);
  EXPECT_EQ(kest::magmod.kint, 3);
  EXPECT_EQ(kest::flag_l.set, 0);
  whichm = 3;
  const Flux pmin = fly(0, whichm, whatf, {30.0, 0.0}, p);
  EXPECT_NE(pmin.at(0, 0), pmax.at(0, 0));
  whichm = 1;
  const Flux b = fly(0, whichm, whatf, {0.3, 0.0}, p);
  EXPECT_GT(a.at(0, 0), 0.0);
  EXPECT_EQ(a.at(0, 0), b.at(0, 0));
}

// The dipole tilt of the map epoch is left in dip_ang (degrees): 1960 day 0
// with Jensen-Cain 1960, 1970 day 0 with GSFC 12/66, both at 0 h: near
// midwinter midnight the northern dipole end leans away from the sun by
// roughly the 23.4 degree obliquity plus the dipole's own tilt.
TEST(Ae8Ap8Fly, DipoleTiltOfTheMapEpoch) {
  Points none;
  for (int whichm : {1, 4}) {
    int m = whichm, k = 3;
    fly(0, m, k, {1.0, 0.0}, none);
    EXPECT_LT(kest::dip_ang.tilt, -23.4 + 1.0);
    EXPECT_GT(kest::dip_ang.tilt, -23.4 - 12.0);
  }
}

// Invalid selectors: the six-line warning, then the call goes on with 1 (AE8
// MIN, differential flux) and the caller's variables read 1. With no points
// nothing is written into the flux array.
TEST(Ae8Ap8Fly, InvalidSelectorsAreReplacedWithAWarning) {
  const std::string bang = " !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
  struct Case {
    int whichm, whatf;
    std::string out;
  } cases[] = {
      {0, 3, "\n" + bang + " Invalid NASA AE8 or AP8 specification\n Selecting AE8 min\n" + bang + "\n"},
      {5, 2, "\n" + bang + " Invalid NASA AE8 or AP8 specification\n Selecting AE8 min\n" + bang + "\n"},
      {2, 4, "\n" + bang + " Invalid flux output specification\n Selecting differential flux\n" + bang + "\n"},
      {3, 3, ""},
  };
  for (const Case& c : cases) {
    Points none;
    int whichm = c.whichm, whatf = c.whatf;
    testing::internal::CaptureStdout();
    const Flux f = fly(0, whichm, whatf, {1.0, 0.0}, none);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), c.out);
    EXPECT_EQ(whichm, c.whichm >= 1 && c.whichm <= 4 ? c.whichm : 1);
    EXPECT_EQ(whatf, c.whatf >= 1 && c.whatf <= 3 ? c.whatf : 1);
    EXPECT_EQ(kest::magmod.kint, whichm == 4 ? 3 : 2);
    EXPECT_EQ(f.at(0, 0), 7.0);
  }
  // The replaced selectors give AE8 MIN differential fluxes.
  Points p;
  p.add(1.5, 0.0, 0.0);
  int whichm = 0, whatf = 9;
  testing::internal::CaptureStdout();
  const Flux f = fly(6, whichm, whatf, {0.5, 0.0}, p);
  testing::internal::GetCapturedStdout();
  whichm = 1;
  whatf = 1;
  EXPECT_EQ(f.at(0, 0), fly(6, whichm, whatf, {0.5, 0.0}, p).at(0, 0));
}

// The argument-vector entry of the driver.
TEST(Ae8Ap8Fly, EntryCallsTheDriver) {
  int n = 1, sysaxes = 6, whichm = 3, whatf = 3, nene = 1, iyr = 2003, idoy = 77;
  double energy[50] = {10.0}, ut = 4000.0, x1 = 1.5, x2 = 0.0, x3 = 0.0;
  Flux f;
  void* argv[13] = {&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x1, &x2, &x3, f.v.data()};
  EXPECT_FLOAT_EQ(fly_in_nasa_aeap_(13, argv), 9.9f);
  Points p;
  p.add(1.5, 0.0, 0.0);
  EXPECT_EQ(f.at(0, 0), fly(6, whichm, whatf, {10.0, 0.0}, p).at(0, 0));
}

}  // namespace
