// Tsyganenko 1996 (T96_01) model: the modules behind t96_01_, for the model
// sources and their tests. Positions in Earth radii (GSM, already multiplied
// by the pressure factor of t96_01 unless a routine says otherwise), fields
// in nT per unit amplitude, tilts in radians. Every field routine writes all
// three components of its result. Nothing here is re-entrant.
#ifndef KEST_EXTFIELD_TSYGANENKO96_HPP
#define KEST_EXTFIELD_TSYGANENKO96_HPP

namespace kest::t96 {

// ---- Dipole shielding and interconnection field (tsyganenko96.cpp)
double bes0(double x);          // J0(x), polynomial approximations
double bes1(double x);          // J1(x)
double bes(double x, int k);    // J0 for k = 0, J1 for k = 1
void cylharm(const double* a, double x, double y, double z, double b[3]);
void cylhar1(const double* a, double x, double y, double z, double b[3]);
void dipshld(double ps, double x, double y, double z, double b[3]);
void intercon(double x, double y, double z, double b[3]);

// ---- Ring current and tail (tsyganenko96.cpp)
// Shielding field of Cartesian harmonics with n scales of each kind (table:
// 4 n^2 amplitudes, then the scales p, r, q, s), for tilt sine and cosine;
// it serves the ring current and tail (n = 3), Region 1 (4) and Region 2 (2).
void cartesian_shield(const double* a, int n, double sps, double cps, double x, double y, double z,
                      double h[3]);
// Cartesian-harmonic shielding field for one 48-entry table, tilt by sine.
void shlcar3x3(const double* a, double x, double y, double z, double sps, double h[3]);
void tailrc96(double sps, double x, double y, double z, double rc[3], double t2[3],
              double t3[3]);
// The sheet routines read the geometry tailrc96 left in warp.
void ringcurr96(double x, double y, double z, double b[3]);
void taildisk(double x, double y, double z, double b[3]);
void tail87(double x, double z, double* bx, double* bz);

// ---- Region-1 system (tsyganenko96_birkeland.cpp)
// Hinged tilt of the Region-1 structure at distance d: sine and cosine.
void hinged_tilt(double ps, double d, double* s, double* c);
void diploop1(const double xi[4], double d[26][3]);
void condip1(const double xi[4], double d[79][3]);
void birk1shld(double ps, double x, double y, double z, double b[3]);
// Zone of the last birk1tot_02 call: 1 high latitude, 2 plasma sheet,
// 3 northern and 4 southern transition layer.
int birk1_last_zone();

// ---- Region-2 system (tsyganenko96_birkeland.cpp)
void birk2shl(double x, double y, double z, double ps, double b[3]);
void r2_birk(double x, double y, double z, double ps, double b[3]);
double tksi(double xksi, double xks0, double dxksi);
double xksi(double x, double y, double z);
void r2inner(double x, double y, double z, double b[3]);
void r2outer(double x, double y, double z, double b[3]);
void r2sheet(double x, double y, double z, double b[3]);
double fexp(double s, double a);
double fexp1(double s, double a);

// ---- Elementary source fields (tsyganenko96_birkeland.cpp)
// Fields of unit dipoles (moment 30574 nT Re^3) along x, y, z: bxyz[d][c] is
// component c of the dipole along axis d.
void dipxyz(double x, double y, double z, double bxyz[3][3]);
void circle(double x, double y, double z, double rl, double b[3]);
void crosslp(double x, double y, double z, double b[3], double xc, double rl, double al);
void loops4(double x, double y, double z, double b[3], double xc, double yc, double zc,
            double r, double theta, double phi);
void dipdistr(double x, double y, double z, double b[3], int mode);
void bconic(double x, double y, double z, double* cbx, double* cby, double* cbz, int nmax);

}  // namespace kest::t96

#endif
