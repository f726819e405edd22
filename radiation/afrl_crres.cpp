// AFRL CRRES trapped-particle models (CRRESPRO protons, CRRESELE electrons):
// the table reader, the lookup of a series of (L, B/B0) points, and the flux
// along a series of positions in the field model of the tables.
//
// The tables give the flux per MeV on a grid of energy, B/B0 cell and L cell.
// A point takes the values of its (L, B/B0) cell; in energy the flux is a
// straight line in log flux against log energy between the two grid energies
// around the wanted energy; band means and integrals are trapezoid sums over
// the grid energies inside the band.
//
// The table values are not part of the library: ten text files are read at
// every call from the directory the caller names.
//
// References: M. S. Gussenhoven, E. G. Mullen, D. H. Brautigam, Improved
// understanding of the Earth's radiation belts from the CRRES satellite, IEEE
// Trans. Nucl. Sci. 43 (1996); J. D. Meffert and M. S. Gussenhoven, CRRESPRO
// documentation, PL-TR-94-2218 (1994); D. H. Brautigam and J. T. Bell,
// CRRESELE documentation, PL-TR-95-2128 (1995).
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "frame/conventions.hpp"
#include "frame/fortran_fields.hpp"
#include "kest.h"
#include "magcoords/magcoords_state.hpp"
#include "radiation/flux_driver.hpp"
#include "radiation/flux_tables.hpp"
#include "radiation/radiation_state.hpp"

