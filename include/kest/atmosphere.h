/* kest: public C interface of the atmosphere subsystem (see kest.h for conventions). */
#ifndef KEST_ATMOSPHERE_H
#define KEST_ATMOSPHERE_H

#include "api.h"

KEST_BEGIN_C

/* ---- NRLMSISE-00 neutral atmosphere ---------------------------------------
 * Point arguments: iyd date code (year*1000 + day of year; only the day
 * enters), sec UT (s), alt (km), glat geodetic latitude (deg), glong longitude
 * (deg; -1000 or less switches the longitude and UT terms off), stl local
 * apparent solar time (h), f107a 81-day mean F10.7, f107 previous-day F10.7,
 * ap[7] (daily Ap, then the 3-hour history read when switch 9 is -1), mass
 * selector (0 temperatures only, 48 all, 4 He, 16 O, 28 N2, 32 O2, 40 Ar,
 * 1 H, 14 N, 17 anomalous O, 49 O and O2).
 * Outputs d[9]: He, O, N2, O2, Ar (cm-3), total mass density (g/cm3; without
 * anomalous O in gtd7_, with it in gtd7d_, the effective density for
 * satellite drag), H, N, anomalous O (cm-3); m-3 and kg/m3 after
 * meters7(true). t[2]: exospheric temperature and temperature at alt (K).
 * The unit setters meters_, meter6_ and meters7_ take a Fortran logical whose
 * lowest bit is the value: 1 (or -1) asks for metric units, 0 for cm-3 and
 * g/cm3; an even value such as 2 reads as false.
 * The model keeps caches and shares its switches with the other MSIS
 * generations (the last switch setter of any generation governs all). */
KEST_API void gtd7_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, int *mass,
                    double *d, double *t);
KEST_API void gtd7d_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                     double *stl, double *f107a, double *f107, double *ap, int *mass,
                     double *d, double *t);
KEST_API void ghp7_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, double *d,
                    double *t, double *press);
KEST_API void gts7_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, int *mass,
                    double *d, double *t);
KEST_API void glatf7_(double *lat, double *gv, double *reff);
KEST_API double vtst7_(int *iyd, double *sec, double *glat, double *glong, double *stl,
                       double *f107a, double *f107, double *ap, int *ic);
KEST_API void meters7_(int *meter);
KEST_API double scalh_(double *alt, double *xm, double *temp);
KEST_API void tselec7_(double *sv);
KEST_API void tretrv7_(double *svv);
KEST_API double globe7_(double *yrd, double *sec, double *lat, double *lon, double *tloc,
                        double *f107a, double *f107, double *ap, double *p);
/* glob7s_: p(100) must be 0 (then set to 2 in the caller's array) or 2, the
 * marker of this model's coefficient sets; another value prints "WRONG
 * PARAMETER SET FOR GLOB7S" and stops the process (exit status 1). */
KEST_API double glob7s_(double *p);
KEST_API double densu7_(double *alt, double *dlb, double *tinf, double *tlb, double *xm,
                        double *alpha, double *tz, double *zlb, double *s2, int *mn1,
                        double *zn1, double *tn1, double *tgn1);
KEST_API double densm7_(double *alt, double *d0, double *xm, double *tz, int *mn3,
                        double *zn3, double *tn3, double *tgn3, int *mn2, double *zn2,
                        double *tn2, double *tgn2);
KEST_API void spline7_(double *x, double *y, int *n, double *yp1, double *ypn, double *y2);
KEST_API void splint7_(double *xa, double *ya, double *y2a, int *n, double *x, double *y);
KEST_API void splini7_(double *xa, double *ya, double *y2a, int *n, double *x, double *yi);
KEST_API double dnet7_(double *dd, double *dm, double *zhm, double *xmm, double *xm);
KEST_API double ccor7_(double *alt, double *r, double *h1, double *zh);
KEST_API double ccor2_(double *alt, double *r, double *h1, double *zh, double *h2);

/* ---- MSISE-90 neutral atmosphere -------------------------------------------
 * Same point arguments as NRLMSISE-00; d[8] (no anomalous oxygen); mass
 * selectors 48, 0, 4, 16, 28, 32, 40, 1 (H and N), 49, 14. */
KEST_API void gtd6_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, int *mass,
                    double *d, double *t);
KEST_API void ghp6_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, double *d,
                    double *t, double *press);
KEST_API void gts6_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, int *mass,
                    double *d, double *t);
KEST_API void meter6_(int *meter);
KEST_API double globe6_(double *yrd, double *sec, double *lat, double *lon, double *tloc,
                        double *f107a, double *f107, double *ap, double *p);
KEST_API double glob6s_(double *p);
KEST_API void tselec5_(double *sv);
KEST_API void tretrv5_(double *svv);
KEST_API void glatf6_(double *lat, double *gv, double *reff);
KEST_API double vtst_(int *iyd, double *sec, double *glat, double *glong, double *stl,
                      double *f107a, double *f107, double *ap, int *ic);
