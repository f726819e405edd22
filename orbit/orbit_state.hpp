// Process-wide records of the orbit subsystem.
//
// One satellite is held at a time. Every routine of the SGP4/SDP4 core reads
// and writes the element record directly; nothing passes it as an argument.
#ifndef KEST_ORBIT_STATE_HPP
#define KEST_ORBIT_STATE_HPP

#include "kest/api.h"

namespace kest {

// elsetrec: the element set being propagated and the propagator's state.
//
// Element fields (designator .. epoch_jd): written by the element writers (the
// two-line element reader, the orbit-from-elements routine) and, for the seven
// mean elements, by sgp4init_; mean_motion is replaced by the Brouwer mean
// motion in sgp4init_.
// State fields (ay_coef on): written by sgp4init_ and the deep-space set-up
// (dscom, dsinit; dpper only reads them); read by sgp4_. In deep space sgp4_ writes back
// ay_coef, l_coef, three_cos2_m1, one_m_cos2, seven_cos2_m1 (from the perturbed
// inclination; recomputed before use in every call) and the resonance
// integrator state res_time .. res_rates_set. The integrator steps on a fixed
// grid of whole 720-minute steps from the epoch, so a later call continues
// from the grid point an earlier call reached (when the new time lies beyond
// it on the same side of the epoch) with the very arithmetic of a restart:
// a propagation depends only on the initialised record and the time, bit for
// bit, whatever calls came before.
// Units: angles radians, time minutes, lengths Earth radii of the constant set.
struct Elsetrec {
  char designator[12];   // international designator (10 characters + 2 blanks)
  int satellite_number;
  int element_number;
  int ephemeris_type;
  int revolution_number;
  int epoch_year;        // two digits, as read
  double bstar;          // drag term B*, per Earth radius
  double eccentricity;
  double inclination;
  double ascending_node;
  double perigee_argument;
  double mean_motion;       // rad/min (Brouwer after sgp4init_)
  double mean_anomaly;
  double mean_motion_dot;   // rad/min^2, stored only
  double mean_motion_ddot;  // rad/min^3, stored only
  double apogee_height;     // Earth radii above the reference sphere, stored only
  double perigee_height;    // Earth radii, stored only
  double semi_major_axis;   // Earth radii from the Kozai mean motion, stored only
  double epoch_jd;          // Julian date of the element epoch

  double ay_coef;           // -(J3/J2) sin i / 2
  double three_cos2_m1;     // 3 cos^2 i - 1
  double drag_c1, drag_c4, drag_c5;
  double drag_d2, drag_d3, drag_d4;
  double delta_m0;          // (1 + eta cos M0)^3
  double eta;
  double perigee_rate;      // rad/min
  double perigee_drag;      // B* C3 cos(omega0)
  double sin_m0;
  double t2_coef, t3_coef, t4_coef, t5_coef;
  double one_m_cos2;        // 1 - cos^2 i
  double seven_cos2_m1;     // 7 cos^2 i - 1
  double mean_anomaly_rate; // rad/min
  double node_rate;         // rad/min
  double l_coef;            // long-period mean-longitude coefficient
  double m_drag;
  double node_drag;
  double res_2201, res_2211, res_3210, res_3222, res_4410, res_4422, res_5220,
      res_5232, res_5421, res_5433;  // half-day resonance coefficients
  double deep_e_rate;
  double res_del1, res_del2, res_del3;  // one-day resonance coefficients
  double deep_i_rate, deep_m_rate, deep_node_rate, deep_perigee_rate;
  double lun_e3, lun_ee2;
  double per_e0, per_gh0, per_h0, per_i0, per_l0;  // periodic offsets at epoch (0)
  double sol_e2, sol_e3, sol_gh2, sol_gh3, sol_gh4, sol_h2, sol_h3, sol_i2,
      sol_i3, sol_l2, sol_l3, sol_l4;
  double gst_epoch;         // Greenwich sidereal time at epoch, rad
  double res_factor;        // rate offset of the resonant angle
  double lun_gh2, lun_gh3, lun_gh4, lun_h2, lun_h3, lun_i2, lun_i3, lun_l2,
      lun_l3, lun_l4;
  double res_lambda0;       // resonant angle at epoch
  double moon_m0, sun_m0;   // mean anomalies of Moon and Sun at epoch
  double res_time, res_lambda, res_motion;  // resonance integrator state:
                            // grid time (min), resonant angle, mean motion
  double res_ndot, res_nddot, res_ldot;  // rates at that state (when set)
  int res_rates_set;        // 1: res_ndot .. res_ldot belong to the state
  int resonance;            // 0 none, 1 one-day, 2 half-day
  int simple_drag;          // 1: simplified drag terms
  char init_flag;           // 'y' while sgp4init_ runs, 'n' afterwards
  char method;              // 'n' near-Earth, 'd' deep space
};
// Exported so that the test programs can inspect the propagator's state.
extern KEST_API Elsetrec elsetrec;

}  // namespace kest

#endif
