// The full-altitude MSIS family (MSISE-90 and NRLMSISE-00): one body for
// each of the expansions, the thermosphere, the full-altitude entry and the
// pressure-level search, run for one generation at a time.
//
// A Generation bundles what differs: its coefficient records, its node
// record, unit flag, version text, saved switches, its own caches, its
// message texts, and a Variant of the few terms in which the two models
// differ. The NRLMSISE-00 and MSISE-90 routines are one-line calls into the
// bodies with their own Generation, so each keeps caches of its own and the
// two never see each other's reused values.
#ifndef KEST_ATMOSPHERE_MSIS_FAMILY_HPP
#define KEST_ATMOSPHERE_MSIS_FAMILY_HPP

#include "atmosphere/atmosphere_state.hpp"
#include "atmosphere/msis_common.hpp"

namespace kest::msis {

// How a generation's expansions, thermosphere and pressure search differ.
struct Variant {
  // Thermospheric expansion.
  bool t1_flux_factor;      // T1 = p20 df (1 + p60 dfa) (else p20 df)
  bool history_second;      // also apt(3) from the decay of p(54)
  bool longitude_cached;    // clong, slong kept with the longitude
  // Lower-atmosphere expansion: coefficient numbers of the terms that differ.
  int glob_t2a, glob_t2b;   // P(4,1), P(6,1) terms of T2
  int glob_t5;              // P(6,1) term of T5
  int glob_t8a, glob_t8b;   // P(6,3) cross terms of T8
  int glob_apt;             // apt slot of the 3-hour T9 (0 or 2)
  bool glob_marker;         // demand 2 in word 100
  const char* glob_marker_msg;
  // Thermosphere.
  int n_mass_codes;         // 11 with anomalous O, else 10
  double mix_limits[8];     // He, O, N2 mixing, O2, Ar, N2 profile, H, N
  double thermal_diff[9];   // He, O, N2, O2, Ar, -, H, N, anomalous O
  bool tlb_below_300;       // renew t_lb below 300 km even with unchanged inputs
  bool tgn1_ratio_above_300;  // tgn1(2) keeps its (tn1(5)/base)^2 factor above 300 km
  bool o_flux_ratio;        // O: flux-dependent ratio and two-scale correction
  bool o2_departure;        // O2: departure correction at every altitude
  bool anomalous_o;         // ninth species
  bool h_then_n;            // H selector also gives N
  // Pressure-level search.
  int ghp_max_steps;        // evaluations before giving up
  int ghp_damped_steps;     // steps before this one are full (x ln 10), later shortened
  bool ghp_day_by_product;  // day fraction as iday * (1/91.25) (else iday / 91.25)
  const char* ghp_msg;
  // Profile messages.
  const char* splint_msg;
  const char* dnet_msg;
  int n_dens;               // density slots (9 or 8)
};

// The thermospheric expansion's own storage: its view of the expansion
// values and the inputs they belong to.
struct GlobeCache {
  Lpoly view{};
  double last_lat = 1000.0;
  double last_tloc = 1000.0;
  double last_lon = -999.0;
  double sw9 = 1.0;
  double last_day = -1.0;
  double p14 = -1000.0, p18 = -1000.0, p32 = -1000.0, p39 = -1000.0;
  double cd14 = 0.0, cd18 = 0.0, cd32 = 0.0, cd39 = 0.0;
};

// Day cosines of the lower-atmosphere expansion.
struct GlobSCache {
  double last_day = -1.0;
  double p14 = -1000.0, p18 = -1000.0, p32 = -1000.0, p39 = -1000.0;
  double cd14 = 0.0, cd18 = 0.0, cd32 = 0.0, cd39 = 0.0;
};

// The thermosphere's values kept between calls. t_lb, g0 and dm_n2 are the
// generation's own copies of what it writes into the shared gts3c and dmix.
struct ThermoCache {
  double tinf = 0.0;
  double alast = -999.0;
  double t_lb = 0.0;
  double g0 = 0.0;
  double dm_n2 = 0.0;
  double b28 = 0.0;
  double zhm28 = 0.0;
  double zn1[5] = {120.0, 110.0, 100.0, 90.0, 72.5};
};

// The full-altitude entry's values kept between calls.
struct EntryCache {
  double ds[9] = {};
  double ts[2] = {};
  double dm28m = 0.0;
  double alast = 99999.0;
  int mssl = -999;
  int metric = 0;  // unit flag of ds and dm28m
};

struct Generation {
  const Variant& v;
  // Coefficient records.
  double* tinf_coef;
  double (*dens_coef)[150];
  double* grad_coef;
  const double (*aux_coef)[25];
  double (*tlow_coef)[100];
  double (*tmid_coef)[100];
  const double* lb_temp;
  const double (*lb_dens)[10];
  const double* mid_avg;
  // Node temperatures and end gradients.
  double *tn1, *tn2, *tn3, *tgn1, *tgn2, *tgn3;
  int* metric_units;
  const Datime* version;
  double* saved_switches;
  InputCache* inputs;
  GlobeCache* globe;
  GlobSCache* glob;
  ThermoCache* thermo;
  EntryCache* entry;
};

// Sets all switches to 1 through the generation's setter when no setter ran.
void ensure_switches(Generation& g);

double globe(Generation& g, double yrd, double sec, double lat, double lon, double tloc,
             double f107a, double f107, const double* ap, double* p);
double glob(Generation& g, double* p);
void thermosphere(Generation& g, int iyd, double sec, double alt, double glat, double glong,
                  double stl, double f107a, double f107, const double* ap, int mass, double* d,
                  double* t);
void full_altitude(Generation& g, int iyd, double sec, double alt, double glat, double glong,
                   double stl, double f107a, double f107, const double* ap, int mass, double* d,
                   double* t);
void pressure_level(Generation& g, int iyd, double sec, double* alt, double glat, double glong,
                    double stl, double f107a, double f107, const double* ap, double* d,
                    double* t, double press);

// Writes the invalid-selector line " MASS<i5>  NOT VALID".
void report_invalid_mass(int mass);

}  // namespace kest::msis

#endif
