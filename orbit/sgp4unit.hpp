// Internal interface of the SGP4/SDP4 core: the deep-space routines.
//
// They read and write the element record kest::elsetrec directly; the working
// copies of the mean elements that sgp4 and sgp4init carry are passed by
// reference. Nothing here is re-entrant.
#ifndef KEST_ORBIT_SGP4UNIT_HPP
#define KEST_ORBIT_SGP4UNIT_HPP

namespace kest {

// Luni-solar geometry at the epoch that dscom hands on to dsinit: the sines and
// cosines of the mean elements, the eccentricity functions, and the S and Z
// auxiliaries of the Sun (ss*, sz*) and of the Moon (s*, z*).
struct DeepGeometry {
  double sinim, cosim, sinomm, cosomm, snodm, cnodm;
  double em, emsq, rtemsq, nm, day, gam;
  double s1, s2, s3, s4, s5, s6, s7;
  double ss1, ss2, ss3, ss4, ss5, ss6, ss7;
  double z1, z2, z3, z11, z12, z13, z21, z22, z23, z31, z32, z33;
  double sz1, sz2, sz3, sz11, sz12, sz13, sz21, sz22, sz23, sz31, sz32, sz33;
};

void dscom(double epoch, double ep, double argpp, double tc, double inclp,
           double nodep, double np, DeepGeometry& g);
void dpper(double t, char init, double& ep, double& inclp, double& nodep,
           double& argpp, double& mp, double* sinip = nullptr, double* cosip = nullptr);
void dsinit(double xke, double t, double tc, const DeepGeometry& g,
            double mdot, double nodedot, double xpidot, double& em,
            double& argpm, double& inclm, double& mm, double& nm,
            double& nodem, double& dndt);
void dspace(double t, double tc, double& em, double& argpm, double& inclm,
            double& mm, double& nodem, double& nm);

}  // namespace kest

#endif
