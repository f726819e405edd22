// The row table of the element orbit driver and the time grid of its window.
// Internal to the orbit subsystem.
#ifndef KEST_ORBIT_ORBIT_ROWS_HPP
#define KEST_ORBIT_ORBIT_ROWS_HPP

namespace kest {

// Most rows one element propagation returns.
inline constexpr int max_orbit_rows = 100000;

// orbit_rows: written by sgp4_orb (rows 1.. of each call, in time order; rows
// it does not reach keep older contents), read by sgp4_ele1_. Row k (from 0
// here) holds day of month, month, year, hour, minute, seconds, decimal year,
// x1, x2, x3 (position in the caller's coordinate system). Zero at start.
struct OrbitRows {
  double row[max_orbit_rows][10];
};
extern OrbitRows orbit_rows;

// Times of an element propagation, minutes from the epoch: the first row at
// the start (one step after the epoch for a zero start), then one step
// apart, the last row exactly at the stop time.
struct OrbitGrid {
  double base;  // time "before" the first row
  double step;
  double stop;
  double tol;  // a row time this close to the stop is the stop
  OrbitGrid(double start_min, double step_min, double stop_min);
  // True when a row follows the row at time prev.
  bool more(double prev) const;
  // Time of row j (from 1): base + j step, the stop time for the last row.
  double time(long j) const;
  // Number of rows, counted up to cap + 1.
  long count(long cap) const;
};

// Propagates the veska elements (see sgp4_orb1_) into orbit_rows; returns the
// number of rows computed. sgp4_orb1_ is this routine without the count.
int sgp4_orb(int* iyr, int* imon, int* iday, int* ihr, int* imin, double* sec, double e1,
             double e2, double e3, double e4, double e5, double e6, double startsfe,
             double stopsfe, double deltasec, int sysaxes_out, double (*rows)[10]);

// Step of the element drivers, seconds, when the caller's is not positive.
inline constexpr double default_step_sec = 60.0;

}  // namespace kest

#endif
