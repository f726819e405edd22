/* A host program that defines routines of its own under names the library
   exports, as many programs do: the Numerical Recipes julday (month, day,
   year, in that order) and a dot product of three-vectors that returns 0.
   The library's own calls must still reach the library's routines, while
   the host's calls reach the host's. Exit status 0 when both hold. */
#include <math.h>
#include <stdio.h>

#include "kest.h"

int julday_(int *mm, int *id, int *iyyy) {
  int y = *iyyy, m = *mm;
  if (m > 2) {
    m++;
  } else {
    y--;
    m += 13;
  }
  return (int)(365.25 * y) + (int)(30.6001 * m) + *id + 1720995 + 2 - y / 100 + y / 400;
}

double dot_(double *a, double *b) {
  (void)a;
  (void)b;
  return 0.0;
}

int main(void) {
  int failures = 0;
  /* The host's own routines. */
  int mm = 3, id = 15, iyyy = 2004;
  if (julday_(&mm, &id, &iyyy) != 2453080) {
    printf("the host's julday_ was not called\n");
    failures++;
  }
  /* The library's day of year: 15 March 2004 is day 31 + 29 + 15 = 75. */
  int year = 2004, month = 3, day = 15;
  const int doy = get_doy_(&year, &month, &day);
  if (doy != 75) {
    printf("get_doy_(2004-03-15) = %d, not 75\n", doy);
    failures++;
  }
  /* The library's orbit elements (rv2coe_ takes r . v from dot_): at 7000 km
     on the x axis, with the circular speed vc in a plane 30 degrees from the
     equator and 1 km/s outward. The inclination is 30 degrees; the
     eccentricity vector ((v^2 - mu/r) r - (r . v) v) / mu has, with
     v^2 = vc^2 + 1 and vc^2 = mu/r, the length r vc / mu = 1 / vc. */
  const double pi = 4.0 * atan(1.0), mu = 398600.4418;
  const double vc = sqrt(mu / 7000.0);
  double r[3] = {7000.0, 0.0, 0.0}, v[3] = {1.0, vc * cos(pi / 6.0), vc * sin(pi / 6.0)};
  double p, a, ecc, incl, omega, argp, nu, m, arglat, truelon, lonper;
  rv2coe_(r, v, &p, &a, &ecc, &incl, &omega, &argp, &nu, &m, &arglat, &truelon, &lonper);
  if (fabs(incl - pi / 6.0) > 1e-9 || fabs(ecc - 1.0 / vc) > 1e-6) {
    printf("rv2coe_: inclination %.12f rad (want %.12f), eccentricity %.9f (want %.9f)\n", incl,
           pi / 6.0, ecc, 1.0 / vc);
    failures++;
  }
  return failures == 0 ? 0 : 1;
}
