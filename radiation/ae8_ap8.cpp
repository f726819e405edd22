// NASA AE8/AP8 trapped-particle models: the map lookup (trara1 in energy,
// trara2 in L and B/B0), the flux of a series of (L, B/B0) points, and the
// flux along a series of positions in the field model of the maps.
//
// A map is a compact integer table: for each tabulated energy an L sub-map,
// for each tabulated L the logarithm of the omnidirectional integral flux at
// the magnetic equator (B/B0 = 1) and the rises of B/B0 over which that
// logarithm falls by a fixed step (a quarter decade). Between two tabulated L
// values the lookup follows curves of equal flux rather than interpolating
// at equal B/B0, which keeps the steep loss-cone edge of the belts in place.
//
// References: J. I. Vette, The AE-8 trapped electron model environment,
// NSSDC/WDC-A-R&S 91-24 (1991); D. M. Sawyer and J. I. Vette, AP-8 trapped
// proton environment for solar maximum and solar minimum, NASA WDC-A-R&S
// 76-06 (1976).
#include <algorithm>
#include <climits>
#include <cmath>

#include "frame/conventions.hpp"
#include "kest.h"
#include "magcoords/magcoords_state.hpp"
#include "radiation/ae8ap8_maps.hpp"
#include "radiation/energy_band.hpp"
#include "radiation/flux_driver.hpp"
#include "radiation/flux_tables.hpp"
#include "radiation/radiation_state.hpp"

namespace {

constexpr const char* kBadModel = "Invalid NASA AE8 or AP8 specification";
constexpr const char* kPickModel = "Selecting AE8 min";
constexpr const char* kBadKind = "Invalid flux output specification";
constexpr const char* kPickKind = "Selecting differential flux";

// Integer part of a non-negative scaled value; values beyond the int range
// (and a value that is not a number) become INT_MAX, which lies beyond every
// map, rather than an undefined conversion.
int scaled_int(double v) {
  if (!(v < static_cast<double>(INT_MAX))) return INT_MAX;
  return static_cast<int>(v);
}

// The map of a model number (1 AE8 MIN, 2 AE8 MAX, 3 AP8 MIN, 4 AP8 MAX) and
// the L range it covers; nullptr for another number.
struct MapChoice {
  const int* map;
  double lmin, lmax;
};

MapChoice map_of(int whichm) {
  switch (whichm) {
    case 1:
      return {kest::ae8ap8::elemin, 1.2, 11.0};
    case 2:
      return {kest::ae8ap8::elemax, 1.2, 11.0};
    case 3:
      return {kest::ae8ap8::promin, 1.17, 7.0};
    case 4:
      return {kest::ae8ap8::promax, 1.17, 7.0};
    default:
      return {nullptr, 0.0, 0.0};
  }
}

// A differential or band-mean flux, the fall of the integral flux over an
// energy step, is a flux only where it is positive. The published maps'
// integral flux rises with energy in places at the edges of the belts, and
// near the low-altitude cut-off of the inner zone at up to some 1e4
// particles per cm2 s (AE8 MAX, L 1.5, B/B0 2.65, from 0.04 to 0.1 MeV).
// And far below the maps' first energy, where it is
// extrapolated linearly in energy, a band only some 1e-15 MeV wide (however
// wide relative to E1) leaves both integral fluxes the same double. Neither
// difference is a flux: the fill value, as for a zero flux elsewhere.
double positive_or_fill(double v) { return v > 0.0 ? v : kest::baddata; }

}  // namespace

