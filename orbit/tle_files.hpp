// The files of the two-line element propagation: the element file that
// sgp4_tle1_ opens and twoline2rvsgp4_ reads, and the output file that
// sgp4_tle1_ writes. Internal to the orbit subsystem.
#ifndef KEST_ORBIT_TLE_FILES_HPP
#define KEST_ORBIT_TLE_FILES_HPP

#include <cstdio>
#include <string>

#include "frame/atomic_output.hpp"

namespace kest {

// Longest file name the drivers accept, in bytes (trailing blanks excluded).
inline constexpr int max_file_name = 500;

// Element lines are read as 130 characters; a shorter line counts as padded
// with blanks, a longer one is cut.
inline constexpr int tle_line_width = 130;

// One line of the element file as the reader holds it.
struct TleLine {
  char text[tle_line_width + 1];  // padded with blanks, NUL-terminated
  long number;                    // line number in the element file, from 1
  int length;                     // columns up to the last one that is not blank
};

// tle_files: written by sgp4_tle1_ (opens and closes both files, sets the
// names); the element file, its line count and the held line are read and
// advanced by twoline2rvsgp4_, which also writes initialised, set_line and the
// epoch of each set it reads. The element file is null, and the output not
// pending, outside a call of sgp4_tle1_.
struct TleFiles {
  std::FILE* in = nullptr;
  std::string in_name;
  long line = 0;             // number of element-file lines read so far
  // A line already read from the element file and given back to it: the
  // look-ahead for the next epoch reads the next set's first line and
  // leaves it here, and the next read returns it, with its own line number,
  // before reading on. Holding it in memory, not stepping back in the file,
  // lets any readable stream (a pipe, a FIFO) serve as the element file.
  bool held = false;
  TleLine held_line{};
  bool initialised = false;  // the last reader call initialised a set
  long set_line = 0;         // line number of that set's first line
  int epoch_year = 0;        // epoch of that set: four-digit year and
  double epoch_days = 0.0;   // day of year with fraction (1.0 = 1 Jan 0h)
  fio::AtomicOutput out;     // written under a temporary name until complete
  std::string out_name;
};
extern TleFiles tle_files;

// Stops the process for a fault of the element or output file: closes the
// element file, removes the temporary output file (the output name keeps
// what it held before the call), writes "sgp4_tle: <text>" on standard error
// and exits with status 1.
[[noreturn]] void tle_fail(const std::string& text);

}  // namespace kest

#endif
