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
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>
#include <vector>

#include "crres_fixture.hpp"
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
using crres_test::TempDir;
using crres_test::code;

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

// ---- Hostile tables --------------------------------------------------------

const char* kTableFile(int model) {
  static const char* const names[] = {"",
                                      "crrespro_quiet.txt",
                                      "crrespro_active.txt",
                                      "crresele_Average.txt",
                                      "crresele_Worst_case.txt",
                                      "crresele_Ap1.txt",
                                      "crresele_Ap2.txt",
                                      "crresele_Ap3.txt",
                                      "crresele_Ap4.txt",
                                      "crresele_Ap5.txt",
                                      "crresele_Ap6.txt"};
  return names[model];
}

// A table as lines of text, each record 340 characters: field ib of energy ie
// and L cell il is m.mmmD+ee with the mantissa digits 1000 + (ib x 90 + il)
// mod 9000 and the exponent ie, so a record read at the wrong place, a
// field shifted or an energy row mixed up gives another value. Proton tables
// have 22 x 90 records, electron tables 10 x 86.
std::string sci_text(int ie, int ib, int il, char letter = 'D') {
  const int m = 1000 + (ib * 90 + il) % 9000;
  char s[16];
  std::snprintf(s, sizeof s, "%d.%03d%c+%02d", m / 1000, m % 1000, letter, ie);
  return s;
}

std::vector<std::string> table_lines(bool protons, char letter = 'D') {
  std::vector<std::string> lines;
  const int ne = protons ? 22 : 10, ncells = protons ? 90 : 86;
  for (int ie = 1; ie <= ne; ++ie)
    for (int il = 1; il <= ncells; ++il) {
      std::string rec;
      for (int ib = 1; ib <= 34; ++ib) rec += sci_text(ie, ib, il, letter) + " ";
      lines.push_back(rec);
    }
  return lines;
}

void write_lines(const std::string& file, const std::vector<std::string>& lines, const char* eol = "\n") {
  std::ofstream out(file, std::ios::binary);
  for (const std::string& l : lines) out << l << eol;
}

// The regular expression matching a text literally.
std::string literally(const std::string& text) {
  std::string r;
  for (char c : text) {
    if (std::strchr("\\^$.|?*+()[]{}", c)) r += '\\';
    r += c;
  }
  return r;
}

// The value of the fixture text, read by the C library (not by the reader
// under test).
double sci_value(int ie, int ib, int il) {
  std::string t = sci_text(ie, ib, il);
  t[5] = 'E';
  return std::strtod(t.c_str(), nullptr);
}

// The forms a "D9.3" field may take, as one number anywhere in its 9
// columns: exponent letters D, d and E, an exponent with only its sign, 3
// implied decimals without a decimal point, zero of either sign; a record of
// 339 characters (no last separator), blanks after a record, CR LF line
// ends, and blank lines after the last record.
TEST(CrresTable, FieldAndRecordForms) {
  TempDir tmp;
  const std::string dir = tmp.path;
  std::vector<std::string> lines = table_lines(true);
  const char* first[] = {"1.500D+02", "   123456", "  2.5E-01", "  12.5+03", " 7.25d1  ",
                         "      0.5", "0.000D+00", "   -0.000", "1.000D-37"};
  std::string rec;
  for (const char* f : first) rec += std::string(f) + " ";
  lines[0] = rec + lines[0].substr(rec.size());
  lines[1].pop_back();           // 339 characters
  lines[2] += "      ";           // trailing blanks
  lines.insert(lines.end(), {"", "   ", ""});
  write_lines(dir + "crrespro_quiet.txt", lines, "\r\n");
  kest::init_crres(1, dir.c_str(), static_cast<int>(dir.size()));
  const kest::CrresModelDbl& t = kest::crres_model_dbl;
  const double expect[] = {150.0, 123.456, 0.25, 12500.0, 72.5, 0.5, 0.0, 0.0, 1e-37, sci_value(1, 10, 1)};
  for (int ib = 0; ib < 10; ++ib) EXPECT_DOUBLE_EQ(t.flux_tab[0][ib][0], expect[ib]) << "field " << ib + 1;
  for (auto [ie, ib, il] : {std::tuple{1, 34, 2}, {1, 1, 3}, {1, 34, 3}, {22, 34, 90}, {13, 17, 44}})
    EXPECT_EQ(t.flux_tab[il - 1][ib - 1][ie - 1], sci_value(ie, ib, il)) << ie << " " << ib << " " << il;
}

