/* NRLMSISE-00 through its driver: densities and temperatures at three
 * altitudes above one place and time.
 *
 * Build and run (from the top of the source tree, kest built in build/):
 *   cc -I include examples/nrlmsise00_example.c -L build -lkest -Wl,-rpath,"$PWD/build" -o msis_example
 *   ./msis_example
 */
#include <stdio.h>

#include "kest.h"

int main(void) {
  int ntime = 3;
  int whichAp = 1;                      /* daily Ap (2: 3-hour Ap history) */
  int idoy[3] = {172, 172, 172};        /* day of year */
  double ut[3] = {29000, 29000, 29000}; /* seconds of the day */
  double alt[3] = {50, 120, 400};       /* km */
  double lat[3] = {60, 60, 60};         /* geodetic latitude, degrees */
  double lon[3] = {-70, -70, -70};      /* longitude, degrees */
  double f107a[3] = {150, 150, 150};    /* 81-day mean F10.7 */
  double f107[3] = {150, 150, 150};     /* previous-day F10.7 */
  double ap[7 * 3];                     /* daily Ap, then the 3-hour history */
  double density[9 * 3];                /* He O N2 O2 Ar rho H N anomalous-O */
  double temp[2 * 3];                   /* exospheric, at the altitude */
  int i;

  for (i = 0; i < 7 * 3; i++) ap[i] = 4.0;
  nrlmsise00_(&ntime, &whichAp, idoy, ut, alt, lat, lon, f107a, f107, ap, density, temp);

  for (i = 0; i < ntime; i++) {
    const double *d = density + 9 * i;
    printf("%6.1f km  rho %.4e g/cm3  N2 %.4e cm-3  O %.4e cm-3  T %7.2f K  Tinf %7.2f K\n",
           alt[i], d[5], d[2], d[1], temp[2 * i + 1], temp[2 * i]);
  }
  return 0;
}
