// AE8/AP8 fluxes at general points of the four maps: energies, L values and
// B/B0 values between the map nodes, B/B0 well above 1, all three kinds of
// flux, through the lookup of (L, B/B0) points and through the driver of
// positions in GDZ, GEO and GSM.
//
// The expected values come from an independent double-precision evaluation
// of the published NASA map format and its interpolation (energy blocks, L
// blocks and B/B0 increments read from the map files, interpolation in L and
// B/B0 along the lines of equal flux of the two L blocks, linear in energy
// between the two bracketing energy blocks, limited by the two blocks below
// where the upper block has no flux), written apart from this library's
// sources. It agrees bit for bit with the lookup on some 700000 values. The
// L and B/B0 values are chosen so that their scaled values lie well inside an
// integer step of the map, so the comparison is not at the mercy of a last
// bit; the tolerance is 1e-12 relative.
//
// For the positions, L and B/B0 come from a separate evaluation of the same
// chain in the field model of each map (Jensen-Cain 1960, GSFC 12/66 at 1970
// for AP8 MAX, from their published coefficients, no external field): the
// geodetic conversions, the low-precision sun for the GSM points, the
// Runge-Kutta field-line step of Lb/50, the bounce integral with its
// trapezoid end, Hilton's formula for Lm and the parabolic refinement of
// Bmin; the expected flux is the independent map evaluation at that L and
// B/B0. Those L and B/B0 lie at least 0.2 of a map step away from a step, so
// the last digits of a trace leave the flux unchanged; the tolerance is 1e-9
// relative.
#include <gtest/gtest.h>

#include <vector>

#include "kest.h"