// A valid table with E exponents, CR LF line ends and a trailing blank line
// gives the same fluxes, bit for bit, as the same table with D exponents and
// LF line ends; at grid energies both give the table values.
TEST(CrresTable, LineEndsAndExponentLettersGiveTheSameFluxes) {
  for (bool protons : {true, false}) {
    TempDir a, b;
    const char* file = protons ? "crrespro_active.txt" : "crresele_Ap4.txt";
    const int whichm = protons ? 2 : 8;
    write_lines(a.path + file, table_lines(protons, 'D'));
    std::vector<std::string> lines = table_lines(protons, 'E');
    lines.push_back("");
    write_lines(b.path + file, lines, "\r\n");
    const std::vector<double> lm = protons ? std::vector<double>{1.0, 3.3, 5.45} : std::vector<double>{2.5, 4.1, 6.75};
    const std::vector<double> bbo = {1.0, 2.0, 600.0};
    const std::vector<double> energy =
        protons ? std::vector<double>{1.5, 0.0, 3.0, 0.0, 30.9, 0.0, 81.3, 0.0}
                : std::vector<double>{0.65, 0.0, 1.0, 0.0, 2.35, 0.0, 5.75, 0.0};
    const std::vector<double> band = protons ? std::vector<double>{2.0, 20.0} : std::vector<double>{0.7, 3.0};
    for (int whatf = 1; whatf <= 3; ++whatf) {
      const std::vector<double>& e = whatf == 2 ? band : energy;
      const Flux fa = crres(whichm, whatf, e, lm, bbo, {}, a.path);
      const Flux fb = crres(whichm, whatf, e, lm, bbo, {}, b.path);
      for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 4; ++k) EXPECT_EQ(fa.at(i, k), fb.at(i, k)) << file << " " << whatf << " " << i << " " << k;
    }
    // At grid energies: point 1 at L cell 1 (or 45 / 86 for the others),
    // B/B0 cell 1, energies 1 and the last.
    const Flux g = crres(whichm, 1, energy, lm, bbo, {}, b.path);
    const double scale = protons ? 1.0 : 1000.0;
    const int last = protons ? 22 : 10;
    EXPECT_NEAR(g.at(0, 0), scale * sci_value(1, 1, 1), 1e-12 * scale * sci_value(1, 1, 1));
    EXPECT_NEAR(g.at(0, 3), scale * sci_value(last, 1, 1), 1e-12 * scale * sci_value(last, 1, 1));
  }
}

