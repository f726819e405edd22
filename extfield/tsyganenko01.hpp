// Internal interface of the Tsyganenko 2001 and 2004 external field models.
//
// The two models share their modules: each module exists once, and where the
// 2004 routine differs from its 2001 twin the difference is the Model
// argument (the hinging-distance record the tail bending reads, the clamp of
// the Birkeland tilt shift, the dipole's tilt cache, and the module sums'
// own steps). Positions in Earth radii, fields in nT, tilts in radians.
// Nothing here is re-entrant: the modules read the records of
// extfield_state.hpp, which the module sums write at every call.
#ifndef KEST_TSYGANENKO01_HPP
#define KEST_TSYGANENKO01_HPP

#include <cmath>

namespace kest::t01 {

enum class Model { t01, t04 };

struct Vec3 {
  double x, y, z;
};

// ---- Entries and module sums (tsyganenko01.cpp)
// module_sum: total external field of one model at an unscaled GSM point.
//   a      the model's coefficient set (43 or 69 values, a[k-1] = A(k))
//   drv    V1, V2 (2001) or W1..W6 (2004)
void module_sum(Model m, const double* a, double pdyn, double dstar, double by, double bz,
                const double* drv, double psi, double x, double y, double z, Vec3& b);
// dipole field of moment 30115 nT at an unscaled GSM point (the 2001 routine
// keeps its last tilt's sine and cosine, the 2004 routine does not).
Vec3 dipole_01(Model m, double psi, double x, double y, double z);
// magnetopause shielding field of the dipole, before the factor kappa^3.
Vec3 shlcar3x3(double x, double y, double z, double psi);

// ---- Tail modes (tsyganenko01_tail.cpp)
void deformed(Model m, double psi, double x, double y, double z, Vec3& b1, Vec3& b2);
void warped(double psi, double x, double y, double z, Vec3& b1, Vec3& b2);
void unwarped(double x, double y, double z, Vec3& b1, Vec3& b2);
Vec3 taildisk(double d0, double deltax, double deltay, double x, double y, double z);
Vec3 shlcar5x5(const double* a, double x, double y, double z, double shift);

// ---- Birkeland currents (tsyganenko01_birkeland.cpp)
// Fields of Region n mode m in b[2(n-1) + (m-1)]: R11, R12, R21, R22.
void birk_tot(Model m, double psi, double x, double y, double z, Vec3 b[4]);
Vec3 birk_1n2(Model m, int region, int mode, double psi, double x, double y, double z);
Vec3 birk_shl(const double* h, double psi, double xsc, double x, double y, double z);
Vec3 twocones(const double* c, double x, double y, double z);
Vec3 one_cone(const double* c, double x, double y, double z);
double r_s(const double* c, double r, double theta);
double theta_s(const double* c, double r, double theta);
void fialcos(double r, double theta, double phi, double& btheta, double& bphi, int m,
             double theta0, double dth);

// ---- Ring current (tsyganenko01_ring_current.cpp)
void full_rc(double psi, double x, double y, double z, Vec3& src, Vec3& prc);
void src_prc(double src_scale, double prc_scale, double prc_angle, double psi, double x,
             double y, double z, Vec3& src, Vec3& prc);
Vec3 rc_symm(double x, double y, double z);
Vec3 prc_symm(double x, double y, double z);
double ap(double r, double sint, double cost);
double apprc(double r, double sint, double cost);
Vec3 prc_quad(double x, double y, double z);
double br_prc_q(double r, double sint, double cost);
double bt_prc_q(double r, double sint, double cost);
void ffs(double a, double a0, double da, double& f, double& fa, double& fs);
Vec3 rc_shield(const double* a, double psi, double scale_offset, double x, double y, double z);


// Sines and cosines of the 3 x 3 Cartesian harmonic shielding expansions:
// the y and z arguments of each scale are formed once per scale (each serves
// three harmonics), for the two rotated frames (x1, z1) and (x2, z2) of the
// two harmonic groups. p, r scale the first group (y/p, z1/r), q, s the
// second (y/q, z2/s).
struct ShieldTrig {
  double cyp[3], syp[3], czr[3], szr[3], cyq[3], syq[3], czs[3], szs[3];
};
inline void shield_trig(const double* p, const double* r, const double* q, const double* s, double y,
                        double z1, double z2, ShieldTrig& t) {
  for (int i = 0; i < 3; ++i) {
    t.cyp[i] = std::cos(y / p[i]);
    t.syp[i] = std::sin(y / p[i]);
    t.czr[i] = std::cos(z1 / r[i]);
    t.szr[i] = std::sin(z1 / r[i]);
    t.cyq[i] = std::cos(y / q[i]);
    t.syq[i] = std::sin(y / q[i]);
    t.czs[i] = std::cos(z2 / s[i]);
    t.szs[i] = std::sin(z2 / s[i]);
  }
}

}  // namespace kest::t01

#endif
