// The batch program end to end: each case runs kestrun in a fresh temporary
// folder on a small "epoch.tmp" and reads "position.tmp" back field by field.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
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

  // Runs kestrun in the folder; `before` is shell text run first in it
  // (ending in "&&"). Standard output goes to "stdout.txt", or nowhere:
  // closed when stdout_closed is set.
  RunResult run(const std::string& before = "", bool stdout_closed = false) {
    RunResult r;
    const std::string d = dir_.string();
    const std::string out = stdout_closed ? ">&-" : ">'" + d + "/stdout.txt'";
    const std::string cmd = "cd '" + d + "' && " + before + " '" + KESTRUN_PATH + "' " + out + " 2>'" + d +
                            "/stderr.txt'";
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

  // Files left beside position.tmp under a temporary name.
  int temp_files() const {
    int n = 0;
    for (const auto& e : fs::directory_iterator(dir_))
      if (e.path().filename().string().rfind("position.tmp.", 0) == 0) ++n;
    return n;
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
      // Records not on the hour have their EPOCH text checked too.
      {record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20") +
           record("                 abc", "2004-03-15T00:10:00", "   9", "  -75.20"),
       "epoch.tmp, line 2: EPOCH text (characters 1-20) is not a number\n"},
      {record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20") + "\n",
       "epoch.tmp, line 2: EPOCH text (characters 1-20) is not a number\n"},
      // A NUL byte once hid the rest of its line and the next record.
      {record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20") +
           record(kE0, "2004-03-15T00:10:00", "   9", std::string("  -75.\0" "20", 8)) +
           record(kE0, "2004-03-15T00:20:00", "  10", "  -75.20"),
       "epoch.tmp, line 2: control character (code 0) at character 54\n"},
      {std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + "\n",
       "epoch.tmp, line 1: control character (code 127) at character 1\n"},
      {std::string("\0\0\0\0", 4), "epoch.tmp, line 1: control character (code 0) at character 1\n"},
      {record(kE0, "2004-03-15T00:00:00", "   8", "\t -75.20"),
       "epoch.tmp, line 1: control character (code 9) at character 48\n"},
      // CR-only line ends: the file is refused, not read as one record.
      {"    63246528000000.0  2004-03-15T00:00:00    8   -75.20\r"
       "    63246528600000.0  2004-03-15T00:10:00    9   -75.20\r",
       "epoch.tmp, line 1: carriage return at character 56 inside the line (lines must end in LF or CR LF)\n"},
  };
  for (const auto& c : cases) {
    write_input(c.text);
    fs::remove(dir_ / "position.tmp");
    const RunResult r = run();
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, c.message);
    EXPECT_FALSE(r.has_output);
    EXPECT_EQ(temp_files(), 0);
  }
}

TEST_F(Kestrun, LineEndsAndLongLinesReadAsPlainLines) {
  // CR LF line ends, a last line without its LF and text past column 55 (also
  // beyond any line buffer) give the same output as the plain LF file.
  const std::string a = record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20");
  const std::string b = record("    63246528600000.0", "2004-03-15T00:10:00", "   9", "   19.20");
  const auto body = [](const std::string& rec) { return rec.substr(0, rec.size() - 1); };
  write_input(a + b);
  const RunResult plain = run();
  ASSERT_EQ(plain.status, 0) << plain.err;
  ASSERT_EQ(plain.lines.size(), 2u);
  const std::string variants[] = {
      body(a) + "\r\n" + body(b) + "\r\n",
      a + body(b),
      body(a) + "\r\n" + body(b) + "\r",
      body(a) + " trailing note" + std::string(5000, 'x') + "\n" + b,
  };
  for (const auto& v : variants) {
    write_input(v);
    const RunResult r = run();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.lines, plain.lines);
  }
}

