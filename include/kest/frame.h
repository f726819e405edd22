/* kest: public C interface of the frame subsystem (see kest.h for conventions). */
#ifndef KEST_FRAME_H
#define KEST_FRAME_H

#include "api.h"

KEST_BEGIN_C

/* ---- Calendar and decimal year -------------------------------------------
 * Dates up to 4 Oct 1582 are Julian, from 15 Oct 1582 Gregorian; there is no
 * year 0 (the year before 1 is -1). Out-of-range years and day numbers stop
 * the process with a message on standard output (exit status 1): julday_
 * takes the years -4716 to 5000000 (not 0), caldat_ the day numbers -1095 to
 * 1827933925. julday_ truncates toward zero, so for most dates before the
 * year 1 (three in four) caldat_ gives back the day after the date given to
 * julday_; the numbering is kept, as stored day numbers rely on it.
 * decy2date_and_time_ truncates at every step (ut in whole seconds), so a
 * time taken to a decimal year and back can come back one second short. */
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
 * Cartesian in Earth radii (6371.2 km), altitude in km above WGS84, degrees.
 * The vector routines take and give spherical components in the order
 * radial, southward (growing colatitude), eastward; they do not read r. */
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
 * nearest valid year; a year that is not a number: the warning, ierr = 1 and
 * -1.0E31 coefficients from get_igrf_coeffs_, and from init_dtd_ an epoch
 * whose field is not a number). get_igrf_coeffs_ fills g(66), h(66) (nT,
 * slot n(n+1)/2 + m + 1) and sets ierr = 1 for any year outside 1965-2015,
 * leaving it untouched otherwise. init_dtd_ sets the epoch for every routine below;
 * igrf_ sums the field at a GEO point (Earth radii of 6371.2 km, nT).
 * get_terms_ gives the dipole of g, h: axis colatitude th and longitude ph in
 * radians, the eccentric-dipole centre x0, y0, z0 in Earth radii and the
 * moment b0 in nT. */
KEST_API void init_dtd_(double *year);
KEST_API void get_igrf_coeffs_(double *year, double *g, double *h, int *ierr);
KEST_API void get_terms_(double *g, double *h, double *th, double *ph,
                         double *x0, double *y0, double *z0, double *b0);
KEST_API void calcul_gh1_(void);
KEST_API void igrf_(double *x, double *y, double *z,
                    double *bx, double *by, double *bz);

/* ---- Sun, sun and dipole axes, Cartesian rotations ------------------------
 * sun_ computes for the years 1901-2099 only (else leaves its outputs); its
 * four angles (sidereal time, ecliptic longitude, right ascension and
 * declination of the sun) are in radians. GEI is the mean equator and
 * equinox of date: its x axis precesses, 50.3 arcsec a year along the
 * ecliptic against the stars.
 * init_gsm_ sets the axes of an instant from the current internal-field
 * dipole and returns the tilt (radians; before any internal field is set
 * up, axes and tilt are not numbers); the rotations read those axes
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

/* ---- Coordinate systems (codes: 0 GDZ, 1 GEO, 2 GSM, 3 GSE, 4 SM, 5 GEI,
 * 6 MAG, 7 SPH, 8 RLL, 9 HEE, 10 HAE, 11 HEEQ) -------------------------------
 * A conversion with GSM, SM, GEI or MAG on either side, or between GSE or a
 * heliospheric system and a geocentric one, sets the IGRF epoch of mid-year
 * and the sun and dipole axes of its time in the shared frame state (MAG to
 * or from GDZ, GEO, SPH or RLL: the epoch only; a heliospheric side: the
 * solar ephemeris sunmah as well). GSE to HEE/HAE/HEEQ and conversions among
 * HEE, HAE and HEEQ set only sunmah; conversions among GDZ, GEO, SPH and RLL
 * set none of these (only the fixed Earth constants are rewritten). xIN of
 * coord_trans1_ may be rewritten (an RLL input leaves xIN(1) in km; GSE to
 * HEE/HAE/HEEQ and an HEE input to a geocentric system leave xIN in km);
 * coord_trans_vec1_ never changes xIN. Out-of-range codes: message, fill
 * value; equal codes copy xIN to xOUT, whatever their value. An RLL radius
 * that no point of its geodetic latitude has (within some 21 km of the
 * centre): fill value. */
KEST_API void coord_trans1_(int *sysaxesIN, int *sysaxesOUT, int *iyr, int *idoy,
                            double *UT, double *xIN, double *xOUT);
KEST_API void coord_trans_vec1_(int *ntime, int *sysaxesIN, int *sysaxesOUT,
                                int *iyr, int *idoy, double *UT, double *xIN,
                                double *xOUT);