namespace kest {

// trara2: scaled logarithm of the integral flux in one L sub-map at a scaled
// L and a scaled B/B0 - 1.
// Given:    m   const int*  the L sub-map (m[0] = its first word)
//           lv  int         L x the map's L scale
//           bv  int         (B/B0 - 1) x the map's B/B0 scale
// Returns:  log10 of the flux x the map's flux scale, not below 0 (0: none)
// State:    reads tra2.fistep (set by trara1).
// Notes:    1. The two L blocks that bracket lv give two curves of log flux
//              against B/B0, each a polyline whose vertices lie one flux step
//              apart. The lookup walks both curves together along lines of
//              equal flux (points of the two curves with the same ratio of
//              log flux to B/B0 rise), interpolating the rise at the weight w
//              of lv between the two L values, until the interpolated rise
//              passes bv; the log flux at bv is then linear between the last
//              two interpolated points.
//           2. The block with the larger flux at the equator is walked as the
//              second curve; when bv lies beyond its end the roles of the two
//              blocks are exchanged once before giving up.
//           3. A scaled B/B0 that falls on the last point reached gives that
//              point's flux. The published walk gives 0 there when the next
//              point coincides with it (two L blocks with the same equatorial
//              flux and the same first increment, as in AE8 MIN at 4 MeV
//              near L 3.5): a zero flux at one B/B0 inside the belt.
//           4. An L block of fewer than 4 words carries no flux; two such
//              blocks give 0. An increment of 0 at the start of a curve gives
//              an infinite slope, as in the published lookup.
double trara2(const int* m, int lv, int bv) {
  const double fistep = tra2.fistep;
  const double bvd = bv;
  // Word n of the block at offset i is m[i + n - 1].
  int i1 = 0, i2 = 0, len1 = 0, len2 = 0, j1 = 0, j2 = 0, pass = 0;
  double w = 0.0, g1 = 0.0, g2 = 0.0, k1 = 0.0, k2 = 0.0, d1 = 0.0, d2 = 0.0;
  double s1 = 0.0, s2 = 0.0, q1 = 0.0, q2 = 0.0, k = 0.0, g = 0.0, km = 0.0, gm = 0.0;

  // The L blocks bracketing lv (the first block has L = 0, so i1 is set).
  for (;;) {
    len2 = m[i2];
    if (m[i2 + 1] > lv) break;
    i1 = i2;
    len1 = len2;
    i2 += len2;
  }
  if (len1 < 4 && len2 < 4) return 0.0;
  if (m[i2 + 2] <= m[i1 + 2]) {
    std::swap(i1, i2);
    std::swap(len1, len2);
  }

start:
  w = (lv - m[i1 + 1]) / static_cast<double>(m[i2 + 1] - m[i1 + 1]);
  g1 = m[i1 + 2];
  g2 = m[i2 + 2];
  k1 = 0.0;
  k2 = 0.0;
  if (len1 < 4) goto first_vertex;
  // Walk the second curve up to bv.
  for (j2 = 4; j2 <= len2; ++j2) {
    d2 = m[i2 + j2 - 1];
    if (k2 + d2 > bvd) goto found_second;
    k2 += d2;
    g2 -= fistep;
  }
  ++pass;
  if (pass == 1) {
    std::swap(i1, i2);
    std::swap(len1, len2);
    goto start;
  }
  return 0.0;

found_second:
  if (pass == 1) {
    k2 = 0.0;
    goto first_vertex;
  }
  if (j2 == 4) goto from_equator;
  // Walk the first curve to the point of equal flux with the second curve's
  // last vertex below bv.
  s2 = g2 / k2;
  for (j1 = 4; j1 <= len1; ++j1) {
    d1 = m[i1 + j1 - 1];
    k1 += d1;
    g1 -= fistep;
    q1 = ((g1 / fistep) * d1 + k1) / ((d1 / fistep) * s2 + 1.0);
    if (q1 <= k1) goto matched;
  }
  if (q1 <= k2) return 0.0;
matched:
  if (q1 <= k2) goto from_inside;
  k1 = 0.0;
  k2 = 0.0;

first_vertex:
  j2 = 4;
  d2 = m[i2 + 3];
  g2 = m[i2 + 2];
  g1 = m[i1 + 2];

from_equator:
  gm = g1 + (g2 - g1) * w;
  km = 0.0;
  k2 += d2;
  g2 -= fistep;
  s2 = g2 / k2;
  if (len1 < 4) {
    d1 = 0.0;
    s1 = -900000.0;
    goto step_first;
  }
  j1 = 4;
  d1 = m[i1 + 3];
  k1 += d1;
  g1 -= fistep;
  s1 = g1 / k1;
  goto choose;

from_inside:
  km = q1 + (k2 - q1) * w;
  gm = km * s2;
  g2 -= fistep;
  k2 += d2;
  s1 = g1 / k1;
  s2 = g2 / k2;

choose:
  // Advance along whichever curve reaches the next line of equal flux first.
  if (s1 < s2) goto step_first;
  q2 = ((g2 / fistep) * d2 + k2) / ((d2 / fistep) * s1 + 1.0);
  k = k1 + (q2 - k1) * w;
  g = k * s1;
  if (k >= bvd) goto done;
  km = k;
  gm = g;
  if (j1 >= len1) return 0.0;
  ++j1;
  d1 = m[i1 + j1 - 1];
  g1 -= fistep;
  k1 += d1;
  s1 = g1 / k1;
  goto choose;

step_first:
  q1 = ((g1 / fistep) * d1 + k1) / ((d1 / fistep) * s2 + 1.0);
  k = q1 + (k2 - q1) * w;
  g = k * s2;
  if (k >= bvd) goto done;
  km = k;
  gm = g;
  if (j2 >= len2) return 0.0;
  ++j2;
  d2 = m[i2 + j2 - 1];
  g2 -= fistep;
  k2 += d2;
  s2 = g2 / k2;
  goto choose;

done:
  // bv on the last point reached: that point's flux. (Where the two curves
  // coincide the next point can lie on top of it, and the interpolation
  // below would divide 0 by 0.)
  if (bvd <= km) return std::max(gm, 0.0);
  if (k < km + 1.0e-10) return 0.0;
  return std::max(gm + (g - gm) * (bvd - km) / (k - km), 0.0);
}

// trara1: decimal logarithm of the integral flux above an energy in one map.
// Given:    header  const int*  the map's 8 header words
//           body    const int*  the map words (body[0] = map word 1)
//           l       double      L (its magnitude is used, capped at 15.6)
//           e       double      energy, MeV
// Given and returned:
//           bb0     double      B/B0; a value below 1 is set to 1
// Returned: f       double      log10 of the flux above e, cm^-2 s^-1; not
//                               below 0 (0: no flux)
// State:    writes tra2.fistep.
// Notes:    1. Linear in energy between the two tabulated energies that
//              bracket e, extrapolated from the first or the last pair
//              outside the map's energies.
//           2. Where the upper energy has no flux, the value is limited by the
//              extrapolation from the two energies below, so the integral
//              spectrum falls to zero no slower than it fell before.
//           3. The cap of L at 15.6 keeps the scaled L below the stored L
//              32767 that closes every L sub-map.
void trara1(const int* header, const int* body, double l, double* bb0, double e, double* f) {
  tra2.fistep = static_cast<double>(header[6] / header[1]);
  const double escale = header[3];
  const double fscale = header[6];
  const int lv = scaled_int(std::min(15.6, std::fabs(l)) * header[4]);
  if (*bb0 < 1.0) *bb0 = 1.0;
  const int bv = scaled_int((*bb0 - 1.0) * header[5]);

  // Energy blocks: word o+1 is the length of the block at offset o, word o+2
  // its energy; the list ends with a word 0.
  int o0 = 0, o1 = 0, o2 = body[0];
  int o3 = o2 + body[o2];
  int len3 = body[o3];
  double e0 = 0.0, e1 = body[o1 + 1] / escale, e2 = body[o2 + 1] / escale;
  while (e > e2 && len3 != 0) {
    o0 = o1;
    e0 = e1;
    o1 = o2;
    e1 = e2;
    o2 = o3;
    o3 += len3;
    len3 = body[o3];
    e2 = body[o2 + 1] / escale;
  }
  const double f1 = trara2(body + o1 + 2, lv, bv) / fscale;
  const double f2 = trara2(body + o2 + 2, lv, bv) / fscale;
  double v = f1 + (f2 - f1) * (e - e1) / (e2 - e1);
  if (f2 <= 0.0 && o1 != 0) {
    const double f0 = trara2(body + o0 + 2, lv, bv) / fscale;
    v = std::min(v, f0 + (f1 - f0) * (e - e0) / (e1 - e0));
  }
  *f = std::max(v, 0.0);
}

}  // namespace kest