// A broken table is refused: the process stops with exit status 1 and a
// message naming the file, the record and the field; nothing broken is read
// as a flux. Each case changes one thing in a valid table.
TEST(CrresTable, BrokenTablesStop) {
  using Lines = std::vector<std::string>;
  // Replaces the characters of field ib (1-based; 9 columns) of line r.
  auto set_field = [](int r, int ib, std::string text) {
    return [=](Lines& l) { l[r - 1].replace(10 * (ib - 1), text.size(), text); };
  };
  struct Case {
    int model;
    std::function<void(Lines&)> change;
    std::string message;
  };
  const Case cases[] = {
      // A record cut short: inside the last record (mid-number), in an
      // earlier one, in its first field, and at a field boundary.
      {1, [](Lines& l) { l[1979].resize(335); },
       "crrespro_quiet.txt: record 1980, field 34 is cut short: the record ends at column 335"},
      {3, [](Lines& l) { l[16].resize(115); }, "crresele_Average.txt: record 17, field 12 is cut short"},
      {9, [](Lines& l) { l[0].resize(4); }, "crresele_Ap5.txt: record 1, field 1 is cut short"},
      {2, [](Lines& l) { l[799].resize(330); }, "crrespro_active.txt: record 800, field 34 is cut short"},
      // Blank lines inside the table.
      {1, [](Lines& l) { l.insert(l.begin() + 500, ""); }, "crrespro_quiet.txt: record 501 is a blank line"},
      {10, [](Lines& l) { l.insert(l.begin() + 3, "    \r"); }, "crresele_Ap6.txt: record 4 is a blank line"},
      {4, [](Lines& l) { l[85] = std::string(340, ' '); }, "crresele_Worst_case.txt: record 86, field 1 is blank"},
      // Too many records: a proton table under an electron name, a stray
      // line after blank lines.
      {3, [](Lines& l) { l = table_lines(true); },
       "crresele_Average.txt: it holds more than the 860 records its model needs (line 861 is not blank)"},
      {2, [](Lines& l) { l.insert(l.end(), {"", "  ", "x"}); },
       "crrespro_active.txt: it holds more than the 1980 records its model needs (line 1983 is not blank)"},
      // Too few records: a clean end, an empty file, an electron table
      // under a proton name.
      {7, [](Lines& l) { l.resize(859); }, "crresele_Ap3.txt: it ends before record 860"},
      {5, [](Lines& l) { l.clear(); }, "crresele_Ap1.txt: it ends before record 1"},
      {1, [](Lines& l) { l = table_lines(false); }, "crrespro_quiet.txt: it ends before record 861"},
      // Fields out of their columns.
      {1, set_field(3, 1, "1.2345D+02"),
       "crrespro_quiet.txt: record 3, field 1 runs into the separator column after it"},
      {6, set_field(70, 34, "1.2345D+02"),
       "crresele_Ap2.txt: record 70, field 34 runs into the separator column after it"},
      {8,
       [](Lines& l) {
         l[1].clear();
         for (int k = 0; k < 170; ++k) l[1] += "7 ";  // a free-format record
       },
       "crresele_Ap4.txt: record 2, field 1 has a blank or tab inside the number"},
      {1, set_field(9, 12, "    4 2  "), "crrespro_quiet.txt: record 9, field 12 has a blank or tab inside the number"},
      {3, set_field(9, 2, " 1.0\tD+02"),
       "crresele_Average.txt: record 9, field 2 has a blank or tab inside the number"},
      {4, set_field(12, 30, "         "), "crresele_Worst_case.txt: record 12, field 30 is blank"},
      {2, [](Lines& l) { l[40] += "1.000D+00"; },
       "crrespro_active.txt: record 41 has characters beyond its 34 fields (column 341)"},
      // Not numbers.
      {8, set_field(174, 5, "   1.2x4 "), "crresele_Ap4.txt: record 174, field 5 is not a number"},
      {1, set_field(2, 7, "      NaN"), "crrespro_quiet.txt: record 2, field 7 is not a number"},
      {9, set_field(860, 1, "*********"), "crresele_Ap5.txt: record 860, field 1 is not a number"},
      {2, set_field(5, 3, "1.00D+999"), "crrespro_active.txt: record 5, field 3 is not a number"},
      {3, [](Lines& l) { l[6][33] = '\0'; }, "crresele_Average.txt: record 7, field 4 is not a number"},
      // Values that are no fluxes.
      {1, set_field(1980, 34, "-1.0D+308"), "crrespro_quiet.txt: record 1980, field 34 is too large"},
      {2, set_field(4, 4, " 1.0D-999"), "crrespro_active.txt: record 4, field 4 is too small: it underflows"},
      {5, set_field(5, 5, " 1.0D-310"), "crresele_Ap1.txt: record 5, field 5 is too small: it underflows"},
      {4, set_field(6, 6, "1.00D+308"), "crresele_Worst_case.txt: record 6, field 6 is too large"},
      {1, set_field(7, 7, "1.00D+308"), "crrespro_quiet.txt: record 7, field 7 is too large"},
  };
  for (const Case& c : cases) {
    TempDir tmp;
    const std::string dir = tmp.path;
    Lines lines = table_lines(c.model <= 2);
    c.change(lines);
    write_lines(dir + kTableFile(c.model), lines);
    EXPECT_EXIT(
        {
          dup2(2, 1);
          kest::init_crres(c.model, dir.c_str(), static_cast<int>(dir.size()));
        },
        testing::ExitedWithCode(1), literally(c.message))
        << c.message;
  }
}

