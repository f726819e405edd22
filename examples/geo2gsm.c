#include <stdio.h>
#include <kest.h>

int main(void) {
  int iyr = 2004, idoy = 75;                  /* 15 March 2004 */
  double ut = 43200.0, psi, geo[3] = {6.6, 0.0, 0.0}, gsm[3];
  void *argv[] = {&iyr, &idoy, &ut, &psi, geo, gsm};
  geo2gsm_(6, argv);                          /* entry form: argc ignored */
  printf("GSM %.6f %.6f %.6f Re, tilt %.4f rad\n", gsm[0], gsm[1], gsm[2], psi);
  return 0;
}
