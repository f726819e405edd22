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

KEST_END_C

#endif
