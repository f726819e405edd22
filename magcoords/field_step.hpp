// The field-line step shared by the tracers, in a form that carries the field
// at the start point from one step to the next.
//
// A trace evaluates the field at the end of each step; the next step starts
// there, so its first stage needs no new evaluation. rk_step takes the start
// field as given and makes four field evaluations where sksyst_ makes five,
// with bit-for-bit the same result (the field routine is a pure function of
// the point and the model state, which does not change during a trace).
#ifndef KEST_FIELD_STEP_HPP
#define KEST_FIELD_STEP_HPP

#include "kest.h"

namespace kest {

// The field at a point: unit direction u = B/|B| and magnitude b (nT).
struct FieldDir {
  double u[3];
  double b;
};

// champ_ at x. Returns false (with *ifail from champ_) when the point is
// refused; f is then unchanged.
inline bool field_dir(double* x, FieldDir& f, int* ifail) {
  double bv[3], bl;
  champ_(x, bv, &bl, ifail);
  if (*ifail < 0) return false;
  f.b = bl;
  f.u[0] = bv[0] / bl;
  f.u[1] = bv[1] / bl;
  f.u[2] = bv[2] / bl;
  return true;
}

inline bool field_dir(double* x, FieldDir& f) {
  int ifail = 0;
  return field_dir(x, f, &ifail);
}

// One fourth-order Runge-Kutta step of length h (Earth radii; positive along
// the field) from xin, whose field fin is known, to xout with its field fout.
// Returns false at the first refused point (xout, fout then meaningless).
inline bool rk_step(double h, const double* xin, const FieldDir& fin, double* xout, FieldDir& fout,
                    int* ifail) {
  double k1[3], k2[3], k3[3], k4[3], xt[3];
  FieldDir f;
  for (int j = 0; j < 3; ++j) k1[j] = h * fin.u[j];
  for (int j = 0; j < 3; ++j) xt[j] = xin[j] + k1[j] / 2.0;
  if (!field_dir(xt, f, ifail)) return false;
  for (int j = 0; j < 3; ++j) k2[j] = h * f.u[j];
  for (int j = 0; j < 3; ++j) xt[j] = xin[j] + k2[j] / 2.0;
  if (!field_dir(xt, f, ifail)) return false;
  for (int j = 0; j < 3; ++j) k3[j] = h * f.u[j];
  for (int j = 0; j < 3; ++j) xt[j] = xin[j] + k3[j];
  if (!field_dir(xt, f, ifail)) return false;
  for (int j = 0; j < 3; ++j) k4[j] = h * f.u[j];
  for (int j = 0; j < 3; ++j) xout[j] = xin[j] + (k1[j] + 2.0 * k2[j] + 2.0 * k3[j] + k4[j]) / 6.0;
  return field_dir(xout, fout, ifail);
}

inline bool rk_step(double h, const double* xin, const FieldDir& fin, double* xout, FieldDir& fout) {
  int ifail = 0;
  return rk_step(h, xin, fin, xout, fout, &ifail);
}

}  // namespace kest

#endif
