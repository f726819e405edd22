// A centred dipole along the GEO z axis for the tracer tests: the IGRF moment
// of 2004 day 75, 0 h UT, with the sun and dipole axes of that instant
// rebuilt around the axial dipole, so that every field line is a dipole line
// r = L cos^2(latitude) whose invariants are known in closed form.
#pragma once

#include <cmath>

#include "frame/frame_state.hpp"
#include "kest/frame.h"
#include "magcoords/field_setup.hpp"
#include "magcoords/magcoords_state.hpp"

// Sets the field models up as make_lstar does (options(1) = lstar_opt,
// internal field only), then replaces the IGRF dipole by the axial one and
// forgets any drift shell kept from earlier calls. Returns |B0| (nT).
inline double set_axial_dipole(int lstar_opt = 1) {
  int kext = 0, options[5] = {lstar_opt, 0, 0, 0, 1}, sysaxes = 1;
  int iyr = 2004, idoy = 75;
  double ut = 0.0;
  const double m[25] = {};
  kest::FieldSetup s{};
  kest::field_setup_call(s, kest::kSetupMakeLstar, &kext, options, &sysaxes);
  kest::field_setup_time(s, iyr, idoy, ut, 2.0, 0.0, 0.0, m);
  kest::Dipigrf& d = kest::dipigrf;
  d.x0 = d.y0 = d.z0 = 0.0;
  d.cos_th = 1.0;
  d.sin_th = 0.0;
  d.cos_ph = 1.0;
  d.sin_ph = 0.0;
  double psi;
  init_gsm_(&iyr, &idoy, &ut, &psi);
  kest::flag_l.set = 0;
  return std::fabs(d.b0);
}
