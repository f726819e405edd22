// CRRES flux tables: reading the record layout, the grids, the cell lookup,
// the interpolation in energy, the Ap15 tables, the data path and the stops.
//
// The real CRRESPRO/CRRESELE tables are not part of the project. Every table
// here is a fixture written by the test itself with synthetic values chosen
// to expose reading, scaling and indexing: in the "index" tables the value of
// energy ie, B/B0 cell ib and L cell il (numbered from 1) is
// ie x 10^6 + ib x 10^3 + il. They are not model data.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>
#include <vector>

#include "kest.h"
#include "magcoords/magcoords_state.hpp"
#include "radiation/flux_tables.hpp"
#include "radiation/radiation_state.hpp"

namespace {

constexpr double kFill = -1.0e31;
constexpr int kRows = 100000;

const double kProtonE[22] = {1.5,  2.1,  2.5,  2.9,  3.6,  4.3,  5.7,  6.8,  8.5,  9.7,  10.7,
                             13.2, 16.9, 19.4, 26.3, 30.9, 36.3, 41.1, 47.0, 55.0, 65.7, 81.3};

// A fresh directory for the fixture tables of one test, removed afterwards.
struct TempDir {
  std::string path;
  TempDir() {
    char tmpl[] = "/tmp/kest_crres_XXXXXX";
    const char* d = mkdtemp(tmpl);
    path = std::string(d ? d : "/tmp/kest_crres_failed") + "/";
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

// A table file of ne energies x ncells L cells, 34 fields per record, each
// field 9 characters and one blank, energy outer and L cell inner.
void write_table(const std::string& file, int ne, int ncells, const std::function<std::string(int, int, int)>& field,
                 int records = -1) {
  std::ofstream out(file);
  int written = 0;
  for (int ie = 1; ie <= ne; ++ie)
    for (int il = 1; il <= ncells; ++il) {
      if (records >= 0 && written == records) return;
      for (int ib = 1; ib <= 34; ++ib) out << field(ie, ib, il) << ' ';
      out << '\n';
      ++written;
    }
}

double code(int ie, int ib, int il) { return ie * 1e6 + ib * 1e3 + il; }

std::string code_field(int ie, int ib, int il) {
  char s[16];
  std::snprintf(s, sizeof s, "%8d.", static_cast<int>(code(ie, ib, il)));
  return s;
}

std::string const_field(double v) {
  char s[16];
  std::snprintf(s, sizeof s, "%9.3f", v);
  return s;
}

struct Flux {
  std::vector<double> v = std::vector<double>(kRows * 25, 7.0);
  double at(int i, int k) const { return v[i + kRows * k]; }
};

Flux crres(int whichm, int whatf, std::vector<double> energy, std::vector<double> lm, std::vector<double> bbo,
           std::vector<double> ap15, std::string dir, int path_len = -2) {
  Flux f;
  int n = static_cast<int>(lm.size()), nene = static_cast<int>(energy.size() / 2);
  int len = path_len == -2 ? static_cast<int>(dir.size()) : path_len;
  energy.resize(50, 0.0);
  if (ap15.empty()) ap15.assign(lm.size(), 0.0);
  dir.resize(600, ' ');
  get_crres_flux_(&n, &whichm, &whatf, &nene, energy.data(), bbo.data(), lm.data(), ap15.data(), f.v.data(),
                  dir.data(), &len);
  return f;
}

// Records are read energy by energy, L cell by L cell, 34 B/B0 cells each;
// the grids are those of the particle; an electron table is scaled by 1000
// and leaves the proton rows it does not cover as they were.
TEST(CrresTable, RecordOrderGridsAndElectronScaling) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_active.txt", 22, 90, code_field);
  write_table(dir + "crresele_Worst_case.txt", 10, 86, code_field);
  const kest::CrresModelDbl& t = kest::crres_model_dbl;
  kest::init_crres(2, dir.c_str(), static_cast<int>(dir.size()));
  EXPECT_EQ(kest::crres_model_int.ne, 22);
  EXPECT_EQ(kest::crres_model_int.nb, 35);
  EXPECT_EQ(kest::crres_model_int.nl, 91);
  for (auto [ie, ib, il] : {std::tuple{1, 1, 1}, {22, 34, 90}, {7, 13, 41}, {22, 1, 1}, {1, 34, 90}})
    EXPECT_EQ(t.flux_tab[il - 1][ib - 1][ie - 1], code(ie, ib, il)) << ie << " " << ib << " " << il;
  EXPECT_EQ(t.lgrid[0], 1.0);
  EXPECT_NEAR(t.lgrid[90], 5.5, 1e-12);
  EXPECT_EQ(t.egrid[21], 81.3);
  EXPECT_EQ(t.bb0grid[0], 1.0);
  EXPECT_EQ(t.bb0grid[34], 684.6);

  kest::init_crres(4, dir.c_str(), static_cast<int>(dir.size()));
  EXPECT_EQ(kest::crres_model_int.ne, 10);
  EXPECT_EQ(kest::crres_model_int.nl, 87);
  EXPECT_EQ(t.flux_tab[85][33][9], 1000.0 * code(10, 34, 86));
  EXPECT_EQ(t.flux_tab[0][0][0], 1000.0 * code(1, 1, 1));
  EXPECT_EQ(t.flux_tab[0][0][10], code(11, 1, 1));    // proton energy row 11 kept
  EXPECT_EQ(t.flux_tab[88][5][0], code(1, 6, 89));    // proton L cell 89 kept
  EXPECT_EQ(t.egrid[0], 0.65);
  EXPECT_EQ(t.egrid[9], 5.75);
  EXPECT_EQ(t.egrid[10], 0.0);
  EXPECT_EQ(t.lgrid[0], 2.5);
  EXPECT_NEAR(t.lgrid[86], 6.8, 1e-12);
  EXPECT_EQ(t.lgrid[87], 0.0);
  // A number outside 1..10 loads nothing.
  kest::init_crres(11, dir.c_str(), static_cast<int>(dir.size()));
  EXPECT_EQ(kest::crres_model_int.ne, 10);
}

// The forms a "D9.3" field may take: exponent letters D and E, an exponent
// with only its sign, 3 implied decimals without a decimal point, blanks
// ignored, an empty field 0; a short record reads as if padded with blanks.
TEST(CrresTable, FieldForms) {
  TempDir tmp;
  const std::string dir = tmp.path;
  {
    std::ofstream out(dir + "crrespro_quiet.txt");
    const char* first[] = {"1.500D+02", "   123456", "  2.5E-01", "     -1.0", "         ",
                           "  12.5+03", " 7.25d1  ", "    4 2  ", "      0.5"};
    std::string rec;
    for (const char* f : first) rec += std::string(f) + " ";
    for (int i = 9; i < 34; ++i) rec += "    1.000 ";
    out << rec << "\n";
    out << "      9.5\n";
    for (int r = 2; r < 1980; ++r) {
      for (int i = 0; i < 34; ++i) out << "    1.000 ";
      out << "\n";
    }
  }
  kest::init_crres(1, dir.c_str(), static_cast<int>(dir.size()));
  const double expect[] = {150.0, 123.456, 0.25, -1.0, 0.0, 12500.0, 72.5, 0.042, 0.5, 1.0};
  for (int ib = 0; ib < 10; ++ib) EXPECT_DOUBLE_EQ(kest::crres_model_dbl.flux_tab[0][ib][0], expect[ib]) << ib;
  EXPECT_EQ(kest::crres_model_dbl.flux_tab[1][0][0], 9.5);
  EXPECT_EQ(kest::crres_model_dbl.flux_tab[1][1][0], 0.0);
  EXPECT_EQ(kest::crres_model_dbl.flux_tab[1][33][0], 0.0);
}

// A table that cannot be opened or read stops the process with exit status 1
// and a message naming the file on standard error.
TEST(CrresTable, UnreadableTablesStop) {
  TempDir tmp;
  const std::string dir = tmp.path;
  EXPECT_EXIT(
      {
        dup2(2, 1);
        kest::init_crres(1, dir.c_str(), static_cast<int>(dir.size()));
      },
      testing::ExitedWithCode(1), "Cannot open CRRES flux table file .*crrespro_quiet.txt");
  write_table(dir + "crresele_Ap3.txt", 10, 86, code_field, 859);
  EXPECT_EXIT(
      {
        dup2(2, 1);
        kest::init_crres(7, dir.c_str(), static_cast<int>(dir.size()));
      },
      testing::ExitedWithCode(1), "crresele_Ap3.txt: it ends before record 860");
  write_table(dir + "crresele_Ap4.txt", 10, 86, [](int ie, int ib, int il) {
    return ie == 3 && ib == 5 && il == 2 ? std::string("   1.2x4 ") : code_field(ie, ib, il);
  });
  EXPECT_EXIT(
      {
        dup2(2, 1);
        kest::init_crres(8, dir.c_str(), static_cast<int>(dir.size()));
      },
      testing::ExitedWithCode(1), "crresele_Ap4.txt: record 174, field 5 is not a number");
  // Through the lookup, the same stop.
  EXPECT_EXIT(
      {
        dup2(2, 1);
        crres(3, 1, {1.0, 0.0}, {3.0}, {1.0}, {}, dir);
      },
      testing::ExitedWithCode(1), "Cannot open CRRES flux table file .*crresele_Average.txt");
}

// The cell of a point: the largest L grid value at or below L (the last grid
// value itself is outside), the smallest B/B0 grid value at or above B/B0,
// less one (B/B0 at or below 1.004, and below 1, in cell 1). At a grid energy
// the differential flux is the table value; E1 outside the energy grid, L
// outside the grid and B/B0 above 684.6 keep the fill value.
TEST(CrresLookup, CellsAndGridEnergies) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  struct Pt {
    double l, b;
    int il, ib;  // 0: fill
  } pts[] = {
      {1.0, 1.0, 1, 1},     {1.049, 0.3, 1, 1},  {3.225, 1.004, 45, 1}, {3.225, 1.01, 45, 2},
      {5.49, 684.6, 90, 34}, {2.0 + 0.03, 5.5, 21, 19}, {5.5, 1.0, 0, 0},  {0.99, 1.0, 0, 0},
      {3.0, 684.7, 0, 0},   {kFill, 1.0, 0, 0},
  };
  std::vector<double> lm, bbo;
  for (const Pt& p : pts) {
    lm.push_back(p.l);
    bbo.push_back(p.b);
  }
  std::vector<double> energy;
  const int ies[] = {1, 2, 7, 22};
  for (int ie : ies) energy.insert(energy.end(), {kProtonE[ie - 1], 0.0});
  energy.insert(energy.end(), {1.49, 0.0, 81.31, 0.0});
  const Flux f = crres(1, 1, energy, lm, bbo, {}, dir);
  for (std::size_t i = 0; i < std::size(pts); ++i) {
    const Pt& p = pts[i];
    for (int k = 0; k < 4; ++k) {
      if (p.il == 0)
        EXPECT_EQ(f.at(i, k), kFill) << "point " << i;
      else
        EXPECT_NEAR(f.at(i, k), code(ies[k], p.ib, p.il), 1e-12 * code(ies[k], p.ib, p.il)) << "point " << i;
    }
    EXPECT_EQ(f.at(i, 4), kFill);
    EXPECT_EQ(f.at(i, 5), kFill);
    EXPECT_EQ(f.at(i, 6), kFill);  // beyond Nene
  }
}

// Between grid energies the differential flux lies on the straight line in
// log flux against log energy; a band within one grid interval is the mean
// of its two ends; a wider band is the trapezoid sum over the grid energies
// inside it divided by its width; the integral runs to the last grid energy.
TEST(CrresLookup, InterpolationBandsAndIntegral) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  const std::vector<double> lm = {2.23}, bbo = {1.5};
  const int il = 25, ib = 9;
  auto f = [&](int ie) { return code(ie, ib, il); };
  auto loglog = [&](int ie, double e) {  // between grid energies ie and ie + 1
    const double t = std::log(e / kProtonE[ie - 1]) / std::log(kProtonE[ie] / kProtonE[ie - 1]);
    return f(ie) * std::pow(f(ie + 1) / f(ie), t);
  };
  const Flux d = crres(1, 1, {2.0, 0.0, 3.0, 0.0, 80.0, 0.0}, lm, bbo, {}, dir);
  EXPECT_NEAR(d.at(0, 0), loglog(1, 2.0), 1e-12 * f(1));
  EXPECT_NEAR(d.at(0, 1), loglog(4, 3.0), 1e-12 * f(4));
  EXPECT_NEAR(d.at(0, 2), loglog(21, 80.0), 1e-12 * f(21));

