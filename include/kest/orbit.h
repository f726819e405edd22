/* kest: public C interface of the orbit subsystem (see kest.h for conventions). */
#ifndef KEST_ORBIT_H
#define KEST_ORBIT_H

#include "api.h"

KEST_BEGIN_C

/* ---- SGP4/SDP4 core ---------------------------------------------------------
 * One satellite at a time, held in the library's element record; nothing is
 * re-entrant. Time in minutes from the element epoch, angles in radians,
 * positions km, velocities km/s (frame of the element set). gravity sets:
 * 721 WGS-72 low precision, 72 WGS-72, 84 WGS-84.
 * Error codes: 0 ok; 1 mean e >= 1 or < -0.001 or mean a < 0.95 Earth radii
 * (an element set with e >= 1 or e < -0.001 included); 2 mean motion <= 0 (a
 * negative mean motion of the set included); 3 perturbed e outside [0, 1];
 * 4 semi-latus rectum < 0;
 * 5 perigee below the surface (sgp4init_ only); 6 decayed (radius below one
 * Earth radius); 7 Kepler's equation not solved within 10 Newton steps.
 * Codes 4 and 7 (and any code whose Kepler solution fails) set position and
 * velocity to the fill value -1.0e31, as does any result that is not a finite
 * number; never are values of an earlier call left. */
KEST_API void getgravconst_(int *whichconst, double *tumin, double *radiusearthkm,
                            double *xke, double *j2, double *j3, double *j4,
                            double *j3oj2);
KEST_API void initl_(int *satn, int *whichconst, double *ecco, double *epoch,
                     double *inclo, double *no, char *method, double *ainv,
                     double *ao, double *con41, double *con42, double *cosio,
                     double *cosio2, double *eccsq, double *omeosq, double *posq,
                     double *rp, double *rteosq, double *sinio, double *gsto);
/* epoch: days from 1949-12-31 0h UT (Julian date - 2433281.5); no: Kozai mean
   motion, rad/min. */
KEST_API void sgp4init_(int *whichconst, int *satn, double *bstar, double *ecco,
                        double *epoch, double *argpo, double *inclo, double *mo,
                        double *no, double *nodeo, int *error);
KEST_API void sgp4_(int *whichconst, double *tsince, double *r, double *v,
                    int *error);
KEST_API double gstime_(double *jdut1);

/* ---- Vectors, anomalies, dates ---------------------------------------------
 * Angles in radians (angle_ theta; newtonnu_ nu, e0 and m). Markers: angle_
 * gives 999999.1 for an undefined angle; newtonnu_ gives 999999.9 where no
 * anomaly formula applies. */
KEST_API double mag_(double *x);
KEST_API void cross_(double *a, double *b, double *c);
KEST_API double dot_(double *a, double *b);
KEST_API void angle_(double *a, double *b, double *theta);
KEST_API double asinh_(double *x);
KEST_API void newtonnu_(double *ecc, double *nu, double *e0, double *m);
KEST_API void jday_(int *year, int *mon, int *day, int *hr, int *minute,
                    double *sec, double *jd);
KEST_API void days2mdhms_(int *year, double *days, int *mon, int *day, int *hr,
                          int *minute, double *sec);
KEST_API void invjday_(double *jd, int *year, int *mon, int *day, int *hr,
                       int *minute, double *sec);

/* ---- Orbit drivers: two-line element files, element sets, state vectors ----
 * Drivers use WGS-84 constants. Element sets (ele_opts(1)): 1 veska (incl deg,
 * perigee and apogee heights km above 6378.137 km, node deg, fifth, sixth),
 * 2 classical (a Earth radii of 6378.137 km, e, incl, node, fifth, sixth),
 * 3 state vector (km, km/s, GEI), 4 solar (incl, heights, local time h of
 * apogee, local time h a quarter turn past the ascending node, so that the
 * node lies at about H - 6 h, sixth), 5 mean (rev/day, e, incl, node, fifth,
 * sixth).
 * ele_opts is int(5): elements 4 and 5 are not used, but the conversion
 * trace on standard output prints all five.
 * ele_opts(2): 1 argument of perigee, 2 longitude of perigee; ele_opts(3):
 * 1 time of perigee passage s, 2 true anomaly, 3 argument of latitude,
 * 4 true longitude, 5 mean anomaly. Angles in degrees except rv2coe_ (rad).
 * Markers: 999999.1 undefined angle, 999999.9 infinite semi-major axis.
 * sgp4_orb1_ and sgp4_ele1_ give SGP4 the mean motion 1440/84 rev/day at one
 * Earth radius times a^-1.5 (as its Kozai mean motion), 1.005822 times
 * Kepler's value for the set's semi-major axis a: see the README.
 * twoline2rvsgp4_ reads the next set from the element file that sgp4_tle1_
 * has open (with none open: end_code 999); start and stop are minutes from
 * the set's epoch, written with run_mode 'Y' only; step is not read. */
