// Two-line element propagation: every element set of a file propagated with
// SGP4 over its window, written as date, time, decimal year and geodetic
// altitude, latitude and longitude, one 93-character line per time.
#include <sys/stat.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "frame/atomic_output.hpp"
#include "frame/c_numbers.hpp"
#include "frame/conventions.hpp"
#include "kest/frame.h"
#include "kest/orbit.h"
#include "orbit/orbit_state.hpp"
#include "orbit/orbit_text.hpp"
#include "orbit/orbit_time.hpp"
#include "orbit/tle_files.hpp"

namespace {

using kest::tle_files;

// Every driver uses WGS-84 constants.
int wgs84 = 84;

// Minutes per second, as the windows are converted.
constexpr double min_per_sec = 0.016666666666666666;
// 1/6371.2: km to the Earth radii of the frame services.
constexpr double per_earth_radius = 0.00015695630336514315;

// Most lines one call writes (about 9.3 GB of output): a window or step that
// would give more is taken for a slip (a lost decimal point in the step, an
// epoch decades away) and refused before its set writes any line.
constexpr double max_lines = 1.0e8;

// The years the output's four-digit year column holds, and the calendar
// routines date without crossing the year zero.
constexpr int first_year = 1;
constexpr int last_year = 9999;

// The caller's name: `len` bytes up to the first NUL, without trailing
// blanks; a name longer than the 500-byte field is refused rather than cut (a
// cut name would open or create another file). A C caller's zero-padded
// buffer ends at its first NUL, as the system's file calls read the name: a
// NUL kept inside the name would cut every message short at the name, and the
// padding would count towards the 500 bytes.
std::string take_name(const char* bytes, int len, const char* what) {
  if (len < 0) len = 0;
  if (len > 0)
    if (const void* nul = std::memchr(bytes, '\0', static_cast<size_t>(len)))
      len = static_cast<int>(static_cast<const char*>(nul) - bytes);
  while (len > 0 && bytes[len - 1] == ' ') --len;
  if (len > kest::max_file_name) {
    const std::string m = std::string("sgp4_tle: ") + what + " name longer than " +
                          std::to_string(kest::max_file_name) + " bytes (" + std::to_string(len) +
                          " bytes given); nothing done";
    kest::stop_stderr({m.c_str()});
  }
  return std::string(bytes, static_cast<size_t>(len));
}

// Moves a date on by one day (proleptic rules of the calendar routines).
void next_day(int& year, int& mon, int& day) {
  int jdn = julday_(&year, &mon, &day) + 1;
  caldat_(&jdn, &year, &mon, &day);
}

// The date and time of a line at t (minutes from the epoch of the set held in
// the element record), as the line prints them. Seconds are written to the
// nearest millionth; a time a fraction of a microsecond before a full minute
// would read 60.000000, so it is carried into the minute (and on into hour,
// day, month and year). The carry is made only for the years first_year to
// last_year (the calendar routines date no year zero); a time so carried out
// of last_year prints in the year after it.
void line_date(double t, int& year, int& mon, int& day, int& hr, int& minute, double& sec) {
  kest::date_after(tle_files.epoch_year, tle_files.epoch_days, t, year, mon, day, hr, minute, sec);
  if (year < first_year || year > last_year) return;
  char sbuf[64];
  kest::fio::c_snprintf(sbuf, sizeof sbuf, "%.6f", sec);
  if (kest::fio::c_strtod(sbuf, nullptr) >= 60.0) {
    sec = 0.0;
    if (++minute == 60) {
      minute = 0;
      if (++hr == 24) {
        hr = 0;
        next_day(year, mon, day);
      }
    }
  }
}

// Writes the output line of time t (minutes from the epoch of the set held in
// the element record) for the position r (km, GEI).
void write_line(double t, const double r[3]) {
  int year, mon, day, hr, minute;
  double sec;
  line_date(t, year, mon, day, hr, minute, sec);
  int doy = get_doy_(&year, &mon, &day);
  double secs = minute * 60.0 + hr * 3600.0 + sec;
  double pos[3] = {r[0] * per_earth_radius, r[1] * per_earth_radius, r[2] * per_earth_radius};
  double geo[3], lat, lon, alt;
  gei2geo1_(&year, &doy, &secs, pos, geo);
  geo_gdz_(&geo[0], &geo[1], &geo[2], &lat, &lon, &alt);
  // The decimal year counts whole seconds only.
  int isec = static_cast<int>(sec);
  double decy;
  date_and_time2decy_(&year, &mon, &day, &hr, &minute, &isec, &decy);

  using kest::otext::put_fixed;
  using kest::otext::put_int;
  std::string line;
  line.reserve(96);
  put_int(line, 2, day, 2);
  line += '/';
  put_int(line, 2, mon, 2);
  line += '/';
  put_int(line, 4, year);
  line += ' ';
  put_int(line, 3, hr);
  line += ':';
  put_int(line, 2, minute);
  line += ':';
  put_fixed(line, 9, 6, sec);
  line += ' ';
  put_fixed(line, 13, 8, decy);
  line += ' ';
  put_fixed(line, 17, 6, alt);
  put_fixed(line, 17, 6, lat);
  put_fixed(line, 17, 6, lon);
  line += '\n';
  if (std::fputs(line.c_str(), tle_files.out.file) == EOF)
    kest::tle_fail("cannot write the output file \"" + tle_files.out_name + "\"");
}

// A number of a message, to ten significant digits.
std::string num(double x) {
  char buf[32];
  kest::fio::c_snprintf(buf, sizeof buf, "%.10g", x);
  return buf;
}

// Year of the time t (minutes) after the epoch of the set held, as its line
// would print it: the last half microsecond of last_year prints as the year
// after, which the four-digit year column cannot hold.
int year_at(double t) {
  int year, mon, day, hr, minute;
  double sec;
  line_date(t, year, mon, day, hr, minute, sec);
  return year;
}

// Refuses the input file given again as the output file, by name or as the
// same file reached by another name (a link), before anything is created:
// writing the output would destroy the elements.
void refuse_same_file(const std::string& in_name, const std::string& out_name) {
  struct stat si, so;
  const bool same = in_name == out_name ||
                    (stat(in_name.c_str(), &si) == 0 && stat(out_name.c_str(), &so) == 0 &&
                     si.st_dev == so.st_dev && si.st_ino == so.st_ino);
  if (same) {
    const std::string m = "sgp4_tle: the output file \"" + out_name + "\" is the element file \"" +
                          in_name + "\"; nothing done";
    kest::stop_stderr({m.c_str()});
  }
}

}  // namespace