  const Flux band = crres(1, 2, {2.0, 2.05, 2.0, 3.0, 2.5, 2.5, 2.0, 81.5, 3.0, 2.0}, lm, bbo, {}, dir);
  EXPECT_NEAR(band.at(0, 0), (loglog(1, 2.0) + loglog(1, 2.05)) / 2, 1e-12 * f(1));
  const double trap = 0.5 * (2.1 - 2.0) * (loglog(1, 2.0) + f(2)) + 0.5 * (2.5 - 2.1) * (f(2) + f(3)) +
                      0.5 * (2.9 - 2.5) * (f(3) + f(4)) + 0.5 * (3.0 - 2.9) * (loglog(4, 3.0) + f(4));
  EXPECT_NEAR(band.at(0, 1), trap / 1.0, 1e-12 * f(4));
  EXPECT_NEAR(band.at(0, 2), f(3), 1e-12 * f(3));  // zero width: the differential flux
  EXPECT_EQ(band.at(0, 3), kFill);                // E2 above the grid
  EXPECT_EQ(band.at(0, 4), kFill);                // E2 below E1

  const Flux integral = crres(1, 3, {80.0, 0.0, 81.3, 0.0}, lm, bbo, {}, dir);
  EXPECT_NEAR(integral.at(0, 0), 0.5 * (81.3 - 80.0) * (loglog(21, 80.0) + f(22)), 1e-12 * f(22));
  EXPECT_EQ(integral.at(0, 1), kFill);  // nothing above the last grid energy
}