namespace {

constexpr const char* kBadModel = "Invalid AFRL CRRES model specification";
constexpr const char* kPickModel = "Selecting crrespro quiet";
constexpr const char* kBadKind = "Invalid flux output specification";
constexpr const char* kPickKind = "Selecting differential flux";
constexpr const char* kBadPath = "CRRES data path longer than 500 characters (or of negative length), no flux computed";

// Longest directory prefix of the table files.
constexpr int kPathMax = 500;

// Table files by model number 1..10.
constexpr const char* kTableFile[11] = {
    "",
    "crrespro_quiet.txt",
    "crrespro_active.txt",
    "crresele_Average.txt",
    "crresele_Worst_case.txt",
    "crresele_Ap1.txt",
    "crresele_Ap2.txt",
    "crresele_Ap3.txt",
    "crresele_Ap4.txt",
    "crresele_Ap5.txt",
    "crresele_Ap6.txt",
};

// Record layout "(34(D9.3,1x))": 34 fields of 9 characters, each followed by
// one skipped character.
constexpr int kFieldsPerRecord = 34;
constexpr int kFieldWidth = 9;
constexpr int kFieldStride = 10;
constexpr int kImpliedDecimals = 3;

// Grids of the tables.
constexpr double kBb0Grid[35] = {1.0,   1.004, 1.02,  1.046, 1.085, 1.14,  1.2,   1.3,   1.4,
                                 1.52,  1.69,  1.88,  2.1,   2.4,   2.73,  3.13,  3.67,  4.35,
                                 5.02,  6.1,   7.41,  9.088, 11.29, 14.22, 18.16, 23.56, 31.07,
                                 41.47, 57.23, 80.25, 115.4, 170.7, 260.7, 413.4, 684.6};
constexpr double kProtonEnergies[22] = {1.5,  2.1,  2.5,  2.9,  3.6,  4.3,  5.7,  6.8,  8.5,  9.7,  10.7,
                                        13.2, 16.9, 19.4, 26.3, 30.9, 36.3, 41.1, 47.0, 55.0, 65.7, 81.3};
constexpr double kElectronEnergies[10] = {0.65, 0.95, 1.6, 2.0, 2.35, 2.75, 3.15, 3.75, 4.55, 5.75};

// Bounds of the six Ap15 bins of CRRESELE (5-7, 7-10, 10-15, 15-20, 20-25,
// 25-55; each bin includes its upper bound, the first also its lower one).
constexpr double kAp15Bounds[7] = {5.0, 7.0, 10.0, 15.0, 20.0, 25.0, 55.0};

// A record is read whole before its fields: the first kRecordWidth
// characters of the line, and the column of the first character after them
// that is not white space. The last separator may be missing (a record
// written without trailing blanks), so kFieldsWidth characters suffice.
constexpr int kRecordWidth = kFieldsPerRecord * kFieldStride;
constexpr int kFieldsWidth = kRecordWidth - 1;

// Largest flux per MeV a table may hold (after the electron scaling). The
// band and integral sums add products of an energy step and the sum of two
// table values over an energy grid less than 128 MeV wide, so with values at
// most this large every sum stays finite.
constexpr double kFluxMax = std::numeric_limits<double>::max() / 128.0;

bool is_white(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// One line of a table file in a fixed buffer (nothing is allocated).
struct TableLine {
  char text[kRecordWidth];
  std::size_t len;     // characters kept in text, the line end (LF, CR) removed
  std::size_t beyond;  // 1-based column of the first character past kRecordWidth
                       // that is not white space; 0 when there is none
};

// Reads the next line of fp. Returns 1 for a line, 0 at the end of the file,
// -1 on a read error (errno set). A line with a character that is not white
// space past kRecordWidth is returned at that character, the rest unread:
// every caller refuses such a line, and a file without line ends (gigabytes
// of one "line") must not be read to its end first.
int read_line(std::FILE* fp, TableLine& line) {
  line.len = 0;
  line.beyond = 0;
  std::size_t col = 0;
  int c;
  while ((c = getc_unlocked(fp)) != EOF && c != '\n') {
    ++col;
    if (col <= static_cast<std::size_t>(kRecordWidth)) {
      line.text[line.len++] = static_cast<char>(c);
    } else if (!is_white(static_cast<char>(c))) {
      line.beyond = col;
      return 1;
    }
  }
  if (c == EOF) {
    if (std::ferror(fp)) return -1;
    if (col == 0) return 0;
  }
  if (col <= static_cast<std::size_t>(kRecordWidth))
    while (line.len > 0 && line.text[line.len - 1] == '\r') --line.len;
  return 1;
}

bool is_blank_line(const TableLine& line) {
  if (line.beyond != 0) return false;
  for (std::size_t k = 0; k < line.len; ++k)
    if (!is_white(line.text[k])) return false;
  return true;
}

// Checks and reads field ib (0-based) of a record of at least kFieldsWidth
// characters, scaled by scale. Returns nullptr and the value, or the fault.
//
// The edit is "D9.3" as written by the tables' own program: one number in the
// 9 columns (blanks around it, none inside: standard input would squeeze the
// blanks out and read "7 7 7" as 777 with implied decimals), and a blank in
// the separator column after it. A value is a flux per MeV, or, at 0 or
// below, a mark of no flux, which the lookup never interpolates; a non-zero
// text that is too small for a normal double and values beyond kFluxMax in
// magnitude (which could overflow the band and integral sums) are faults of
// the file.
const char* read_table_field(const char* rec, std::size_t len, int ib, double scale, double& v) {
  const std::size_t at = static_cast<std::size_t>(ib) * kFieldStride;
  if (at + kFieldWidth < len && rec[at + kFieldWidth] != ' ') return "runs into the separator column after it";
  const char* p = rec + at;
  int b = 0, e = kFieldWidth;
  while (b < e && p[b] == ' ') ++b;
  while (e > b && p[e - 1] == ' ') --e;
  if (b == e) return "is blank";
  bool nonzero = false, mantissa = true;
  for (int k = b; k < e; ++k) {
    if (p[k] == ' ' || p[k] == '\t') return "has a blank or tab inside the number";
    if (mantissa && k > b && !(p[k] >= '0' && p[k] <= '9') && p[k] != '.') mantissa = false;
    if (mantissa && p[k] >= '1' && p[k] <= '9') nonzero = true;
  }
  if (!kest::fio::read_real(std::string_view(p, kFieldWidth), kImpliedDecimals, &v)) return "is not a number";
  if (nonzero && !(std::fabs(v) >= std::numeric_limits<double>::min())) return "is too small: it underflows";
  v *= scale;
  if (!(std::fabs(v) <= kFluxMax)) return "is too large";
  return nullptr;
}

[[noreturn]] void table_stop(const std::string& what) { kest::stop_stderr({what.c_str()}); }

// Closes a table file that cannot be read and stops.
[[noreturn]] void read_stop(std::FILE* fp, const std::string& what) {
  std::fclose(fp);
  table_stop(what);
}

// The flux at energy e interpolated in a table row f (energies egrid, e
// inside the grid): the grid index ie (1-based, the smallest from 2 on with
// e <= egrid(ie)) and, when both table values around e are positive, the
// value on the straight line in log flux against log energy.
struct Interp {
  int ie;
  bool has;
  double value;
};

Interp interp_energy(const double* egrid, int ne, const double* f, double e) {
  Interp r{ne + 1, false, 0.0};
  for (int j = 2; j <= ne; ++j)
    if (e <= egrid[j - 1]) {
      r.ie = j;
      break;
    }
  if (r.ie > ne) return r;
  const double fa = f[r.ie - 2], fb = f[r.ie - 1];
  if (fb > 0.0 && fa > 0.0) {
    const double lea = std::log(egrid[r.ie - 2]), leb = std::log(egrid[r.ie - 1]);
    const double s = (std::log(fb) - std::log(fa)) / (leb - lea);
    const double c = std::log(fb) - s * leb;
    r.has = true;
    r.value = std::exp(s * std::log(e) + c);
  }
  return r;
}

}  // namespace

namespace kest {

// init_crrespro / init_crresele: the proton or electron grids of the tables.
// State:    writes lgrid, egrid and bb0grid of crres_model_dbl.
// Notes:    1. The L grid runs in steps of 0.05 (1.0 + (i - 1) x 0.05 for
//              protons, 2.5 + (i - 1) x 0.05 for electrons). Each value is
//              formed as a count of twentieths divided by 20, so that it is
//              the double nearest its decimal value: summed as 1.0 + 14 x
//              0.05 the node 1.7 comes out one ulp above 1.7, and an L of
//              1.7 would fall in the cell below the one that starts at it
//              (30 of the 91 proton and 87 electron nodes, L 6.6 among them).
void init_crrespro() {
  CrresModelDbl& t = crres_model_dbl;
  for (int i = 0; i < 35; ++i) t.bb0grid[i] = kBb0Grid[i];
  for (int i = 0; i < 22; ++i) t.egrid[i] = kProtonEnergies[i];
  for (int i = 1; i <= 91; ++i) t.lgrid[i - 1] = (20 + (i - 1)) / 20.0;
}

void init_crresele() {
  CrresModelDbl& t = crres_model_dbl;
  for (int i = 0; i < 35; ++i) t.bb0grid[i] = kBb0Grid[i];
  for (int i = 0; i < 22; ++i) t.egrid[i] = i < 10 ? kElectronEnergies[i] : 0.0;
  for (int i = 1; i <= 91; ++i) t.lgrid[i - 1] = i <= 87 ? (50 + (i - 1)) / 20.0 : 0.0;
}

// init_crres: loads one CRRES table file and its grids.
// Given:    model     int          1..10 (1, 2 protons; 3..10 electrons);
//                                  another number loads nothing
//           path      const char*  directory prefix (path_len characters)
//           path_len  int          0..500 (the caller checks)
// State:    writes crres_model_dbl, crres_model_int.
// Failure:  a message on standard error naming the file (and the record and
//           field where it applies) and a stop (exit status 1), for a file
//           that cannot be opened or read (with the reason), a path that is
//           not a regular file, a file that ends before the records the model
//           needs, a record that is cut short, has characters beyond its 34
//           fields or in a separator column, a field that is blank, has a
//           blank inside the number or is not a number, a value that
//           underflows (non-zero digits read as 0 or as a subnormal number)
//           or exceeds 1.4E306 in magnitude after the scaling, and a
//           line after the last record needed that is not blank.
// Notes:    1. The file name is the prefix followed directly by the table's
//              name: a directory must end in "/". The prefix ends at a NUL
//              among its path_len characters.
//           2. ne x (nl - 1) records are read, energy by energy and within
//              one energy L cell by L cell, 34 B/B0 cells per record. A record
//              is one line of 340 characters, or 339 without its last
//              separator, a CR before the line end removed; blanks may follow.
//              A field takes its number anywhere in its 9 columns, with or
//              without a decimal point (3 implied decimals) and an exponent
//              (D or E, or a sign alone).
//           3. Electron values are per keV in the files and are multiplied by
//              1000 to give the flux per MeV.
//           4. Values of 0 or below mark no flux; they are read as written.
void init_crres(int model, const char* path, int path_len) {
  if (model < 1 || model > 10) return;
  const bool protons = model <= 2;
  CrresModelInt& n = crres_model_int;
  n.ne = protons ? 22 : 10;
  n.nb = 35;
  n.nl = protons ? 91 : 87;
  // No file name holds a NUL: a C caller's zero-padded buffer ends at its
  // first one, and nothing after it may pick another file.
  std::size_t prefix = path == nullptr ? 0 : static_cast<std::size_t>(path_len);
  if (prefix > 0)
    if (const void* nul = std::memchr(path, '\0', prefix)) prefix = static_cast<const char*>(nul) - path;
  const std::string name = std::string(path == nullptr ? "" : path, prefix) + kTableFile[model];

  // Only a regular file is a table: a directory would read as an empty
  // file, and opening a FIFO for reading would wait for a writer.
  const int fd = open(name.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) table_stop("Cannot open CRRES flux table file " + name + ": " + std::strerror(errno));
  struct stat st;
  const char* why = nullptr;
  if (fstat(fd, &st) != 0)
    why = std::strerror(errno);
  else if (S_ISDIR(st.st_mode))
    why = "it is a directory";
  else if (!S_ISREG(st.st_mode))
    why = "it is not a regular file";
  if (why != nullptr) {
    const std::string text = "Cannot open CRRES flux table file " + name + ": " + why;
    close(fd);
    table_stop(text);
  }
  std::FILE* fp = fdopen(fd, "r");
  if (fp == nullptr) {
    const std::string text = "Cannot open CRRES flux table file " + name + ": " + std::strerror(errno);
    close(fd);
    table_stop(text);
  }
  const std::string where = "Error reading CRRES flux table file " + name + ": ";
  auto fail = [&](const std::string& what) { read_stop(fp, where + what); };
  const double scale = protons ? 1.0 : 1000.0;
  const int records = n.ne * (n.nl - 1);
  CrresModelDbl& t = crres_model_dbl;
  TableLine line;
  int record = 0;
  for (int ie = 0; ie < n.ne; ++ie) {
    for (int il = 0; il < n.nl - 1; ++il) {
      ++record;
      auto rec = [record] { return "record " + std::to_string(record); };
      const int got = read_line(fp, line);
      if (got < 0) fail(rec() + ": " + std::strerror(errno));
      if (got == 0) fail("it ends before " + rec());
      if (line.len < static_cast<std::size_t>(kFieldsWidth)) {
        if (is_blank_line(line)) fail(rec() + " is a blank line");
        const std::size_t cut = line.len < kFieldWidth ? 0 : (line.len - kFieldWidth) / kFieldStride + 1;
        fail(rec() + ", field " + std::to_string(cut + 1) + " is cut short: the record ends at column " +
             std::to_string(line.len));
      }
      if (line.beyond != 0)
        fail(rec() + " has characters beyond its " + std::to_string(kFieldsPerRecord) + " fields (column " +
             std::to_string(line.beyond) + ")");
      for (int ib = 0; ib < kFieldsPerRecord; ++ib) {
        double v = 0.0;
        if (const char* fault = read_table_field(line.text, line.len, ib, scale, v))
          fail(rec() + ", field " + std::to_string(ib + 1) + " " + fault);
        t.flux_tab[il][ib][ie] = v;
      }
    }
  }
  // Only blank lines may follow: more records mean another table (a proton
  // table under an electron table's name holds 1980 records, not 860).
  for (long long extra = records + 1;; ++extra) {
    const int got = read_line(fp, line);
    if (got < 0) fail("line " + std::to_string(extra) + ": " + std::strerror(errno));
    if (got == 0) break;
    if (!is_blank_line(line))
      fail("it holds more than the " + std::to_string(records) + " records its model needs (line " +
           std::to_string(extra) + " is not blank)");
  }
  std::fclose(fp);
  if (protons)
    init_crrespro();
  else
    init_crresele();
}

}  // namespace kest

// get_crres_flux: CRRES flux of a series of points given by L and B/B0.
// Given:    ntime    int      number of points, at most 100000
//           whichm   int      1 CRRESPRO quiet, 2 CRRESPRO active, 3
//                             CRRESELE average, 4 CRRESELE worst case, 5
//                             CRRESELE by the Ap15 of each point, 6..10 the
//                             CRRESELE tables of the Ap15 bins 2..6
//           whatf    int      1 differential flux at E1, 2 mean differential
//                             flux over E1..E2, 3 integral flux above E1 (up
//                             to the highest grid energy); per MeV, or
//                             cm^-2 s^-1 for the integral
//           nene     int      number of energies or bands, at most 25
//           energy   double[2 x 25]  (E1, E2) per column, MeV
//           bbo, lm  double[ntime]   B/B0 and L per point
//           ap15     double[ntime]   Ap15 per point (read for whichm 5)
//           path     char*    directory prefix of the table files
//           path_len int      number of characters of path, 0..500
// Returned: flux     double[100000 x 25]  rows 1..ntime, all 25 columns
// State:    writes crres_model_dbl, crres_model_int (the table last loaded).
// Failure:  fill value -1.0E31 for: every column beyond nene; a point with L
//           outside [first, last) of the L grid, B/B0 above 684.6, or (whichm
//           5) Ap15 outside 5..55; E1 outside the energy grid; a band with E2
//           below E1 or above the grid; for kind 1, a table value of 0 or
//           below at either grid energy around E1; a result of 0 or below;
//           every entry for whichm outside 1..10 or whatf outside 1..3 (no
//           table read).
//           ntime above 100000, nene above 25, path_len outside 0..500: one
//           message line, fill values, no table read. A table that cannot be
//           read: stop (see init_crres).
// Notes:    1. No interpolation in L or B/B0: a point takes its cell's values.
//           2. For whichm 5 each point's Ap15 bin selects its table. Each
//              table the points need is read once, in the order the points
//              first need them; the table of the last point's bin is left in
//              memory (read once more at the end when another was read
//              after it).
extern "C" void get_crres_flux_(int* ntime, int* whichm, int* whatf, int* nene, double* energy, double* bbo,
                                double* lm, double* ap15, double* flux, char* path, int* path_len) {
  using kest::baddata;
  if (!kest::flux_call_fits(*ntime, *nene, flux)) return;
  for (int k = 0; k < kest::kFluxMaxEnergies; ++k)
    for (int i = 0; i < *ntime; ++i) flux[i + kest::kFluxMaxPoints * k] = baddata;
  if (*path_len < 0 || *path_len > kPathMax) {
    kest::msg(kBadPath);
    return;
  }
  if (*whichm < 1 || *whichm > 10 || *whatf < 1 || *whatf > 3) return;

  kest::init_crres(*whichm, path, *path_len);
  int loaded = *whichm;
  const kest::CrresModelDbl& t = kest::crres_model_dbl;
  const kest::CrresModelInt& n = kest::crres_model_int;
  // A point whose L and B/B0 lie on the grids (the same for every table of
  // a particle).
  auto on_grid = [&](int i) {
    const double l = lm[i], b = bbo[i];
    return l >= t.lgrid[0] && l < t.lgrid[n.nl - 1] && b <= t.bb0grid[n.nb - 1];
  };
  // The Ap15 bin (1..6) of a point of whichm 5, 0 for a point without flux.
  auto ap_bin = [&](int i) {
    if (!on_grid(i)) return 0;
    const double ap = ap15[i];
    if (!(ap >= kAp15Bounds[0] && ap <= kAp15Bounds[6])) return 0;
    int bin = 1;
    while (ap > kAp15Bounds[bin]) ++bin;
    return bin;
  };
  auto load_bin = [&](int bin) {
    if (bin + 4 != loaded) {
      kest::init_crres(bin + 4, path, *path_len);
      loaded = bin + 4;
    }
  };
  // The fluxes of point i from the table in memory.
  auto point_flux = [&](int i) {
    const double l = lm[i], b = bbo[i];
    int il = 1;
    while (il + 1 < n.nl && t.lgrid[il] <= l) ++il;  // largest il with lgrid(il) <= L
    int ib = 1;
    while (b > t.bb0grid[ib]) ++ib;  // smallest j >= 2 with B <= bb0grid(j), less 1
    const double* f = t.flux_tab[il - 1][ib - 1];  // f[j - 1] = flux at grid energy j
    const double* eg = t.egrid;
    const int ne = n.ne;
    for (int k = 0; k < *nene; ++k) {
      const double e1 = energy[2 * k], e2 = energy[2 * k + 1];
      double& out = flux[i + kest::kFluxMaxPoints * k];
      if (!(e1 >= eg[0] && e1 <= eg[ne - 1])) continue;
      const Interp a = interp_energy(eg, ne, f, e1);
      const int ie1 = a.ie;
      const double f1 = a.has ? a.value : 0.0;
      double result = 0.0;
      if (*whatf == 1) {
        if (a.has) out = a.value;
        continue;
      }
      if (*whatf == 2) {
        if (!(e2 >= e1 && e2 <= eg[ne - 1])) continue;
        const Interp z = interp_energy(eg, ne, f, e2);
        const int ie2 = z.ie;
        const double f2 = z.has ? z.value : 0.0;
        if (ie1 == ie2) {
          result = (f1 + f2) / 2.0;
        } else {
          double sum = 0.5 * (eg[ie1 - 1] - e1) * (f1 + f[ie1 - 1]);
          for (int j = ie1; j <= ie2 - 2; ++j) sum += 0.5 * (eg[j] - eg[j - 1]) * (f[j - 1] + f[j]);
          sum += 0.5 * (e2 - eg[ie2 - 2]) * (f2 + f[ie2 - 2]);
          result = sum / (e2 - e1);
        }
      } else {
        double sum = 0.5 * (eg[ie1 - 1] - e1) * (f1 + f[ie1 - 1]);
        for (int j = ie1; j <= ne - 1; ++j) sum += 0.5 * (eg[j] - eg[j - 1]) * (f[j - 1] + f[j]);
        result = sum;
      }
      if (result > 0.0) out = result;
    }
  };

  if (*whichm != 5) {
    for (int i = 0; i < *ntime; ++i)
      if (on_grid(i)) point_flux(i);
    return;
  }
  // By the Ap15 of each point: the points of one bin together, so that each
  // table is read once per call and not once per change of bin along the
  // series (a series whose Ap15 alternates between two bins would read a
  // table file for every point: minutes for 100000 points instead of a
  // fraction of a second). The bins go in the order the points first need
  // them, so that a table that cannot be read stops the call at the same
  // table as a walk point by point would; the table of the last point's bin
  // is the one left in memory, as after such a walk.
  int order[6];
  int nbins = 0, last_bin = 0;
  for (int i = 0; i < *ntime; ++i) {
    const int bin = ap_bin(i);
    if (bin == 0) continue;
    last_bin = bin;
    bool seen = false;
    for (int j = 0; j < nbins; ++j) seen = seen || order[j] == bin;
    if (!seen) order[nbins++] = bin;
  }
  for (int j = 0; j < nbins; ++j) {
    load_bin(order[j]);
    for (int i = 0; i < *ntime; ++i)
      if (ap_bin(i) == order[j]) point_flux(i);
  }
  if (last_bin != 0) load_bin(last_bin);
}

// fly_in_afrl_crres1: CRRES flux along a series of positions.
// Given:    ntime, sysaxes, nene, energy, iyr, idoy, ut, x1, x2, x3
//                    as fly_in_nasa_aeap1_
//           ap15     double[ntime]  Ap15 of each point (read for whichm 5)
//           path     char*    directory prefix of the table files
//           path_len int      number of characters of path, 0..500
// Given and returned:
//           whichm   int      1..5 as get_crres_flux_; another value:
//                             warning, replaced by 1
//           whatf    int      1..3; another value: warning, replaced by 1
// Returned: flux     double[100000 x 25] as get_crres_flux_
// State:    writes magmod = (5, 0, 1), flag_l = 0, dip_ang (tilt of day 182
//           of 1985 at 0 h), the internal field (IGRF 1985.5 dipole), the sun
//           and axes state (that time, or the last point's time for the
//           systems 2..5), the CRRES table records; all left so at return.
// Failure:  a point the field model refuses, or a position system outside
//           0..8: fill fluxes for the point. path_len outside 0..500, sizes
//           beyond the limits: one message line, fill values, no point
//           evaluated (the field model is still set up). A table that cannot
//           be read: stop (see init_crres).
// Notes:    1. The tables were built in the eccentric tilted dipole of the
//              1985.5 IGRF epoch with the Olson-Pfitzer quiet model; the
//              external model reads the tilt of mid-1985.
extern "C" void fly_in_afrl_crres1_(int* ntime, int* sysaxes, int* whichm, int* whatf, int* nene, double* energy,
                                    int* iyr, int* idoy, double* ut, double* x1, double* x2, double* x3,
                                    double* ap15, double* flux, char* path, int* path_len) {
  static kest::FlyWork work;
  // Directory prefix of the last call, blank-padded.
  static char dir[kPathMax];
  const bool path_ok = *path_len >= 0 && *path_len <= kPathMax;
  if (path_ok) {
    std::memset(dir, ' ', sizeof dir);
    if (*path_len > 0) std::memcpy(dir, path, static_cast<std::size_t>(*path_len));
  }
  kest::flag_l.set = 0;
  kest::magmod.kext = 5;
  kest::magmod.lstar_opt = 0;
  if (*whichm < 1 || *whichm > 5) {
    *whichm = 1;
    kest::flux_warn_replaced(kBadModel, kPickModel);
  }
  if (*whatf < 1 || *whatf > 3) {
    *whatf = 1;
    kest::flux_warn_replaced(kBadKind, kPickKind);
  }
  kest::magmod.kint = 1;
  initize_();
  double epoch = 1985.5;
  init_dtd_(&epoch);
  int year = 1985, doy = 182;
  double secs = 0.0, psi = 0.0;
  init_gsm_(&year, &doy, &secs, &psi);
  kest::dip_ang.tilt = psi / (4.0 * std::atan(1.0) / 180.0);

  if (!kest::flux_call_fits(*ntime, *nene, flux)) return;
  if (!path_ok) {
    kest::msg(kBadPath);
    for (int k = 0; k < kest::kFluxMaxEnergies; ++k)
      for (int i = 0; i < *ntime; ++i) flux[i + kest::kFluxMaxPoints * k] = kest::baddata;
    return;
  }
  kest::fly_points(work, *ntime, *sysaxes, iyr, idoy, ut, x1, x2, x3);
  get_crres_flux_(ntime, whichm, whatf, nene, energy, work.bbo, work.lm, ap15, flux, dir, path_len);
}
