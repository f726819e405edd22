// The flux drivers and the field, L* and frame entries share the model state
// (model selection, internal field, sun and dipole axes, tilt, model caches).
// Each flux driver sets up its own fixed field model, and each field entry its
// own: a call gives the same numbers, bit for bit, whatever was called before
// it. Each case runs one call after another in a child process and compares
// the second call's results with those of the same call made alone in a
// fresh child process.
//
// The CRRES tables here are synthetic fixtures (smooth positive values, each
// file its own), not model data.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "crres_fixture.hpp"
#include "fresh_process.hpp"
#include "kest.h"

namespace {

using Values = std::vector<double>;
using Call = std::function<Values()>;

constexpr int kRows = 100000;
constexpr double kFill = -1.0e31;

// The flux array of one call (100000 x 25), its rows 1..ntime kept.
Values flux_rows(const std::vector<double>& flux, int ntime) {
  Values out;
  for (int k = 0; k < 25; ++k)
    for (int i = 0; i < ntime; ++i) out.push_back(flux[i + static_cast<std::size_t>(kRows) * k]);
  return out;
}

// Runs the calls in order in a child process and returns the results of the
// last one; an empty vector when the child does not end normally. The
// replaced-selector and IGRF-range warnings are not under test.
Values in_fresh_process(const std::vector<Call>& calls) {
  return kest_test::in_fresh_process(
      [&] {
        Values v;
        for (const Call& c : calls) v = c();
        return v;
      },
      true);
}

// ---- The calls -------------------------------------------------------------

std::string table_dir;  // set by the test before any call runs

// AE8/AP8 along two positions, in GDZ (sysaxes 0) or GSM (2).
Call nasa(int whichm, int whatf, int sysaxes) {
  return [=] {
    int ntime = 2, sys = sysaxes, wm = whichm, wf = whatf, nene = 2;
    double energy[50] = {};
    const bool electrons = whichm <= 2;
    energy[0] = electrons ? 0.5 : 10.0, energy[1] = electrons ? 0.8 : 20.0;
    energy[2] = electrons ? 1.5 : 50.0, energy[3] = electrons ? 2.5 : 80.0;
    int iyr[2] = {1975, 2004}, idoy[2] = {30, 250};
    double ut[2] = {3600.0, 70000.0};
    double x1[2], x2[2], x3[2];
    if (sysaxes == 0) {
      x1[0] = 3000.0, x2[0] = 10.0, x3[0] = 40.0;  // km, degrees
      x1[1] = 8000.0, x2[1] = -25.0, x3[1] = 200.0;
    } else {
      x1[0] = 1.2, x2[0] = 1.0, x3[0] = 0.4;  // Earth radii
      x1[1] = -2.5, x2[1] = 1.5, x3[1] = -0.8;
    }
    std::vector<double> flux(25 * static_cast<std::size_t>(kRows), 7.0);
    void* a[13] = {&ntime, &sys, &wm, &wf, &nene, energy, iyr, idoy, ut, x1, x2, x3, flux.data()};
    fly_in_nasa_aeap_(13, a);
    return flux_rows(flux, 2);
  };
}

// CRRES along two GEO positions; whichm 5 picks each point's Ap15 table.
Call crres(int whichm, int whatf) {
  return [=] {
    int ntime = 2, sys = 1, wm = whichm, wf = whatf, nene = 2;
    double energy[50] = {};
    const bool protons = whichm <= 2;
    energy[0] = protons ? 3.0 : 1.0, energy[1] = protons ? 9.0 : 2.2;
    energy[2] = protons ? 20.0 : 3.0, energy[3] = protons ? 40.0 : 4.0;
    int iyr[2] = {1990, 2001}, idoy[2] = {100, 300};
    double ut[2] = {1000.0, 50000.0};
    double x1[2] = {protons ? 1.6 : 3.2, protons ? -1.3 : -4.0}, x2[2] = {1.2, 2.0}, x3[2] = {0.3, -0.5};
    double ap15[2] = {6.0, 30.0};
    std::vector<double> flux(25 * static_cast<std::size_t>(kRows), 7.0);
    std::string path = table_dir;
    int plen = static_cast<int>(path.size());
    void* a[16] = {&ntime, &sys, &wm, &wf, &nene, energy, iyr, idoy, ut, x1, x2, x3, ap15, flux.data(),
                   path.data(), &plen};
    fly_in_afrl_crres_(16, a);
    return flux_rows(flux, 2);
  };
}

// CRRES table lookup at given L and B/B0.
Call crres_lookup(int whichm) {
  return [=] {
    int ntime = 2, wm = whichm, wf = 2, nene = 1;
    const bool protons = whichm <= 2;
    double energy[50] = {};
    energy[0] = protons ? 5.0 : 1.0, energy[1] = protons ? 30.0 : 4.0;
    double bbo[2] = {1.3, 12.0}, lm[2] = {protons ? 2.0 : 3.0, protons ? 4.1 : 5.5}, ap15[2] = {8.0, 22.0};
    std::vector<double> flux(25 * static_cast<std::size_t>(kRows), 7.0);
    std::string path = table_dir;
    int plen = static_cast<int>(path.size());
    void* a[11] = {&ntime, &wm, &wf, &nene, energy, bbo, lm, ap15, flux.data(), path.data(), &plen};
    get_crres_flux_idl_(11, a);
    return flux_rows(flux, 2);
  };
}

// ruk or MEO GNSS over the table energies of the version.
Call mission(bool meo, int whichm) {
  return [=] {
    int launch = 1996, duration = 7, wm = whichm, wf = 3, nene = 0;
    double energy[100] = {}, lower[50] = {}, mean[50] = {}, upper[50] = {};
    void* a[9] = {&launch, &duration, &wm, &wf, &nene, energy, lower, mean, upper};
    if (meo)
      fly_in_meo_gnss_(9, a);
    else
      fly_in_ruk_(9, a);
    Values v(mean, mean + 50);
    v.insert(v.end(), lower, lower + 50);
    v.insert(v.end(), upper, upper + 50);
    v.push_back(nene);
    return v;
  };
}

double kp30[25] = {30.0};
// Olson-Pfitzer dynamic, Tsyganenko 1996 and Alexeev 2000 inputs in range.
double active[25] = {20.0, -30.0, 10.0, 420.0, 2.0, 1.0, -2.0, 0.0, 0.0, 0.0, 0.0, 0.0,
                     0.0,  0.0,   0.0,  0.0,   -200.0};

Call field(int kext, int kint, int iyr, int idoy, double ut) {
  return [=] {
    int ke = kext, sys = 1, y = iyr, d = idoy;
    int options[5] = {0, 0, 0, 0, kint};
    double t = ut, x1 = 2.2, x2 = -1.5, x3 = 0.7, b[4];
    void* a[12] = {&ke, options, &sys, &y, &d, &t, &x1, &x2, &x3, kext == 4 ? kp30 : active, b, &b[3]};
    get_field_(12, a);
    return Values(b, b + 4);
  };
}

Call magequator(int kext, int kint) {
  return [=] {
    int ke = kext, sys = 0, y = 2003, d = 180;
    int options[5] = {0, 0, 0, 0, kint};
    double t = 30000.0, x1 = 6000.0, x2 = 30.0, x3 = 120.0, out[4];
    void* a[12] = {&ke, options, &sys, &y, &d, &t, &x1, &x2, &x3, active, &out[0], &out[1]};
    find_magequator_(12, a);
    return Values(out, out + 4);
  };
}

Call lstar(int kext, int kint) {
  return [=] {
    int ntime = 1, ke = kext, sys = 0, y = 1998, d = 100;
    int options[5] = {1, 0, 0, 0, kint};
    double t = 3600.0, x1 = 9000.0, x2 = 20.0, x3 = 30.0, out[6];
    void* a[17] = {&ntime, &ke, options, &sys, &y, &d, &t, &x1, &x2, &x3, kp30,
                   &out[0], &out[1], &out[2], &out[3], &out[4], &out[5]};
    make_lstar_(17, a);
    return Values(out, out + 6);
  };
}

// GSM <-> GEO of the time, through the coordinate dispatcher.
Call coord(int in, int out, int iyr) {
  return [=] {
    int a1 = in, a2 = out, y = iyr, d = 77;
    double t = 40000.0, xin[3] = {1.5, -2.0, 0.6}, xout[3];
    void* a[7] = {&a1, &a2, &y, &d, &t, xin, xout};
    coord_trans_(7, a);
    return Values(xout, xout + 3);
  };
}

// A synthetic table of ne energies x ncells L cells, 34 B/B0 cells per
// record, in the "(34(D9.3,1x))" layout, its values falling smoothly with
// energy and B/B0 and scaled per file.
void write_table(const std::string& file, int ne, int ncells, double scale) {
  std::ofstream out(file);
  char field[16];
  for (int ie = 1; ie <= ne; ++ie)
    for (int il = 1; il <= ncells; ++il) {
      for (int ib = 1; ib <= 34; ++ib) {
        std::snprintf(field, sizeof field, "%9.3E", scale * std::pow(10.0, 5.0 - 0.15 * ie - 0.04 * ib + 0.02 * il));
        out << field << ' ';
      }
      out << '\n';
    }
}

struct Case {
  const char* name;
  Call before;
  Call after;
};

TEST(FluxCallOrder, EachCallGivesItsValueMadeAlone) {
  if (kest_test::rerun_alone_unless_first()) return;
  crres_test::TempDir dir;
  table_dir = dir.path;
  const char* names[10] = {"crrespro_quiet.txt", "crrespro_active.txt", "crresele_Average.txt",
                           "crresele_Worst_case.txt", "crresele_Ap1.txt", "crresele_Ap2.txt",
                           "crresele_Ap3.txt", "crresele_Ap4.txt", "crresele_Ap5.txt", "crresele_Ap6.txt"};
  for (int k = 0; k < 10; ++k) write_table(dir.path + names[k], k < 2 ? 22 : 10, k < 2 ? 90 : 86, 1.0 + 0.5 * k);

  const Case cases[] = {
      // A field or L* call, then a flux driver with its own fixed model.
      {"T89 IGRF field, then AE8 MAX", field(4, 0, 2005, 172, 43200.0), nasa(2, 3, 0)},
      {"Jensen-Cain field, then AP8 MAX (GSFC 12/66)", field(4, 2, 2005, 172, 43200.0), nasa(4, 1, 0)},
      {"L* in GSFC 12/66 with OP quiet, then AE8 MIN", lstar(5, 3), nasa(1, 2, 0)},
      {"Alexeev equator in the dipole, then CRRESELE by Ap15", magequator(12, 1), crres(5, 1)},
      {"T96 field in GSFC 12/66, then CRRESPRO active", field(7, 3, 1985, 182, 0.0), crres(2, 3)},
      {"GSM of 2099, then AP8 MIN along GSM points", coord(1, 2, 2099), nasa(3, 2, 2)},
      // A flux driver, then a field, L* or frame call with its own model.
      {"AE8 MAX, then T89 IGRF field", nasa(2, 3, 0), field(4, 0, 2005, 172, 43200.0)},
      {"AP8 MAX, then L* in IGRF", nasa(4, 1, 0), lstar(0, 0)},
      {"CRRES, then OP quiet field in the dipole of 1985 day 182", crres(1, 1), field(5, 1, 1985, 182, 0.0)},
      {"CRRES, then OP dynamic equator in IGRF", crres(3, 2), magequator(6, 0)},
      {"AE8 MIN along GSM points, then GSM to GEO", nasa(1, 1, 2), coord(2, 1, 1999)},
      // A flux driver, then another map, table or model.
      {"AP8 MAX, then AE8 MAX", nasa(4, 3, 0), nasa(2, 3, 0)},
      {"AE8 MIN, then AP8 MAX", nasa(1, 3, 0), nasa(4, 3, 0)},
      {"CRRESELE by Ap15, then the CRRESPRO quiet lookup", crres(5, 2), crres_lookup(1)},
      {"CRRESPRO lookup, then CRRESELE worst case", crres_lookup(2), crres(4, 3)},
      {"CRRES, then AE8 MAX", crres(4, 1), nasa(2, 1, 2)},
      {"ruk version 1, then version 3", mission(false, 1), mission(false, 3)},
      {"MEO version 1, then ruk version 2", mission(true, 1), mission(false, 2)},
      {"ruk version 3, then MEO version 2", mission(false, 3), mission(true, 2)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Values alone = in_fresh_process({c.after});
    const Values after = in_fresh_process({c.before, c.after});
    ASSERT_FALSE(alone.empty());
    // The case computes something: not every value the fill value.
    bool computed = false;
    for (double v : alone) computed = computed || (v != kFill && std::isfinite(v));
    EXPECT_TRUE(computed);
    ASSERT_EQ(after.size(), alone.size());
    std::size_t differ = 0, first = 0;
    for (std::size_t i = alone.size(); i-- > 0;)
      if (std::memcmp(&after[i], &alone[i], sizeof(double)) != 0) ++differ, first = i;
    EXPECT_EQ(differ, 0u) << "first at value " << first << ": " << after[first] << " after, " << alone[first]
                          << " alone";
  }
}

}  // namespace
