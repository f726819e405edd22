// Two-line element reader: the next element set of the open element file into
// the element record, converted to the units of the propagator, initialised.
#include <cerrno>
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
  fio::atomic_abandon(f.out);
  const std::string line = "sgp4_tle: " + text;
  stop_stderr({line.c_str()});
}
}  // namespace kest

namespace {

using kest::elsetrec;
using kest::tle_files;

// Revolutions per day per radian per minute, and radians per degree.
constexpr double xpdotp = 1440.0 / 6.28318530717959;
constexpr double deg2rad = 0.0174532925199433;

constexpr int line_width = kest::tle_line_width;

// The fields of either line of an element set end in column 68; column 69
// holds the checksum.
constexpr int last_field_column = 68;
constexpr int checksum_column = 69;

// The epoch's day of year: 1.0 is 1 January 00:00, and the last instant of a
// leap year lies below 367.0.
constexpr double first_day = 1.0;
constexpr double day_limit = 367.0;

// A line of the element file with the views the field readers take of it.
struct Line : kest::TleLine {
  std::string_view cols(int first, int last) const {
    return std::string_view(text + first - 1, static_cast<size_t>(last - first + 1));
  }
  bool blank() const { return length == 0; }
  bool comment() const { return text[0] == '#'; }
};

std::string where(const Line& l) {
  return "element file \"" + tle_files.in_name + "\", line " + std::to_string(l.number);
}

// Stops for a failed read of the element file, with the reason: a directory
// given as the element file opens but fails at its first read.
[[noreturn]] void read_fail() {
  const int err = errno;
  kest::tle_fail("cannot read the element file \"" + tle_files.in_name + "\": " + std::strerror(err));
}

// Reads the next physical line; false at the end of the file. A line held
// back by the look-ahead comes first, as it was read. A line ends at LF,
// CR LF or a lone CR; every byte is read once, so reading is linear in the
// size of the file.
bool read_raw(Line& l) {
  if (tle_files.held) {
    static_cast<kest::TleLine&>(l) = tle_files.held_line;
    tle_files.held = false;
    return true;
  }
  std::FILE* in = tle_files.in;
  int c = std::getc(in);
  if (c == EOF) {
    if (std::ferror(in)) read_fail();
    return false;
  }
  int n = 0;
  while (c != EOF && c != '\n' && c != '\r') {
    if (n < line_width) l.text[n++] = static_cast<char>(c);
    c = std::getc(in);
  }
  if (c == '\r') {
    const int d = std::getc(in);
    if (d != '\n' && d != EOF) std::ungetc(d, in);
  }
  if (std::ferror(in)) read_fail();
  std::memset(l.text + n, ' ', static_cast<size_t>(line_width - n));
  l.text[line_width] = '\0';
  while (n > 0 && (l.text[n - 1] == ' ' || l.text[n - 1] == '\t')) --n;
  l.length = n;
  l.number = ++tle_files.line;
  return true;
}

// Reads the next line that is neither a comment nor blank; false at the end
// of the file.
bool read_line(Line& l) {
  do {
    if (!read_raw(l)) return false;
  } while (l.comment() || l.blank());
  return true;
}

// Bytes of the file as a message shows them: a control byte (a NUL would
// end the message there, an escape sequence would drive the terminal) as
// \xNN, every other byte as it stands.
std::string shown(std::string_view bytes) {
  std::string s;
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7f) {
      char hex[5];
      std::snprintf(hex, sizeof hex, "\\x%02x", u);
      s += hex;
    } else {
      s += c;
    }
  }
  return s;
}

