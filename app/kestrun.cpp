// kestrun: the batch program.
//
// Reads every record of "epoch.tmp" in the working directory, places its point
// on the equator 35793 km above the WGS84 ellipsoid at the record's longitude,
// computes the magnetic coordinates of the selected (on-the-hour) records in
// one call of the L* core, and writes one line per record to "position.tmp".
// A record that is not selected carries the results of the latest selected
// record at or before it; records before the first selected one carry the
// fill value in the six computed columns, the two pitch angles reading 90.
// The field model and options are fixed: IGRF with the Olson-Pfitzer quiet
// model, options (1, 0, 2, 0, 0).
//
// Input record  (A20,2X,A19,1X,I4,1X,F8.2): epoch text, time text, tag, lon.
// Output record (A,2H, ,A,1H,,I4,3(1H,,F12.3),1P,8(1H,,E14.6),0P), 205 chars.
//
// Output: "position.tmp" is written under a temporary name beside it, created
// before anything is read or computed, and renamed onto "position.tmp" only
// when every line is written; a run that fails leaves any earlier
// "position.tmp" as it was and no temporary file.
//
// Input lines are read by length: a byte that is a control character (other
// than carriage returns ending the line) makes the record malformed, so a NUL
// byte, a binary file or a file with CR-only line ends is refused rather than
// read as fewer or blank records. Characters past column 55 are not examined
// otherwise.
//
// Failure: a malformed record, an EPOCH text that is not a number (in any
// record) or a selected record's EPOCH value outside the years 0000-9999: a
// message on standard error naming "epoch.tmp" and the line. "epoch.tmp"
// missing ("Error opening epoch file"), unreadable ("Error reading epoch
// file: " and the reason) or holding more than kMaxRecords records: a
// message on standard error. Each: exit status 1, "position.tmp" untouched.
// The temporary file not creatable: "Error opening position file: " and the
// reason, before "epoch.tmp" is read. A failed write (disk full, file-size
// limit): "Error writing position file: " and the reason. Both exit status 1.
#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cdf_epoch.hpp"
#include "pitch_angle.hpp"
#include "frame/atomic_output.hpp"
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

// Per-selected-record storage. The core's inputs fill slots 0..count-1; its
// results are numbered from 1, and slot 0 of the results holds the fill value
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
kest::fio::AtomicOutput position_out;

// Stops with "<what>: <reason of errno>".
[[noreturn]] void file_error(const char* what, int err) {
  char text[256];
  std::snprintf(text, sizeof text, "%s: %s", what, std::strerror(err));
  kest::stop_stderr({text});
}

[[noreturn]] void input_error(long line, const char* what) {
  char text[256];
  std::snprintf(text, sizeof text, "epoch.tmp, line %ld: %s", line, what);
  kest::stop_stderr({text});
}

// Reads one record into slot n from its first 55 characters, blank-padded.
// line_no counts from 1.
void read_record(const char* padded, long line_no, int n) {
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

  // Every record's EPOCH text must be a number, though only the selected
  // records' values are used.
  double epoch = 0.0;
  if (!kest::fio::read_free_real(std::string_view(rec.epoch_text[n], 20), &epoch))
    input_error(line_no, "EPOCH text (characters 1-20) is not a number");

  double lat = kLatitude, alt = kAltitude;
  gdz_geo_(&lat, &lon, &alt, &rec.x[n], &rec.y[n], &rec.z[n]);

  // Selected: characters 15 and 16 of the time text are "00" (on the hour).
  if (rec.time_text[n][14] == '0' && rec.time_text[n][15] == '0') {
    const int k = sel.count++;
    sel.x1[k] = rec.x[n];
    sel.x2[k] = rec.y[n];
    sel.x3[k] = rec.z[n];
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

// Reads "epoch.tmp" line by line, by length: a line ends at LF or at the end
// of the file; carriage returns directly before the end are dropped (CR LF
// files). Only the first 55 characters are kept; every byte of the line is
// checked for control characters. The loop ends at the end of the file.
void read_epoch_file() {
  std::FILE* f = std::fopen("epoch.tmp", "r");
  if (f == nullptr) kest::stop_stderr({"Error opening epoch file"});
  char padded[56];
  long line_no = 0;
  int c = std::getc(f);
  while (c != EOF) {
    ++line_no;
    if (rec.count >= kMaxRecords) {
      char text[128];
      std::snprintf(text, sizeof text, "epoch.tmp holds more than %d records, the most one run can take",
                    kMaxRecords);
      kest::stop_stderr({text});
    }
    std::memset(padded, ' ', 55);
    padded[55] = '\0';
    long long col = 0;       // characters of the line so far
    long long cr_run = 0;    // carriage returns just read, not yet placed
    for (; c != EOF && c != '\n'; c = std::getc(f)) {
      if (c == '\r') {
        ++cr_run;
        continue;
      }
      char text[160];
      if (cr_run > 0) {
        std::snprintf(text, sizeof text,
                      "carriage return at character %lld inside the line (lines must end in LF or CR LF)",
                      col + 1);
        input_error(line_no, text);
      }
      ++col;
      if (c < 0x20 || c == 0x7F) {
        std::snprintf(text, sizeof text, "control character (code %d) at character %lld", c, col);
        input_error(line_no, text);
      }
      if (col <= 55) padded[col - 1] = static_cast<char>(c);
    }
    read_record(padded, line_no, rec.count);
    ++rec.count;
    if (c == '\n') c = std::getc(f);
  }
  if (std::ferror(f)) file_error("Error reading epoch file", errno);
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

// Creates the temporary file of "position.tmp", so that a directory that
// cannot take the output is found before any reading or computing.
void open_position_file() {
  if (!kest::fio::atomic_open(position_out, "position.tmp")) file_error("Error opening position file", errno);
}

// Writes every record's line to the temporary file and renames it onto
// "position.tmp". On a failed write the temporary file is removed (by the
// exit handler of the output, or by atomic_commit when the flush, close or
// rename fails) and "position.tmp" keeps what it held.
void write_position_file() {
  std::FILE* f = position_out.file;
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
                            sel.lstar[j],  sel.mlt[j],  kLocalPitch, batch::equatorial_pitch(sel.blocal[j], sel.bmin[j])};
    for (double v : cols) {
      *p++ = ',';
      kest::fio::write_sci(p, 14, 6, v);
      p += 14;
    }
    *p++ = '\n';
    *p = '\0';
    errno = 0;
    if (std::fputs(line, f) == EOF) file_error("Error writing position file", errno != 0 ? errno : EIO);
  }
  if (!kest::fio::atomic_commit(position_out)) file_error("Error writing position file", errno);
}

}  // namespace

int main() {
  // A file-size limit then fails the write (reported, temporary file removed)
  // instead of killing the process.
  std::signal(SIGXFSZ, SIG_IGN);
  // A run of 100000 selected records takes about an hour: a Ctrl-C must not
  // leave its temporary output behind.
  kest::fio::remove_pending_on_signals();
  open_position_file();
  read_epoch_file();
  compute_selected();
  write_position_file();
  return 0;
}
