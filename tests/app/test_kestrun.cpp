// The batch program end to end: each case runs kestrun in a fresh temporary
// folder on a small "epoch.tmp" and reads "position.tmp" back field by field.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct RunResult {
  int status = -1;
  std::string err;
  bool has_output = false;
  std::vector<std::string> lines;
};

class Kestrun : public testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/kestrun_test_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override { fs::remove_all(dir_); }

  void write_input(const std::string& text) { std::ofstream(dir_ / "epoch.tmp", std::ios::binary) << text; }

  RunResult run() {
    RunResult r;
    const std::string cmd =
        "cd '" + dir_.string() + "' && '" + KESTRUN_PATH + "' >stdout.txt 2>stderr.txt";
    const int s = std::system(cmd.c_str());
    r.status = WIFEXITED(s) ? WEXITSTATUS(s) : -1;
    std::ifstream e(dir_ / "stderr.txt");
    std::stringstream ss;
    ss << e.rdbuf();
    r.err = ss.str();
    r.has_output = fs::exists(dir_ / "position.tmp");
    std::ifstream o(dir_ / "position.tmp");
    for (std::string line; std::getline(o, line);) r.lines.push_back(line);
    return r;
  }

  fs::path dir_;
};

// One input record in the format (A20,2X,A19,1X,I4,1X,F8.2).
std::string record(const std::string& epoch20, const std::string& time19, const std::string& tag4,
                   const std::string& lon8) {
  return epoch20 + "  " + time19 + " " + tag4 + " " + lon8 + "\n";
}

std::vector<std::string> fields(const std::string& line) {
  std::vector<std::string> f;
  std::stringstream ss(line);
  for (std::string item; std::getline(ss, item, ',');) f.push_back(item);
  return f;
}

const std::string kE0 = "    63246528000000.0";  // 2004-03-15T00:00:00

TEST_F(Kestrun, EmptyInputGivesEmptyOutput) {
  write_input("");
  const RunResult r = run();
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(r.has_output);
  EXPECT_TRUE(r.lines.empty());
}

TEST_F(Kestrun, MissingInputIsReported) {
  const RunResult r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "Error opening epoch file\n");
  EXPECT_FALSE(r.has_output);
}

TEST_F(Kestrun, RecordLayoutPositionsAndCarriedResults) {
  write_input(record("    63246527400000.0", "2004-03-14T23:50:00", "   7", "  -75.20") +
              record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20") +
              record("    63246528600000.0", "2004-03-15T00:10:00", "   9", "   19.20") +
              record("    63246529200000.0", "2004-03-15T00:20:00", "  10", "   13345"));
  const RunResult r = run();
  ASSERT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.lines.size(), 4u);
  const double ring = 6378.137 + 35793.0;
  const double lons[4] = {-75.20, -75.20, 19.20, 133.45};  // "   13345": two implied decimals
  for (std::size_t i = 0; i < 4; ++i) {
    const std::string& line = r.lines[i];
    EXPECT_EQ(line.size(), 205u);
    const auto f = fields(line);
    ASSERT_EQ(f.size(), 14u);  // text, time text, tag, x, y, z, 8 results
    EXPECT_EQ(line.substr(20, 2), ", ");
    double x = std::stod(f[3]), y = std::stod(f[4]), z = std::stod(f[5]);
    // Printed to 0.001 km: the radius squared holds to the rounding of x, y, z.
    EXPECT_NEAR(std::sqrt(x * x + y * y + z * z), ring, 1e-3);
    EXPECT_NEAR(std::atan2(y, x) * 180 / M_PI, lons[i], 1e-5);
    EXPECT_EQ(f[5], "       0.000");
    EXPECT_EQ(f[12], "  9.000000E+01");  // local pitch angle
  }
  // Own text, time text and tag on every line.
  EXPECT_EQ(r.lines[2].substr(0, 46), "    63246528600000.0, 2004-03-15T00:10:00,   9");
  // Before the first selected record: a failed computation (fill values, 90).
  const auto f0 = fields(r.lines[0]);
  for (int c = 6; c <= 11; ++c) EXPECT_EQ(f0[c], " -1.000000E+31") << c;
  EXPECT_EQ(f0[13], "  9.000000E+01");
  // Later records repeat the selected record's results.
  for (int i = 2; i < 4; ++i) EXPECT_EQ(r.lines[i].substr(85), r.lines[1].substr(85));
}

TEST_F(Kestrun, MalformedRecordsAreRefusedWithTheirLineNumber) {
  struct Case {
    std::string text;
    std::string message;
  } cases[] = {
      {record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20") +
           record(kE0, "2004-03-15T00:00:00", "  x8", "  -75.20"),
       "epoch.tmp, line 2: record tag (characters 43-46) is not an integer\n"},
      {record(kE0, "2004-03-15T00:00:00", "   8", "  -7a.20"),
       "epoch.tmp, line 1: longitude (characters 48-55) is not a number\n"},
      {record("    6324652800000x.0", "2004-03-15T00:00:00", "   8", "  -75.20"),
       "epoch.tmp, line 1: EPOCH text (characters 1-20) is not a number\n"},
      {record("                    ", "2004-03-15T00:00:00", "   8", "  -75.20"),
       "epoch.tmp, line 1: EPOCH text (characters 1-20) is not a number\n"},
  };
  for (const auto& c : cases) {
    write_input(c.text);
    fs::remove(dir_ / "position.tmp");
    const RunResult r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.message);
    EXPECT_FALSE(r.has_output);
  }
}

TEST_F(Kestrun, NonSelectedRecordWithBadEpochTextIsNotDecoded) {
  // Only selected records have their EPOCH text read as a number.
  write_input(record("    not-a-number    ", "2004-03-15T00:10:00", "   8", "  -75.20"));
  const RunResult r = run();
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines.size(), 1u);
}

TEST_F(Kestrun, MoreThan100000RecordsAreRefused) {
  std::string text;
  const std::string line = record(kE0, "2004-03-15T00:10:00", "   8", "  -75.20");
  text.reserve(line.size() * 100001);
  for (int i = 0; i < 100001; ++i) text += line;
  write_input(text);
  const RunResult r = run();
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("more than 100000 records"), std::string::npos) << r.err;
  EXPECT_FALSE(r.has_output);
}

}  // namespace