KEST_API double densu6_(double *alt, double *dlb, double *tinf, double *tlb, double *xm,
                        double *alpha, double *tz, double *zlb, double *s2, int *mn1,
                        double *zn1, double *tn1, double *tgn1);
KEST_API double densm6_(double *alt, double *d0, double *xm, double *tz, int *mn3,
                        double *zn3, double *tn3, double *tgn3, int *mn2, double *zn2,
                        double *tn2, double *tgn2);
KEST_API void spline6_(double *x, double *y, int *n, double *yp1, double *ypn, double *y2);
KEST_API void splint6_(double *xa, double *ya, double *y2a, int *n, double *x, double *y);
KEST_API void splini6_(double *xa, double *ya, double *y2a, int *n, double *x, double *yi);
KEST_API double dnet6_(double *dd, double *dm, double *zhm, double *xmm, double *xm);
KEST_API double ccor6_(double *alt, double *r, double *h1, double *zh);

/* ---- MSIS-86 neutral thermosphere -------------------------------------------
 * gts5_ takes the same point arguments, d[8]; a thermosphere model (the
 * driver refuses altitudes below 85 km). Entries of d that a selector does
 * not compute keep the caller's values. */
KEST_API void gts5_(int *iyd, double *sec, double *alt, double *glat, double *glong,
                    double *stl, double *f107a, double *f107, double *ap, int *mass,
                    double *d, double *t);
KEST_API void meters_(int *meter);
KEST_API double denss_(double *alt, double *dlb, double *tinf, double *tlb, double *xm,
                       double *alpha, double *tz, double *zlb, double *s2, double *t0,
                       double *za, double *z0, double *tr12);
KEST_API double dnet_(double *dd, double *dm, double *zhm, double *xmm, double *xm);
KEST_API double ccor_(double *alt, double *r, double *h1, double *zh);
KEST_API double globe5_(double *yrd, double *sec, double *glat, double *glong, double *stl,
                        double *f107a, double *f107, double *ap, double *p);
KEST_API double glob5l_(double *p);
KEST_API void tselec_(double *sv);
KEST_API void tretrv_(double *svv);
KEST_API void prmsg5_(void);

/* ---- Atmosphere drivers ------------------------------------------------------
 * Evaluate a generation at ntime points (at most 100000; a larger count is
 * cut to 100000 with a message on standard output), with all switches on and
 * switch 9 = -1 (3-hour Ap history in ap(2..7)) when whichAp is 2; the
 * switches stay so for later evaluations of every generation. Arguments:
 * ntime, whichAp, idoy[ntime] day of year, UT[ntime] (s), alt[ntime] (km),
 * lat[ntime], lon[ntime] (deg), f107a[ntime], f107[ntime], ap[7*ntime],
 * Density[8*ntime] (9*ntime for nrlmsise00: He, O, N2, O2, Ar (cm-3), mass
 * density (g/cm3; nrlmsise00's as gtd7_ gives it, without anomalous O), H,
 * N, anomalous O), Temp[2*ntime] (exospheric, local; K).
 * The densities come in m-3 and kg/m3 instead once the generation's unit
 * setter (meters, meter6, meters7) has asked for metric units; the drivers
 * do not reset it. The local solar time is lon/15 + UT/3600 h. A point with
 * an input that is not finite or is KEST_FILL (of ap, ap(1) only unless
 * whichAp is 2), and for msis86 a point below 85 km, gets the fill value
 * KEST_FILL in all its outputs; so
 * does a point whose evaluation gives a value that is not finite, a negative
 * density or a temperature that is not positive (finite inputs far outside
 * the model's range). Not caught: in the strongest storms near the poles
 * (F10.7 300 from a daily Ap of about 370, F10.7 150 from about 410) the
 * NRLMSISE-00 densities below about 125 km come out positive but wrong by
 * up to 22 orders of magnitude. */
KEST_API void msis86_(int *ntime, int *whichAp, int *idoy, double *UT, double *alt,
                      double *lat, double *lon, double *f107a, double *f107, double *ap,
                      double *Density, double *Temp);
KEST_API void msise90_(int *ntime, int *whichAp, int *idoy, double *UT, double *alt,
                       double *lat, double *lon, double *f107a, double *f107, double *ap,
                       double *Density, double *Temp);
KEST_API void nrlmsise00_(int *ntime, int *whichAp, int *idoy, double *UT, double *alt,
                          double *lat, double *lon, double *f107a, double *f107, double *ap,
                          double *Density, double *Temp);
KEST_DECLARE_ENTRY(msis86_idl_);      /* msis86_, 12 arguments */
KEST_DECLARE_ENTRY(msise90_idl_);     /* msise90_, 12 */
KEST_DECLARE_ENTRY(nrlmsise00_idl_);  /* nrlmsise00_, 12 */

KEST_END_C

#endif