// Table values of 0 or below carry no flux: no interpolated value between
// them (fill), and a band or integral whose sum is not positive is fill.
TEST(CrresLookup, NoFluxGivesFill) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_active.txt", 22, 90, [](int ie, int, int) {
    return ie == 5 ? std::string("    0.000") : ie >= 20 ? std::string("   -1.000") : const_field(40.0);
  });
  const Flux f = crres(2, 1, {3.0, 0.0, 3.6, 0.0, 4.0, 0.0, 2.9, 0.0}, {2.0}, {1.0}, {}, dir);
  EXPECT_EQ(f.at(0, 0), kFill);
  EXPECT_EQ(f.at(0, 1), kFill);
  EXPECT_EQ(f.at(0, 2), kFill);
  EXPECT_NEAR(f.at(0, 3), 40.0, 1e-12 * 40.0);
  const Flux g = crres(2, 3, {60.0, 0.0}, {2.0}, {1.0}, {}, dir);
  EXPECT_EQ(g.at(0, 0), kFill);
  const Flux h = crres(2, 2, {1.5, 2.1}, {2.0}, {1.0}, {}, dir);
  EXPECT_NEAR(h.at(0, 0), 40.0, 1e-12 * 40.0);
}

// CRRESELE: the electron L grid from 2.5 (accepted) to 6.8 (outside), fluxes
// per MeV from the per-keV table.
TEST(CrresLookup, ElectronGrid) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crresele_Average.txt", 10, 86, code_field);
  const Flux f = crres(3, 1, {0.65, 0.0, 5.75, 0.0}, {2.5, 6.79, 6.8, 2.49}, {1.0, 1.0, 1.0, 1.0}, {}, dir);
  EXPECT_NEAR(f.at(0, 0), 1000.0 * code(1, 1, 1), 1e-9 * code(1, 1, 1));
  EXPECT_NEAR(f.at(1, 1), 1000.0 * code(10, 1, 86), 1e-9 * code(10, 1, 86));
  EXPECT_EQ(f.at(2, 0), kFill);
  EXPECT_EQ(f.at(3, 0), kFill);
}

