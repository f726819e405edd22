// Array core of Lm and L*, the L*-Phi conversion and the magnetic local time.
//
// make_lstar1_ runs the field-model set-up once per call and per time and
// computes each point with calcul_lstar_, reusing the drift shell of the
// previous time as starting values; lstar_phi1_ converts between L* and the
// flux Phi of the drift shell with the dipole moment of the time; get_mlt1_
// gives the magnetic local time of a GEO point.
#include <cmath>
#include <cstddef>

#include "frame/conventions.hpp"
#include "frame/frame_state.hpp"
#include "kest.h"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"
#include "magcoords/mlt.hpp"

namespace kest {

// Magnetic local time of a GEO point from the frame state of the time: the
// MAG longitude of the point against that of the GSM x axis (the sun), 12 h
// at the sun's meridian. Hours in [0, 24).
double mlt_of(const double* xgeo) {
  double xin[3] = {xgeo[0], xgeo[1], xgeo[2]};
  double xmag[3], r, lat, lonp, lons;
  geo_mag_(xin, xmag);
  car_sph_(xmag, &r, &lat, &lonp);
  double xsun[3] = {1.0, 0.0, 0.0}, xs_geo[3];
  gsm_geo_(xsun, xs_geo);
  geo_mag_(xs_geo, xmag);
  car_sph_(xmag, &r, &lat, &lons);
  double mlt = (lonp - lons) / 15.0 + 12.0;
  if (mlt >= 24.0) mlt -= 24.0;
  if (mlt < 0.0) mlt += 24.0;
  // A difference a hair below zero rounds to exactly 24 when 24 is added;
  // that instant is midnight, 0 h.
  if (mlt >= 24.0) mlt = 0.0;
  return mlt;
}

}  // namespace kest

// make_lstar1: Lm, L* (or Phi), Blocal, Bmin, I and MLT for a series of times
// and points, for particles mirroring at the points (local pitch angle 90).
// Given:    ntime    int      number of times (0 computes nothing)
//           kext     int      external-model code 0..12 (others: warning,
//                             Olson-Pfitzer quiet)
//           options  int[5]   L* slot (0 none, 1 L*, 2 Phi); IGRF renewal
//                             days; latitude resolution 0..9; drift-shell
//                             lines 25 x (value + 1); internal model 0..3
//           sysaxes  int      coordinate system of x1, x2, x3 (0..8)
//           iyr, idoy  int[ntime]  year, day of year
//           ut       double[ntime]  seconds of the day
//           x1, x2, x3  double[ntime]  positions in sysaxes
//           maginput double[25 x ntime]  magnetic inputs of each time
// Returned: lm, lstar, blocal, bmin, xj, mlt  double[ntime]
// Given and returned: options(3) and options(4) replaced by 0 when outside 0..9.
// State:    writes magmod, drivers, index, dip_ang, a2000_time, the internal
//           field and sun records, calotte, flag_l.
// Failure:  inputs outside the model's validity range: fill value in lm,
//           lstar, xj, blocal, bmin of the time (mlt still computed);
//           sysaxes outside 0..8, a UT or position that is not finite or
//           holds the fill value, or a day of year beyond kMaxDayOfYear: fill
//           value in all six outputs
//           of the time; otherwise the fill values of calcul_lstar_.
// Notes:    1. Each time starts its drift shell from the shell of the time
//              before (flag_l kept across the times of one call, cleared at
//              entry). When a reused shell leads to no L*, the time is
//              computed once more from scratch.
extern "C" void make_lstar1_(int* ntime, int* kext, int* options, int* sysaxes, int* iyr, int* idoy,
                             double* ut, double* x1, double* x2, double* x3, double* maginput,
                             double* lm, double* lstar, double* blocal, double* bmin, double* xj,
                             double* mlt) {
  kest::FieldSetup setup{};
  kest::field_setup_call(setup, kest::kSetupMakeLstar, kext, options, sysaxes);  // clears flag_l
  int reused = 0;  // flag_l as the previous time left it
  for (int i = 0; i < *ntime; ++i) {
    double* mag = &maginput[25 * std::ptrdiff_t{i}];  // 25 i leaves the int range past 85 million times
    if (!kest::field_setup_time(setup, iyr[i], idoy[i], ut[i], x1[i], x2[i], x3[i], mag)) {
      lm[i] = lstar[i] = xj[i] = blocal[i] = bmin[i] = kest::baddata;
      // A refused time ends the chain of shells, as a point whose L* fails
      // does; a time refused only by the drivers' range keeps it.
      if (setup.refused) kest::flag_l.set = reused = 0;
    } else {
      calcul_lstar_(&setup.t_resol, &setup.r_resol, &setup.lati, &setup.longi, &setup.alti, &lm[i], &lstar[i],
                    &xj[i], &blocal[i], &bmin[i]);
      // A shell started from the previous time's foot points may lose its
      // way where the drift shell changes fast; the same time from scratch
      // (extrapolated starting values) then decides.
      if (reused == 1 && lstar[i] == kest::baddata) {
        kest::flag_l.set = 0;
        calcul_lstar_(&setup.t_resol, &setup.r_resol, &setup.lati, &setup.longi, &setup.alti, &lm[i],
                      &lstar[i], &xj[i], &blocal[i], &bmin[i]);
      }
      reused = kest::flag_l.set;
    }
    // A refused time, or a position code outside 0..8, places no point: no
    // MLT either.
    if (!setup.placed) {
      mlt[i] = kest::baddata;
      continue;
    }
    double xgeo[3];
    gdz_geo_(&setup.lati, &setup.longi, &setup.alti, &xgeo[0], &xgeo[1], &xgeo[2]);
    mlt[i] = kest::mlt_of(xgeo);
  }
}

