/* kest: public C interface of the extfield subsystem (see kest.h for conventions). */
#ifndef KEST_EXTFIELD_H
#define KEST_EXTFIELD_H

#include "api.h"

KEST_BEGIN_C

/* ---- External field models ----------------------------------------------
 * Each model gives the field of the magnetospheric currents at one point, in
 * its own frame (SM or GSM), Earth radii in, nT out. The models test no input;
 * champ_ enforces their regions and the set-up their drivers. They read the
 * dipole tilt and drivers from the model state set by the field cores. */

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
 * champ_t01_01_ (code 9), champ_t01_01_storm_ (code 10), champ_t04_s_ (code
 * 11): the same models with their drivers taken from the set-up's driver
 * record, x(3) and b(3) in GSM, as the field routine calls them. */
KEST_API void t01_01_(double *parmod, double *x, double *y, double *z,
                      double *bx, double *by, double *bz);
KEST_API void t04_s_(double *parmod, double *x, double *y, double *z,
                     double *bx, double *by, double *bz);
KEST_API void champ_t01_01_(double *x, double *b);
KEST_API void champ_t01_01_storm_(double *x, double *b);
KEST_API void champ_t04_s_(double *x, double *b);
/* ---- end Tsyganenko 2001 and 2004 --------------------------------------- */

KEST_END_C

#endif