// whichm 5 takes each point's table from its Ap15 (bins 5-7, 7-10, 10-15,
// 15-20, 20-25, 25-55, upper bounds included); Ap15 outside 5..55 gives fill.
// whichm 6 to 10 take the tables of bins 2 to 6 for every point.
TEST(CrresLookup, Ap15Tables) {
  TempDir tmp;
  const std::string dir = tmp.path;
  for (int k = 1; k <= 6; ++k)
    write_table(dir + "crresele_Ap" + std::to_string(k) + ".txt", 10, 86,
                [k](int, int, int) { return const_field(k); });
  const std::vector<double> ap = {5.0, 7.0, 7.5, 10.0, 12.0, 25.1, 55.0, 56.0, 4.99};
  const int bin[] = {1, 1, 2, 2, 3, 6, 6, 0, 0};
  const std::vector<double> lm(ap.size(), 4.0), bbo(ap.size(), 1.2);
  const Flux f = crres(5, 1, {1.0, 0.0}, lm, bbo, ap, dir);
  for (std::size_t i = 0; i < ap.size(); ++i) {
    if (bin[i] == 0)
      EXPECT_EQ(f.at(i, 0), kFill) << "Ap15 " << ap[i];
    else
      EXPECT_NEAR(f.at(i, 0), 1000.0 * bin[i], 1e-9) << "Ap15 " << ap[i];
  }
  for (int whichm = 6; whichm <= 10; ++whichm) {
    const Flux g = crres(whichm, 1, {1.0, 0.0}, {4.0, 4.0}, {1.2, 1.2}, {100.0, 0.0}, dir);
    EXPECT_NEAR(g.at(0, 0), 1000.0 * (whichm - 4), 1e-9);
    EXPECT_NEAR(g.at(1, 0), 1000.0 * (whichm - 4), 1e-9);
  }
}

