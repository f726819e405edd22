// Two-line element reader: the next element set of the open element file into
// the element record, converted to the units of the propagator, initialised.
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "frame/conventions.hpp"
#include "frame/fortran_fields.hpp"
#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit/orbit_text.hpp"
#include "orbit/tle_files.hpp"

namespace kest {
TleFiles tle_files;

void tle_fail(const std::string& text) {
  TleFiles& f = tle_files;
  if (f.in) std::fclose(f.in);
  f.in = nullptr;
  std::string removed;
  if (f.out) {
    std::fclose(f.out);
    f.out = nullptr;
    if (std::remove(f.out_name.c_str()) == 0)
      removed = "sgp4_tle: output file \"" + f.out_name + "\" removed";
  }
  const std::string line = "sgp4_tle: " + text;
  if (removed.empty()) stop_stderr({line.c_str()});
  stop_stderr({line.c_str(), removed.c_str()});
}
}  // namespace kest

namespace {

using kest::elsetrec;
using kest::tle_files;

// Revolutions per day per radian per minute, and radians per degree.
constexpr double xpdotp = 1440.0 / 6.28318530717959;
constexpr double deg2rad = 0.0174532925199433;

// Element lines are read as 130 characters; a shorter line counts as padded
// with blanks, a longer one is cut.
constexpr int line_width = 130;

struct Line {
  char text[line_width + 1];
  long number;  // line number in the element file, from 1
  std::string_view cols(int first, int last) const {
    return std::string_view(text + first - 1, static_cast<size_t>(last - first + 1));
  }
  bool blank() const {
    for (int i = 0; i < line_width; ++i)
      if (text[i] != ' ') return false;
    return true;
  }
  bool comment() const { return text[0] == '#'; }
};

// Reads the next physical line; false at the end of the file.
bool read_raw(Line& l) {
  std::FILE* in = tle_files.in;
  int c = std::fgetc(in);
  if (c == EOF) {
    if (std::ferror(in)) kest::tle_fail("cannot read the element file \"" + tle_files.in_name + "\"");
    return false;
  }
  int n = 0;
  while (c != EOF && c != '\n') {
    if (n < line_width) l.text[n++] = static_cast<char>(c);
    c = std::fgetc(in);
  }
  if (std::ferror(in)) kest::tle_fail("cannot read the element file \"" + tle_files.in_name + "\"");
  // A line ending in CR LF: the CR is not part of the element text.
  if (n > 0 && n < line_width && l.text[n - 1] == '\r') --n;
  std::memset(l.text + n, ' ', static_cast<size_t>(line_width - n));
  l.text[line_width] = '\0';
  l.number = ++tle_files.line;
  return true;
}

// True when nothing but blank and comment lines is left in the file; the
// file position is restored either way.
bool only_blanks_left() {
  std::FILE* in = tle_files.in;
  const long pos = std::ftell(in);
  const long line = tle_files.line;
  Line l;
  bool only = true;
  while (read_raw(l))
    if (!l.comment() && !l.blank()) {
      only = false;
      break;
    }
  std::fseek(in, pos, SEEK_SET);
  tle_files.line = line;
  return only;
}

// Reads the next line that is not a comment; false at the end of the file.
// Blank lines with nothing but blank and comment lines after them count as
// the end of the file (a file may end in empty lines); a blank line before
// further element lines is read as a line of an element set.
bool read_line(Line& l) {
  do {
    if (!read_raw(l)) return false;
  } while (l.comment());
  if (l.blank() && only_blanks_left()) {
    while (read_raw(l)) {
    }
    return false;
  }
  return true;
}

[[noreturn]] void bad_field(const Line& l, int first, int last, const char* what) {
  const std::string_view f = l.cols(first, last);
  kest::tle_fail("element file \"" + tle_files.in_name + "\", line " + std::to_string(l.number) +
                 ": columns " + std::to_string(first) + "-" + std::to_string(last) + " (" + what +
                 ") are not a number: \"" + std::string(f) + "\"");
}

int get_int(const Line& l, int first, int last, const char* what) {
  int v = 0;
  if (!kest::fio::read_int(l.cols(first, last), &v)) bad_field(l, first, last, what);
  return v;
}

double get_real(const Line& l, int first, int last, int implied, const char* what) {
  double v = 0.0;
  if (!kest::fio::read_real(l.cols(first, last), implied, &v)) bad_field(l, first, last, what);
  return v;
}

// Julian date of a two-digit year and a day of year with its fraction.
double epoch_julian(int yy, double days) {
  int year = yy < 50 ? yy + 2000 : yy + 1900;
  int mon, day, hr, minute;
  double sec, jd;
  days2mdhms_(&year, &days, &mon, &day, &hr, &minute, &sec);
  jday_(&year, &mon, &day, &hr, &minute, &sec, &jd);
  return jd;
}

// Days from the epoch (yy1, days1) to the epoch (yy2, days2), formed from
// the days of year so that the window keeps the full precision of the
// element lines (a difference of Julian dates near 2.45e6 resolves only
// about 40 microseconds, enough to drop the line at the joining epoch).
double days_between(int yy1, double days1, int yy2, double days2) {
  int y1 = yy1 < 50 ? yy1 + 2000 : yy1 + 1900;
  int y2 = yy2 < 50 ? yy2 + 2000 : yy2 + 1900;
  int one = 1;
  const int jan1_gap = julday_(&y2, &one, &one) - julday_(&y1, &one, &one);
  return static_cast<double>(jan1_gap) + (days2 - days1);
}

// Window of the last element set of a file in look-ahead mode, minutes after
// its epoch: with no later set to bound it, the set is propagated over one
// day.
constexpr double last_set_window = 1440.0;

}  // namespace

