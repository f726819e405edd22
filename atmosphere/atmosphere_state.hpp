// Process-wide records of the atmosphere subsystem (the MSIS generations).
//
// The three MSIS generations (MSIS-86, MSISE-90, NRLMSISE-00) share a few
// records by name: the switches (csw, cswi), the gravity profile (parmb), the
// profile values (gts3c), the mixed densities (dmix), the expansion values
// (lpoly, lpolyi, ttest) and the version text (datime). The switches are
// shared on purpose: whichever setter ran last governs every generation.
// Everything else a generation reuses from one call to the next it keeps in
// storage of its own (its expansion view, its profile cache), and the shared
// records only receive copies; so the results of a generation's entry (gtd7,
// gtd6, gts5) never depend on calls of another generation. A direct
// thermosphere call (gts7, gts6) reads the gravity that the last writer of
// parmb left, which may be another generation.
//
// Each generation's own records (coefficients, node temperatures, unit flag)
// are declared here too, under the generation's name.
//
// The records carry default visibility so that the test programs can read
// them back; they are not part of the C interface.
#ifndef KEST_ATMOSPHERE_STATE_HPP
#define KEST_ATMOSPHERE_STATE_HPP

#include "kest/api.h"

namespace kest {

// ---------------------------------------------------------------------------
// Records shared by the three generations
// ---------------------------------------------------------------------------

// csw: the 25 model switches.
//   sw   main switches: a term group enters the sums with |sw(i)|; 0 turns it
//        off; sw(9) = -1 selects the 3-hour Ap history.
//   swc  cross-term switches, 0 or 1.
// Written by the switch setters (tselec7, tselec5, tselec), also when a
// generation's first evaluation finds no switch set and sets all to 1; read
// by every model routine that tests a switch.
struct Csw {
  double sw[25];
  double swc[25];
};
extern KEST_API Csw csw;

// cswi: isw = 64999 once a switch setter of any generation has run (0 at
// start). Written by the setters and the drivers; read by the entries and the
// thermospheric expansions, which set all switches to 1 while it is not 64999.
struct Cswi {
  int isw;
};
extern KEST_API Cswi cswi;

inline constexpr int kSwitchesSet = 64999;

// parmb: gravity profile g(z) = gsurf / (1 + z/re_eff)^2.
//   gsurf   surface gravity, cm/s^2
//   re_eff  effective Earth radius, km
// Written by gtd7 and gtd6 at every call (the gravity of glatf7 at the
// point's latitude, or at 45 degrees with switch 2 off), by gts7 and gts6
// when they find it still zero, and by prmsg5 (MSIS-86's constants, which
// MSIS-86 itself never reads back); read by the NRLMSISE-00 and MSISE-90
// profile routines, scalh, ghp7 and ghp6.
struct Parmb {
  double gsurf;
  double re_eff;
};
extern KEST_API Parmb parmb;

// gts3c: values of the last thermospheric profile.
//   t_lb lower-boundary temperature (K); shape Bates shape g0/(tinf - t_lb)
//   (1/km); db_* densities at the lower boundary; db_mass mass density there;
//   za joining altitude (km); t_ref temperature at z_ref (90 km); g0
//   lower-boundary gradient (K/km); rl last logarithmic correction ratio; dd
//   diffusive density of the last species (after a temperature-only call of
//   gtd7 below 72.5 km: the temperature); tr12 the constant 1.
// Written by gts7 and gts6 (and gtd7, gtd6: dd only), and by gts5 with its
// own profile values (t_ref, z_ref its T0 and z0; tr12 not written); nothing
// reads it across calls: each generation keeps its own t_lb and g0 for reuse.
struct Gts3c {
  double t_lb, shape, db_he, db_o, db_n2, db_o2, db_ar, db_mass, db_h, za,
      t_ref, z_ref, g0, rl, dd, db_n, tr12;
};
extern KEST_API Gts3c gts3c;

// dmix: fully mixed densities at the altitude of the last thermospheric
// evaluation, written only where the mixing is computed (gts7, gts6).
struct Dmix {
  double dm_he, dm_o, dm_n2, dm_o2, dm_ar, dm_h, dm_n;
};
extern KEST_API Dmix dmix;

// lpoly: expansion values of the last thermospheric expansion.
//   plg[m][n]  associated Legendre function of degree n, order m of the sine
//              of the latitude (element (n+1, m+1) numbered from 1)
//   c*tloc, s*tloc  cosine and sine of 1, 2, 3 times the local-time angle
//   yday day of year; df daily minus mean F10.7; dfa mean F10.7 minus 150;
//   apd daily Ap minus 4; apdf daily Ap function; apt 3-hour Ap functions;
//   xlong longitude; clong, slong its cosine and sine (MSISE-90 only).
// The same layout serves each generation's own expansion view, which globe7,
// globe6 and globe5 keep in storage of their own and copy here.
struct Lpoly {
  double plg[4][9];
  double ctloc, stloc, c2tloc, s2tloc, c3tloc, s3tloc;
  double yday, df, dfa, apd, apdf;
  double apt[4];
  double xlong, clong, slong;
};
extern KEST_API Lpoly lpoly;

// lpolyi: year part of the last expansion's date code (read by nothing).
struct Lpolyi {
  int year_part;
};
extern KEST_API Lpolyi lpolyi;

// ttest: G and the term values of the last thermospheric expansion.
struct Ttest {
  double g_sum, gb, rout;
  double terms[15];
};
extern KEST_API Ttest ttest;

// datime: version text of the last full-altitude entry (gtd7, gtd6), or of
// MSIS-86 when its first gts5 call loaded it (prmsg5) after them.
struct Datime {
  char ver_date[12];
  char ver_time[8];
  char ver_name[8];
};
extern KEST_API Datime datime;

// ---------------------------------------------------------------------------
// NRLMSISE-00
// ---------------------------------------------------------------------------

// parm7: expansion coefficient sets (arrays column by column: dens_coef[k][i]
// is coefficient i+1 of set k+1). Columns of dens_coef: He, O, N2,
// lower-boundary temperature, O2, Ar, H, N, anomalous O. tlow_coef: nodes at
// 110, 100, 90, 72.5 km; tmid_coef: nodes at 55, 45, 32.5, 20, 15, 10, 0 km,
// end gradients at 0, 72.5 and 32.5 km. sam_coef is read by nothing.
// Constant in practice: glob7s writes 2 into word 100 of a set holding 0
// there, globe7 raises word 25 to 1e-4 in the 3-hour Ap mode when smaller.
struct Parm7 {
  double tinf_coef[150];
  double dens_coef[9][150];
  double grad_coef[150];
  double aux_coef[2][25];
  double tlow_coef[4][100];
  double tmid_coef[10][100];
  double sam_coef[100];
};
extern KEST_API Parm7 parm7;

// lower7: base values; lb_dens[k][i] is row i+1 of species column k+1 (He, O,
// N2, O2, Ar, H, N, anomalous O).
struct Lower7 {
  double lb_temp[10];
  double lb_dens[8][10];
};
extern KEST_API Lower7 lower7;

// mavg7: mean node temperatures and gradient factors of the middle atmosphere.
struct Mavg7 {
  double mid_avg[10];
};
extern KEST_API Mavg7 mavg7;

// datim7: the NRLMSISE-00 version text, copied into datime by gtd7.
extern KEST_API const Datime datim7;

// metsel7: metric_units = 1 gives densities in m^-3 and kg/m^3 (set by
// meters7 only).
struct Metsel7 {
  int metric_units;
};
extern KEST_API Metsel7 metsel7;

// meso7: spline node temperatures and end gradients. tn1/tgn1 lower
// thermosphere (za, 110, 100, 90, 72.5 km), written by gts7 (tn1(1),
// tgn1(1), the join at za, by its profile routine);
// tn2/tgn2 (72.5, 55, 45, 32.5 km) and tn3/tgn3 (32.5, 20, 15, 10, 0 km),
// written by gtd7.
struct Meso7 {
  double tn1[5], tn2[4], tn3[5];
  double tgn1[2], tgn2[2], tgn3[2];
};
extern KEST_API Meso7 meso7;


// ---------------------------------------------------------------------------
// MSISE-90 (same layouts as the NRLMSISE-00 records; no sam_coef, no
// anomalous oxygen: dens_coef column 9 and lb_dens column 8 are not read)
// ---------------------------------------------------------------------------

struct Parm6 {
  double tinf_coef[150];
  double dens_coef[9][150];
  double grad_coef[150];
  double aux_coef[2][25];
  double tlow_coef[4][100];
  double tmid_coef[10][100];
};
extern KEST_API Parm6 parm6;

struct Lower6 {
  double lb_temp[10];
  double lb_dens[8][10];
};
extern KEST_API Lower6 lower6;

struct Mavg6 {
  double mid_avg[10];
};
extern KEST_API Mavg6 mavg6;

// datim6: the MSISE-90 version text, copied into datime by gtd6.
extern KEST_API const Datime datim6;

// metsel: MSISE-90 unit flag (set by meter6 only).
struct Metsel {
  int metric_units;
};
extern KEST_API Metsel metsel;

// meso6: MSISE-90 node temperatures and end gradients (as meso7).
struct Meso6 {
  double tn1[5], tn2[4], tn3[5];
  double tgn1[2], tgn2[2], tgn3[2];
};
extern KEST_API Meso6 meso6;

// ---------------------------------------------------------------------------
// MSIS-86 (zeros until prmsg5 loads them, which the first gts5 call does)
// ---------------------------------------------------------------------------

// parm5: dens_coef columns He, O, N2, O2, Ar, H, N; column 3 holds five
// 25-word windows (N2 density, Tlb, z0, T0, r12) for glob5l.
struct Parm5 {
  double tinf_coef[150];
  double dens_coef[7][150];
  double grad_coef[150];
  double aux_coef[2][25];
};
extern KEST_API Parm5 parm5;

struct Lower5 {
  double lb_temp[8];
  double lb_dens[7][8];
};
extern KEST_API Lower5 lower5;

}  // namespace kest

#endif