// lstar_phi1: L* to the magnetic flux Phi of the drift shell, or back.
// Given:    ntime     int      number of values
//           whichinv  int      1: L* to Phi; any other value: Phi to L*
//           options   int[5]   only options(2) (IGRF renewal days) and
//                              options(5) (internal model 0..3) are read
//           iyr, idoy int[ntime]  year, day of year (the epoch of B0)
// Given and returned: lstar, phi  double[ntime]  input or output by whichinv
//                     (Phi in nT x Earth radii^2)
// State:    writes the internal-field records and gener; not magmod.
// Failure:  a fill input, a zero, subnormal or non-finite input, or a day of year
//           beyond kMaxDayOfYear, gives a fill output; options(5) outside
//           0..3: warning, IGRF. With options(2) not 0, a year julday cannot
//           handle (0, or outside -4716..5000000) stops the process.
// Notes:    Phi = 2 pi B0 / L*, B0 the dipole moment of the time's internal
//           field; the sign of L* passes to Phi and back.
extern "C" void lstar_phi1_(int* ntime, int* whichinv, int* options, int* iyr, int* idoy, double* lstar,
                            double* phi) {
  const double pi = 4.0 * std::atan(1.0);
  const int kint = kest::select_internal_model(options[4]);
  long long last_year = kest::kNoEpochYet;
  for (int i = 0; i < *ntime; ++i) {
    // A day of year that names no day of any year has no epoch.
    if (!kest::day_of_year_usable(idoy[i])) {
      (*whichinv == 1 ? phi[i] : lstar[i]) = kest::baddata;
      continue;
    }
    if (kint <= 1) kest::set_igrf_epoch(last_year, options[1], iyr[i], idoy[i]);
    const double b0 = kest::dipigrf.b0;
    // A value that is not finite, or whose quotient is not (a zero of either
    // sign, a subnormal), belongs to no drift shell: fill, never an infinity
    // or a NaN.
    auto invert = [&](double v) {
      if (!kest::is_value(v)) return kest::baddata;
      const double q = 2.0 * pi * b0 / v;
      return std::isfinite(q) ? q : kest::baddata;
    };
    if (*whichinv == 1)
      phi[i] = invert(lstar[i]);
    else
      lstar[i] = invert(phi[i]);
  }
}

// get_mlt1: magnetic local time of a GEO point.
// Given:    iyr, idoy int     year, day of year
//           ut        double  seconds of the day
//           xgeo      double[3]  GEO position, Earth radii
// Returned: mlt       double  hours in [0, 24)
// State:    writes the internal-field records (IGRF of the middle of iyr)
//           and the sun and dipole axes; dip_ang is not written.
// Failure:  a UT or a position component that is not finite or is the fill
//           value: the fill value, nothing set.
// Notes:    MLT 12 on the magnetic meridian of the sun (the GSM x axis),
//           0 opposite it.
extern "C" void get_mlt1_(int* iyr, int* idoy, double* ut, double* xgeo, double* mlt) {
  // The fill value, like a non-number, marks a time or position that an
  // earlier stage could not compute: it has no local time.
  using kest::is_value;
  if (!is_value(*ut) || !is_value(xgeo[0]) || !is_value(xgeo[1]) || !is_value(xgeo[2])) {
    *mlt = kest::baddata;
    return;
  }
  double year = *iyr + 0.5;
  init_dtd_(&year);
  double psi;
  init_gsm_(iyr, idoy, ut, &psi);
  *mlt = kest::mlt_of(xgeo);
}
