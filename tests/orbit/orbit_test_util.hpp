// Helpers of the orbit driver tests: a scratch folder, files, captured output.
#ifndef KEST_TESTS_ORBIT_TEST_UTIL_HPP
#define KEST_TESTS_ORBIT_TEST_UTIL_HPP

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace orbit_test {

// A fresh folder under the system's temporary directory, removed with all it
// holds when the object ends, also when a test stops half-way, and at exit
// when the process that made it ends inside the test (the child of a death
// test that the library stops with exit(1)). Should no folder be made, path
// is the temporary directory itself, which is left.
class ScratchDir {
 public:
  ScratchDir() {
    char tmpl[] = "/tmp/kest_orbit_XXXXXX";
    owned_ = mkdtemp(tmpl) != nullptr;
    path = owned_ ? std::string(tmpl) : std::string("/tmp");
    if (owned_) live().push_back({getpid(), path});
  }
  ~ScratchDir() {
    if (!owned_) return;
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
    auto& l = live();
    l.erase(std::remove_if(l.begin(), l.end(), [&](const Live& d) { return d.path == path; }),
            l.end());
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string path;

 private:
  struct Live {
    pid_t maker;
    std::string path;
  };
  // The folders not removed yet. A forked child inherits the list but ends
  // without touching its parent's folders. The exit handler is registered
  // after the list is made, so it runs while the list exists.
  static std::vector<Live>& live() {
    static std::vector<Live> dirs;
    static const bool at_exit = std::atexit([] {
      std::error_code ec;
      for (const Live& d : live())
        if (d.maker == getpid()) std::filesystem::remove_all(d.path, ec);
    }) == 0;
    (void)at_exit;
    return dirs;
  }

  bool owned_ = false;
};

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
