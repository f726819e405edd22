/* kest: public C interface of the magcoords subsystem (see kest.h for conventions). */
#ifndef KEST_MAGCOORDS_H
#define KEST_MAGCOORDS_H

#include "api.h"

KEST_BEGIN_C

/* ---- Field at a point ----------------------------------------------------
 * Internal field of the selected model (IGRF, eccentric dipole, Jensen-Cain
 * 1960, GSFC 12/66) plus the selected external model, GEO Earth radii in, GEO
 * nT out. ifail -1 (nothing written) for a point outside the external model's
 * region or without a finite field magnitude (a point not finite or at the
 * centre of the internal expansion, a field whose square overflows); with a
 * fixed-epoch internal model (Jensen-Cain 1960, GSFC 12/66) a point on the
 * polar axis gives ifail -1 with the fill value written in BxGEO and Blocal.
 * Requires the field-model set-up of a core for the time. */
KEST_API void champ_(double *xGEO, double *BxGEO, double *Blocal, int *ifail);

/* ---- Field cores ---------------------------------------------------------
 * kext: external-model code 0..12 (other: warning, Olson-Pfitzer quiet);
 * options(5): 1 L* slot, 2 IGRF renewal days, 3 L* latitude resolution,
 * 4 drift-shell lines, 5 internal-model code 0..3 (other: warning, IGRF);
 * sysaxes 0..8; maginput 25 values per time. Failures give -1.0E31.
 * make_lstar1_ and make_lstar_shell_splitting1_ replace options(3) outside
 * 0..9 by 0 in the caller's array silently, and options(4) outside 0..9 by 0
 * after a warning; the other cores leave options as given. */
KEST_API void get_field1_(int *kext, int *options, int *sysaxes, int *iyr,
                          int *idoy, double *UT, double *x1, double *x2,
                          double *x3, double *maginput, double *BxGEO,
                          double *Blocal);

/* ---- Argument-vector entries (argv = the core's argument addresses) ------ */
KEST_DECLARE_ENTRY(get_field_);   /* get_field1_, 12 arguments */

/* ---- Lm, L*, the field-line step and magnetic local time ----------------
 * (block kept apart from the field-model set-up and field routines above)
 * Positions in Earth radii (GEO) or geodetic degrees and km; fields in nT;
 * Phi in nT x Earth radii^2; magnetic local time in hours, 0 to 24; the
 * fill value KEST_FILL marks outputs without a value (sksyst_: xout and bl
 * when a point of the step is refused, ifail negative). Nothing is
 * re-entrant. */
KEST_API void sksyst_(double *h, double *xin, double *xout, double *bl,
                      int *ifail);
KEST_API void calcul_lstar_(int *t_resol, int *r_resol, double *lati,
                            double *longi, double *alti, double *lm,
                            double *lstar, double *xj, double *blocal,
                            double *bmin);
KEST_API void make_lstar1_(int *ntime, int *kext, int *options, int *sysaxes,
                           int *iyr, int *idoy, double *ut, double *x1,
                           double *x2, double *x3, double *maginput,
                           double *lm, double *lstar, double *blocal,
                           double *bmin, double *xj, double *mlt);
KEST_API void lstar_phi1_(int *ntime, int *whichinv, int *options, int *iyr,
                          int *idoy, double *lstar, double *phi);
KEST_API void get_mlt1_(int *iyr, int *idoy, double *ut, double *xgeo,
                        double *mlt);
KEST_DECLARE_ENTRY(make_lstar_);   /* make_lstar1_, 17 arguments */
KEST_DECLARE_ENTRY(lstar_phi_);    /* lstar_phi1_, 7 */
KEST_DECLARE_ENTRY(get_mlt_);      /* get_mlt1_, 5 */
/* ---- end of the Lm, L* block --------------------------------------------- */

