// Process-wide records of the magnetic-coordinate subsystem: the field-model
// selection and the per-time model drivers.
//
// Each record is one named struct, declared here once, with its writers and
// readers. All start at zero when the process starts. The records are
// exported (KEST_API) so that the test programs can observe the model state a
// core leaves behind; they are not part of the public C interface.
#ifndef KEST_MAGCOORDS_STATE_HPP
#define KEST_MAGCOORDS_STATE_HPP

#include "kest/api.h"

namespace kest {

// magmod: which field model champ evaluates.
//   kext       external-model code (0 none, 1 Mead, 2/3 Tsyganenko 1987 short/
//              long tail, 4 Tsyganenko 1989, 5 Olson-Pfitzer quiet, 6
//              Olson-Pfitzer dynamic, 7 Tsyganenko 1996, 8 Ostapenko-Maltsev
//              1997, 9 Tsyganenko 2001, 10 Tsyganenko 2001 storm form, 11
//              Tsyganenko 2004 storm, 12 Alexeev 2000).
//   lstar_opt  what the L* slot returns (0 nothing, 1 L*, 2 flux Phi).
//   kint       internal-model code (0 IGRF, 1 eccentric tilted dipole, 2
//              Jensen-Cain 1960, 3 GSFC 12/66).
// Written by the field-model set-up of every field and L* core (and by the
// flux drivers, which fix their own model); read by champ and the L* tracers.
struct Magmod {
  int kext;
  int lstar_opt;
  int kint;
};
extern KEST_API Magmod magmod;

// drivers: activity inputs of the external models, copied from the caller's
// magnetic inputs per time. Only the slots the current model reads are
// written; the others keep older values.
//   dens cm^-3, vel km/s, dst nT, pdyn nPa, byimf nT, bzimf nT, g1, g2,
//   kp (Kp itself, not times 10), g3, w1..w6, al nT.
// Written by the per-time set-up; read by champ (which hands them to the
// models).
struct Drivers {
  double dens;
  double vel;
  double dst;
  double pdyn;
  double byimf;
  double bzimf;
  double g1;
  double g2;
  double kp;
  double g3;
  double w1, w2, w3, w4, w5, w6;
  double al;
};
extern KEST_API Drivers drivers;

// index: Kp class of the Kp-driven models (Mead 1-4, Tsyganenko 1987 short
// tail 1-8, long tail 1-6, Tsyganenko 1989 1-7). Written by the per-time
// set-up; read by champ.
struct Index {
  int kp_class;
};
extern KEST_API Index index;

// dip_ang: dipole tilt, degrees (positive when the northern end of the dipole
// leans towards the sun). Written by the per-time set-up (and the flux
// drivers) from the tilt init_gsm returns; read by the external models at
// every call.
struct DipAng {
  double tilt;
};
extern KEST_API DipAng dip_ang;

// a2000_time: date and time of the point for the Alexeev 2000 model.
//   ut_a2000  time of day, hours (43200 s gives 12).
//   year, month, day  calendar date.
// Written by the per-time set-up when the external-model code is 12; read
// only by the Alexeev 2000 model.
struct A2000Time {
  double ut_a2000;
  int year;
  int month;
  int day;
};
extern KEST_API A2000Time a2000_time;

// calotte: foot-point colatitudes (radians, GEO, on the sphere r = 1 Earth
// radius) of the field lines of the last completed drift shell: entry 0 for
// the line through the point, then the other lines in order of longitude; at
// most 250 lines.
// Written and read by the L* computation (as starting values for the next
// point's foot-point searches while flag_l is set) and by drift-shell tracing.
struct Calotte {
  double colat[250];
};
extern KEST_API Calotte calotte;

// flag_l: 1 when calotte holds the shell of the last successful L*
// computation, 0 otherwise. Written by the L* computation and drift-shell
// tracing; cleared by the field-model set-up of the L* array cores and by the
// flux drivers.
struct FlagL {
  int set;
};
extern KEST_API FlagL flag_l;

}  // namespace kest

#endif