// A table that cannot be opened stops with the reason: a missing file, a
// directory or a FIFO of the table's name (opening a FIFO must not wait for
// a writer). Through the lookup, the same stops, also for the table of an
// Ap15 bin that one point needs.
TEST(CrresTable, UnopenableTablesStop) {
  TempDir tmp;
  const std::string dir = tmp.path;
  std::filesystem::create_directory(dir + "crresele_Ap2.txt");
  ASSERT_EQ(mkfifo((dir + "crresele_Ap3.txt").c_str(), 0600), 0);
  const std::pair<int, std::string> cases[] = {
      {1, "crrespro_quiet.txt: No such file or directory"},
      {6, "crresele_Ap2.txt: it is a directory"},
      {7, "crresele_Ap3.txt: it is not a regular file"},
  };
  for (const auto& [model, message] : cases)
    EXPECT_EXIT(
        {
          dup2(2, 1);
          alarm(60);  // a reader waiting on the FIFO dies of the alarm
          kest::init_crres(model, dir.c_str(), static_cast<int>(dir.size()));
        },
        testing::ExitedWithCode(1), "Cannot open CRRES flux table file " + literally(dir + message));
  EXPECT_EXIT(
      {
        dup2(2, 1);
        crres(3, 1, {1.0, 0.0}, {3.0}, {1.0}, {}, dir);
      },
      testing::ExitedWithCode(1), "Cannot open CRRES flux table file .*crresele_Average.txt");
  write_lines(dir + "crresele_Ap1.txt", table_lines(false));
  std::vector<std::string> lines = table_lines(false);
  lines[429].resize(200);
  write_lines(dir + "crresele_Ap4.txt", lines);
  EXPECT_EXIT(
      {
        dup2(2, 1);
        crres(5, 1, {1.0, 0.0}, {3.0, 3.0}, {1.0, 1.0}, {6.0, 17.0}, dir);
      },
      testing::ExitedWithCode(1), "crresele_Ap4.txt: record 430, field 21 is cut short");
}
// A file without line ends is refused at the first character past the
// record's 340 columns, without reading the rest: a gigabyte of NULs (a
// sparse file) must not take seconds.
TEST(CrresTable, LineWithoutEndIsRefusedAtOnce) {
  TempDir tmp;
  const std::string dir = tmp.path;
  const std::string file = dir + "crrespro_quiet.txt";
  write_lines(file, {});
  ASSERT_EQ(truncate(file.c_str(), 1L << 30), 0);
  EXPECT_EXIT(
      {
        dup2(2, 1);
        alarm(5);
        kest::init_crres(1, dir.c_str(), static_cast<int>(dir.size()));
      },
      testing::ExitedWithCode(1), "crrespro_quiet.txt: record 1 has characters beyond its 34 fields \\(column 341\\)");
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
// them (fill), and a band or integral whose sum is not positive is fill. A
// negative marker is read like 0, not refused as a broken table.
TEST(CrresLookup, NoFluxGivesFill) {
  for (const char* marker : {"0.000D+00", "-1.00D+00", "   -0.001"}) {
  SCOPED_TRACE(marker);
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_active.txt", 22, 90, [marker](int ie, int, int) {
    return ie == 5 || ie >= 20 ? std::string(marker) : const_field(40.0);
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

// An L exactly at a grid value lies in the cell that starts there, one ulp
// below it in the cell before: for every node of both L grids, the node
// given as its decimal value (6.6, 1.7, ...; the grids step by 0.05 from 1.0
// and 2.5). Each grid value is the double nearest its decimal value. A grid
// summed as 2.5 + 82 x 0.05 puts 6.6 one ulp too high, and L = 6.6 read the
// cell of 6.55 (30 such nodes in the two grids).
TEST(CrresLookup, LAtAGridValueLiesInTheCellStartingThere) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  write_table(dir + "crresele_Average.txt", 10, 86, code_field);
  struct Grid {
    int whichm, cells;
    double first, e, scale;
  } grids[] = {{1, 90, 1.0, 1.5, 1.0}, {3, 86, 2.5, 0.65, 1000.0}};
  for (const Grid& g : grids) {
    std::vector<double> lm, bbo;
    for (int il = 1; il <= g.cells; ++il) {
      char text[16];
      std::snprintf(text, sizeof text, "%.2f", g.first + 0.05 * (il - 1));
      const double node = std::strtod(text, nullptr);
      lm.push_back(node);
      lm.push_back(std::nextafter(node, 0.0));
    }
    bbo.assign(lm.size(), 1.0);
    const Flux f = crres(g.whichm, 1, {g.e, 0.0}, lm, bbo, {}, dir);
    for (int il = 1; il <= g.cells; ++il) {
      const int at = 2 * (il - 1), below = at + 1;
      // At the grid energy the flux is the table value, to the rounding of
      // the interpolation in log energy; neighbouring cells differ by 1e-6.
      const double want = g.scale * code(1, 1, il), want_below = g.scale * code(1, 1, il - 1);
      EXPECT_NEAR(f.at(at, 0), want, 1e-12 * want) << "model " << g.whichm << " L " << lm[at];
      if (il == 1)
        EXPECT_EQ(f.at(below, 0), kFill) << "model " << g.whichm;
      else
        EXPECT_NEAR(f.at(below, 0), want_below, 1e-12 * want_below) << "model " << g.whichm << " L " << lm[below];
    }
    const kest::CrresModelDbl& t = kest::crres_model_dbl;
    for (int i = 1; i <= g.cells + 1; ++i) {
      char text[16];
      std::snprintf(text, sizeof text, "%.2f", g.first + 0.05 * (i - 1));
      EXPECT_EQ(t.lgrid[i - 1], std::strtod(text, nullptr)) << "model " << g.whichm << " grid value " << i;
    }
  }
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

// A full series whose Ap15 changes bin from point to point (a parameter
// study with Ap15 as the fastest index) takes every point's flux from its
// own bin's table, and in a fraction of a second: each table is read once,
// not once per change of bin (some 100000 file reads, minutes). The call
// runs in a child under an alarm, so that a slow lookup fails instead of
// holding the test run.
TEST(CrresLookup, Ap15BinChangingAtEveryPointIsFast) {
  TempDir tmp;
  const std::string dir = tmp.path;
  for (int k = 1; k <= 6; ++k)
    write_table(dir + "crresele_Ap" + std::to_string(k) + ".txt", 10, 86,
                [k](int, int, int) { return const_field(k); });
  // Ap15 cycling through the six bins and the two ends outside them.
  const double ap_cycle[] = {6.0, 40.0, 8.0, 56.0, 12.0, 17.0, 4.0, 22.0};
  const int bin_cycle[] = {1, 6, 2, 0, 3, 4, 0, 5};
  std::vector<double> ap(kRows), lm(kRows, 4.0), bbo(kRows, 1.2);
  for (int i = 0; i < kRows; ++i) ap[i] = ap_cycle[i % 8];
  EXPECT_EXIT(
      {
        alarm(20);
        const Flux f = crres(5, 1, {1.0, 0.0}, lm, bbo, ap, dir);
        int wrong = 0;
        for (int i = 0; i < kRows; ++i) {
          const int bin = bin_cycle[i % 8];
          const double want = bin == 0 ? kFill : 1000.0 * bin;
          if (std::fabs(f.at(i, 0) - want) > 1e-9) ++wrong;
        }
        std::exit(wrong == 0 ? 0 : 2);
      },
      testing::ExitedWithCode(0), "");
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

// A C caller's path is a string: a zero-padded buffer passed with its whole
// length names the directory before the first NUL, and characters after a
// NUL never pick another file (here the quiet table's own name in front of
// the active table's).
TEST(CrresLookup, DataPathEndsAtNul) {
  TempDir tmp;
  const std::string dir = tmp.path;
  write_table(dir + "crrespro_quiet.txt", 22, 90, code_field);
  const std::string padded = dir + std::string(500 - dir.size(), '\0');
  const Flux f = crres(1, 1, {1.5, 0.0}, {1.0}, {1.0}, {}, padded, 500);
  EXPECT_NEAR(f.at(0, 0), code(1, 1, 1), 1e-9 * code(1, 1, 1));
  const std::string quiet = dir + "crrespro_quiet.txt" + std::string(1, '\0');
  EXPECT_EXIT(
      {
        dup2(2, 1);
        crres(2, 1, {1.5, 0.0}, {1.0}, {1.0}, {}, quiet, static_cast<int>(quiet.size()));
      },
      testing::ExitedWithCode(1),
      "Cannot open CRRES flux table file " + literally(dir + "crrespro_quiet.txtcrrespro_active.txt") +
          ": No such file or directory");
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

  // An empty path may come as a null pointer: the working directory, which
  // holds no table.
  len = 0;
  EXPECT_EXIT(
      {
        dup2(2, 1);
        fly_in_afrl_crres1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap,
                            f.v.data(), nullptr, &len);
      },
      testing::ExitedWithCode(1), "Cannot open CRRES flux table file crrespro_quiet.txt: No such file or directory");

  // The entry, with a point on the GEO x axis at 2 Earth radii.
  len = static_cast<int>(dir.size());
  void* argv[16] = {&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x, &y, &z, &ap, f.v.data(),
                    dir.data(), &len};
  EXPECT_FLOAT_EQ(fly_in_afrl_crres_(16, argv), 9.9f);
  EXPECT_GT(f.at(0, 0), 8e6);  // a value of energy row 8
  EXPECT_LT(f.at(0, 0), 9e6);
}

}  // namespace
