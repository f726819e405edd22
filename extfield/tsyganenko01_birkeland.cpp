// Region 1 and Region 2 Birkeland (field-aligned) currents of the Tsyganenko
// 2001 and 2004 models.
//
// Each of the four fields (two regions, two azimuthal modes) is the field of
// a pair of deformed conical current sheets, carried through an azimuthal
// deformation about the y axis that depends on the distance from that axis
// and on the tilt, scaled in size by the region's factor, plus its own
// shielding field of 18 Cartesian harmonics. The 2004 model uses the same
// routines and tables; it differs only inside the scaled unit sphere, where
// the 2001 tilt shift is clamped.
#include <cmath>

#include "extfield/extfield_state.hpp"
#include "extfield/tsyganenko01.hpp"
#include "extfield/tsyganenko01_tables.hpp"

namespace kest::t01 {

namespace {

constexpr double kTiltDeform = 0.9;  // share of the tilt taken by the cone frame
constexpr double kTiltScale = 10.0;  // Earth radii over which that share fades
constexpr double kDiffStep = 1.0e-6; // central-difference step of the cone deformation
constexpr double kSheetField = 800.0;

const double* cone_set(int region, int mode) {
  if (region == 1) return mode == 1 ? t01tab::cone_r1_m1 : t01tab::cone_r1_m2;
  return mode == 1 ? t01tab::cone_r2_m1 : t01tab::cone_r2_m2;
}

// The deformations of the cone frame are sums of radial functions times
// harmonics of theta: r_s = R0(r) + R1(r) cos(theta) + R2(r) cos(2 theta),
// theta_s = theta + T1(r) sin(theta) + T2(r) sin(2 theta) + T3(r) sin(3 theta).
// one_cone needs them at three radii and three angles; the radial and the
// angular factors are formed once each (the sums are the same operations in
// the same order as a direct evaluation).
struct ConeRadial {
  double r0, r1, r2;      // r_s
  double t1, t2, t3;      // theta_s
};

ConeRadial cone_radial(const double* c, double r) {
  const double r2 = r * r;
  const double d16 = r2 + c[15] * c[15];
  ConeRadial k;
  k.r0 = r + c[1] / r + c[2] * r / std::sqrt(r2 + c[10] * c[10]) + c[3] * r / (r2 + c[11] * c[11]);
  k.r1 = c[4] + c[5] / r + c[6] * r / std::sqrt(r2 + c[12] * c[12]) + c[7] * r / (r2 + c[13] * c[13]);
  k.r2 = c[8] * r / std::sqrt(r2 + c[14] * c[14]) + c[9] * r / (d16 * d16);
  k.t1 = c[16] + c[17] / r + c[18] / r2 + c[19] * r / std::sqrt(r2 + c[26] * c[26]);
  k.t2 = c[20] + c[21] * r / std::sqrt(r2 + c[27] * c[27]) + c[22] * r / (r2 + c[28] * c[28]);
  k.t3 = c[23] + c[24] / r + c[25] * r / (r2 + c[29] * c[29]);
  return k;
}

struct ConeAngular {
  double theta, c1, c2, s1, s2, s3;
};

ConeAngular cone_angular(double theta) {
  return ConeAngular{theta,
                     std::cos(theta),
                     std::cos(2.0 * theta),
                     std::sin(theta),
                     std::sin(2.0 * theta),
                     std::sin(3.0 * theta)};
}

double rs_of(const ConeRadial& k, const ConeAngular& a) { return k.r0 + k.r1 * a.c1 + k.r2 * a.c2; }
double ts_of(const ConeRadial& k, const ConeAngular& a) {
  return a.theta + k.t1 * a.s1 + k.t2 * a.s2 + k.t3 * a.s3;
}

}  // namespace

// birk_tot: the four Birkeland fields R11, R12, R21, R22 with their shielding.
// Given:    m  model (2001 or 2004);  psi  tilt, radians;
//           x, y, z  scaled GSM position, Re
// Returned: b[0..3]  fields of Region 1 mode 1, R1 m2, R2 m1, R2 m2, nT,
//           before the amplitudes of the module sum
// State:    reads birkpar; writes dphi_b_rho0, dtheta, modenum (kappa ends
//           as kappa2).
void birk_tot(Model m, double psi, double x, double y, double z, Vec3 b[4]) {
  const double* shield[4] = {t01tab::birk_shield_r1_m1, t01tab::birk_shield_r1_m2,
                             t01tab::birk_shield_r2_m1, t01tab::birk_shield_r2_m2};
  const double kappa[2] = {birkpar.kappa1, birkpar.kappa2};
  const double offset[2] = {1.1, 1.0};
  for (int region = 1; region <= 2; ++region) {
    dphi_b_rho0.kappa = kappa[region - 1];
    const double xsc = kappa[region - 1] - offset[region - 1];
    for (int mode = 1; mode <= 2; ++mode) {
      const Vec3 c = birk_1n2(m, region, mode, psi, x, y, z);
      const Vec3 s = birk_shl(shield[2 * (region - 1) + mode - 1], psi, xsc, x, y, z);
      b[2 * (region - 1) + mode - 1] = Vec3{c.x + s.x, c.y + s.y, c.z + s.z};
    }
  }
}

// birk_1n2: deformed cone field of one region and mode.
// Given:    m  model;  region  1 or 2 (any other value: Region 2 cones);
//           mode  1 or 2;  psi  tilt, radians;  x, y, z  scaled GSM, Re
// Returned: field, nT
// State:    writes dphi_b_rho0 (dphi, b, rho0), dtheta, modenum; reads
//           dphi_b_rho0.kappa.
// Notes:    1. The tilt share of the cone frame fades with the scaled radius
//             r as 1/(1 + u^3)^(1/3), u = (r - 1)/10. The 2001 model clamps u
//             at 0 inside r = 1; the 2004 model lets it go down to -0.1.
Vec3 birk_1n2(Model m, int region, int mode, double psi, double x, double y, double z) {
  DphiBRho0& p = dphi_b_rho0;
  p.b = 0.5;
  p.rho0 = 7.0;
  modenum.m = mode;
  if (region == 1) {
    p.dphi = 0.055;
    dtheta.dtheta = 0.06;
  } else {
    p.dphi = 0.03;
    dtheta.dtheta = 0.09;
  }
  const double kappa = p.kappa;
  const double xsc = x * kappa, ysc = y * kappa, zsc = z * kappa;
  const double rho = std::sqrt(xsc * xsc + zsc * zsc);
  const double rsc = std::sqrt(xsc * xsc + ysc * ysc + zsc * zsc);
  const double rho02 = p.rho0 * p.rho0;
  const double phi = (xsc == 0.0 && zsc == 0.0) ? 0.0 : std::atan2(-zsc, xsc);
  const double sphic = std::sin(phi), cphic = std::cos(phi);
  const double brack = p.dphi + p.b * rho02 / (rho02 + 1.0) * (rho * rho - 1.0) / (rho02 + rho * rho);
  const double r1rh = (rsc - 1.0) / kTiltScale;
  const double u = (m == Model::t01 && r1rh < 0.0) ? 0.0 : r1rh;
  const double u3 = 1.0 + u * u * u;
  const double psias = kTiltDeform * psi / std::pow(u3, 1.0 / 3.0);
  const double phis = phi - brack * sphic - psias;
  const double dphisphi = 1.0 - brack * cphic;
  const double tilt_term = kTiltDeform * psi * u * u / (kTiltScale * rsc * std::pow(u3, 4.0 / 3.0));
  const double dphisrho =
      -2.0 * p.b * rho02 * rho / ((rho02 + rho * rho) * (rho02 + rho * rho)) * sphic + tilt_term * rho;
  const double dphisdy = tilt_term * ysc;
  const double sphics = std::sin(phis), cphics = std::cos(phis);
  const Vec3 bs = twocones(cone_set(region, mode), rho * cphics, ysc, -rho * sphics);
  const double brhoas = bs.x * cphics - bs.z * sphics;
  const double bphias = -bs.x * sphics - bs.z * cphics;
  const double bphi = kappa * (bphias - rho * (bs.y * dphisdy + brhoas * dphisrho));
  const double brho = kappa * brhoas * dphisphi;
  const double by = kappa * bs.y * dphisphi;
  return Vec3{brho * cphic - bphi * sphic, by, -brho * sphic - bphi * cphic};
}

// birk_shl: shielding field of one Birkeland current system.
// Given:    h  86-value shielding set;  psi  tilt, radians;
//           xsc  size factor minus its offset;  x, y, z  scaled GSM, Re
// Returned: field, nT
// Notes:    1. Harmonic N has amplitude h(4N-3) + h(4N-2) xsc +
//             [h(4N-1) + h(4N) xsc] c, with c = cos psi in the first group and
//             2 cos psi in the second; the entries are accumulated in order.
Vec3 birk_shl(const double* h, double psi, double xsc, double x, double y, double z) {
  const double cps = std::cos(psi), sps = std::sin(psi);
  const double s3ps = 2.0 * cps;
  const double* p = h + 72;  // p1..p3
  const double* r = h + 75;  // r1..r3
  const double* q = h + 78;  // q1..q3
  const double* s = h + 81;  // s1..s3
  const double ct1 = std::cos(h[84] * psi), st1 = std::sin(h[84] * psi);
  const double ct2 = std::cos(h[85] * psi), st2 = std::sin(h[85] * psi);
  const double x1 = x * ct1 - z * st1, z1 = x * st1 + z * ct1;
  const double x2 = x * ct2 - z * st2, z2 = x * st2 + z * ct2;
  ShieldTrig trig;
  shield_trig(p, r, q, s, y, z1, z2, trig);
  const auto& [cyp, syp, czr, szr, cyq, syq, czs, szs] = trig;
  Vec3 b{0.0, 0.0, 0.0};
  int l = 0;
  for (int group = 1; group <= 2; ++group) {
    const double c = group == 1 ? cps : s3ps;
    for (int i = 0; i < 3; ++i) {
      for (int k = 0; k < 3; ++k) {
        double fx, fy, fz, ca, sa;
        if (group == 1) {
          const double gam = std::sqrt(1.0 / (p[i] * p[i]) + 1.0 / (r[k] * r[k]));
          const double e = std::exp(gam * x1);
          fx = -gam * e * cyp[i] * szr[k];
          fy = e / p[i] * syp[i] * szr[k];
          fz = -e / r[k] * cyp[i] * czr[k];
          ca = ct1;
          sa = st1;
        } else {
          const double gam = std::sqrt(1.0 / (q[i] * q[i]) + 1.0 / (s[k] * s[k]));
          const double e = std::exp(gam * x2);
          fx = -sps * gam * e * cyq[i] * czs[k];
          fy = sps * e / q[i] * syq[i] * czs[k];
          fz = sps * e / s[k] * cyq[i] * szs[k];
          ca = ct2;
          sa = st2;
        }
        const double hx = fx * ca + fz * sa;
        const double hz = -fx * sa + fz * ca;
        const double factor[4] = {1.0, xsc, c, c * xsc};
        for (int n = 0; n < 4; ++n) {
          const double amp = h[l++] * factor[n];
          b.x += amp * hx;
          b.y += amp * fy;
          b.z += amp * hz;
        }
      }
    }
  }
  return b;
}

// twocones: field of a northern and a southern deformed conical sheet.
// Given:    c  31-value cone set;  x, y, z  untilted cone frame, Re
// Returned: field, nT
// State:    reads modenum, dtheta (through one_cone).
Vec3 twocones(const double* c, double x, double y, double z) {
  const Vec3 n = one_cone(c, x, y, z);
  const Vec3 s = one_cone(c, x, -y, -z);
  return Vec3{n.x - s.x, n.y + s.y, n.z + s.z};
}

// one_cone: field of one deformed conical current sheet.
// Given:    c  31-value cone set;  x, y, z  cone frame, Re
// Returned: field, nT
// State:    reads modenum, dtheta.
// Notes:    1. On the cone's axis (x = y = 0) the sheet formulas divide by
//             zero although the field has a finite limit there; the point is
//             moved off the axis by 1e-9 of its radius (in x), which gives
//             that limit to about 1e-9 of the field (the sheet formulas are
//             evaluated without cancellation there, see fialcos).
Vec3 one_cone(const double* c, double x, double y, double z) {
  if (x == 0.0 && y == 0.0) x = 1.0e-9 * std::fabs(z);
  const double rho2 = x * x + y * y;
  const double rho = std::sqrt(rho2);
  const double r = std::sqrt(rho2 + z * z);
  const double theta = std::atan2(rho, z);
  const double phi = std::atan2(y, x);
  const double dr = kDiffStep, dt = kDiffStep;
  const ConeRadial k0 = cone_radial(c, r), kp = cone_radial(c, r + dr), km = cone_radial(c, r - dr);
  const ConeAngular a0 = cone_angular(theta), ap = cone_angular(theta + dt),
                    am = cone_angular(theta - dt);
  const double rs = rs_of(k0, a0);
  const double thetas = ts_of(k0, a0);
  double btast, bfast;
  fialcos(rs, thetas, phi, btast, bfast, modenum.m, c[30], dtheta.dtheta);
  const double drsdr = (rs_of(kp, a0) - rs_of(km, a0)) / (2.0 * dr);
  const double drsdt = (rs_of(k0, ap) - rs_of(k0, am)) / (2.0 * dt);
  const double dtsdr = (ts_of(kp, a0) - ts_of(km, a0)) / (2.0 * dr);
  const double dtsdt = (ts_of(k0, ap) - ts_of(k0, am)) / (2.0 * dt);
  const double stsst = std::sin(thetas) / std::sin(theta);
  const double rsr = rs / r;
  const double br = -rsr / r * stsst * btast * drsdt;
  const double btheta = rsr * stsst * btast * drsdr;
  const double bphi = rsr * bfast * (drsdr * dtsdt - drsdt * dtsdr);
  const double s = rho / r, ct = z / r;
  const double sf = y / rho, cf = x / rho;
  const double be = br * s + btheta * ct;
  return Vec3{c[0] * (be * cf - bphi * sf), c[0] * (be * sf + bphi * cf),
              c[0] * (br * ct - btheta * s)};
}

// r_s: deformed radius of the cone frame (last denominator squared).
double r_s(const double* c, double r, double theta) {
  return rs_of(cone_radial(c, r), cone_angular(theta));
}

// theta_s: deformed polar angle of the cone frame, radians.
double theta_s(const double* c, double r, double theta) {
  return ts_of(cone_radial(c, r), cone_angular(theta));
}

// fialcos: field of an undeformed conical current sheet of mode m.
// Given:    r, theta, phi  spherical position (Re, radians);  m  mode, 1..10;
//           theta0  cone half-angle, dth  sheet half-width, radians
// Returned: btheta, bphi  polar and azimuthal components, nT (no radial one)
// Notes:    1. theta exactly at theta0 - dth takes the sheet formulas, exactly
//             at theta0 + dth the outside ones; both joins are continuous.
void fialcos(double r, double theta, double phi, double& btheta, double& bphi, int m,
             double theta0, double dth) {
  const double sinte = std::sin(theta), coste = std::cos(theta);
  const double ro = r * sinte;
  const double sinfi = std::sin(phi), cosfi = std::cos(phi);
  // tan(theta/2) and cot(theta/2), each in the form without cancellation on
  // its side of the equator (the forms agree exactly in exact arithmetic),
  // so that points close to a cone's axis keep a finite field.
  const double tg = coste >= 0.0 ? sinte / (1.0 + coste) : (1.0 - coste) / sinte;
  const double ctg = coste >= 0.0 ? (1.0 + coste) / sinte : sinte / (1.0 - coste);
  const double tetanp = theta0 + dth;
  const double tetanm = theta0 - dth;
  double tgp = 0.0, tgm = 0.0, tgm2 = 0.0, tgp2 = 0.0;
  if (theta >= tetanm) {
    tgp = std::tan(tetanp * 0.5);
    tgm = std::tan(tetanm * 0.5);
    tgm2 = tgm * tgm;
    tgp2 = tgp * tgp;
  }
  double cosm1 = 1.0, sinm1 = 0.0, tm = 1.0, tgm2m = 1.0, tgp2m = 1.0;
  double bt = 0.0, bf = 0.0;
  for (int k = 1; k <= m; ++k) {
    tm *= tg;
    const double cosm = cosm1 * cosfi - sinm1 * sinfi;
    const double sinm = sinm1 * cosfi + cosm1 * sinfi;
    cosm1 = cosm;
    sinm1 = sinm;
    tgm2m *= tgm2;
    tgp2m *= tgp2;
    double t, dtt;
    if (theta < tetanm) {
      t = tm;
      dtt = 0.5 * k * tm * (tg + ctg);
    } else if (theta < tetanp) {
      const double fc = 1.0 / (tgp - tgm);
      const double fc1 = 1.0 / (2 * k + 1);
      const double tgm2m1 = tgm2m * tgm;
      t = fc * (tm * (tgp - tg) + fc1 * (tm * tg - tgm2m1 / tm));
      dtt = 0.5 * k * fc * (1.0 + tg * tg) * (tm / tg * (tgp - tg) - fc1 * (tm - tgm2m1 / (tm * tg)));
    } else {
      const double fc = 1.0 / (tgp - tgm);
      const double fc1 = 1.0 / (2 * k + 1);
      t = fc * fc1 * (tgp2m * tgp - tgm2m * tgm) / tm;
      dtt = -t * k * 0.5 * (tg + ctg);
    }
    bt = k * t * cosm / ro;
    bf = -dtt * sinm / r;
  }
  btheta = bt * kSheetField;
  bphi = bf * kSheetField;
}

}  // namespace kest::t01
