// Atmosphere drivers: one MSIS generation over a series of points.
//
// One body serves the three drivers; a generation brings its model routine,
// its switch setter, its number of density slots and (MSIS-86, a
// thermosphere model) its lowest altitude.
#include <cmath>
#include <cstdio>

#include "atmosphere/atmosphere_state.hpp"
#include "frame/conventions.hpp"
#include "kest/atmosphere.h"

namespace {

// Largest number of points per call: the leading dimension of the callers'
// arrays throughout the library.
constexpr int kMaxPoints = 100000;

using ModelFn = void (*)(int*, double*, double*, double*, double*, double*, double*, double*,
                         double*, int*, double*, double*);
using SetterFn = void (*)(double*);

struct DriverSpec {
  const char* name;
  ModelFn model;
  SetterFn setter;
  int n_dens;
  bool has_floor;
  double floor_km;  // lowest altitude evaluated (MSIS-86)
};

void run_driver(const DriverSpec& g, int* ntime, int* whichAp, int* idoy, double* UT, double* alt,
                double* lat, double* lon, double* f107a, double* f107, double* ap,
                double* Density, double* Temp) {
  double sv[25];
  for (double& s : sv) s = 1.0;
  if (*whichAp == 2) sv[8] = -1.0;  // 3-hour Ap history
  g.setter(sv);
  kest::cswi.isw = kest::kSwitchesSet;

  // Points past the limit are not evaluated; the caller learns so rather
  // than finding whatever its arrays held there.
  if (*ntime > kMaxPoints) {
    char line[96];
    std::snprintf(line, sizeof line, "%s: more than %d points, only the first %d evaluated", g.name,
                  kMaxPoints, kMaxPoints);
    kest::msg(line);
  }
  const int n = *ntime > kMaxPoints ? kMaxPoints : *ntime;
  for (int i = 0; i < n; ++i) {
    double* dens = Density + static_cast<long>(g.n_dens) * i;
    double* temp = Temp + 2L * i;
    double api[7];
    // The fill value is what an earlier stage (an orbit row after a
    // propagation error, a failed conversion) leaves where it had no number:
    // read as a latitude, longitude or time it would give densities at an
    // angle or local time of 1e31 (and a longitude of -1000 or less turns
    // the models' longitude terms off), a plausible column of no place.
    using kest::is_value;
    bool finite = is_value(UT[i]) && is_value(alt[i]) && is_value(lat[i]) && is_value(lon[i]) &&
                  is_value(f107a[i]) && is_value(f107[i]);
    // All seven are handed on, but only the ones the models read are tested:
    // with the daily Ap (switch 9 = +1) the 3-hour history enters no term,
    // so a caller may leave those slots unset or not-a-number.
    const int ap_read = *whichAp == 2 ? 7 : 1;
    for (int k = 0; k < 7; ++k) {
      api[k] = ap[7L * i + k];
      if (k < ap_read) finite = finite && is_value(api[k]);
    }
    // Not reduced to 0-24 h: the models use it only through sines and cosines.
    double stl = lon[i] * (1.0 / 15.0) + UT[i] * (1.0 / 3600.0);
    // "not at least the floor" also catches a not-a-number altitude.
    const bool below = g.has_floor && !(alt[i] >= g.floor_km);
    if (!finite || below) {
      for (int k = 0; k < g.n_dens; ++k) dens[k] = kest::baddata;
      temp[0] = temp[1] = kest::baddata;
      continue;
    }
    int iyd = idoy[i];
    int mass = 48;
    double d[9] = {}, t[2] = {};
    g.model(&iyd, &UT[i], &alt[i], &lat[i], &lon[i], &stl, &f107a[i], &f107[i], api, &mass, d, t);
    // Finite inputs far outside the model's range (a flux or Ap of
    // thousands, an altitude far below the ground) overflow the expansions
    // or carry the profiles past their domain: a value that is not a number
    // or infinite, a negative density or a temperature that is not positive
    // is no result, and the point gets the fill value instead. Within the
    // model's range this leaves the computed points alone, with one
    // exception of the models themselves: in the strongest storms (Ap above
    // about 220) poleward of about 55 degrees the lower-thermosphere
    // temperature spline (NRLMSISE-00, rarely MSISE-90) can pass through
    // infinity to negative values, and points between about 109 and 121 km
    // get the fill value.
    bool sound = t[0] > 0.0 && t[1] > 0.0 && std::isfinite(t[0]) && std::isfinite(t[1]);
    for (int k = 0; k < g.n_dens; ++k) sound = sound && d[k] >= 0.0 && std::isfinite(d[k]);
    if (!sound) {
      for (int k = 0; k < g.n_dens; ++k) dens[k] = kest::baddata;
      temp[0] = temp[1] = kest::baddata;
      continue;
    }
    for (int k = 0; k < g.n_dens; ++k) dens[k] = d[k];
    temp[0] = t[0];
    temp[1] = t[1];
  }
}

constexpr DriverSpec kMsis86{"msis86", &gts5_, &tselec_, 8, true, 85.0};
constexpr DriverSpec kMsise90{"msise90", &gtd6_, &tselec5_, 8, false, 0.0};
constexpr DriverSpec kNrlmsise00{"nrlmsise00", &gtd7_, &tselec7_, 9, false, 0.0};

}  // namespace