// The file name is the prefix followed directly by the table's name; a data
// path longer than 500 characters (or of negative length) is refused with a
// message, and selectors outside the tables give fill without reading.
TEST(CrresLookup, DataPathAndRefusedCalls) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "datacrrespro_quiet.txt", 22, 90, code_field);
  const Flux f = crres(1, 1, {1.5, 0.0}, {1.0}, {1.0}, {}, dir + "data");
  EXPECT_NEAR(f.at(0, 0), code(1, 1, 1), 1e-9 * code(1, 1, 1));
  const std::string missing = dir + "nowhere/";
  for (int len : {501, -1}) {
    testing::internal::CaptureStdout();
    const Flux g = crres(1, 1, {1.5, 0.0}, {1.0}, {1.0}, {}, missing, len);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("CRRES data path longer than 500 characters"),
              std::string::npos);
    EXPECT_EQ(g.at(0, 0), kFill);
  }
  for (auto [whichm, whatf] : {std::pair{0, 1}, std::pair{11, 1}, std::pair{1, 0}, std::pair{1, 4}}) {
    const Flux g = crres(whichm, whatf, {1.5, 0.0}, {1.0}, {1.0}, {}, missing);
    for (int k = 0; k < 25; ++k) EXPECT_EQ(g.at(0, k), kFill);
  }
}

// The argument-vector entry passes the characters and the length on.
TEST(CrresLookup, EntryCallsTheLookup) {
  TempDir tmp;
  std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  int n = 1, whichm = 1, whatf = 1, nene = 1, len = static_cast<int>(dir.size());
  double energy[50] = {2.1}, bbo = 1.0, lm = 1.01, ap = 0.0;
  Flux f;
  void* argv[11] = {&n, &whichm, &whatf, &nene, energy, &bbo, &lm, &ap, f.v.data(), dir.data(), &len};
  EXPECT_FLOAT_EQ(get_crres_flux_idl_(11, argv), 9.9f);
  EXPECT_NEAR(f.at(0, 0), code(2, 1, 1), 1e-9 * code(2, 1, 1));
}

// ---- Along positions ------------------------------------------------------

