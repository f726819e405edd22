/* kest: public C interface of the frame subsystem (see kest.h for conventions). */
#ifndef KEST_FRAME_H
#define KEST_FRAME_H

#include "api.h"

KEST_BEGIN_C

/* ---- Calendar and decimal year -------------------------------------------
 * Dates up to 4 Oct 1582 are Julian, from 15 Oct 1582 Gregorian; there is no
 * year 0 (the year before 1 is -1). Out-of-range years and day numbers stop
 * the process with a message on standard output (exit status 1). */
KEST_API int  julday_(int *year, int *month, int *day);
KEST_API void caldat_(int *julian, int *year, int *month, int *day);
KEST_API int  get_doy_(int *year, int *month, int *day);
KEST_API void doy_and_ut2date_and_time_(int *year, int *doy, double *ut,
                                        int *month, int *day, int *hour,
                                        int *minute, int *second);
KEST_API void decy2date_and_time_(double *decy, int *year, int *month, int *day,
                                  int *doy, int *hour, int *minute, int *second,
                                  double *ut);
KEST_API void date_and_time2decy_(int *year, int *month, int *day, int *hour,
                                  int *minute, int *second, double *decy);

/* ---- Earth constants, geodetic and spherical conversions ------------------
 * Cartesian in Earth radii (6371.2 km), altitude in km above WGS84, degrees. */
KEST_API void initize_(void);
KEST_API void sph_car_(double *r, double *lat, double *lon, double *xout);
KEST_API void car_sph_(double *xin, double *r, double *lat, double *lon);
KEST_API void gdz_geo_(double *lat, double *lon, double *alt,
                       double *x, double *y, double *z);
KEST_API void geo_gdz_(double *x, double *y, double *z,
                       double *lat, double *lon, double *alt);
KEST_API void rll_gdz_(double *r, double *lat, double *lon, double *alt);
KEST_API void sph_car_vect_(double *r, double *lat, double *lon,
                            double *vin, double *vout);
KEST_API void car_sph_vect_(double *r, double *lat, double *lon,
                            double *vin, double *vout);

/* ---- IGRF-10 internal field ----------------------------------------------
 * Coefficients for 1965-2015 (outside: a warning on standard output and the
 * nearest valid year). init_dtd_ sets the epoch for every routine below;
 * igrf_ sums the field at a GEO point (Earth radii of 6371.2 km, nT). */
KEST_API void init_dtd_(double *year);
KEST_API void get_igrf_coeffs_(double *year, double *g, double *h, int *ierr);
KEST_API void get_terms_(double *g, double *h, double *th, double *ph,
                         double *x0, double *y0, double *z0, double *b0);
KEST_API void calcul_gh1_(void);
KEST_API void igrf_(double *x, double *y, double *z,
                    double *bx, double *by, double *bz);

/* ---- Sun, sun and dipole axes, Cartesian rotations ------------------------
 * sun_ computes for the years 1901-2099 only (else leaves its outputs).
 * init_gsm_ sets the axes of an instant from the current internal-field
 * dipole and returns the tilt (radians); the rotations read those axes
 * (geo_mag_/mag_geo_ read the dipole directly). xin and xout may coincide. */
KEST_API void sun_(int *iyr, int *iday, double *secs, double *gst,
                   double *slong, double *srasn, double *sdec);
KEST_API void init_gsm_(int *iyr, int *iday, double *ut, double *psi);
KEST_API void geo_gei_(double *xin, double *xout);
KEST_API void gei_geo_(double *xin, double *xout);
KEST_API void geo_gsm_(double *xin, double *xout);
KEST_API void gsm_geo_(double *xin, double *xout);
KEST_API void geo_sm_(double *xin, double *xout);
KEST_API void sm_geo_(double *xin, double *xout);
KEST_API void gsm_sm_(double *xin, double *xout);
KEST_API void sm_gsm_(double *xin, double *xout);
KEST_API void geo_mag_(double *xin, double *xout);
KEST_API void mag_geo_(double *xin, double *xout);
KEST_API void geo_gse_(double *xin, double *xout);
KEST_API void gse_geo_(double *xin, double *xout);

/* ---- Eccentric tilted dipole and fixed-epoch internal models --------------
 * dtd_: dipole of the current init_dtd_ epoch (or loader). The loaders put a
 * fixed-epoch model and its dipole in place; get_intfield_ sums it and gives
 * the fill value in all three components within 1e-6 (sine of colatitude)
 * of the polar axis. */
KEST_API void dtd_(double *x, double *y, double *z,
                   double *bx, double *by, double *bz);
KEST_API void jensenandcain1960_(void);
KEST_API void gsfc1266_(void);
KEST_API void get_intfield_(double *x, double *y, double *z,
                            double *bx, double *by, double *bz);

KEST_END_C

#endif
