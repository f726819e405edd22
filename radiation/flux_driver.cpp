// Shared parts of the AE8/AP8 and CRRES flux drivers (see flux_driver.hpp).
#include "radiation/flux_driver.hpp"

#include <algorithm>

#include "frame/conventions.hpp"
#include "kest/frame.h"
#include "kest/magcoords.h"

namespace {

constexpr const char* kBang = "!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!!";
constexpr const char* kTooManyPoints = "Flux models: more than 100000 points in one call, no flux computed";
constexpr const char* kTooManyEnergies = "Flux models: more than 25 energies in one call, no flux computed";

// Geodetic latitude, longitude (degrees) and altitude (km) of a point given in
// the position system sysaxes. Returns false for a system outside 0..8.
bool geodetic_of(int sysaxes, int iyr, int idoy, double ut, double x1, double x2, double x3, double& lati,
                 double& longi, double& alti) {
  double xin[3] = {x1, x2, x3};
  double xgeo[3];
  double psi;
  switch (sysaxes) {
    case 0:  // GDZ: altitude km, latitude, longitude
      alti = x1;
      lati = x2;
      longi = x3;
      return true;
    case 1:
      xgeo[0] = x1;
      xgeo[1] = x2;
      xgeo[2] = x3;
      break;
    case 2:
    case 3:
    case 4:
    case 5:
      // The sun and axes of the point's own time; the tilt returned here is
      // not the driver's dip_ang.
      init_gsm_(&iyr, &idoy, &ut, &psi);
      if (sysaxes == 2) gsm_geo_(xin, xgeo);
      if (sysaxes == 3) gse_geo_(xin, xgeo);
      if (sysaxes == 4) sm_geo_(xin, xgeo);
      if (sysaxes == 5) gei_geo_(xin, xgeo);
      break;
    case 6:
      mag_geo_(xin, xgeo);
      break;
    case 7:  // SPH: radius Re, latitude, longitude
      sph_car_(&xin[0], &xin[1], &xin[2], xgeo);
      break;
    case 8: {  // RLL: rll_gdz rewrites its radius argument, so give it a copy
      double r = x1;
      lati = x2;
      longi = x3;
      rll_gdz_(&r, &lati, &longi, &alti);
      return true;
    }
    default:
      return false;
  }
  geo_gdz_(&xgeo[0], &xgeo[1], &xgeo[2], &lati, &longi, &alti);
  return true;
}

}  // namespace

namespace kest {

void flux_warn_replaced(const char* message, const char* choice) {
  msg_lines({"", kBang, message, choice, kBang, ""});
}

bool flux_call_fits(int ntime, int nene, double* flux) {
  if (ntime <= kFluxMaxPoints && nene <= kFluxMaxEnergies) return true;
  msg(ntime > kFluxMaxPoints ? kTooManyPoints : kTooManyEnergies);
  const int rows = std::min(ntime, kFluxMaxPoints);
  for (int k = 0; k < kFluxMaxEnergies; ++k)
    for (int i = 0; i < rows; ++i) flux[i + kFluxMaxPoints * k] = baddata;
  return false;
}

void fly_points(FlyWork& w, int ntime, int sysaxes, const int* iyr, const int* idoy, const double* ut,
                const double* x1, const double* x2, const double* x3) {
  // The lowest resolutions of the L search: no L* is wanted, only Lm, the
  // local field and the minimum field on the line.
  int t_resol = 3, r_resol = 0;
  for (int i = 0; i < ntime; ++i) {
    double lati = 0.0, longi = 0.0, alti = 0.0;
    if (!geodetic_of(sysaxes, iyr[i], idoy[i], ut[i], x1[i], x2[i], x3[i], lati, longi, alti)) {
      w.lm[i] = w.lstar[i] = w.xj[i] = w.blocal[i] = w.bmin[i] = w.bbo[i] = baddata;
      continue;
    }
    calcul_lstar_(&t_resol, &r_resol, &lati, &longi, &alti, &w.lm[i], &w.lstar[i], &w.xj[i], &w.blocal[i],
                  &w.bmin[i]);
    // A fill Bmin under a valid Lm gives a tiny negative ratio, which the
    // lookups raise to 1 (the equator of the shell).
    w.bbo[i] = w.blocal[i] / w.bmin[i];
    // The tables want the size of L: a line marked as not closed (negative
    // Lm) is looked up at its magnitude.
    if (w.lm[i] <= 0.0 && w.lm[i] != baddata) w.lm[i] = 0.0 - w.lm[i];
  }
}

}  // namespace kest
