// kestrun: the batch program.
//
// Reads every record of "epoch.tmp" in the working directory, places its point
// on the equator 35793 km above the WGS84 ellipsoid at the record's longitude,
// computes the magnetic coordinates of the selected (on-the-hour) records in
// one call of the L* core, and writes one line per record to "position.tmp".
// A record that is not selected carries the results of the latest selected
// record at or before it; records before the first selected one carry the
// fill value (a failed computation). The field model and options are fixed:
// IGRF with the Olson-Pfitzer quiet model, options (1, 0, 2, 0, 0).
//
// Input record  (A20,2X,A19,1X,I4,1X,F8.2): epoch text, time text, tag, lon.
// Output record (A,2H, ,A,1H,,I4,3(1H,,F12.3),1P,8(1H,,E14.6),0P), 205 chars.
//
// Failure: "epoch.tmp" missing, a malformed record, an EPOCH text that is not
// a number, or more than kMaxRecords records: a message on standard error,
// exit status 1, no "position.tmp" written. "position.tmp" not openable:
// "Error opening position file", exit status 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cdf_epoch.hpp"
#include "frame/conventions.hpp"
#include "frame/fortran_fields.hpp"
#include "kest.h"

namespace {

constexpr int kMaxRecords = 100000;
constexpr int kNmax = 100000;   // leading dimension of the core's arrays
constexpr int kNmaginput = 25;  // magnetic inputs per time

constexpr double kLatitude = 0.0;      // degrees, geodetic
constexpr double kAltitude = 35793.0;  // km above WGS84
constexpr double kRe = 6371.2;         // km per Earth radius, output positions
constexpr double kLocalPitch = 90.0;   // degrees
constexpr int kKext = 5;               // Olson-Pfitzer quiet
constexpr int kSysaxes = 1;            // GEO

// Per-record storage.
struct Records {
  char epoch_text[kMaxRecords][21];
  char time_text[kMaxRecords][20];
  int tag[kMaxRecords];
  double x[kMaxRecords], y[kMaxRecords], z[kMaxRecords];
  int result_index[kMaxRecords];
  int count;
};

// Per-selected-record storage, numbered from 1; slot 0 holds the fill value
// and serves the records read before the first selected one.
struct Selected {
  int iyear[kNmax], idoy[kNmax];
  double ut[kNmax], x1[kNmax], x2[kNmax], x3[kNmax];
  double maginput[kNmax * kNmaginput];
  double lm[kNmax + 1], lstar[kNmax + 1], blocal[kNmax + 1], bmin[kNmax + 1], xj[kNmax + 1],
      mlt[kNmax + 1];
  int count;
};

Records rec;
Selected sel;

[[noreturn]] void input_error(long line, const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, "epoch.tmp, line %ld: %s", line, what);
  kest::stop_stderr({text});
}

// Reads one record line into slot n. line_no counts from 1.
void read_record(const char* line, long line_no, int n) {
  char padded[56];
  std::memset(padded, ' ', 55);
  padded[55] = '\0';
  std::size_t len = std::strlen(line);
  while (len > 0 && (line[len - 1] == '\n' || line[len - 1] == '\r')) --len;
  std::memcpy(padded, line, len < 55 ? len : 55);
  const std::string_view rec_text(padded, 55);

  std::memcpy(rec.epoch_text[n], padded, 20);
  rec.epoch_text[n][20] = '\0';
  std::memcpy(rec.time_text[n], padded + 22, 19);
  rec.time_text[n][19] = '\0';
  if (!kest::fio::read_int(rec_text.substr(42, 4), &rec.tag[n]))
    input_error(line_no, "record tag (characters 43-46) is not an integer");
  double lon = 0.0;
  if (!kest::fio::read_real(rec_text.substr(47, 8), 2, &lon))
    input_error(line_no, "longitude (characters 48-55) is not a number");

  double lat = kLatitude, alt = kAltitude;
  gdz_geo_(&lat, &lon, &alt, &rec.x[n], &rec.y[n], &rec.z[n]);

  // Selected: characters 15 and 16 of the time text are "00" (on the hour).
  if (rec.time_text[n][14] == '0' && rec.time_text[n][15] == '0') {
    const int k = sel.count++;
    sel.x1[k] = rec.x[n];
    sel.x2[k] = rec.y[n];
    sel.x3[k] = rec.z[n];
    double epoch = 0.0;
    if (!kest::fio::read_free_real(std::string_view(rec.epoch_text[n], 20), &epoch))
      input_error(line_no, "EPOCH text (characters 1-20) is not a number");
    char text[50];
    if (!cdf::encode_epoch_year_doy_fod(epoch, text, sizeof text))
      input_error(line_no, "EPOCH value lies outside the years 0000 to 9999");
    // The encoded text "yyyy-ddd.ffffffff" read as (I4,1X,I3,F9.8).
    const std::string_view t(text);
    double fod = 0.0;
    if (!kest::fio::read_int(t.substr(0, 4), &sel.iyear[k]) || !kest::fio::read_int(t.substr(5, 3), &sel.idoy[k]) ||
        !kest::fio::read_real(t.substr(8, 9), 8, &fod))
      input_error(line_no, "EPOCH value could not be encoded");
    sel.ut[k] = fod * 86400.0;
  }
  rec.result_index[n] = sel.count;
}

