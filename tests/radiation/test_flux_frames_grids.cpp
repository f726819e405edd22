// The grids of the CRRES tables in full, and the frames in which the flux
// drivers find L and B/B0: a field line whose conjugate mirror point lies
// below the surface (negative Lm) looked up at the size of its L, and the
// CRRES driver's sun and axes (fixed mid-1985 for a GEO position whatever its
// time, the point's own time for a GSM position).
//
// The CRRES tables used here are fixtures written by the test (value of
// energy ie, B/B0 cell ib, L cell il = ie x 10^6 + ib x 10^3 + il); they are
// not model data.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "crres_fixture.hpp"
#include "kest.h"
#include "magcoords/magcoords_state.hpp"
#include "radiation/flux_tables.hpp"
#include "radiation/radiation_state.hpp"

namespace {

constexpr double kFill = -1.0e31;
constexpr int kRows = 100000;

// B/B0 grid of both particles and the energy grids (MeV) of the tables.
const double kBb0[35] = {1.0,   1.004, 1.02,  1.046, 1.085, 1.14,  1.2,   1.3,   1.4,   1.52,  1.69,  1.88,
                         2.1,   2.4,   2.73,  3.13,  3.67,  4.35,  5.02,  6.1,   7.41,  9.088, 11.29, 14.22,
                         18.16, 23.56, 31.07, 41.47, 57.23, 80.25, 115.4, 170.7, 260.7, 413.4, 684.6};
const double kProtonE[22] = {1.5,  2.1,  2.5,  2.9,  3.6,  4.3,  5.7,  6.8,  8.5,  9.7,  10.7,
                             13.2, 16.9, 19.4, 26.3, 30.9, 36.3, 41.1, 47.0, 55.0, 65.7, 81.3};
const double kElectronE[10] = {0.65, 0.95, 1.6, 2.0, 2.35, 2.75, 3.15, 3.75, 4.55, 5.75};

using crres_test::TempDir;
using crres_test::code;

// ne energies x ncells L cells, 34 fields of 9 characters and a blank each.
void write_index_table(const std::string& file, int ne, int ncells) {
  std::ofstream out(file);
  char s[16];
  for (int ie = 1; ie <= ne; ++ie)
    for (int il = 1; il <= ncells; ++il) {
      for (int ib = 1; ib <= 34; ++ib) {
        std::snprintf(s, sizeof s, "%8d.", static_cast<int>(code(ie, ib, il)));
        out << s << ' ';
      }
      out << '\n';
    }
}

struct Flux {
  std::vector<double> v = std::vector<double>(kRows * 25, 7.0);
  double at(int i, int k) const { return v[i + kRows * k]; }
};

// Every value of the three grids, as the tables' documentation lists them,
// after a proton and after an electron load: L from 1.0 (protons) or 2.5
// (electrons) in steps of 0.05, the unused electron entries 0.
TEST(CrresGrids, EveryGridValue) {
  TempDir tmp;
  write_index_table(tmp.path + "crrespro_quiet.txt", 22, 90);
  write_index_table(tmp.path + "crresele_Average.txt", 10, 86);
  const kest::CrresModelDbl& t = kest::crres_model_dbl;

  kest::init_crres(1, tmp.path.c_str(), static_cast<int>(tmp.path.size()));
  EXPECT_EQ(kest::crres_model_int.ne, 22);
  EXPECT_EQ(kest::crres_model_int.nb, 35);
  EXPECT_EQ(kest::crres_model_int.nl, 91);
  for (int j = 0; j < 35; ++j) EXPECT_EQ(t.bb0grid[j], kBb0[j]) << "B/B0 " << j + 1;
  for (int j = 0; j < 22; ++j) EXPECT_EQ(t.egrid[j], kProtonE[j]) << "proton energy " << j + 1;
  for (int i = 1; i <= 91; ++i) EXPECT_NEAR(t.lgrid[i - 1], 1.0 + 0.05 * (i - 1), 1e-13) << "proton L " << i;

  kest::init_crres(3, tmp.path.c_str(), static_cast<int>(tmp.path.size()));
  EXPECT_EQ(kest::crres_model_int.ne, 10);
  EXPECT_EQ(kest::crres_model_int.nb, 35);
  EXPECT_EQ(kest::crres_model_int.nl, 87);
  for (int j = 0; j < 35; ++j) EXPECT_EQ(t.bb0grid[j], kBb0[j]) << "B/B0 " << j + 1;
  for (int j = 0; j < 10; ++j) EXPECT_EQ(t.egrid[j], kElectronE[j]) << "electron energy " << j + 1;
  for (int j = 10; j < 22; ++j) EXPECT_EQ(t.egrid[j], 0.0) << "electron energy " << j + 1;
  for (int i = 1; i <= 87; ++i) EXPECT_NEAR(t.lgrid[i - 1], 2.5 + 0.05 * (i - 1), 1e-13) << "electron L " << i;
  for (int i = 88; i <= 91; ++i) EXPECT_EQ(t.lgrid[i - 1], 0.0) << "electron L " << i;
}

// A point low over the far south (100 km, 67.5 S, 22.5 E) whose field line
// mirrors below the surface in the other hemisphere: calcul_lstar marks its
// Lm negative, and the AE8 MIN flux along positions is the lookup at -Lm
// (about 4.6) and Blocal/Bmin of the maps' field model, not the fill value of
// an L below the map.
TEST(FlyFrames, NegativeLmIsLookedUpAtItsSize) {
  int n = 1, sysaxes = 0, whichm = 1, whatf = 3, nene = 1;
  int iyr = 2003, idoy = 77;
  double energy[50] = {0.04}, ut = 4000.0, alt = 100.0, lat = -67.5, lon = 22.5;
  Flux f;
  fly_in_nasa_aeap1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &alt, &lat, &lon,
                     f.v.data());
  // The driver left its field model (Jensen-Cain 1960, no external field).
  int t = 3, r = 0;
  double lm, lstar, xj, blocal, bmin;
  kest::flag_l.set = 0;
  calcul_lstar_(&t, &r, &lat, &lon, &alt, &lm, &lstar, &xj, &blocal, &bmin);
  ASSERT_LT(lm, -1.2);
  ASSERT_GT(lm, -11.0);
  double l = -lm, bbo = blocal / bmin;
  Flux g;
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy, &bbo, &l, g.v.data());
  ASSERT_GT(g.at(0, 0), 0.0);
  EXPECT_EQ(f.at(0, 0), g.at(0, 0));
}

