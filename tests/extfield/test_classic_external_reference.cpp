// Mead, Olson-Pfitzer quiet and dynamic, Tsyganenko 1987 short and long
// tail and Tsyganenko 1989 at general points (no symmetry plane, every
// component non-zero), across Kp classes, drivers and tilts of -35 to 35
// degrees.
//
// The expected values come from an independent double-precision evaluation
// of the models' published formulas and coefficient sets, written apart from
// this library's sources (the field as sums of monomials, current sheets and
// basis fields exactly as the models define them). The two evaluations order
// their sums differently, so they agree to rounding only: the tolerance is
// 1e-11 of the field's magnitude per component, well below any error a wrong
// term or coefficient would give and above the cancellation among the large
// polynomial terms of the Olson-Pfitzer dynamic model.
#include <cmath>
#include <gtest/gtest.h>

#include "ext_helpers.hpp"
#include "kest/extfield.h"
#include "magcoords/magcoords_state.hpp"

namespace {

using ext_test::Vec;

void expect_field(const Vec& got, const double want[3], const char* what, int row) {
  const double scale = std::sqrt(want[0] * want[0] + want[1] * want[1] + want[2] * want[2]);
  const double tol = 1e-11 * scale;
  EXPECT_NEAR(got.x, want[0], tol) << what << " row " << row;
  EXPECT_NEAR(got.y, want[1], tol) << what << " row " << row;
  EXPECT_NEAR(got.z, want[2], tol) << what << " row " << row;
}

// Kp-class models: class, position (SM for Mead, GSM for the others, Earth
// radii), tilt (degrees), field (nT).
struct ClassRow {
  int iopt;
  double x, y, z, tilt;
  double b[3];
};

using ClassModel = void (*)(int*, double*, double*, double*, double*, double*, double*);

void mead_in_order(int* iopt, double* x, double* y, double* z, double* bx, double* by, double* bz) {
  mead_(x, y, z, iopt, bx, by, bz);
}

void check_class_model(ClassModel model, const ClassRow* rows, int n, const char* what) {
  for (int i = 0; i < n; ++i) {
    ClassRow r = rows[i];
    kest::dip_ang.tilt = r.tilt;
    Vec b{};
    model(&r.iopt, &r.x, &r.y, &r.z, &b.x, &b.y, &b.z);
    expect_field(b, r.b, what, i);
  }
}

TEST(ClassicExternalReference, Mead) {
  const ClassRow rows[] = {
      {1, -6.2, 3.1, 1.7, -23.0, {-6.507400765350777, 0.7894234351047765, -14.49440926387449}},
      {2, 9.5, -4.0, -3.3, 12.5, {-5.575858317867478, -0.11754442017794697, 19.78330586061755}},
      {3, -12.0, -7.5, 5.0, 31.0, {40.93771662384995, 15.471923078544464, 7.3786587789744225}},
      {4, 3.0, 11.0, -8.0, -35.0, {-37.77468986297258, 30.585025329946724, 31.697103720664465}},
  };
  check_class_model(mead_in_order, rows, 4, "mead");
}

TEST(ClassicExternalReference, Tsyganenko87ShortTail) {
  const ClassRow rows[] = {
      {1, -6.6, 2.0, 1.5, -17.0, {12.254772346281445, -0.3843477955587966, -14.498590523655082}},
      {3, 4.0, -3.5, -7.0, 28.0, {-3.197550060804891, 0.06930548569693218, 5.1676631627642795}},
      {5, -25.0, 10.0, -4.0, -35.0, {-4.883740091041541, 0.8161179078376746, -0.9545790654740829}},
      {8, -2.5, -1.5, 2.0, 11.0, {17.507522468414933, 4.306350133388773, -80.69567759184282}},
  };
  check_class_model(tsy87s_, rows, 4, "tsy87s");
}

TEST(ClassicExternalReference, Tsyganenko87LongTail) {
  const ClassRow rows[] = {
      {1, -6.6, 2.0, 1.5, -17.0, {11.820943083342192, -0.2916614565591532, -14.57010503359629}},
      {3, 4.0, -3.5, -7.0, 28.0, {-4.174499744318173, -0.4468550821022088, 6.020048406760028}},
      {4, -25.0, 10.0, -4.0, -35.0, {-3.1711785013904112, 1.570797098474251, 1.1014473596744059}},
      {6, -2.5, -1.5, 2.0, 11.0, {11.697036722434643, 3.403879819054638, -69.19401811034004}},
      {6, -55.0, -8.0, 12.0, 20.0, {14.919250778524232, 0.18728422295404826, 0.5242156408164}},
  };
  check_class_model(tsy87l_, rows, 5, "tsy87l");
}

TEST(ClassicExternalReference, Tsyganenko89) {
  const ClassRow rows[] = {
      {1, -6.6, 2.0, 1.5, -17.0, {17.998621956524023, -3.4742597564066866, -16.07793672755043}},
      {3, 4.0, -3.5, -7.0, 28.0, {-2.3431498463837777, -1.2006679635924882, 5.875487555927729}},
      {5, -25.0, 10.0, -4.0, -35.0, {-6.454111482343189, 4.357871989818949, -1.6366357833087455}},
      {7, -2.5, -1.5, 2.0, 11.0, {38.65192719621171, 24.579166374573227, -128.3155811414692}},
      {7, -55.0, -8.0, 12.0, 20.0, {18.671722877662248, 3.0190468359827403, 0.8523654511416241}},
  };
  check_class_model(t89c_, rows, 5, "t89c");
}

// Olson-Pfitzer quiet: SM position, tilt, field. The third row lies in the
// inner ramp between 2 and 2.5 Earth radii.
TEST(ClassicExternalReference, OlsonPfitzerQuiet) {
  const struct {
    double x, y, z, tilt;
    double b[3];
  } rows[] = {
      {-6.6, 2.0, 1.5, -17.0, {5.110255888457765, -2.3798944441640844, -18.927992650400768}},
      {4.0, -3.5, -7.0, 28.0, {-8.15167128207053, -3.6228283928683753, -2.9206502285332983}},
      {1.3, -1.1, 1.2, 9.0, {0.8761321363101793, -0.26553260776592147, -4.785706776001662}},
      {-10.0, 8.0, 6.5, -35.0, {20.416732139689245, -11.509004565581439, -10.540595575493128}},
      {14.0, -3.0, 4.0, 35.0, {-11.472472937531421, -6.976524836874875, -50.55477758579118}},
  };
  int i = 0;
  for (auto r : rows) {
    kest::dip_ang.tilt = r.tilt;
    Vec b{};
    bxyzmu_(&r.x, &r.y, &r.z, &b.x, &b.y, &b.z);
    expect_field(b, r.b, "bxyzmu", i++);
  }
}

// Olson-Pfitzer dynamic: density (cm^-3), speed (km/s), Dst (nT), SM
// position, field; drivers at both ends of their admitted ranges and between.
TEST(ClassicExternalReference, OlsonPfitzerDynamic) {
  const struct {
    double dens, vel, dst, x, y, z;
    double b[3];
  } rows[] = {
      {5.0, 300.0, 20.0, -6.6, 2.0, 1.5, {4.6838756094561855, -0.8124282830919628, -11.170897345756705}},
      {50.0, 500.0, -100.0, 4.0, -3.5, -7.0, {-19.059520297061127, -51.08473749277843, -89.30402839237925}},
      {12.0, 420.0, -35.0, -25.0, 10.0, -6.0, {-45.37120685568913, 3.6586927104672213, 1.1210862143662799}},
      {8.0, 350.0, 0.0, 8.0, -5.0, 3.0, {4.474179177150079, 4.587203213521379, 28.859811490798798}},
      {20.0, 460.0, -60.0, -40.0, 6.0, 3.0, {27.529803994347617, -0.7143531346527481, 2.701151055618013}},
      {30.0, 480.0, -80.0, -3.2, -2.1, 2.4, {49.87462701680343, 9.24660449926466, -176.2438575958717}},
  };
  int i = 0;
  for (auto r : rows) {
    kest::dip_ang.tilt = 23.0;  // the model has no tilt dependence
    Vec b{};
    bdyn_(&r.dens, &r.vel, &r.dst, &r.x, &r.y, &r.z, &b.x, &b.y, &b.z);
    expect_field(b, r.b, "bdyn", i++);
  }
}

}  // namespace