KEST_API void twoline2rvsgp4_(int *setcount, char *run_mode, int *gravity_set,
                              double *start, double *stop, double *step,
                              int *end_code);
KEST_API void sgp4_tle1_(int *runtype, double *startsfe, double *stopsfe,
                         double *deltasec, char *infile, int *infile_len,
                         char *outfile, int *outfile_len);
/* rv2coe_: position r(3) (km) and velocity v(3) (km/s) to the semi-latus
   rectum p and semi-major axis a (km), eccentricity and angles (radians). */
KEST_API void rv2coe_(double *r, double *v, double *p, double *a, double *ecc,
                      double *incl, double *omega, double *argp, double *nu,
                      double *m, double *arglat, double *truelon,
                      double *lonper);
KEST_API void classical2veska_(double *e1, double *e2, double *e3, double *e4,
                               double *e5, double *e6, double *jd,
                               int *ele_opts);
KEST_API void mean2classical_(double *e1, double *e2, double *e3, double *e4,
                              double *e5, double *e6, double *jd,
                              int *ele_opts);
KEST_API void rv2classical_(double *e1, double *e2, double *e3, double *e4,
                            double *e5, double *e6, double *jd, int *ele_opts);
KEST_API void solar2classical_(double *e1, double *e2, double *e3, double *e4,
                               double *e5, double *e6, double *jd,
                               int *ele_opts);
KEST_API void fifthelement_(double *e1, double *e2, double *e3, double *e4,
                            double *e5, double *e6, int *ele_opts);
KEST_API void sixthelement_(double *e1, double *e2, double *e3, double *e4,
                            double *e5, double *e6, int *ele_opts);
KEST_API void tsfe2m0_(double *tsfe, double *a, double *m0);
KEST_API void computee_(double *e1, double *e2, double *e3, double *e4,
                        double *e5, double *e6, double *ecc, int *ele_opts);
KEST_API void meananom_(double *ecc, double *nu, double *m);
/* rows: 100000 rows of 10 doubles (day, month, year, hour, minute, seconds,
   decimal year, x1, x2, x3), each row contiguous. sgp4_orb1_ and sgp4_ele1_
   write back into their epoch: iyr (the year less 2000 from 2000 on, else
   less 1900: two digits for 1900-2099), imon, iday, ihr and sec hold the
   time of the last row afterwards (imin keeps the epoch's minute). sgp4_ele1_ also returns the
   converted element kinds in ele_opts (normally 1, 1, 5), cuts a window of
   more than 100000 rows (a message; stopsfe then holds the time of row
   100000), and gives rows not computed (outside the years 1 to 9999, or
   after an SGP4 error) the fill value with year and day of year 0. A
   start, stop or step that is not a number: a message, no row written. */
KEST_API void sgp4_orb1_(int *iyr, int *imon, int *iday, int *ihr, int *imin,
                         double *sec, double *e1, double *e2, double *e3,
                         double *e4, double *e5, double *e6, double *startsfe,
                         double *stopsfe, double *deltasec, int *sysaxesOUT,
                         double *rows);
KEST_API void sgp4_ele1_(int *sysaxesOUT, int *iyr, int *imon, int *iday,
                         int *ihr, int *imin, double *sec, double *e1,
                         double *e2, double *e3, double *e4, double *e5,
                         double *e6, int *ele_opts, double *startsfe,
                         double *stopsfe, double *deltasec, int *OUTYEAR,
                         int *OUTDOY, double *UT, double *x1, double *x2,
                         double *x3);

KEST_DECLARE_ENTRY(sgp4_tle_);    /* sgp4_tle1_, 8 arguments */
KEST_DECLARE_ENTRY(sgp4_ele_);    /* sgp4_ele1_, 23 */
KEST_DECLARE_ENTRY(rv2coe_idl_);  /* rv2coe_, 13 */
/* ---- end of the orbit drivers ------------------------------------------- */

KEST_END_C

#endif
