// Alexeev 2000 paraboloid magnetosphere model: internal routines and records.
//
// The model computes in single precision throughout; only its C entry a2000_
// (include/kest/extfield.h) and champ's adaptor (champ_adaptors.hpp) meet the
// double-precision rest of the library. The records below are the model's
// working storage, rewritten at every evaluation apart from the source
// switches and the solar-longitude cache; they are declared here so that the
// tests can look at one source at a time.
#ifndef KEST_EXTFIELD_ALEXEEV2000_HPP
#define KEST_EXTFIELD_ALEXEEV2000_HPP

#include <string>

namespace kest::a2k {

// ---- Records ---------------------------------------------------------------

// Source switches. Element numbers as the model's users know them (1..10):
//   3 IMF penetration factor, 5 Earth's dipole factor, 7 share of the
//   shielding field given to the dipole, 8 tail current (on only at exactly
//   1), 9 region-1 currents (on when not 0), 10 cleared by every region-1
//   evaluation and by pstatus; 4 and 6 are set by pstatus and not read; 1 and
//   2 are not read. Written by pstatus_ (and region-1, element 10); read by
//   the sources.
struct Sm {
  float v[10];  // v[i - 1] is element i
};
extern Sm sm;

// Geometry and scalings of the current parameter set. Written by a_field,
// mas1d and mas2d; read by every source.
struct T2 {
  float pi = 3.1415925f;  // the model's pi (never written)
  float r1;           // subsolar magnetopause distance, Earth radii
  float k_stretch;    // stretch of alpha in the tail series, 1 + 0.2 (psi/30)^2
  float alpha0;       // paraboloid beta of the inner edge of the tail sheet
  float c_log;        // coefficient of the logarithmic tail term
  float scale;        // scale 1e7 of the tail series
  float beta_b;       // beta of the seam between near and far shielding forms
  float b_t;          // tail lobe field, nT
  float cos_psi, sin_psi;
  float psi_deg;      // tilt, degrees, in the model's sign convention
  float z0;           // z shift of the tail current evaluation point, Earth radii
  float b0p;          // dipole plus ring-current moment that is shielded, nT
  float bd;           // Earth's dipole strength, nT (negative)
  float bd_over_b0p;  // bd / b0p
};
extern T2 t2;

// Shielding coefficients: near form (spherical harmonics, cos psi part a_n
// and sin psi part b_n) and far form (Bessel series, three groups of five).
// Written by mas1d / mas2d; read by beg and flyd.
struct T1 {
  float a[6], b[6];
};
extern T1 t1;
struct S2 {
  float s[15];  // s[i - 1] is s2(i)
};
extern S2 s2;

// Tail-current coefficients [m][s], m = 0..5 for the orders n = 2m + 1,
// s = 0..4, inside (near) and beyond (far) the inner edge of the sheet, with
// their products by the eigenvalue lambda. Written by mas2d; read by dery4d.
struct S1 {
  float c_near[6][5], lc_near[6][5];
  float c_far[6][5], lc_far[6][5];
};
extern S1 s1;

// Ring current: strength A_r, scale 4, radius rho_r (Earth radii), field at
// Earth b_r (nT), reduced moment m_r, inner coefficient c_r, 64 (= 4^3).
// Written by mas1d / masring; read by bring.
struct T21 {
  float a_r, four, rho_r, b_r, m_r, c_r, sixty_four;
};
extern T21 t21;

// Region-1 currents: intensity after the polar-cap correction (MA) and the
// polar-cap boundary colatitude (degrees). Written by a_field / mas1d; read
// by fac.
struct Fac12 {
  float intensity;
  float theta_pc;
};
extern Fac12 fac12;

// Region-1 working values: sin and cos of the polar-cap colatitude, the cap
// coefficient A, the outer coefficient (1 - cos) A, the colatitude in degrees
// and the intensity in amperes. Written by fac / bfac.
struct Tfac {
  float sin_pc, cos_pc, a_cap, a_out, theta_pc_deg, amperes;
};
extern Tfac tfac;

// Coordinates of the point being evaluated (rewritten at every evaluation):
// paraboloid beta, alpha, h = sqrt(alpha^2 + beta^2), alpha*beta,
// alpha^2 + beta^2; azimuth about the x axis (from +z towards +y); radius and
// polar angle from +x; SM colatitude and longitude for the region-1 field.
struct Cor1 {
  float beta, alpha, h, ab, h2;
};
extern Cor1 cor1;
struct Cor2 {
  float cos_phi, sin_phi;
};
extern Cor2 cor2;
struct Cor3 {
  float r, cos_t, sin_t;
};
extern Cor3 cor3;
struct Cor4 {
  float cos_th, sin_th, cos_ph, sin_ph;
};
extern Cor4 cor4;

// IMF components handed to the model (nT). Written by a_field.
struct Imfd {
  float b[3];
};
extern Imfd imfd;

// Solar ecliptic longitude (radians) of the last computing call of sun_a2000;
// 0 before the first. Kept across calls for years outside 1901..2099.
struct SunCache {
  float lambda;
};
extern SunCache sun_cache;

// ---- Bessel functions (single precision) -----------------------------------
float besj0(float x);
float besj1(float x);
float besy0(float x);
float besy1(float x);
float besi0(float x);
float besi1(float x);
float ebesi0(float x);
float ebesi1(float x);
float besk0(float x);
float besk1(float x);
float ebesk0(float x);
float ebesk1(float x);
void besk(int n, float x, float& k, float& dk);
void besm(int n, float& x, float& i, float& di);
void bess(int n, float x, float& j, float& dj);
float bsj(int n, float x);
float bsi(int n, float x);
float ug(const float* c, float x);
float rint(float a, float b, float c);

// A value as a Fortran E12.5 edit descriptor writes it ("-0.17467E+03").
std::string fortran_e12_5(float x);

// ---- Model routines ----------------------------------------------------------
int idd(int year, int month, int day);
void dipgarm(int year, float g[3]);
float sun_a2000(int year, int doy, int hour, int minute, int second);
void trans(float ut, int doy, int year, float& psi, float& bd);
void submod(float ut, int year, int month, int day, float dens, float vel, const float imf[3],
            float dst, float al, float par[10]);
void mas1d(float phi_inf, float b_r, float r1, float r2);
void masring();
void mas2d();
void paraboloid_coords(float x, float y, float z);
void beg(float b[3]);
void flyd(float b[3]);
void bdip(float b[3], float m);
void bring(float b[3]);
void bring1(float b[3], float& p, float& q);
void bdipc(const float x[3], float m, float b[3]);
void dery4d(float b[3]);
void fac(const float x[3], float b[3], float z[3]);
void bfac(float b[3]);
void field(const float x[3], float src[7][3], float total[3]);
void a_field(const float x[3], const float par[10], float b[3], float src[7][3]);

}  // namespace kest::a2k

#endif
