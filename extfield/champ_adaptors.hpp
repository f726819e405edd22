// The external models as the field routine champ_ calls them: one adaptor
// per external-model code, taking the point in the model's frame (GSM or SM,
// Earth radii) and returning the external field in that frame (nT), with the
// drivers, Kp class and tilt read from the records of the field-model set-up.
// Internal to the library (not part of the public C interface).
#ifndef KEST_EXTFIELD_CHAMP_ADAPTORS_HPP
#define KEST_EXTFIELD_CHAMP_ADAPTORS_HPP

namespace kest {

// Mead: SM point x(3) in, SM field b(3) out; Kp class from index.
void mead_champ(double *x, double *b);
// Tsyganenko 1987 short and long tail: GSM point in, GSM field out; Kp class
// from index.
void tsy87s_champ(double *x, double *b);
void tsy87l_champ(double *x, double *b);
// Tsyganenko 1987 field for a parameter column a given by the caller (A1..A24
// short tail, A1..A32 long tail), with the tilt of dip_ang; GSM, nT. Each
// keeps its own cache under the caller's key (a new key reloads the column;
// the empty cache holds the key 100, so a first call with that key computes
// with the empty column and gives not-a-number), apart from the caches of
// the entries tsy87s_ and tsy87l_. No input is tested.
void t87_short_field(int key, const double *a, double x, double y, double z,
                     double *b);
void t87_long_field(int key, const double *a, double x, double y, double z,
                    double *b);
// Tsyganenko 1989: GSM point in, GSM field out; Kp class from index.
void t89c_champ(double *x, double *b);
// Ostapenko-Maltsev 1997: drivers and tilt of the set-up; SM.
void om97_champ(double *x, double *b);
// Olson-Pfitzer dynamic: density, speed and Dst of the set-up; SM.
void op_dynamic_champ(double *x, double *b);
// Alexeev 2000: GSM point x(3) in, GSM field b(3) out (doubles); drivers
// density, speed, Dst, IMF Bz and AL from the set-up, IMF Bx = By = 0.
void a2000_champ(double *x, double *b);
// Tsyganenko 1996: drivers pdyn, dst, byimf, bzimf; GSM.
void t96_champ(double *x, double *b);
// Tsyganenko 2001 (G1, G2), its storm form (G2, G3) and Tsyganenko 2004
// storm (W1..W6): drivers pdyn, dst, byimf, bzimf and the G or W values; GSM.
void t01_champ(double *x, double *b);
void t01_storm_champ(double *x, double *b);
void t04_champ(double *x, double *b);

}  // namespace kest

#endif