TEST_F(Kestrun, FailedOutputLeavesEarlierResultAndNoTemporaryFile) {
  // Ten records make a 2060-byte output, beyond a 1-block file-size limit.
  std::string ten = record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20");
  for (int i = 0; i < 9; ++i) ten += record(kE0, "2004-03-15T00:10:00", "   9", "  -75.20");
  struct Case {
    std::string input;
    std::string before;
    std::string message;
  } cases[] = {
      // A write that fails part-way (the disk full, a size limit).
      {ten, "ulimit -f 1 &&", "Error writing position file: File too large\n"},
      // A working directory that cannot take a file (removed under the run,
      // which holds even for root): found before anything is read.
      {ten, "mkdir gone && cd gone && rmdir ../gone &&", "Error opening position file: No such file or directory\n"},
      // A malformed record.
      {ten + "x\n", "", "epoch.tmp, line 11: EPOCH text (characters 1-20) is not a number\n"},
  };
  for (const auto& c : cases) {
    write_input(c.input);
    std::ofstream(dir_ / "position.tmp") << "earlier result\n";
    const RunResult r = run(c.before);
    EXPECT_EQ(r.status, 1) << c.before;
    EXPECT_EQ(r.err, c.message);
    EXPECT_EQ(r.lines, std::vector<std::string>{"earlier result"});
    EXPECT_EQ(temp_files(), 0);
  }
}

// A long run ended by Ctrl-C or a kill: the process ends by that signal, the
// temporary output is removed and the earlier result stays.
TEST_F(Kestrun, InterruptedRunLeavesNoTemporaryFile) {
  std::string many;  // 500 selected records: some ten seconds of tracing
  for (int i = 0; i < 500; ++i) many += record(kE0, "2004-03-15T00:00:00", "   8", "  -75.20");
  for (int sig : {SIGINT, SIGTERM}) {
    write_input(many);
    std::ofstream(dir_ / "position.tmp") << "earlier result\n";
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      if (chdir(dir_.c_str()) != 0) _exit(127);
      execl(KESTRUN_PATH, KESTRUN_PATH, static_cast<char*>(nullptr));
      _exit(127);
    }
    // The temporary file is created before any record is read.
    for (int k = 0; k < 1000 && temp_files() == 0; ++k) usleep(10000);
    EXPECT_EQ(temp_files(), 1);
    kill(pid, sig);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
    EXPECT_EQ(temp_files(), 0) << sig;
    std::ifstream o(dir_ / "position.tmp");
    std::string line;
    std::getline(o, line);
    EXPECT_EQ(line, "earlier result");
  }
}

// Started with standard output closed (from a daemon or a job runner), the
// program writes the same result: the library's warnings, which go to
// stdout, never reach "position.tmp". One record on the hour in each year
// from 2016 to 2099 draws one IGRF range warning per year, more text than
// one stdout buffer holds.
TEST_F(Kestrun, ClosedStandardOutputLeavesTheResultAsItIs) {
  using namespace std::chrono;
  std::string text;
  char epoch[32], tag[8];
  for (int y = 2016; y < 2100; ++y) {
    // kE0 is 2004-03-15T00:00:00 in milliseconds from 0000-01-01.
    const auto days = (sys_days{year{y} / March / 15} - sys_days{2004y / March / 15}).count();
    std::snprintf(epoch, sizeof epoch, "%20.1f", std::stod(kE0) + days * 86400000.0);
    std::snprintf(tag, sizeof tag, "%4d", y - 2015);
    text += record(epoch, std::to_string(y) + "-03-15T00:00:00", tag, "  -75.20");
  }
  write_input(text);
  const RunResult ref = run();
  ASSERT_EQ(ref.status, 0) << ref.err;
  ASSERT_EQ(ref.lines.size(), 84u);
  ASSERT_GT(fs::file_size(dir_ / "stdout.txt"), 4096u);  // the warnings
  fs::remove(dir_ / "position.tmp");
  const RunResult r = run("", true);
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.lines, ref.lines);
  EXPECT_EQ(temp_files(), 0);
}

// A file of exactly 100000 records fills every slot: all are taken and the
// last one, the only whole hour, gets the line it gets alone.
TEST_F(Kestrun, ExactlyOneHundredThousandRecordsAreTaken) {
  const std::string last = record(kE0, "2004-03-15T00:00:00", "9999", "   19.20");
  write_input(last);
  const RunResult alone = run();
  ASSERT_EQ(alone.status, 0) << alone.err;
  ASSERT_EQ(alone.lines.size(), 1u);

  std::string text;
  const std::string line = record("    63246527400000.0", "2004-03-14T23:50:00", "   8", "  -75.20");
  text.reserve(line.size() * 100000);
  for (int i = 0; i < 99999; ++i) text += line;
  write_input(text + last);
  const RunResult r = run();
  EXPECT_EQ(r.status, 0) << r.err;
  ASSERT_EQ(r.lines.size(), 100000u);
  EXPECT_EQ(r.lines.back(), alone.lines[0]);
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
