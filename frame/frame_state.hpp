// Process-wide records of the geomagnetic frame subsystem.
//
// Each record is one named struct, declared here once, with its writers and
// readers. Nothing else in the frame keeps state beyond routine caches (the
// last sun angles of init_gsm_ and of the heliospheric conversions), which
// are named where they live, and the pending output file of the file helpers
// (atomic_output.hpp).
#ifndef KEST_FRAME_STATE_HPP
#define KEST_FRAME_STATE_HPP

#include <cstdint>

namespace kest {

// gener: Earth constants.
//   re  Earth radius, km (the unit Re of every Cartesian position).
//   a2  square of the WGS84 equatorial radius, km^2.
//   b2  square of the WGS84 polar radius, km^2.
// Written by initize_ (same values at every call), which the geodetic and
// heliospheric routines and the field cores call; read only by the geodetic
// conversions and the heliospheric routines.
struct Gener {
  double re;
  double a2;
  double b2;
};
extern Gener gener;

// dgrf: IGRF coefficients of the current epoch, Schmidt quasi-normalised, nT.
//   gnm, hnm  slot k = n(n+1)/2 + m (0-based) holds (n, m), n = 0..10; slot 0
//             and the h slots with m = 0 hold 0.
// Written only by init_dtd_; read by calcul_gh1_ and by get_terms_, to which
// init_dtd_ hands it.
struct Dgrf {
  double gnm[66];
  double hnm[66];
};
extern Dgrf dgrf;

// model: the coefficients of dgrf rescaled for the Cartesian recursion of
//   igrf_. gh[0] = 0; degree n = 1..10 occupies gh[n*n .. n*n + 2n]: scaled
//   g(n,0), then for m = 1..n scaled g(n,m) followed by scaled h(n,m).
//   Entries 121..143 are unused.
// Written by calcul_gh1_ (and set to NaN by init_dtd_ for a year that is not
// a number); read only by igrf_.
struct Model {
  double gh[144];
};
extern Model model;

// dipigrf: the dipole of the current internal field.
//   b0              dipole moment as the equatorial field at 1 Re, nT
//   x0, y0, z0      centre of the eccentric dipole, GEO, Earth radii
//   cos_th, sin_th  colatitude th of the northern end of the centred axis
//   cos_ph, sin_ph  east longitude ph of that end (principal atan value)
// The GEO unit vector of the axis is (sin_th cos_ph, sin_th sin_ph, cos_th).
// Written by init_dtd_, jensenandcain1960_ and gsfc1266_; read by init_gsm_,
// geo_mag_, mag_geo_, dtd_ and, for b0, by the Lm, L* and tracing routines.
struct Dipigrf {
  double b0;
  double x0, y0, z0;
  double cos_th, sin_th;
  double cos_ph, sin_ph;
};
extern Dipigrf dipigrf;

// soleil: the sun and the sidereal time of the instant of the last init_gsm_.
//   sun_dir  unit vector Earth -> sun in GEI
//   cos_gst, sin_gst  cosine and sine of the Greenwich mean sidereal time
// Written only by init_gsm_; read by every rotation between GEO, GEI, GSM,
// SM and GSE.
struct Soleil {
  double sun_dir[3];
  double cos_gst;
  double sin_gst;
};
extern Soleil soleil;

// sundip: the dipole, GSM and SM axes of the last init_gsm_, GEI unit vectors.
//   dip   centred dipole axis (towards its northern end); SM z axis
//   ygsm  GSM and SM y axis, dip x sun_dir normalised
//   zgsm  GSM z axis, sun_dir x ygsm normalised
//   xsm   SM x axis, ygsm x dip normalised
// Written only by init_gsm_ (as a whole); read by the GSM and SM rotations.
struct Sundip {
  double dip[3];
  double ygsm[3];
  double zgsm[3];
  double xsm[3];
};
extern Sundip sundip;

// intfield: the loaded fixed-epoch internal model, Gauss-normalised with the
// sign of the potential reversed (gt(1,0) > 0), nT.
//   gh    column-major 16 x 16 table numbered from 1 in the model's usual
//         layout: gh[j-1][i-1] holds entry (i, j). gt(n,m) sits at entry
//         (n+1, m+1) for 0 <= m <= n, i.e. gh[m][n]; ht(n,m) at entry (m, n+1)
//         for 1 <= m <= n, i.e. gh[n][m-1]. Entry (1,1) is 0.
//   nmax  degree + 1 of the loaded model (7 Jensen-Cain 1960, 11 GSFC 12/66);
//         0 before any load. Entries beyond it keep earlier loads' values.
// Written only by jensenandcain1960_ and gsfc1266_; read by get_intfield_
// and by the loaders' own dipole step.
struct Intfield {
  double gh[16][16];
  std::int32_t nmax;
};
extern Intfield intfield;

// sunmah: solar ephemeris of the heliospheric frames.
//   t0        Julian centuries from J2000.0 to 0 h UT of the day
//   lambda    ecliptic longitude of the sun, degrees (not reduced)
//   sin_theta, cos_theta  angle of the Earth from the node of the solar
//                         equator, in the solar equator
//   sin_i, cos_i          inclination of the solar equator (7.25 deg)
//   sin_omega, cos_omega  ecliptic longitude of the ascending node
// Written by the heliospheric conversions from sun2_ for years 1901-2099;
// for another year they put back the last sun whose values were all finite
// (the previous one, unless a time of day that is not a number intervened).
// Zero before the first such call. Read by hae_heeq_, heeq_hae_, hae_hee_,
// hee_hae_, gse_hee_.
struct SunMah {
  double t0;
  double lambda;
  double sin_theta, cos_theta;
  double sin_i, cos_i;
  double sin_omega, cos_omega;
};
extern SunMah sunmah;

}  // namespace kest

#endif