namespace {

constexpr int kRows = 100000;

struct Point {
  int whichm, whatf;
  double e1, e2, l, bbo, flux;
};

// Lookup of (L, B/B0) points; whichm 1 AE8 MIN, 2 AE8 MAX, 3 AP8 MIN, 4 AP8
// MAX; whatf 1 differential at e1, 2 mean over e1..e2, 3 integral above e1.
const std::vector<Point> kInterior = {
    {1, 3, 0.37, 0.0, 2.3713, 4.3021, 94285.79999625178},
    {1, 1, 1.23, 0.0, 4.6122, 2.9117, 2341388.4044929873},
    {1, 2, 0.6, 1.6, 5.8341, 1.7352, 3267688.034873112},
    {2, 3, 2.71, 0.0, 3.4309, 6.8143, 50400.366654847436},
    {2, 1, 0.18, 0.0, 6.2738, 11.5237, 36628910.62004724},
    {2, 2, 1.1, 2.2, 1.8719, 1.4427, 47373.89712071477},
    {3, 3, 17.3, 0.0, 1.6302, 1.9103, 11552.011744682002},
    {3, 1, 3.1, 0.0, 2.2906, 3.7014, 66864.71369098581},
    {3, 2, 44.0, 71.0, 1.4103, 1.3702, 112.17926512792265},
    {4, 3, 0.7, 0.0, 3.1706, 9.4012, 881658.5606544035},
    {4, 1, 125.0, 0.0, 1.5203, 1.6204, 39.713187146844575},
    {4, 2, 7.3, 12.5, 2.6108, 2.3508, 1485.5801095515674},
};

// The upper energy block gives no flux here: the result is the extrapolation
// of the two blocks below, which is the smaller.
const std::vector<Point> kUpperBlockEmpty = {
    {1, 3, 2.1, 0.0, 2.6714, 18.8315, 2.484280465108011},
    {4, 3, 10.45, 0.0, 3.3306, 5.3309, 4.861505750930683},
};

// Above the highest energy of the map (400 MeV protons, 7 MeV electrons):
// extrapolation of the two highest blocks.
const std::vector<Point> kAboveTheMap = {
    {4, 3, 430.0, 0.0, 1.8316, 1.2611, 10.144890497662221},
    {2, 3, 7.3, 0.0, 3.1513, 1.3117, 1.2624079273404643},
};

// B/B0 beyond the last increment of the L block with the larger equatorial
// flux: the walk goes on along the other block from the equator (the inner
// edge of the proton belt, where the lower-flux block reaches further in B/B0),
// or, beyond both blocks or past the matched level of the other one, the
// sub-map has no flux and the energy step is limited by the blocks below.
// Expected values from a separate transcription of the map walk.
const std::vector<Point> kBeyondTheBrighterBlock = {
    {4, 3, 182.9, 0.0, 1.4383, 2.0969, 82.57198096467026},   // both energy blocks continue on the other block
    {4, 3, 43.2, 0.0, 1.4294, 2.0647, 305.65831459861147},   // the upper one does
    {3, 3, 70.6, 0.0, 1.5651, 2.9744, 68.57262534756738},    // both, AP8 MIN
    {1, 3, 4.04, 0.0, 1.6292, 2.8052, 1.0833098496781837},   // upper block: the walk of the lower one ends
    {2, 3, 5.64, 0.0, 3.9683, 49.3617, 2.7668638084449766},  // upper block: beyond both blocks
};

double lookup(const Point& p) {
  static std::vector<double> flux(kRows * 25);
  int n = 1, whichm = p.whichm, whatf = p.whatf, nene = 1;
  double energy[50] = {p.e1, p.e2};
  double lm = p.l, bbo = p.bbo;
  get_ae8_ap8_flux_(&n, &whichm, &whatf, &nene, energy, &bbo, &lm, flux.data());
  return flux[0];
}

TEST(Ae8Ap8Reference, LookupBetweenMapNodes) {
  for (const auto* table : {&kInterior, &kUpperBlockEmpty, &kAboveTheMap, &kBeyondTheBrighterBlock})
    for (const Point& p : *table)
      EXPECT_NEAR(lookup(p), p.flux, 1e-12 * p.flux)
          << "map " << p.whichm << " kind " << p.whatf << " E " << p.e1 << " L " << p.l << " B/B0 " << p.bbo;
}

struct Position {
  int sysaxes, whichm, whatf;
  double e1, e2;
  int iyr, idoy;
  double ut, x1, x2, x3, flux;
};

// sysaxes 0 GDZ (altitude km, latitude, longitude), 1 GEO and 2 GSM (Earth
// radii); the time matters for GSM only.
const std::vector<Position> kPositions = {
    {0, 1, 2, 0.3, 0.9, 2004, 117, 66793.1, 7871.1, -24.62, -154.96, 2205111.0945060784},
    {0, 2, 3, 2.3, 0.0, 2004, 126, 14118.0, 13987.4, -34.29, 48.59, 36353.2791727191},
    {0, 3, 1, 4.5, 0.0, 1985, 162, 34660.6, 3044.3, 22.08, -97.54, 13698.397009360633},
    {0, 4, 2, 7.0, 18.0, 1985, 136, 12064.1, 2047.8, 30.77, 51.43, 213.30104618662034},
    {1, 1, 3, 1.7, 0.0, 1999, 10, 9665.4, 2.651, 1.8993, 2.1532, 354854.4612817571},
    {1, 2, 1, 0.85, 0.0, 1999, 217, 60185.5, -0.4212, 1.8768, 1.2995, 1390872.5160901377},
    {1, 3, 2, 12.0, 35.0, 1999, 80, 16407.2, 0.6931, 1.1209, 0.5479, 683.091150982752},
    {1, 4, 3, 55.0, 0.0, 2004, 154, 39504.2, -0.7981, -0.8595, -0.396, 2196.9203712174044},
    {2, 1, 1, 0.55, 0.0, 2004, 5, 9665.9, 0.642, -1.5079, -0.0569, 8443393.585427897},
    {2, 2, 2, 0.45, 1.35, 1985, 190, 50328.8, -0.0923, -3.5759, 1.736, 10566655.128442885},
    {2, 3, 3, 25.0, 0.0, 1985, 212, 2141.5, 0.3796, 1.3965, -0.4523, 21034.697541571502},
    {2, 4, 1, 1.5, 0.0, 1999, 114, 17243.1, 0.921, 0.5426, -0.9838, 71164.25513854847},
};

TEST(Ae8Ap8Reference, DriverAtPositions) {
  static std::vector<double> flux(kRows * 25);
  for (const Position& p : kPositions) {
    int n = 1, sysaxes = p.sysaxes, whichm = p.whichm, whatf = p.whatf, nene = 1, iyr = p.iyr, idoy = p.idoy;
    double energy[50] = {p.e1, p.e2};
    double ut = p.ut, x1 = p.x1, x2 = p.x2, x3 = p.x3;
    fly_in_nasa_aeap1_(&n, &sysaxes, &whichm, &whatf, &nene, energy, &iyr, &idoy, &ut, &x1, &x2, &x3, flux.data());
    EXPECT_NEAR(flux[0], p.flux, 1e-9 * p.flux)
        << "sysaxes " << p.sysaxes << " map " << p.whichm << " kind " << p.whatf << " at " << p.x1 << ", " << p.x2
        << ", " << p.x3;
  }
}

}  // namespace
