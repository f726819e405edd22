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

KEST_END_C

#endif

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
#ifdef __cplusplus
namespace kest {
/* champ's adaptor: GSM point x(3) in, GSM field b(3) out (doubles); drivers
 * density, speed, Dst, IMF Bz and AL from the set-up, IMF Bx = By = 0. */
void a2000_champ(double *x, double *b);
}
#endif
/* ==== end Alexeev 2000 =================================================== */
