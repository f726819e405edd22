// Helpers of the orbit driver tests: a scratch folder, files, captured output.
#ifndef KEST_TESTS_ORBIT_TEST_UTIL_HPP
#define KEST_TESTS_ORBIT_TEST_UTIL_HPP

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orbit_test {

// A fresh folder under the system's temporary directory.
inline std::string scratch_dir() {
  char tmpl[] = "/tmp/kest_orbit_XXXXXX";
  const char* d = mkdtemp(tmpl);
  return d ? std::string(d) : std::string("/tmp");
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path) << text;
}

inline std::vector<std::string> read_lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

inline bool exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

inline std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) lines.push_back(l);
  return lines;
}

}  // namespace orbit_test

#endif