/* ---- Drift shells, field lines, mirror points, magnetic equator,
 * hemisphere and drift-shell splitting
 * (block kept apart from the blocks above)
 * Traced lines: GEO positions in Earth radii with |B| in nT at each point,
 * from the foot point on r = 1 reached along +B, against the field, to the
 * first point below r = 1; at most 1000 points per line (a line cut at 1000
 * points ends above r = 1). Requires the field-model set-up of a core for the
 * internal tracers (trace_drift_shell_ ... loc_equator_).
 * drift_shell1_ and trace_drift_shell_ start their colatitude searches from
 * the shell of the last completed L* computation when one is remembered
 * (make_lstar1_ and the other L* cores leave it): that shell has 25 x
 * (options(4) + 1) lines at its own longitudes, so a drift shell traced right
 * after them may settle a colatitude step away from the one traced alone, or
 * end with L* at the fill value where the point alone has one. The drift-shell
 * tracers clear the memory, so a second call gives the point's own shell. */
KEST_API void trace_drift_shell_(double *lati, double *longi, double *alti,
                                 double *Lm, double *Lstar, double *XJ,
                                 double *Blocal, double *Bmin, double *posit,
                                 int *ind);
KEST_API void field_line_tracing_(double *lati, double *longi, double *alti,
                                  double *Lm, double *XJ, double *Blocal,
                                  double *Bmin, double *posit, int *Nposit);
KEST_API void find_bm_(double *lati, double *longi, double *alti,
                       double *alpha, double *Blocal, double *Bmirr,
                       double *xGEO);
KEST_API void loc_equator_(double *lati, double *longi, double *alti,
                           double *Bmin, double *xGEO);
KEST_API void drift_shell1_(int *kext, int *options, int *sysaxes, int *iyr,
                            int *idoy, double *UT, double *x1, double *x2,
                            double *x3, double *maginput, double *Lm,
                            double *Lstar, double *Blocal, double *Bmin,
                            double *XJ, double *posit, int *ind);
KEST_API void trace_field_line1_(int *kext, int *options, int *sysaxes,
                                 int *iyr, int *idoy, double *UT, double *x1,
                                 double *x2, double *x3, double *maginput,
                                 double *Lm, double *Blocal, double *Bmin,
                                 double *XJ, double *posit, int *Nposit);
KEST_API void find_mirror_point1_(int *kext, int *options, int *sysaxes,
                                  int *iyr, int *idoy, double *UT, double *x1,
                                  double *x2, double *x3, double *alpha,
                                  double *maginput, double *Blocal,
                                  double *Bmirr, double *xGEO);
KEST_API void find_magequator1_(int *kext, int *options, int *sysaxes,
                                int *iyr, int *idoy, double *UT, double *x1,
                                double *x2, double *x3, double *maginput,
                                double *Bmin, double *xGEO);
KEST_API void get_hemi1_(int *kext, int *options, int *sysaxes, int *iyr,
                         int *idoy, double *UT, double *x1, double *x2,
                         double *x3, double *maginput, int *xHEMI);
KEST_API void make_lstar_shell_splitting1_(int *ntime, int *Nipa, int *kext,
                                           int *options, int *sysaxes,
                                           int *iyr, int *idoy, double *UT,
                                           double *x1, double *x2, double *x3,
                                           double *alpha, double *maginput,
                                           double *Lm, double *Lstar,
                                           double *Bmirr, double *Bmin,
                                           double *XJ, double *MLT);
KEST_DECLARE_ENTRY(drift_shell_);                /* drift_shell1_, 17 */
KEST_DECLARE_ENTRY(trace_field_line_);           /* trace_field_line1_, 16 */
KEST_DECLARE_ENTRY(find_mirror_point_);          /* find_mirror_point1_, 14 */
KEST_DECLARE_ENTRY(find_magequator_);            /* find_magequator1_, 12 */
KEST_DECLARE_ENTRY(get_hemi_);                   /* get_hemi1_, 11 */
KEST_DECLARE_ENTRY(make_lstar_shell_splitting_); /* make_lstar_shell_splitting1_, 19 */
/* ---- end of the drift-shell and tracing block ---------------------------- */

KEST_END_C

#endif
