// Coordinate transformation between the twelve coordinate systems, and the
// thin conversions between GEO and each geocentric system.
//
// Codes: 0 GDZ (alt km, geodetic lat, lon), 1 GEO, 2 GSM, 3 GSE, 4 SM, 5 GEI,
// 6 MAG (Cartesian, Re), 7 SPH (r Re, geocentric lat, lon), 8 RLL (r Re,
// geodetic lat, lon), 9 HEE, 10 HAE, 11 HEEQ (Cartesian, AU).
//
// Every conversion sets the frame for its own time (IGRF epoch of mid-year,
// sun and dipole axes of the moment); nothing is cached, so a series with one
// time pays the set-up per point and step. The mid-year epoch makes the
// dipole axis of GSM, SM and MAG step at each New Year by a year's secular
// change (0.017 to 0.045 degree from 1966 to 2014, 0.0085 into 1965 and
// 0.021 into 2015 from the nearest-year rule, none before or after); the
// sun, the sidereal time and the other geocentric frames run on
// continuously across midnight and the year end.
#include <cmath>
#include <cstddef>

#include "frame/conventions.hpp"
#include "kest/frame.h"

namespace {

enum Sys { GDZ = 0, GEO, GSM, GSE, SM, GEI, MAG, SPH, RLL, HEE, HAE, HEEQ };

// Sets the IGRF epoch of the middle of the year and the sun and dipole axes
// of the moment; returns the tilt (radians).
double set_frame(int* iyr, int* idoy, double* ut) {
  double decy = *iyr + 0.5;
  init_dtd_(&decy);
  double psi = 0.0;
  init_gsm_(iyr, idoy, ut, &psi);
  return psi;
}

void set_epoch(int* iyr) {
  double decy = *iyr + 0.5;
  init_dtd_(&decy);
}

}  // namespace

// Thin conversions: set the frame for (iyr, idoy, ut), then one rotation.
// Given: iyr, idoy int; ut double s (the MAG pair: iyr only, the IGRF epoch
// of its mid-year); xin(3) double. Returned: xout(3) double (and psi, the
// dipole tilt in radians, for the GSM pair).
// State: write dgrf, model, dipigrf, soleil, sundip (the MAG pair only the
// first three).
// Failure: nothing is tested. A year before 1965 or after 2014 (its mid-year
// outside 1965.0-2015.0) gives the IGRF warning and the nearest epoch
// (init_dtd_); one outside 1901-2099 keeps the sun of the last successful
// instant (init_gsm_), without a message.
extern "C" void geo2gsm1_(int* iyr, int* idoy, double* ut, double* psi, double* xin, double* xout) {
  *psi = set_frame(iyr, idoy, ut);
  geo_gsm_(xin, xout);
}
extern "C" void gsm2geo1_(int* iyr, int* idoy, double* ut, double* psi, double* xin, double* xout) {
  *psi = set_frame(iyr, idoy, ut);
  gsm_geo_(xin, xout);
}
extern "C" void geo2gse1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  geo_gse_(xin, xout);
}
extern "C" void gse2geo1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  gse_geo_(xin, xout);
}
extern "C" void geo2gei1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  geo_gei_(xin, xout);
}
extern "C" void gei2geo1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  gei_geo_(xin, xout);
}
extern "C" void geo2sm1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  geo_sm_(xin, xout);
}
extern "C" void sm2geo1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  sm_geo_(xin, xout);
}
extern "C" void gsm2sm1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  gsm_sm_(xin, xout);
}
extern "C" void sm2gsm1_(int* iyr, int* idoy, double* ut, double* xin, double* xout) {
  set_frame(iyr, idoy, ut);
  sm_gsm_(xin, xout);
}
extern "C" void geo2mag1_(int* iyr, double* xin, double* xout) {
  set_epoch(iyr);
  geo_mag_(xin, xout);
}
extern "C" void mag2geo1_(int* iyr, double* xin, double* xout) {
  set_epoch(iyr);
  mag_geo_(xin, xout);
}