// msis86, msise90, nrlmsise00: evaluate one generation at ntime points.
// Given:    ntime (at most 100000 are evaluated), whichAp (2: 3-hour Ap
//           history, else daily Ap), idoy, UT (s), alt (km), lat, lon (deg),
//           f107a, f107 per point, ap(7, ntime).
// Returned: Density(8 or 9, ntime) in cm-3 and g/cm3 (m-3 and kg/m3 while
//           the generation's unit setter meters, meter6 or meters7 asks for
//           metric units: the drivers leave that setting alone),
//           Temp(2, ntime) in K.
// State:    sets all switches through the generation's setter (switch 9 = -1
//           for whichAp 2) and leaves them so; through the model, writes the
//           generation's own caches and the shared MSIS records (see gtd7,
//           gtd6, gts5).
// Failure:  a point with an input that is not finite or is the fill value
//           (of ap, ap(1) only unless whichAp is 2), and for msis86 a point
//           below 85 km, gets the fill value -1.0E31 in all its outputs;
//           the model is not called for it.
//           A point whose evaluation gives a value that is not finite, a
//           negative density or a temperature that is not positive (finite
//           inputs far outside the model's range) gets the fill value too.
//           A count above 100000 prints the line " <driver>: more than
//           100000 points, only the first 100000 evaluated" (driver msis86,
//           msise90 or nrlmsise00) on standard output; the later points keep
//           what the caller's arrays held.
// Notes:    the local solar time lon/15 + UT/3600 is not reduced to 0-24 h;
//           the bare day of year is the date code (no year).
extern "C" void msis86_(int* ntime, int* whichAp, int* idoy, double* UT, double* alt, double* lat,
                        double* lon, double* f107a, double* f107, double* ap, double* Density,
                        double* Temp) {
  run_driver(kMsis86, ntime, whichAp, idoy, UT, alt, lat, lon, f107a, f107, ap, Density, Temp);
}

extern "C" void msise90_(int* ntime, int* whichAp, int* idoy, double* UT, double* alt, double* lat,
                         double* lon, double* f107a, double* f107, double* ap, double* Density,
                         double* Temp) {
  run_driver(kMsise90, ntime, whichAp, idoy, UT, alt, lat, lon, f107a, f107, ap, Density, Temp);
}

extern "C" void nrlmsise00_(int* ntime, int* whichAp, int* idoy, double* UT, double* alt,
                            double* lat, double* lon, double* f107a, double* f107, double* ap,
                            double* Density, double* Temp) {
  run_driver(kNrlmsise00, ntime, whichAp, idoy, UT, alt, lat, lon, f107a, f107, ap, Density, Temp);
}
