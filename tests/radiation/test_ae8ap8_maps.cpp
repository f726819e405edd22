// The compiled AE8/AP8 maps against the published files, and the map lookup
// (trara1, trara2) against values derived by hand from the map layout.
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "radiation/ae8ap8_maps.hpp"
#include "radiation/flux_tables.hpp"
#include "radiation/radiation_state.hpp"

namespace {

using namespace kest::ae8ap8;

// The words of a published map file, header first, read with the file's own
// record layout (one blank, then fields of 6 characters).
std::vector<int> file_words(const std::string& name) {
  std::ifstream in(std::string(KEST_SOURCE_DIR) + "/data/ae8ap8/" + name);
  std::vector<int> w;
  std::string line;
  while (std::getline(in, line))
    for (std::size_t p = 1; p + 6 <= line.size(); p += 6) w.push_back(std::stoi(line.substr(p, 6)));
  return w;
}

struct MapCase {
  const char* file;
  const int* words;
  int size;          // header + map words as compiled
  int header[8];     // as compiled
  int file_word8;    // header word 8 of the published file
  double emev[20];   // tabulated energies, MeV
  int nenergy;
  int stored_above;  // AE8: the last five energies are stored one unit low
};

const MapCase kMaps[] = {
    {"ae8min.asc", elemin, 13176, {8, 4, 1964, 6400, 2100, 1024, 1024, 13168}, 13168,
     {0.04, 0.1, 0.25, 0.5, 0.75, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6, 6.5, 7}, 18, 13},
    {"ae8max.asc", elemax, 13556, {7, 4, 1970, 6400, 2100, 1024, 1024, 13548}, 13548,
     {0.04, 0.1, 0.25, 0.5, 0.75, 1, 1.5, 2, 2.5, 3, 3.5, 4, 4.5, 5, 5.5, 6, 6.5, 7}, 18, 13},
    {"ap8min.asc", promin, 16590, {2, 4, 1964, 100, 2048, 2048, 1024, 16582}, 16584,
     {0.1, 0.2, 0.4, 0.6, 0.8, 1, 2, 4, 6, 8, 10, 15, 20, 30, 50, 60, 80, 100, 200, 400}, 20, 20},
    {"ap8max.asc", promax, 16299, {2, 4, 1970, 100, 2048, 2048, 1024, 16291}, 16296,
     {0.1, 0.2, 0.4, 0.6, 0.8, 1, 2, 4, 6, 8, 10, 15, 20, 30, 50, 60, 80, 100, 200, 400}, 20, 20},
};

// Header words, word counts and the energy-block structure of every map:
// the tabulated energies, each L sub-map from L 0 to the stored L 32767, and
// the closing 0 as the last word.
TEST(Ae8Ap8Maps, HeadersCountsAndEnergyBlocks) {
  for (const MapCase& c : kMaps) {
    SCOPED_TRACE(c.file);
    for (int i = 0; i < 8; ++i) EXPECT_EQ(c.words[i], c.header[i]) << "header word " << i + 1;
    EXPECT_EQ(c.header[7] + 8, c.size);
    const int* body = c.words + 8;
    int o = 0, n = 0;
    while (body[o] != 0) {
      ASSERT_LT(n, c.nenergy);
      const int expect = static_cast<int>(std::lround(c.emev[n] * c.header[3])) - (n >= c.stored_above ? 1 : 0);
      EXPECT_EQ(body[o + 1], expect) << "energy block " << n + 1;
      const int end = o + body[o];
      int p = o + 2, first = body[p + 1], last = -1;
      while (p < end) {
        last = body[p + 1];
        p += body[p];
      }
      EXPECT_EQ(p, end);
      EXPECT_EQ(first, 0);
      EXPECT_EQ(last, 32767);
      o = end;
      ++n;
    }
    EXPECT_EQ(n, c.nenergy);
    EXPECT_EQ(o + 1, c.header[7]) << "the closing 0 is the last map word";
  }
}

// The compiled words are the published words, up to the closing 0; the
// proton files carry zero padding after it that the compiled maps drop.
TEST(Ae8Ap8Maps, WordsEqualPublishedFiles) {
  for (const MapCase& c : kMaps) {
    SCOPED_TRACE(c.file);
    const std::vector<int> w = file_words(c.file);
    ASSERT_EQ(static_cast<int>(w.size()), c.file_word8 + 8);
    EXPECT_EQ(w[7], c.file_word8);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(w[i], c.words[i]);
    for (int i = 8; i < c.size; ++i) ASSERT_EQ(w[i], c.words[i]) << "word " << i + 1;
    for (std::size_t i = c.size; i < w.size(); ++i) EXPECT_EQ(w[i], 0);
  }
}

double lookup(const int* map, double l, double bb0, double e) {
  double f = -1.0;
  kest::trara1(map, map + 8, l, &bb0, e, &f);
  return f;
}

// At a tabulated energy and a tabulated L the lookup returns the map's own
// values: log flux G/1024 at the equator, and (G - 256 n)/1024 at the rise of
// B/B0 that is the sum of the first n increments (each increment is the rise
// over which the log flux falls by a quarter decade). Checked on every L block
// of every energy block of the four published maps, read from the files.
TEST(Ae8Ap8Lookup, GridNodesGiveTheMapValues) {
  for (const MapCase& c : kMaps) {
    SCOPED_TRACE(c.file);
    const std::vector<int> w = file_words(c.file);
    const int* body = w.data() + 8;
    const double escale = w[3], lscale = w[4], bscale = w[5];
    int checked = 0;
    for (int o = 0; body[o] != 0; o += body[o]) {
      const double e = body[o + 1] / escale;
      for (int p = o + 2; p < o + body[o]; p += body[p]) {
        const int len = body[p], lstored = body[p + 1], g = body[p + 2];
        if (len < 4 || lstored == 0 || g <= 0) continue;
        // The walk matches equal fluxes on this block and the next one in L;
        // below the lowest flux the next block tabulates it gives up (no flux),
        // so only the levels both blocks reach are nodes of the lookup.
        const int q = p + len;
        const int next_lowest = body[q] >= 4 ? body[q + 2] - 256 * (body[q] - 3) : body[q + 2];
        // Half a unit above the stored L and B/B0 keeps the truncation to the
        // scaled grid on the node itself.
        const double l = (lstored + 0.5) / lscale;
        ASSERT_NEAR(lookup(w.data(), l, 1.0, e), g / 1024.0, 1e-12) << "L " << l << " E " << e;
        int k = 0;
        for (int n = 1; 4 + n - 1 < len; ++n) {
          const int d = body[p + 3 + n - 1];
          k += d;
          const int gn = g - 256 * n;
          if (d == 0 || gn <= 0 || gn < next_lowest) break;
          ASSERT_NEAR(lookup(w.data(), l, 1.0 + (k + 0.5) / bscale, e), gn / 1024.0, 1e-9)
              << "L " << l << " E " << e << " vertex " << n;
          ++checked;
        }
      }
    }
    EXPECT_GT(checked, 1000);
  }
}

// The integral flux cannot rise with energy or with B/B0 (further from the
// equator along the same line): a sweep over the four maps.
TEST(Ae8Ap8Lookup, IntegralFluxFallsWithEnergyAndBB0) {
  const double ls[] = {1.23, 1.61, 2.37, 3.9, 5.55, 6.8};
  const double bs[] = {1.0, 1.17, 1.9, 4.3};
  for (const MapCase& c : kMaps) {
    SCOPED_TRACE(c.file);
    const double emax = c.emev[c.nenergy - 1] * 1.2;
    for (double l : ls) {
      double prev_b[60];
      for (int ib = 0; ib < 4; ++ib) {
        double prev = 1e9;
        for (int i = 0; i < 60; ++i) {
          const double e = c.emev[0] * std::pow(emax / c.emev[0], i / 59.0);
          const double f = lookup(c.words, l, bs[ib], e);
          EXPECT_LE(f, prev + 1e-12) << "L " << l << " B/B0 " << bs[ib] << " E " << e;
          if (ib > 0) {
            EXPECT_LE(f, prev_b[i] + 1e-12) << "L " << l << " B/B0 " << bs[ib] << " E " << e;
          }
          prev = f;
          prev_b[i] = f;
        }
      }
    }
  }
}

// A small map written here (3 energies, one L block each at L 2) whose lookup
// values follow by hand from the layout: header {id, 4, year, energy scale
// 100, L scale 100, B/B0 scale 100, flux scale 1024, words}.
struct Synthetic {
  std::vector<int> words;
};

// Energy block with one flux-carrying L block at stored L 200 (L = 2) of log
// g and the given increments, between the L 0 block and the closing L block.
void add_energy(std::vector<int>& b, int stored_e, int g, std::vector<int> incs) {
  std::vector<int> sub = {3, 0, 0};
  if (g > 0) {
    sub.push_back(3 + static_cast<int>(incs.size()));
    sub.push_back(200);
    sub.push_back(g);
    sub.insert(sub.end(), incs.begin(), incs.end());
  }
  sub.insert(sub.end(), {3, 32767, 0});
  b.push_back(2 + static_cast<int>(sub.size()));
  b.push_back(stored_e);
  b.insert(b.end(), sub.begin(), sub.end());
}

std::vector<int> synthetic(int g1, int g2, int g3) {
  std::vector<int> b;
  add_energy(b, 100, g1, {10, 20, 40, 80});
  add_energy(b, 200, g2, {10, 20, 40, 80});
  add_energy(b, 300, g3, {10, 20, 40, 80});
  b.push_back(0);
  std::vector<int> w = {1, 4, 2000, 100, 100, 100, 1024, static_cast<int>(b.size())};
  w.insert(w.end(), b.begin(), b.end());
  return w;
}

// In B/B0 at the tabulated L: a polyline through (0, G), (10, G - 256),
// (30, G - 512), (70, G - 768), (150, G - 1024) in scaled units; beyond its
// last vertex no flux. In energy: linear between the tabulated energies,
// extrapolated beyond them and floored at 0.
TEST(Ae8Ap8Lookup, SyntheticMapByHand) {
  const std::vector<int> m = synthetic(5 * 1024, 4 * 1024, 2 * 1024);
  const double l = 2.005;  // scaled L 200
  // B/B0 of a scaled rise bv (half a unit above, so that truncation gives bv).
  auto b = [](int bv) { return 1.0 + (bv + 0.5) / 100.0; };
  struct Row {
    double bb0, e, expect;
  } rows[] = {
      {1.0, 2.0, 4.0},
      {b(5), 2.0, 4.0 - 0.25 * 0.5},            // half the first increment
      {b(20), 2.0, 4.0 - 0.25 - 0.25 * 0.5},    // half the second
      {b(90), 2.0, 4.0 - 0.75 - 0.25 * 20 / 80},
      {b(150), 2.0, 3.0},                       // the last vertex
      {b(151), 2.0, 0.0},                       // beyond the last vertex
      {1.0, 1.5, 4.5},                          // between the first two energies
      {1.0, 2.5, 3.0},
      {1.0, 0.5, 5.5},                          // below the first energy
      {1.0, 3.5, 1.0},                          // above the last: extrapolated
      {1.0, 4.5, 0.0},                          // ... and floored at 0
      {0.3, 2.0, 4.0},                          // B/B0 below 1 is the equator
  };
  for (const Row& r : rows)
    EXPECT_NEAR(lookup(m.data(), l, r.bb0, r.e), r.expect, 1e-12) << "B/B0 " << r.bb0 << " E " << r.e;
  EXPECT_EQ(kest::tra2.fistep, 256.0);
  // The caller's B/B0 below 1 reads 1 afterwards.
  double bb0 = 0.3, f = 0.0;
  kest::trara1(m.data(), m.data() + 8, l, &bb0, 2.0, &f);
  EXPECT_EQ(bb0, 1.0);
}

// Where the upper energy has no flux, the value between it and the energy
// below is limited by the extrapolation of the two energies below: with 10
// and 4 decades at 1 and 2 MeV and none at 3 MeV, 2.5 MeV gives
// min(4 - 4 x 0.5, 4 - 6 x 0.5) = 1, and 2.8 MeV gives none.
TEST(Ae8Ap8Lookup, EmptyUpperEnergyLimitedByTheSlopeBelow) {
  const std::vector<int> m = synthetic(10 * 1024, 4 * 1024, 0);
  EXPECT_NEAR(lookup(m.data(), 2.005, 1.0, 2.5), 1.0, 1e-12);
  EXPECT_NEAR(lookup(m.data(), 2.005, 1.0, 2.2), 4.0 - 6.0 * 0.2, 1e-12);
  EXPECT_EQ(lookup(m.data(), 2.005, 1.0, 2.8), 0.0);
  // A flux-less first pair is not limited (there is no energy below).
  const std::vector<int> z = synthetic(4 * 1024, 0, 0);
  EXPECT_NEAR(lookup(z.data(), 2.005, 1.0, 1.5), 2.0, 1e-12);
}

// Between two tabulated L values the equatorial log flux is linear in the
// scaled L: AP8 MIN at 10 MeV, a quarter of the way between each pair of
// adjacent flux-carrying L blocks, against the words of the published file.
TEST(Ae8Ap8Lookup, EquatorLinearInLBetweenBlocks) {
  const std::vector<int> w = file_words("ap8min.asc");
  const int* body = w.data() + 8;
  int o = 0;
  while (body[o + 1] != 1000) o += body[o];  // the 10 MeV block
  int checked = 0;
  for (int p = o + 2; body[p + body[p] + 1] != 32767; p += body[p]) {
    const int q = p + body[p];
    if (body[p] < 4 || body[q] < 4 || body[p + 2] == 0 || body[q + 2] == 0) continue;
    const int l1 = body[p + 1], l2 = body[q + 1];
    if (l2 - l1 < 4) continue;
    const int lv = (3 * l1 + l2) / 4;
    const double expect = (body[p + 2] + (body[q + 2] - body[p + 2]) * double(lv - l1) / (l2 - l1)) / 1024.0;
    EXPECT_NEAR(lookup(w.data(), (lv + 0.5) / 2048.0, 1.0, 10.0), expect, 1e-12) << "scaled L " << lv;
    ++checked;
  }
  EXPECT_GT(checked, 10);
}

}  // namespace