void read_epoch_file() {
  std::FILE* f = std::fopen("epoch.tmp", "r");
  if (f == nullptr) kest::stop_stderr({"Error opening epoch file"});
  static char line[4096];
  long line_no = 0;
  bool continuation = false;  // the rest of an over-long line is skipped
  while (std::fgets(line, sizeof line, f) != nullptr) {
    const bool complete = std::strchr(line, '\n') != nullptr;
    if (continuation) {
      continuation = !complete;
      continue;
    }
    continuation = !complete;
    ++line_no;
    if (rec.count >= kMaxRecords) {
      char text[128];
      std::snprintf(text, sizeof text, "epoch.tmp holds more than %d records, the most one run can take",
                    kMaxRecords);
      kest::stop_stderr({text});
    }
    read_record(line, line_no, rec.count);
    ++rec.count;
  }
  if (std::ferror(f)) kest::stop_stderr({"Error reading epoch file"});
  std::fclose(f);
}

// Magnetic coordinates of the selected records, into slots 1..count, in one
// call of the L* core, so that its set-up and its drift-shell memory serve
// all selected records in order. Slot 0 keeps the fill value for the records
// read before the first selected one.
void compute_selected() {
  sel.lm[0] = sel.lstar[0] = sel.blocal[0] = sel.bmin[0] = sel.xj[0] = sel.mlt[0] = kest::baddata;
  if (sel.count == 0) return;
  int ntime = sel.count;
  int kext = kKext;
  int options[5] = {1, 0, 2, 0, 0};
  int sysaxes = kSysaxes;
  make_lstar1_(&ntime, &kext, options, &sysaxes, sel.iyear, sel.idoy, sel.ut, sel.x1, sel.x2, sel.x3,
               sel.maginput, &sel.lm[1], &sel.lstar[1], &sel.blocal[1], &sel.bmin[1], &sel.xj[1], &sel.mlt[1]);
}

// Equatorial pitch angle of a particle mirroring at the point, degrees. Two
// fill values give a ratio of 1 and so 90; a NaN fails the test and gives 90.
double equatorial_pitch(double blocal, double bmin) {
  if (blocal >= bmin) return std::asin(std::sqrt(bmin / blocal)) * (45.0 / std::atan(1.0));
  return 90.0;
}

void write_position_file() {
  std::FILE* f = std::fopen("position.tmp", "w");
  if (f == nullptr) kest::stop_stderr({"Error opening position file"});
  char line[256];
  for (int n = 0; n < rec.count; ++n) {
    const int j = rec.result_index[n];
    char* p = line;
    std::memcpy(p, rec.epoch_text[n], 20);
    p += 20;
    *p++ = ',';
    *p++ = ' ';
    std::memcpy(p, rec.time_text[n], 19);
    p += 19;
    *p++ = ',';
    kest::fio::write_int(p, 4, rec.tag[n]);
    p += 4;
    for (double v : {rec.x[n] * kRe, rec.y[n] * kRe, rec.z[n] * kRe}) {
      *p++ = ',';
      kest::fio::write_fixed(p, 12, 3, v);
      p += 12;
    }
    const double cols[8] = {sel.blocal[j], sel.bmin[j], sel.xj[j],  sel.lm[j],
                            sel.lstar[j],  sel.mlt[j],  kLocalPitch, equatorial_pitch(sel.blocal[j], sel.bmin[j])};
    for (double v : cols) {
      *p++ = ',';
      kest::fio::write_sci(p, 14, 6, v);
      p += 14;
    }
    *p++ = '\n';
    *p = '\0';
    std::fputs(line, f);
  }
  if (std::ferror(f) || std::fclose(f) != 0) kest::stop_stderr({"Error writing position file"});
}

}  // namespace

int main() {
  read_epoch_file();
  compute_selected();
  write_position_file();
  return 0;
}
