/* kest: public C interface of the extfield subsystem (see kest.h for conventions). */
#ifndef KEST_EXTFIELD_H
#define KEST_EXTFIELD_H

#include "api.h"

KEST_BEGIN_C

/* ---- External field models ----------------------------------------------
 * Each model gives the field of the magnetospheric currents at one point, in
 * its own frame (SM or GSM), Earth radii in, nT out. The models test no input
 * beyond what their comments below say (the Kp class of the Kp-driven models,
 * a finite position in Tsyganenko 1987); champ_ enforces their regions and
 * the set-up their drivers. They read the dipole tilt and drivers from the
 * model state set by the field cores. */

/* Olson-Pfitzer quiet (1977): SM position and field; reads the dipole tilt
 * (degrees) of the set-up; zero inside 2 and beyond 15 Earth radii. */
KEST_API void bxyzmu_(double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* Centred dipole of moment 30574 nT in GSM; tilt psi in radians. */
KEST_API void dipole_(double *psi, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* ---- Tsyganenko 2001 and 2004 storm models --------------------------------
 * GSM position (Earth radii) in, external field (GSM, nT, without the dipole)
 * out; the dipole tilt is read from the set-up (degrees). No input is tested.
 * t01_01_: parmod(6) = Pdyn (nPa), Dst (nT), IMF By, Bz (nT), and two G
 *   values (G1, G2, or G2, G3 for the storm form).
 * t04_s_: parmod(10) = Pdyn, Dst, IMF By, Bz, W1..W6.
 */
KEST_API void t01_01_(double *parmod, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);
KEST_API void t04_s_(double *parmod, double *x, double *y, double *z,
                     double *bx, double *by, double *bz);
/* ---- end Tsyganenko 2001 and 2004 --------------------------------------- */

/* ---- Tsyganenko 1996 (T96_01) -------------------------------------------
 * External field at a GSM point for the solar-wind dynamic pressure, Dst and
 * IMF By, Bz in parmod (1 Pdyn nPa, 2 Dst nT, 3 By nT, 4 Bz nT) and the
 * dipole tilt of the set-up (degrees, read at every call). Never contains the
 * dipole: outside the magnetopause it is the penetrated IMF minus the model's
 * dipole of 30574 nT. Tests no input (Pdyn <= 0 gives NaN). */
KEST_API void t96_01_(double *parmod, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);

/* Region-1 and Region-2 Birkeland current systems of T96_01 with their
 * shielding fields, per unit amplitude: tilt psi in radians, GSM position
 * already multiplied by the model's pressure factor, field in nT. */
KEST_API void birk1tot_02_(double *psi, double *x, double *y, double *z,
                           double *bx, double *by, double *bz);
KEST_API void birk2tot_02_(double *psi, double *x, double *y, double *z,
                           double *bx, double *by, double *bz);
/* ---- end Tsyganenko 1996 ------------------------------------------------ */

KEST_END_C

/* ==== Mead (external-model code 1) ====================================== */
KEST_BEGIN_C
/* Mead: SM position (Earth radii), Kp class iopt 1..4; field in nT, in the
 * frame turned 4 degrees about the SM z axis in which the model was fitted
 * (not turned back); reads the dipole tilt (degrees) of the set-up. A class
 * outside 1..4 gives the zero vector. */
KEST_API void mead_(double *x, double *y, double *z, int *iopt,
                    double *bx, double *by, double *bz);
KEST_END_C
/* ==== end Mead ========================================================== */

/* ==== Tsyganenko 1987 (external-model codes 2, 3) ====================== */
KEST_BEGIN_C
/* Tsyganenko 1987 short tail: Kp class iopt 1..8, GSM position (Earth radii);
 * GSM field in nT; reads the dipole tilt (degrees) of the set-up. A class
 * outside 1..8 gives the zero vector, a position that is not finite the fill
 * value -1e31. */
KEST_API void tsy87s_(int *iopt, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);
/* Tsyganenko 1987 long tail: Kp class iopt 1..6, GSM position (Earth radii);
 * GSM field in nT; reads the dipole tilt (degrees) of the set-up. A class
 * outside 1..6 gives the zero vector, a position that is not finite the fill
 * value -1e31. */
KEST_API void tsy87l_(int *iopt, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);
KEST_END_C
/* ==== end Tsyganenko 1987 =============================================== */

/* ==== Tsyganenko 1989 (external-model code 4) ========================== */
KEST_BEGIN_C
/* T89c: Kp class iopt 1..7, GSM position (Earth radii); GSM field in nT;
 * reads the dipole tilt (degrees) of the set-up. A class outside 1..7 gives
 * the zero vector. */
KEST_API void t89c_(int *iopt, double *x, double *y, double *z,
                    double *bx, double *by, double *bz);
/* T89 field and basis fields: flag 1 for a new column a(30); xi = GSM x, y, z
 * and tilt (radians); f(3) field (nT); der(3,30) basis fields per unit Ak. */
KEST_API void t89_(int *flag, double *a, double *xi, double *f, double *der);
KEST_END_C
/* ==== end Tsyganenko 1989 =============================================== */

/* ==== Ostapenko-Maltsev 1997 (external-model code 8) =================== */
KEST_BEGIN_C
/* Basis amplitudes from Dst (nT), Pdyn (nPa), Kp (real), IMF Bz (nT) and the
 * sine of the dipole tilt; writes the coefficient record. */
KEST_API void set_a_(double *dst, double *pdyn, double *kp, double *bz,
                     double *sin_tilt);
/* Field at SM position xin(3) (Earth radii): b(3), SM, nT; reads the
 * coefficients of the last set_a_ (stops the process if there was none). */
KEST_API void bom97_(double *xin, double *b);
KEST_END_C
/* ==== end Ostapenko-Maltsev 1997 ======================================== */

/* ==== Olson-Pfitzer dynamic (external-model code 6) ===================== */
KEST_BEGIN_C
/* Olson-Pfitzer dynamic: solar-wind density (cm^-3), speed (km/s), Dst (nT),
 * SM position (Earth radii); SM field in nT. No tilt dependence. */
KEST_API void bdyn_(double *dens, double *vel, double *dst, double *x,
                    double *y, double *z, double *bx, double *by, double *bz);
/* Standoff distance (Earth radii) from speed and density (speed first). */
KEST_API double stdoff_(double *vel, double *dens);
/* Ring-current strength from the standoff (Earth radii) and Dst (nT). */
KEST_API double ringst_(double *standoff, double *dst);
/* Sum of the three current systems: SM position x(3), field b(3) in nT. */
KEST_API void bdynam_(double *x, double *b, double *standoff, double *ring,
                      double *tail);
/* One current system at position x(3), unscaled, unit strength: b(3) nT. */
KEST_API void bfmagp_(double *x, double *b);
KEST_API void bftail_(double *x, double *b);
KEST_API void bfring_(double *x, double *b);
KEST_END_C
/* ==== end Olson-Pfitzer dynamic ========================================= */

/* ==== Alexeev 2000 paraboloid model (external-model code 12) ============= */
KEST_BEGIN_C
/* Alexeev 2000: solar-wind density ro (cm^-3), speed v (km/s), IMF bimf(3)
 * (nT), Dst and AL (nT), GSM position x(3) (Earth radii); returns bm(3), the
 * external field in GSM (nT), zero beyond the model's paraboloid
 * magnetopause. Single precision; reads the date and the time of day (hours)
 * from the set-up's a2000_time record. */
KEST_API void a2000_(float *ro, float *v, float *bimf, float *dst, float *al,
                     float *x, float *bm);
/* Alexeev 2000 source switches (elements 5, 6, 8, 4, 7, 9, 3 in this order):
 * dipole, -, tail (on only at 1), -, dipole share of the shielding, region-1
 * currents, IMF penetration. */
KEST_API void pstatus_(float *s5, float *s6, float *s8, float *s4, float *s7,
                       float *s9, float *s3);
KEST_END_C
/* ==== end Alexeev 2000 =================================================== */

#endif