KEST_API void geo2gsm1_(int *iyr, int *idoy, double *UT, double *psi, double *xIN, double *xOUT);
KEST_API void gsm2geo1_(int *iyr, int *idoy, double *UT, double *psi, double *xIN, double *xOUT);
KEST_API void geo2gse1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void gse2geo1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void geo2gei1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void gei2geo1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void geo2sm1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void sm2geo1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void gsm2sm1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void sm2gsm1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void geo2mag1_(int *iyr, double *xIN, double *xOUT);
KEST_API void mag2geo1_(int *iyr, double *xIN, double *xOUT);

/* ---- Heliospheric systems (AU; GSE in Re) ---------------------------------
 * sun2_ computes the solar ephemeris into its own arguments only (years
 * 1901-2099; otherwise it writes nothing). The conversions with a time (the
 * routines with suffix 1) put that ephemeris into the record sunmah (for
 * another year the last one stays); the bare rotations hae_heeq_ to gse_hee_
 * read sunmah as the last of those conversions left it. sun2_ gives t0 in
 * Julian centuries from J2000.0 to 0 h UT of the day, the ecliptic longitude
 * lambda of the sun in degrees (not reduced to 0-360) and the sines and
 * cosines of the solar-equator angles theta, i and omega (theta the angle
 * of the Earth from the node, so that the HEEQ x axis points to the Earth). */
KEST_API void sun2_(int *iyr, int *idoy, double *UT, double *t0, double *lambda,
                    double *sin_theta, double *cos_theta, double *sin_i,
                    double *cos_i, double *sin_omega, double *cos_omega);
KEST_API void hae_heeq_(double *xIN, double *xOUT);
KEST_API void heeq_hae_(double *xIN, double *xOUT);
KEST_API void hae_hee_(double *xIN, double *xOUT);
KEST_API void hee_hae_(double *xIN, double *xOUT);
KEST_API void gse_hee_(double *xIN, double *xOUT);
KEST_API void gse2hee1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void hee2gse1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void hae2hee1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void hee2hae1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void hae2heeq1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);
KEST_API void heeq2hae1_(int *iyr, int *idoy, double *UT, double *xIN, double *xOUT);

/* ---- Coordinate and date entry points: X(argc, argv), argv = the addresses
 * of the arguments of the routine named, in order; result 9.9f. -----------
 *   coord_trans -> coord_trans1        coord_trans_vec -> coord_trans_vec1
 *   geo2gsm, gsm2geo, geo2gse, gse2geo, geo2gei, gei2geo, geo2sm, sm2geo,
 *   gsm2sm, sm2gsm, geo2mag, mag2geo   -> the routines above with suffix 1
 *   gdz2geo -> gdz_geo   geo2gdz -> geo_gdz   sph2car -> sph_car
 *   car2sph -> car_sph   rll2gdz -> rll_gdz
 *   gse2hee, hee2gse, hae2hee, hee2hae, hae2heeq, heeq2hae -> suffix 1
 *   date_and_time2decy_idl -> date_and_time2decy */
KEST_DECLARE_ENTRY(coord_trans_);
KEST_DECLARE_ENTRY(coord_trans_vec_);
KEST_DECLARE_ENTRY(geo2gsm_);
KEST_DECLARE_ENTRY(gsm2geo_);
KEST_DECLARE_ENTRY(geo2gse_);
KEST_DECLARE_ENTRY(gse2geo_);
KEST_DECLARE_ENTRY(geo2gei_);
KEST_DECLARE_ENTRY(gei2geo_);
KEST_DECLARE_ENTRY(geo2sm_);
KEST_DECLARE_ENTRY(sm2geo_);
KEST_DECLARE_ENTRY(gsm2sm_);
KEST_DECLARE_ENTRY(sm2gsm_);
KEST_DECLARE_ENTRY(geo2mag_);
KEST_DECLARE_ENTRY(mag2geo_);
KEST_DECLARE_ENTRY(gdz2geo_);
KEST_DECLARE_ENTRY(geo2gdz_);
KEST_DECLARE_ENTRY(sph2car_);
KEST_DECLARE_ENTRY(car2sph_);
KEST_DECLARE_ENTRY(rll2gdz_);
KEST_DECLARE_ENTRY(gse2hee_);
KEST_DECLARE_ENTRY(hee2gse_);
KEST_DECLARE_ENTRY(hae2hee_);
KEST_DECLARE_ENTRY(hee2hae_);
KEST_DECLARE_ENTRY(hae2heeq_);
KEST_DECLARE_ENTRY(heeq2hae_);
KEST_DECLARE_ENTRY(date_and_time2decy_idl_);

KEST_END_C

#endif
