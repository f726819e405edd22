// Computations that the MSIS generations share: switch setting, the
// input-change cache, gravity at a latitude, the spline profiles and the
// mixing and chemistry corrections.
//
// One body serves every generation; what differs between generations (the
// text of a message, a generation's own cache or saved switches) comes in as
// a parameter, so each generation's routine is a one-line call.
#ifndef KEST_ATMOSPHERE_MSIS_COMMON_HPP
#define KEST_ATMOSPHERE_MSIS_COMMON_HPP

namespace kest::msis {

// The year part of a scaled year-and-day (yrd / 1000), truncated toward zero.
// A value that is not a number or lies beyond the 32-bit range has no integer
// part: 0, which leaves the day part as the whole (non-finite or huge) value,
// so a non-finite date code gives an expansion that is not a number, as its
// input (a huge finite one, reachable only through a direct expansion call,
// gives a finite value without meaning).
inline int year_part_of(double scaled) {
  return (scaled > -2147483648.0 && scaled < 2147483648.0) ? static_cast<int>(scaled) : 0;
}

// Largest node count of one spline section (work arrays of the spline).
inline constexpr int kMaxNodes = 100;

// The coefficient records of the MSISE-90 and NRLMSISE-00 generations filled
// from their compiled word lists, in the order of the published records:
// the thermospheric expansions (tinf, nine densities, gradients, two
// auxiliary sets, four low and ten middle temperature sets), then what a
// generation adds (NRLMSISE-00: the semiannual set). Returns the position
// after the words read.
template <class Parm>
constexpr const double* fill_parm(Parm& r, const double* w) {
  for (double& v : r.tinf_coef) v = *w++;
  for (auto& row : r.dens_coef)
    for (double& v : row) v = *w++;
  for (double& v : r.grad_coef) v = *w++;
  for (auto& row : r.aux_coef)
    for (double& v : row) v = *w++;
  for (auto& row : r.tlow_coef)
    for (double& v : row) v = *w++;
  for (auto& row : r.tmid_coef)
    for (double& v : row) v = *w++;
  return w;
}

// Base temperatures, then the base densities species by species.
template <class Lower>
constexpr Lower make_lower(const double* w) {
  Lower r{};
  for (double& v : r.lb_temp) v = *w++;
  for (auto& row : r.lb_dens)
    for (double& v : row) v = *w++;
  return r;
}

// Mean node temperatures and gradient factors of the middle atmosphere.
template <class Mavg>
constexpr Mavg make_mavg(const double* w) {
  Mavg r{};
  for (double& v : r.mid_avg) v = *w++;
  return r;
}

// Sets csw from the 25 switch values sv and keeps them in `saved`:
// sw(i) = remainder of sv(i) by 2 with the sign of sv(i); swc(i) = 1 when
// |sv(i)| is 1 or 2 (or, with swc_any_nonzero, when sv(i) is non-zero),
// else 0. Then cswi.isw = 64999.
void set_switches(const double* sv, double* saved, bool swc_any_nonzero);

// Input-change cache of one generation: two slots, each holding the inputs
// and switches of its last change; every held value starts at -999.
struct InputCache {
  struct Slot {
    int iyd;
    double sec, glat, glong, stl, f107a, f107;
    double ap[7];
    double sw[25], swc[25];
  } slot[2];
};
InputCache make_input_cache();

// 0 when the inputs and the current switches equal those held in slot ic
// (1 or 2) of `cache`, else 1 after storing them there.
double inputs_changed(InputCache& cache, int iyd, double sec, double glat, double glong,
                      double stl, double f107a, double f107, const double* ap, int ic);

// Surface gravity (cm/s^2) and effective Earth radius (km) at latitude lat (deg).
void gravity_at_latitude(double lat, double* gv, double* reff);

// Cubic spline through (x, y), n nodes (ascending x); yp1, ypn end slopes, a
// value above 9.9e29 asking for a zero second derivative. Writes y2. The
// three spline routines take at most kMaxNodes nodes of a longer section.
void spline(const double* x, const double* y, int n, double yp1, double ypn, double* y2);

// Spline value at x; `bad_nodes_msg` is printed when two bracketing nodes coincide.
void splint(const double* xa, const double* ya, const double* y2a, int n, double x, double* y,
            const char* bad_nodes_msg);

// Integral of the spline from xa(1) to x.
void splini(const double* xa, const double* ya, const double* y2a, int n, double x, double* yi);

// Thermospheric temperature profile and diffusive density (Bates profile
// above zn1(1), spline section below it); xm = 0 returns the temperature.
// Below zn1(1) it writes tn1(1), tgn1(1), the join to the Bates profile. A
// node count below 1: the fill value, also in *tz.
double densu(double alt, double dlb, double tinf, double tlb, double xm, double alpha, double* tz,
             double zlb, double s2, int mn1, const double* zn1, double* tn1, double* tgn1,
             const char* bad_nodes_msg);

// Middle- and lower-atmosphere temperature profile and mixed density,
// carried down from d0 at zn2(1); xm = 0 returns the temperature. Above
// zn2(1) nothing is computed: the result is d0 (for xm = 0 the caller's
// *tz) and *tz is left as given. A node count below 1 of the upper section,
// or of the lower one at or below zn2(1): the fill value, also in *tz.
double densm(double alt, double d0, double xm, double* tz, int mn3, const double* zn3,
             const double* tn3, const double* tgn3, int mn2, const double* zn2,
             const double* tn2, const double* tgn2, const char* bad_nodes_msg);

// Blend of diffusive density dd and mixed density dm. `log_error_msg` names
// the routine in the message for non-positive densities; nullptr skips the
// positivity test altogether.
double dnet(double* dd, double dm, double zhm, double xmm, double xm, const char* log_error_msg);

// Associated Legendre functions of the sine of the latitude lat (degrees),
// plg[m][n] for degree n and order m, in the normalisation of the MSIS
// expansions: orders 0 and 1 up to degree 6, order 2 up to 7, order 3 up to 6.
void legendre(double lat, double (*plg)[9]);

// Weighted 3-hour Ap history of the MSIS expansions: with g(x) the
// saturating Ap function of shape a = |p(25)| and p(26), the sum of g over
// the history ap(2..7) with decay factor e per 3 hours, normalised.
double ap_history(const double* ap, double e, double p25, double p26);

// Chemistry and turbopause corrections: exp(r) far below zh, 1 far above.
double ccor(double alt, double r, double h1, double zh);
double ccor2(double alt, double r, double h1, double zh, double h2);

}  // namespace kest::msis

#endif