// get_ae8_ap8_flux: AE8/AP8 flux of a series of points given by L and B/B0.
// Given:    ntime   int      number of points, at most 100000
//           whichm  int      1 AE8 MIN, 2 AE8 MAX, 3 AP8 MIN, 4 AP8 MAX
//           whatf   int      1 differential flux at E1 (cm^-2 s^-1 MeV^-1),
//                            2 mean differential flux over E1..E2 (same
//                            unit), 3 integral flux above E1 (cm^-2 s^-1)
//           nene    int      number of energies or bands, at most 25
//           energy  double[2 x 25]  (E1, E2) per column, MeV
//           lm      double[ntime]   L per point
// Given and returned:
//           bbo     double[ntime]   B/B0 per point; raised to 1 when below 1
//                                   (only for points whose L is in range,
//                                   and only when some column's energies
//                                   are usable, see Failure)
// Returned: flux    double[100000 x 25]  rows 1..ntime, all 25 columns
// State:    writes tra2.
// Failure:  fill value -1.0E31 for: every column beyond nene; a point whose L
//           is outside 1.2..11 (electrons) or 1.17..7 (protons), or the fill
//           value; an entry whose flux is zero (or whose upper value is zero
//           for the kinds 1 and 2, or, for those kinds, whose integral flux
//           does not fall over the step: at the edge of the belts, or a band
//           far below the maps' energies too narrow to resolve); every entry
//           of a column whose energy (E1, and E2 of a band of kind 2) is not
//           positive and finite; every entry when whichm or whatf is out of
//           range (nothing printed).
//           ntime above 100000 or nene above 25: one message line, the fill
//           value in the first min(ntime, 100000) rows, nothing computed.
// Notes:    1. The differential flux at E is the difference of the integral
//              fluxes at E - 0.001 and E + 0.001 MeV over 0.002 MeV.
//           2. A band of zero width (E2 = E1), or narrower than 1e-9 E1,
//              gives the differential flux at E1 of note 1, not 0/0 or the
//              rounding noise of two nearly equal integral fluxes. It stands
//              for the limit of the band mean; at a map energy it mixes the
//              slopes on both sides (see energy_band.hpp).
extern "C" void get_ae8_ap8_flux_(int* ntime, int* whichm, int* whatf, int* nene, double* energy, double* bbo,
                                  double* lm, double* flux) {
  using kest::baddata;
  if (!kest::flux_call_fits(*ntime, *nene, flux)) return;
  for (int k = 0; k < kest::kFluxMaxEnergies; ++k)
    for (int i = 0; i < *ntime; ++i) flux[i + kest::kFluxMaxPoints * k] = baddata;
  const MapChoice c = map_of(*whichm);
  if (c.map == nullptr) return;
  const int* header = c.map;
  const int* body = c.map + 8;
  const int kind = *whatf;
  // The maps hold fluxes of positive energies only; below their first energy
  // the lookup extrapolates, which at zero or a negative energy runs away
  // (1e43 and more, or not a number). A column with an energy that is not
  // positive and finite keeps the fill value.
  bool usable[kest::kFluxMaxEnergies];
  for (int k = 0; k < *nene; ++k) {
    const double e1 = energy[2 * k], e2 = energy[2 * k + 1];
    const bool band = kind == 2 && !kest::narrow_band(e1, e2);
    usable[k] = std::isfinite(e1) && e1 > 0.0 && (!band || (std::isfinite(e2) && e2 > 0.0));
  }
  for (int i = 0; i < *ntime; ++i) {
    const double l = lm[i];
    if (!(l >= c.lmin && l <= c.lmax)) continue;
    for (int k = 0; k < *nene; ++k) {
      if (!usable[k]) continue;
      const double e1 = energy[2 * k], e2 = energy[2 * k + 1];
      double& out = flux[i + kest::kFluxMaxPoints * k];
      double f1 = 0.0, f2 = 0.0;
      if (kind == 1 || (kind == 2 && kest::narrow_band(e1, e2))) {
        kest::trara1(header, body, l, &bbo[i], e1 - 0.001, &f1);
        kest::trara1(header, body, l, &bbo[i], e1 + 0.001, &f2);
        const double j1 = std::pow(10.0, f1);
        if (j1 > 1.0 && f2 > 0.0) out = positive_or_fill((j1 - std::pow(10.0, f2)) * 500.0);
      } else if (kind == 2) {
        kest::trara1(header, body, l, &bbo[i], e1, &f1);
        kest::trara1(header, body, l, &bbo[i], e2, &f2);
        const double j1 = std::pow(10.0, f1);
        if (j1 > 1.0 && f2 > 0.0) out = positive_or_fill((j1 - std::pow(10.0, f2)) / (e2 - e1));
      } else if (kind == 3) {
        kest::trara1(header, body, l, &bbo[i], e1, &f1);
        if (f1 > 0.0) out = std::pow(10.0, f1);
      }
    }
  }
}