// The driver sets the field model of the tables (eccentric dipole of 1985.5
// with Olson-Pfitzer quiet, no L*), finds L and B/B0 of each point and looks
// up its cell: the flux is the fixture value of the cell that Lm and
// Blocal/Bmin of the same model place the point in.
TEST(CrresFly, PointThroughTheFieldModelOfTheTables) {
  TempDir tmp;
  std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  int n = 1, sysaxes = 0, whichm = 1, whatf = 1, nene = 1, len = static_cast<int>(dir.size());
  int iyr = 1991, idoy = 100;
  double energy[50] = {6.8}, ut = 3600.0, alt = 5200.0, lat = 8.0, lon = 35.0, ap = 0.0;
  Flux f;
  fly_in_afrl_crres1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &alt, &lat, &lon, &ap,
                      f.v.data(), dir.data(), &len);
  EXPECT_EQ(kest::magmod.kext, 5);
  EXPECT_EQ(kest::magmod.lstar_opt, 0);
  EXPECT_EQ(kest::magmod.kint, 1);
  int t = 3, r = 0;
  double lm, lstar, xj, blocal, bmin;
  calcul_lstar_(&t, &r, &lat, &lon, &alt, &lm, &lstar, &xj, &blocal, &bmin);
  ASSERT_GT(lm, 1.0);
  ASSERT_LT(lm, 5.5);
  const int il = static_cast<int>(std::floor((lm - 1.0) / 0.05)) + 1;
  const double grid[35] = {1.0,   1.004, 1.02,  1.046, 1.085, 1.14,  1.2,   1.3,   1.4,  1.52,  1.69,  1.88,
                           2.1,   2.4,   2.73,  3.13,  3.67,  4.35,  5.02,  6.1,   7.41, 9.088, 11.29, 14.22,
                           18.16, 23.56, 31.07, 41.47, 57.23, 80.25, 115.4, 170.7, 260.7, 413.4, 684.6};
  int ib = 1;
  while (blocal / bmin > grid[ib]) ++ib;
  EXPECT_NEAR(f.at(0, 0), code(8, ib, il), 1e-9 * code(8, ib, il)) << "Lm " << lm << " B/B0 " << blocal / bmin;
  // The dipole tilt of day 182 of 1985 at 0 h: northern summer, towards the
  // sun by less than the obliquity plus the dipole's own tilt.
  EXPECT_GT(kest::dip_ang.tilt, 0.0);
  EXPECT_LT(kest::dip_ang.tilt, 23.5 + 12.0);
}

// Invalid selectors are replaced by 1 after the six-line warning; a data path
// over 500 characters is refused with a message (no table read, fill).
TEST(CrresFly, SelectorsAndDataPath) {
  TempDir tmp;
  std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  const std::string bang = " !!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!\n";
  int n = 0, sysaxes = 1, whichm = 6, whatf = 0, nene = 1, len = static_cast<int>(dir.size());
  int iyr = 1991, idoy = 100;
  double energy[50] = {6.8}, ut = 0.0, x = 2.0, y = 0.0, z = 0.0, ap = 0.0;
  Flux f;
  testing::internal::CaptureStdout();
  fly_in_afrl_crres1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap, f.v.data(),
                      dir.data(), &len);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "\n" + bang + " Invalid AFRL CRRES model specification\n Selecting crrespro quiet\n" + bang + "\n" +
                "\n" + bang + " Invalid flux output specification\n Selecting differential flux\n" + bang + "\n");
  EXPECT_EQ(whichm, 1);
  EXPECT_EQ(whatf, 1);
  EXPECT_EQ(f.at(0, 0), 7.0);

  n = 1;
  len = 501;
  std::string longpath(600, 'x');
  testing::internal::CaptureStdout();
  fly_in_afrl_crres1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap, f.v.data(),
                      longpath.data(), &len);
  EXPECT_NE(testing::internal::GetCapturedStdout().find("CRRES data path longer than 500 characters"),
            std::string::npos);
  EXPECT_EQ(f.at(0, 0), kFill);

  // The entry, with a point on the GEO x axis at 2 Earth radii.
  len = static_cast<int>(dir.size());
  void* argv[16] = {&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap, f.v.data(),
                    dir.data(), &len};
  EXPECT_FLOAT_EQ(fly_in_afrl_crres_(16, argv), 9.9f);
  EXPECT_GT(f.at(0, 0), 8e6);  // a value of energy row 8
  EXPECT_LT(f.at(0, 0), 9e6);
}

}  // namespace