// twoline2rvsgp4: reads, converts and initialises the next element set.
// Given:    setcount  int  not used
//           run_mode  char  'Y': window from this epoch to the next later one;
//                     'C': the first set only; other: every set, window kept
//           gravity_set  int  72, 721 or 84
//           step  double  not used
// Returned: start, stop  double  minutes from the set's epoch (mode 'Y' only)
//           end_code  int  999 when no further set is to be propagated, else 0
// State:    reads tle_files (the open element file, advanced past the set;
//           in mode 'Y' left at the first line of the next later set);
//           writes elsetrec (element fields, then sgp4init_).
// Requires: sgp4_tle1_ has opened the element file (otherwise end_code 999).
// Failure:  an initialisation error prints "# *** SGP4 Model Error ***" and
//           the code; a field that is not a number, an element set without
//           its second line, or an unreadable file stop the process (message
//           naming file and line on standard error, exit status 1).
// Notes:    1. Lines starting with '#' are comments wherever a line is read.
//           2. Mode 'Y' passes over sets whose epoch is not later than the
//              current one; the last set of the file gets the window 0 to
//              1440 minutes (one day after its epoch).
//           3. Two-digit years below 50 are 20yy, others 19yy.
extern "C" void twoline2rvsgp4_(int* /*setcount*/, char* run_mode, int* gravity_set,
                                double* start, double* stop, double* /*step*/,
                                int* end_code) {
  *end_code = 0;
  auto finish = [&] {
    if (*run_mode == 'C') *end_code = 999;
  };
  tle_files.initialised = false;
  if (!tle_files.in) {
    *end_code = 999;
    return;
  }
  double tumin, radius, xke, j2, j3, j4, j3oj2;
  getgravconst_(gravity_set, &tumin, &radius, &xke, &j2, &j3, &j4, &j3oj2);

  kest::Elsetrec& s = elsetrec;
  Line l1, l2;
  if (!read_line(l1)) {
    *end_code = 999;
    return finish();
  }
  s.satellite_number = get_int(l1, 3, 7, "satellite number");
  std::memcpy(s.designator, l1.text + 8, 10);
  s.designator[10] = s.designator[11] = ' ';
  s.epoch_year = get_int(l1, 19, 20, "epoch year");
  const double epoch_days = get_real(l1, 21, 32, 0, "epoch day");
  s.mean_motion_dot = get_real(l1, 34, 43, 0, "first mean-motion term");
  s.mean_motion_ddot = get_real(l1, 45, 50, 5, "second mean-motion term");
  const int ddot_exp = get_int(l1, 51, 52, "second mean-motion term exponent");
  s.bstar = get_real(l1, 54, 59, 5, "B*");
  const int bstar_exp = get_int(l1, 60, 61, "B* exponent");
  s.ephemeris_type = get_int(l1, 63, 63, "ephemeris type");
  s.element_number = get_int(l1, 65, 68, "element number");

  if (!read_line(l2)) {
    if (l1.blank()) {
      *end_code = 999;
      return finish();
    }
    kest::tle_fail("element file \"" + tle_files.in_name + "\", line " +
                   std::to_string(l1.number) + ": element set without its second line");
  }
  s.inclination = get_real(l2, 9, 16, 0, "inclination");
  s.ascending_node = get_real(l2, 18, 25, 0, "ascending node");
  s.eccentricity = get_real(l2, 27, 33, 7, "eccentricity");
  s.perigee_argument = get_real(l2, 35, 42, 0, "argument of perigee");
  s.mean_anomaly = get_real(l2, 44, 51, 0, "mean anomaly");
  s.mean_motion = get_real(l2, 53, 63, 0, "mean motion");
  s.revolution_number = get_int(l2, 64, 68, "revolution number");

  if (*run_mode == 'Y') {
    for (;;) {
      // Where the next set starts (its comment lines included), to step back.
      const long pos = std::ftell(tle_files.in);
      const long line = tle_files.line;
      Line next;
      if (!read_line(next)) {
        *start = 0.0;
        *stop = last_set_window;
        break;
      }
      const int next_yy = get_int(next, 19, 20, "epoch year");
      const double next_days = get_real(next, 21, 32, 0, "epoch day");
      const double gap = days_between(s.epoch_year, epoch_days, next_yy, next_days);
      *start = 0.0;
      *stop = gap * 1440.0;
      if (gap > 0.0) {
        std::fseek(tle_files.in, pos, SEEK_SET);
        tle_files.line = line;
        break;
      }
      // A set not later than this one is superseded: skip its second line,
      // and say so, since its elements give no output.
      {
        const std::string note = "# Element set at line " + std::to_string(next.number) +
                                 " passed over: its epoch is not later than the set before it";
        kest::msg(note.c_str());
      }
      Line skipped;
      if (!read_line(skipped))
        kest::tle_fail("element file \"" + tle_files.in_name + "\", line " +
                       std::to_string(next.number) + ": element set without its second line");
    }
  }

  // Units of the propagator: radians, minutes, Earth radii.
  s.mean_motion_dot = s.mean_motion_dot / (xpdotp * 1440.0);
  s.mean_motion_ddot = s.mean_motion_ddot * std::pow(10.0, ddot_exp) / (xpdotp * 1440.0 * 1440.0);
  s.bstar = s.bstar * std::pow(10.0, bstar_exp);
  s.mean_motion = s.mean_motion / xpdotp;
  s.semi_major_axis = std::pow(s.mean_motion * tumin, -2.0 / 3.0);
  s.inclination *= deg2rad;
  s.ascending_node *= deg2rad;
  s.perigee_argument *= deg2rad;
  s.mean_anomaly *= deg2rad;
  if (std::fabs(s.eccentricity - 1.0) > 1.0e-6) {
    s.perigee_height = s.semi_major_axis * (1.0 - s.eccentricity) - 1.0;
    s.apogee_height = s.semi_major_axis * (1.0 + s.eccentricity) - 1.0;
  } else {
    s.apogee_height = 999999.9;
    s.perigee_height = 2.0 * (4.0 / std::pow(s.mean_motion * s.mean_motion, 1.0 / 3.0));
  }
  s.epoch_jd = epoch_julian(s.epoch_year, epoch_days);

  int satn = s.satellite_number, error = 0;
  double bstar = s.bstar, ecc = s.eccentricity, epoch = s.epoch_jd - 2433281.5;
  double argp = s.perigee_argument, incl = s.inclination, mo = s.mean_anomaly;
  double no = s.mean_motion, node = s.ascending_node;
  sgp4init_(gravity_set, &satn, &bstar, &ecc, &epoch, &argp, &incl, &mo, &no, &node, &error);
  if (error > 0) kest::otext::TraceLine().text("# *** SGP4 Model Error ***").num(error).print();
  tle_files.initialised = true;
  tle_files.epoch_year = s.epoch_year < 50 ? s.epoch_year + 2000 : s.epoch_year + 1900;
  tle_files.epoch_days = epoch_days;
  finish();
}