// coord_trans1: converts one position between two coordinate systems.
// Given:    sysaxesin, sysaxesout  int  codes 0-11; iyr, idoy int; ut double s
// Given and returned: xin(3)  double; rewritten in three cases: an RLL input
//           leaves xin(1) in km; GSE to HEE/HAE/HEEQ leaves xin in km; an
//           HEE input to a geocentric system leaves xin in km.
// Returned: xout(3)  double
// State:    writes the frame records of the time through the thin
//           conversions, sunmah through the heliospheric steps and gener
//           through the geodetic and heliospheric ones; equal codes touch
//           nothing.
// Failure:  an input or output code outside 0-11: "sysaxesIN out of range !"
//           or "sysaxesOUT out of range !" on standard output, fill value in
//           xout. Equal codes copy xin silently, whatever their value. Years
//           as in the thin conversions and the heliospheric routines. An RLL
//           input whose radius is below the distance of its latitude's
//           ellipsoid normal from the centre (within some 21 km of it), or
//           whose radius or latitude is not a number: fill value in xout,
//           without a message.
extern "C" void coord_trans1_(int* sysaxesin, int* sysaxesout, int* iyr, int* idoy, double* ut, double* xin,
                              double* xout) {
  const int in = *sysaxesin, out = *sysaxesout;
  if (in == out) {
    for (int k = 0; k < 3; ++k) xout[k] = xin[k];
    return;
  }
  if (in < 0 || in > 11) {
    kest::msg("sysaxesIN out of range !");
    for (int k = 0; k < 3; ++k) xout[k] = kest::baddata;
    return;
  }
  if (out < 0 || out > 11) {
    kest::msg("sysaxesOUT out of range !");
    for (int k = 0; k < 3; ++k) xout[k] = kest::baddata;
    return;
  }

  double w1[3], w2[3];
  // Direct paths, without the GEO step.
  switch (in * 100 + out) {
    case GSM * 100 + SM: gsm2sm1_(iyr, idoy, ut, xin, xout); return;
    case SM * 100 + GSM: sm2gsm1_(iyr, idoy, ut, xin, xout); return;
    case GSE * 100 + HEE: gse2hee1_(iyr, idoy, ut, xin, xout); return;
    case GSE * 100 + HAE:
      gse2hee1_(iyr, idoy, ut, xin, w1);
      hee2hae1_(iyr, idoy, ut, w1, xout);
      return;
    case GSE * 100 + HEEQ:
      gse2hee1_(iyr, idoy, ut, xin, w1);
      hee2hae1_(iyr, idoy, ut, w1, w2);
      hae2heeq1_(iyr, idoy, ut, w2, xout);
      return;
    case HEE * 100 + HAE: hee2hae1_(iyr, idoy, ut, xin, xout); return;
    case HEE * 100 + HEEQ:
      hee2hae1_(iyr, idoy, ut, xin, w1);
      hae2heeq1_(iyr, idoy, ut, w1, xout);
      return;
    case HAE * 100 + HEE: hae2hee1_(iyr, idoy, ut, xin, xout); return;
    case HAE * 100 + HEEQ: hae2heeq1_(iyr, idoy, ut, xin, xout); return;
    case HEEQ * 100 + HAE: heeq2hae1_(iyr, idoy, ut, xin, xout); return;
    case HEEQ * 100 + HEE:
      heeq2hae1_(iyr, idoy, ut, xin, w1);
      hae2hee1_(iyr, idoy, ut, w1, xout);
      return;
    default: break;
  }

  // First half: the input system to a GEO Cartesian vector g (Re).
  double g[3], psi;
  switch (in) {
    case GDZ: gdz_geo_(&xin[1], &xin[2], &xin[0], &g[0], &g[1], &g[2]); break;
    case GEO: g[0] = xin[0], g[1] = xin[1], g[2] = xin[2]; break;
    case GSM: gsm2geo1_(iyr, idoy, ut, &psi, xin, g); break;
    case GSE: gse2geo1_(iyr, idoy, ut, xin, g); break;
    case SM: sm2geo1_(iyr, idoy, ut, xin, g); break;
    case GEI: gei2geo1_(iyr, idoy, ut, xin, g); break;
    case MAG: mag2geo1_(iyr, xin, g); break;
    case SPH: sph_car_(&xin[0], &xin[1], &xin[2], g); break;
    case RLL: {
      double h;
      rll_gdz_(&xin[0], &xin[1], &xin[2], &h);
      // The normal of geodetic latitude phi passes the centre at N e^2
      // |sin phi cos phi| (up to some 21 km): a radius below that names no
      // point of that latitude, and the altitude's radicand is negative.
      if (std::isnan(h)) {
        for (int k = 0; k < 3; ++k) xout[k] = kest::baddata;
        return;
      }
      gdz_geo_(&xin[1], &xin[2], &h, &g[0], &g[1], &g[2]);
      break;
    }
    case HEE:
      hee2gse1_(iyr, idoy, ut, xin, w1);
      gse2geo1_(iyr, idoy, ut, w1, g);
      break;
    case HAE:
      hae2hee1_(iyr, idoy, ut, xin, w1);
      hee2gse1_(iyr, idoy, ut, w1, w2);
      gse2geo1_(iyr, idoy, ut, w2, g);
      break;
    case HEEQ:
      heeq2hae1_(iyr, idoy, ut, xin, w1);
      hae2hee1_(iyr, idoy, ut, w1, w2);
      hee2gse1_(iyr, idoy, ut, w2, w1);
      gse2geo1_(iyr, idoy, ut, w1, g);
      break;
  }

  // Second half: g to the output system.
  switch (out) {
    case GDZ: {
      double lat, lon, alt;
      geo_gdz_(&g[0], &g[1], &g[2], &lat, &lon, &alt);
      xout[0] = alt, xout[1] = lat, xout[2] = lon;
      break;
    }
    case GEO: xout[0] = g[0], xout[1] = g[1], xout[2] = g[2]; break;
    case GSM: geo2gsm1_(iyr, idoy, ut, &psi, g, xout); break;
    case GSE: geo2gse1_(iyr, idoy, ut, g, xout); break;
    case SM: geo2sm1_(iyr, idoy, ut, g, xout); break;
    case GEI: geo2gei1_(iyr, idoy, ut, g, xout); break;
    case MAG: geo2mag1_(iyr, g, xout); break;
    case SPH: car_sph_(g, &xout[0], &xout[1], &xout[2]); break;
    case RLL: {
      double lat, lon, alt;
      const double r = std::sqrt(g[0] * g[0] + g[1] * g[1] + g[2] * g[2]);
      if (in == GDZ) {
        lat = xin[1];
        lon = xin[2];
      } else {
        geo_gdz_(&g[0], &g[1], &g[2], &lat, &lon, &alt);
      }
      xout[0] = r, xout[1] = lat, xout[2] = lon;
      break;
    }
    case HEE:
      geo2gse1_(iyr, idoy, ut, g, w1);
      gse2hee1_(iyr, idoy, ut, w1, xout);
      break;
    case HAE:
      geo2gse1_(iyr, idoy, ut, g, w1);
      gse2hee1_(iyr, idoy, ut, w1, w2);
      hee2hae1_(iyr, idoy, ut, w2, xout);
      break;
    case HEEQ:
      geo2gse1_(iyr, idoy, ut, g, w1);
      gse2hee1_(iyr, idoy, ut, w1, w2);
      hee2hae1_(iyr, idoy, ut, w2, w1);
      hae2heeq1_(iyr, idoy, ut, w1, xout);
      break;
  }
}

// coord_trans_vec1: converts a series of positions, each with its own time.
// Given: ntime int; sysaxesin, sysaxesout int; iyr(ntime), idoy(ntime) int;
//        ut(ntime) double; xin(3, ntime) double (never changed).
// Returned: xout(3, ntime) double.  Nothing happens for ntime <= 0.
// Failure: as coord_trans1 for each point: a code out of range writes its
//          message and the fill value once per point.
extern "C" void coord_trans_vec1_(int* ntime, int* sysaxesin, int* sysaxesout, int* iyr, int* idoy, double* ut,
                                  double* xin, double* xout) {
  for (int i = 0; i < *ntime; ++i) {
    int y = iyr[i], d = idoy[i];
    double t = ut[i];
    // Column offsets in the pointer's width: 3 i leaves the int range for
    // series beyond 715 million points.
    const std::ptrdiff_t c = 3 * static_cast<std::ptrdiff_t>(i);
    double x[3] = {xin[c], xin[c + 1], xin[c + 2]};
    coord_trans1_(sysaxesin, sysaxesout, &y, &d, &t, x, &xout[c]);
  }
}