// fly_in_nasa_aeap1: AE8/AP8 flux along a series of positions.
// Given:    ntime    int      number of points, at most 100000
//           sysaxes  int      position system 0..8 (GDZ, GEO, GSM, GSE, SM,
//                             GEI, MAG, SPH, RLL)
//           nene     int      number of energies or bands, at most 25
//           energy   double[2 x 25]  (E1, E2) per column, MeV
//           iyr, idoy int[ntime]     year, day of year of each point
//           ut       double[ntime]   seconds of the day
//           x1, x2, x3 double[ntime] positions (not written)
// Given and returned:
//           whichm   int      1 AE8 MIN, 2 AE8 MAX, 3 AP8 MIN, 4 AP8 MAX;
//                             another value: warning, replaced by 1
//           whatf    int      1 differential, 2 band mean, 3 integral;
//                             another value: warning, replaced by 1
// Returned: flux     double[100000 x 25] as get_ae8_ap8_flux_
// State:    writes magmod = (0, 0, 2; or 3 for AP8 MAX), flag_l = 0,
//           dip_ang (tilt of the map epoch), the internal field (Jensen-Cain
//           1960, or GSFC 12/66 for AP8 MAX), the sun and axes state (map
//           epoch, or the last point's time for the systems 2..5), tra2; all
//           left so at return.
// Failure:  a point the field model refuses, or a position system outside
//           0..8: fill fluxes for the point. Sizes beyond the limits: as
//           get_ae8_ap8_flux_ (the field model is still set up).
// Notes:    1. The maps were built in the field of their epoch: Jensen-Cain
//              1960 (epoch 1960) for AE8 MIN, AE8 MAX and AP8 MIN, GSFC
//              12/66 advanced to 1970 for AP8 MAX, without external field.
//           2. L is McIlwain's Lm of the point's field line; B/B0 the local
//              field over the minimum field on the line.
//           3. GSM, SM and MAG positions are read in the axes of the maps'
//              own dipole (that of the field model of note 1), not of the
//              IGRF dipole of the point's date that coord_trans1_ uses; the
//              two axes lie some 1.2 degrees apart in 2003 (1.7 in 2015), a
//              shift that changes fluxes by factors of ten and more at the
//              steep edges of the belts and moves points across the edges
//              of the maps. GDZ, GEO, GSE, GEI, SPH and RLL positions
//              do not depend on a dipole. The date of a point enters only
//              through these conversions (GSM, GSE, SM, GEI); the maps and
//              their field model are the same at every date.
extern "C" void fly_in_nasa_aeap1_(int* ntime, int* sysaxes, int* whichm, int* whatf, int* nene, double* energy,
                                   int* iyr, int* idoy, double* ut, double* x1, double* x2, double* x3,
                                   double* flux) {
  static kest::FlyWork work;
  kest::flag_l.set = 0;
  kest::magmod.kext = 0;
  kest::magmod.lstar_opt = 0;
  if (*whichm < 1 || *whichm > 4) {
    *whichm = 1;
    kest::flux_warn_replaced(kBadModel, kPickModel);
  }
  kest::magmod.kint = (*whichm == 4) ? 3 : 2;
  if (*whatf < 1 || *whatf > 3) {
    *whatf = 1;
    kest::flux_warn_replaced(kBadKind, kPickKind);
  }
  initize_();
  int epoch_year;
  if (kest::magmod.kint == 2) {
    jensenandcain1960_();
    epoch_year = 1960;
  } else {
    gsfc1266_();
    epoch_year = 1970;
  }
  int doy = 0;
  double secs = 0.0, psi = 0.0;
  init_gsm_(&epoch_year, &doy, &secs, &psi);
  kest::dip_ang.tilt = psi / (4.0 * std::atan(1.0) / 180.0);

  if (!kest::flux_call_fits(*ntime, *nene, flux)) return;
  kest::fly_points(work, *ntime, *sysaxes, iyr, idoy, ut, x1, x2, x3);
  get_ae8_ap8_flux_(ntime, whichm, whatf, nene, energy, work.bbo, work.lm, flux);
}