// sgp4_tle1: propagates the element sets of a two-line element file.
// Given:    runtype  int  0: every set from its epoch to the epoch of the next
//                     later set (the last set over one day); 1: the first set
//                     over the caller's window
//           startsfe, stopsfe  double  window, s from the epoch (runtype 1)
//           deltasec  double  step, s (60 s when 0 or below)
//           infile, infile_len  bytes, int  element file name (ending
//                     early at a NUL)
//           outfile, outfile_len  bytes, int  output file name (the same)
// Returned: the output file, one 93-character line per time: day/month/year,
//           hour:minute:seconds, decimal year, altitude (km above WGS84),
//           geodetic latitude and longitude (deg)
// State:    writes elsetrec (last set read), tle_files during the call, and
//           the frame's IGRF epoch and sun/axes state (time of the last line).
// Failure:  an SGP4 error prints "# Error in SGP4 .. " and the code and ends
//           that set's lines (an error already at the epoch, announced by
//           the reader's "# *** SGP4 Model Error ***", gives the set no
//           line; code 5, a perigee below the surface, is announced the
//           same way, but the set is propagated until its radius falls
//           below the surface); a runtype other than 0 or 1, or a start, stop or step
//           that is not a finite number, prints a message and writes
//           nothing. An element
//           file that cannot be opened or read, a malformed line (see
//           twoline2rvsgp4_), an output file that cannot be written, the
//           element file named as the output file, a name longer than 500
//           bytes, a window reaching outside the years 1 to 9999, or more
//           than 1e8 lines in one call stop the process with a message on
//           standard error (exit status 1); the output name is then left as
//           it was before the call.
// Notes:    1. A zero start writes the first line one step after the epoch; a
//              nonzero start is itself the first time. Times are start + k
//              step up to the end of the window, the end itself included when
//              it lies on that grid (within 1e-8 minutes).
//           2. runtype 1 with stopsfe <= startsfe propagates one day.
//           3. Dates and times are counted from the epoch's day of year, not
//              through a Julian date, so the printed seconds are exact to the
//              microsecond; seconds that round to 60.000000 are carried into
//              the minute. A window whose end prints so in the year 10000 is
//              one outside the years 1 to 9999.
//           4. Every line sets the frame's IGRF epoch (year + 0.5) and sun and
//              axes for its time; outside the IGRF years the frame warns.
//           5. The output is written under a temporary name beside the output
//              name and renamed onto it when the call completes.
extern "C" void sgp4_tle1_(int* runtype, double* startsfe, double* stopsfe, double* deltasec,
                           char* infile, int* infile_len, char* outfile, int* outfile_len) {
  double start = *startsfe * min_per_sec;
  double stop = *stopsfe * min_per_sec;
  double step = *deltasec * min_per_sec;
  char run_mode;
  if (*runtype == 0) {
    run_mode = 'Y';
  } else if (*runtype == 1) {
    run_mode = 'C';
    // A stop that is not a number is no stop at or before the start: it is
    // refused below with the other windows that are not finite.
    if (!std::isnan(stop) && !(stop > start)) stop = start + 1440.0;
  } else {
    kest::msg("sgp4_tle: runtype must be 0 (each element set up to the next) or 1 (the first set over the window); nothing done");
    return;
  }
  // Only a step of 0 or below takes the default; one that is not a number is
  // refused with the infinite ones.
  if (step <= 0.0) step = 1.0;
  if (!std::isfinite(start) || !std::isfinite(stop) || !std::isfinite(step)) {
    kest::msg("sgp4_tle: start, stop and step must be finite; nothing done");
    return;
  }

  const std::string in_name = take_name(infile, *infile_len, "element file");
  const std::string out_name = take_name(outfile, *outfile_len, "output file");
  refuse_same_file(in_name, out_name);
  tle_files = kest::TleFiles{};
  tle_files.in_name = in_name;
  tle_files.out_name = out_name;
  tle_files.in = std::fopen(in_name.c_str(), "r");
  if (!tle_files.in)
    kest::tle_fail("cannot open the element file \"" + in_name + "\": " + std::strerror(errno));
  if (!kest::fio::atomic_open(tle_files.out, out_name.c_str()))
    kest::tle_fail("cannot create the output file \"" + out_name + "\": " + std::strerror(errno));

  double lines_left = max_lines;
  int setcount = 0, end_code = 0;
  while (end_code != 999) {
    ++setcount;
    twoline2rvsgp4_(&setcount, &run_mode, &wgs84, &start, &stop, &step, &end_code);
    if (!tle_files.initialised) break;
    const std::string set = "the element set at line " + std::to_string(tle_files.set_line);
    double r[3], v[3], t0 = 0.0;
    int error = 0;
    sgp4_(&wgs84, &t0, r, v, &error);
    const double t_base = std::fabs(start) > 1.0e-8 ? start - step : start;
    // The lines of this window, counted before any is written: the count
    // bounds the loop below, whose own test ends it on the exact grid.
    const double tol = kest::window_margin(start, step, stop);
    const double span = (stop + tol - t_base) / step;
    long last_k = 0;
    if (error == 0 && span > 0.0 && !(span <= lines_left))
      kest::tle_fail(set + " would be propagated over " + num(stop - t_base) +
                     " minutes at a step of " + num(step) +
                     " minutes: more than the 100000000 lines one call writes");
    // The years are checked even when the window holds no grid time: a start
    // some 1e19 minutes or more from the epoch swallows the day added to it
    // (start + 1440 rounds back to start), and such a window is no date.
    if (error == 0) {
      const int y0 = year_at(start), y1 = year_at(stop);
      if (y0 < first_year || y0 > last_year || y1 < first_year || y1 > last_year)
        kest::tle_fail(set + ": the window from " + num(start) + " to " + num(stop) +
                       " minutes after its epoch reaches outside the years " +
                       std::to_string(first_year) + " to " + std::to_string(last_year));
    }
    if (error == 0 && span > 0.0) last_k = static_cast<long>(span) + 1;
    for (long k = 1; error == 0 && k <= last_k; ++k) {
      double t = t_base + static_cast<double>(k) * step;
      if (t > stop + tol) break;
      sgp4_(&wgs84, &t, r, v, &error);
      if (error > 0) {
        kest::otext::TraceLine().text("# Error in SGP4 .. ").num(error).print();
        break;
      }
      write_line(t, r);
      lines_left -= 1.0;
    }
  }

  std::fclose(tle_files.in);
  tle_files.in = nullptr;
  if (!kest::fio::atomic_commit(tle_files.out)) {
    const std::string m = "sgp4_tle: cannot write the output file \"" + out_name + "\": " +
                          std::strerror(errno);
    kest::stop_stderr({m.c_str()});
  }
}