[[noreturn]] void bad_field(const Line& l, int first, int last, const char* what,
                            const char* why = "are not a number") {
  const std::string_view f = l.cols(first, last);
  kest::tle_fail(where(l) + ": columns " + std::to_string(first) + "-" + std::to_string(last) +
                 " (" + what + ") " + why + ": \"" + shown(f) + "\"");
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

// An angle of line 2, refused outside [0, top] degrees: the format holds the
// angle reduced to its range, and a value far outside it (an exponent, a
// slipped column) cannot be an angle of the element set.
double get_angle(const Line& l, int first, int last, double top, const char* what,
                 const char* why) {
  const double v = get_real(l, first, last, 0, what);
  if (!(v >= 0.0 && v <= top)) bad_field(l, first, last, what, why);
  return v;
}

// The epoch of a first line: two-digit year (columns 19-20) and day of year
// with its fraction (columns 21-32). A day outside [1, 367) is no date of the
// two-digit year; it is refused here, before any date is formed from it (an
// exponent such as 1.0E+20 would otherwise reach the calendar arithmetic).
void get_epoch(const Line& l, int& yy, double& days) {
  yy = get_int(l, 19, 20, "epoch year");
  if (yy < 0 || yy > 99) bad_field(l, 19, 20, "epoch year", "are not a two-digit year");
  days = get_real(l, 21, 32, 0, "epoch day");
  if (!(days >= first_day && days < day_limit))
    bad_field(l, 21, 32, "epoch day", "are not a day of year from 1.0 to below 367.0");
}

// Checks what the format fixes about either line of a set: the line number
// in column 1 (1 or 2), fields reaching column 68, and the checksum. A
// checksum that does not match is a warning only: hand-edited files often
// carry stale ones, and the fields themselves are checked as they are read.
void check_line(const Line& l, char number) {
  if (l.text[0] != number)
    kest::tle_fail(where(l) + ": column 1 holds \"" + shown(std::string_view(l.text, 1)) +
                   "\"; line " + number + " of an element set holds " + number);
  if (l.length < last_field_column)
    kest::tle_fail(where(l) + ": line " + number + " of an element set ends at column " +
                   std::to_string(l.length) + "; its fields need columns 1-" +
                   std::to_string(last_field_column));
  const char given = l.text[checksum_column - 1];
  if (given == ' ') return;  // no checksum written
  // Checksum: the digits of columns 1-68 summed, each minus sign counting
  // 1, modulo 10.
  int sum = 0;
  for (int i = 0; i < last_field_column; ++i) {
    const char c = l.text[i];
    if (c >= '0' && c <= '9') sum += c - '0';
    if (c == '-') ++sum;
  }
  const char expected = static_cast<char>('0' + sum % 10);
  if (given != expected) {
    const std::string m = "sgp4_tle: warning: " + where(l) + ": checksum in column 69 is \"" +
                          shown(std::string_view(&given, 1)) + "\", the columns 1-68 give " +
                          std::string(1, expected) + "; the line is used as read";
    std::fflush(stdout);
    std::fprintf(stderr, "%s\n", m.c_str());
  }
}

// The second line of the set whose first line is l1: read, checked, and
// carrying the same satellite number; a set without it is malformed.
void second_line(const Line& l1, Line& l2) {
  if (!read_line(l2))
    kest::tle_fail(where(l1) + ": element set without its second line");
  check_line(l2, '2');
  const int n1 = get_int(l1, 3, 7, "satellite number");
  const int n2 = get_int(l2, 3, 7, "satellite number");
  if (n1 != n2)
    kest::tle_fail(where(l2) + ": satellite number " + std::to_string(n2) +
                   " in columns 3-7, line " + std::to_string(l1.number) + " before it has " +
                   std::to_string(n1));
}

// Gives a line back to the element file: the next read returns it.
void hold_line(const Line& l) {
  tle_files.held_line = l;
  tle_files.held = true;
}

// The fields of one element set as its lines hold them: the drag terms of
// line 1 as mantissas and powers of ten, angles in degrees, the mean motion
// in revolutions per day.
struct SetFields {
  int satellite_number;
  int epoch_year;  // two digits
  double epoch_days;
  double mean_motion_dot;
  double mean_motion_ddot;
  int ddot_exp;
  double bstar;
  int bstar_exp;
  int ephemeris_type;
  int element_number;
  double inclination;
  double ascending_node;
  double eccentricity;
  double perigee_argument;
  double mean_anomaly;
  double mean_motion;
  int revolution_number;
};

// Reads every field of the element set whose first line is l1, its second
// line read into l2; any field that is not what the format holds stops the
// process with its message.
void read_set(const Line& l1, Line& l2, SetFields& f) {
  check_line(l1, '1');
  f.satellite_number = get_int(l1, 3, 7, "satellite number");
  get_epoch(l1, f.epoch_year, f.epoch_days);
  f.mean_motion_dot = get_real(l1, 34, 43, 0, "first mean-motion term");
  f.mean_motion_ddot = get_real(l1, 45, 50, 5, "second mean-motion term");
  f.ddot_exp = get_int(l1, 51, 52, "second mean-motion term exponent");
  f.bstar = get_real(l1, 54, 59, 5, "B*");
  f.bstar_exp = get_int(l1, 60, 61, "B* exponent");
  f.ephemeris_type = get_int(l1, 63, 63, "ephemeris type");
  f.element_number = get_int(l1, 65, 68, "element number");

  second_line(l1, l2);
  f.inclination = get_angle(l2, 9, 16, 180.0, "inclination", "are not an angle from 0 to 180 degrees");
  f.ascending_node = get_angle(l2, 18, 25, 360.0, "ascending node", "are not an angle from 0 to 360 degrees");
  f.eccentricity = get_real(l2, 27, 33, 7, "eccentricity");
  f.perigee_argument = get_angle(l2, 35, 42, 360.0, "argument of perigee", "are not an angle from 0 to 360 degrees");
  f.mean_anomaly = get_angle(l2, 44, 51, 360.0, "mean anomaly", "are not an angle from 0 to 360 degrees");
  f.mean_motion = get_real(l2, 53, 63, 0, "mean motion");
  f.revolution_number = get_int(l2, 64, 68, "revolution number");
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
//           in mode 'Y' the first line of the next later set is held in
//           tle_files, and the next call starts from it); writes its
//           initialised flag (false until a set is initialised) and the set's
//           first line number and epoch; writes elsetrec (element fields,
//           then sgp4init_).
// Requires: sgp4_tle1_ has opened the element file (otherwise end_code 999).
// Failure:  an initialisation error prints "# *** SGP4 Model Error ***" and
//           the code. A malformed line stops the process (message naming
//           file and line on standard error, exit status 1): a field that is
//           not a number, an epoch that is not a two-digit year and a day of
//           year in [1, 367), an inclination outside [0, 180] or another
//           angle outside [0, 360] degrees, a column 1 other than 1 on a
//           set's first line or 2 on its second, a line whose fields stop
//           before column 68, two lines with different satellite numbers, a
//           set without its second line; so does an unreadable file. A
//           checksum (column 69) that does not match is a warning on
//           standard error.
// Notes:    1. Lines starting with '#' are comments and blank lines are
//              skipped, wherever a line is read.
//           2. Mode 'Y' passes over sets whose epoch is not later than the
//              current one, with a note on standard output, after reading
//              and checking every field of them; the last set of
//              the file gets the window 0 to 1440 minutes (one day after its
//              epoch).
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
  SetFields f;
  read_set(l1, l2, f);
  s.satellite_number = f.satellite_number;
  std::memcpy(s.designator, l1.text + 8, 10);
  s.designator[10] = s.designator[11] = ' ';
  s.epoch_year = f.epoch_year;
  const double epoch_days = f.epoch_days;
  s.mean_motion_dot = f.mean_motion_dot;
  s.mean_motion_ddot = f.mean_motion_ddot;
  const int ddot_exp = f.ddot_exp;
  s.bstar = f.bstar;
  const int bstar_exp = f.bstar_exp;
  s.ephemeris_type = f.ephemeris_type;
  s.element_number = f.element_number;
  s.inclination = f.inclination;
  s.ascending_node = f.ascending_node;
  s.eccentricity = f.eccentricity;
  s.perigee_argument = f.perigee_argument;
  s.mean_anomaly = f.mean_anomaly;
  s.mean_motion = f.mean_motion;
  s.revolution_number = f.revolution_number;

  if (*run_mode == 'Y') {
    for (;;) {
      Line next;
      if (!read_line(next)) {
        *start = 0.0;
        *stop = last_set_window;
        break;
      }
      if (next.text[0] != '1') check_line(next, '1');  // refused with its message
      int next_yy;
      double next_days;
      get_epoch(next, next_yy, next_days);
      const double gap = days_between(s.epoch_year, epoch_days, next_yy, next_days);
      *start = 0.0;
      *stop = gap * 1440.0;
      if (gap > 0.0) {
        // The next call starts from this line; the comment and blank lines
        // before it are behind it already.
        hold_line(next);
        break;
      }
      // A set not later than this one is superseded: every field of it is
      // read and checked as for a set that is used (a fault stops the
      // process with the same message), the values are dropped, and the
      // note says so, since its elements give no output.
      SetFields passed;
      Line skipped;
      read_set(next, skipped, passed);
      const std::string note = "# Element set at line " + std::to_string(next.number) +
                               " passed over: its epoch is not later than the set before it";
      kest::msg(note.c_str());
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
  tle_files.set_line = l1.number;
  tle_files.epoch_year = s.epoch_year < 50 ? s.epoch_year + 2000 : s.epoch_year + 1900;
  tle_files.epoch_days = epoch_days;
  finish();
}