// The CRRES driver: a GEO position takes the sun and axes of day 182 of 1985
// at 0 h whatever its time (the same cell at two times); a GSM position is
// converted with the axes of its own time, and its L and B/B0 are found with
// the SM axes of that time (here a cell two L cells away from the one the
// mid-1985 axes would give).
TEST(FlyFrames, CrresGeoIgnoresTimeGsmUsesItsTime) {
  TempDir tmp;
  std::string dir = tmp.path;
  write_index_table(dir + "crrespro_quiet.txt", 22, 90);
  int len = static_cast<int>(dir.size());
  int t = 3, r = 0;
  auto cell_value = [](double lm, double bbo) {
    const int il = static_cast<int>(std::floor((lm - 1.0) / 0.05)) + 1;
    int ib = 1;
    while (bbo > kBb0[ib]) ++ib;
    return code(8, ib, il);  // 6.8 MeV, energy row 8
  };
  auto fly = [&](int sysaxes, int iyr, int idoy, double ut, double x, double y, double z) {
    int n = 1, whichm = 1, whatf = 1, nene = 1;
    double energy[50] = {6.8}, ap = 0.0;
    Flux f;
    fly_in_afrl_crres1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap,
                        f.v.data(), dir.data(), &len);
    return f.at(0, 0);
  };

  // GEO, 3.2 Earth radii: the same flux at two times, that of the cell
  // found with the driver's own axes.
  const double geo[3] = {2.5, 1.8, 0.7};
  const double a = fly(1, 1991, 100, 3600.0, geo[0], geo[1], geo[2]);
  const double b = fly(1, 1995, 280, 50000.0, geo[0], geo[1], geo[2]);
  EXPECT_EQ(a, b);
  {
    double xg[3] = {geo[0], geo[1], geo[2]}, glat, glon, galt, lm, lstar, xj, blocal, bmin;
    geo_gdz_(&xg[0], &xg[1], &xg[2], &glat, &glon, &galt);
    kest::flag_l.set = 0;
    calcul_lstar_(&t, &r, &glat, &glon, &galt, &lm, &lstar, &xj, &blocal, &bmin);
    ASSERT_GT(lm, 1.0);
    ASSERT_LT(lm, 5.5);
    EXPECT_NEAR(a, cell_value(lm, blocal / bmin), 1e-9 * a);  // the grid value, through exp(log)
  }

  // GSM at (-4, 0.5, 1) on day 280 of 1991, 50000 s.
  int yr = 1991, dy = 280;
  double ut = 50000.0, xgsm[3] = {-4.0, 0.5, 1.0};
  const double c = fly(2, yr, dy, ut, xgsm[0], xgsm[1], xgsm[2]);
  double psi, xgeo[3], glat, glon, galt, lm, lstar, xj, blocal, bmin;
  init_gsm_(&yr, &dy, &ut, &psi);
  gsm_geo_(xgsm, xgeo);
  geo_gdz_(&xgeo[0], &xgeo[1], &xgeo[2], &glat, &glon, &galt);
  kest::flag_l.set = 0;
  calcul_lstar_(&t, &r, &glat, &glon, &galt, &lm, &lstar, &xj, &blocal, &bmin);
  ASSERT_GT(lm, 1.0);
  ASSERT_LT(lm, 5.5);
  EXPECT_NEAR(c, cell_value(lm, blocal / bmin), 1e-9 * c);
  // The same geodetic point under the mid-1985 axes lies in another cell.
  const double d = fly(0, yr, dy, ut, galt, glat, glon);
  EXPECT_GT(std::fabs(c - d), 1.5);  // at least one L cell apart
  EXPECT_NE(d, kFill);
}

}  // namespace
