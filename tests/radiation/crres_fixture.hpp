// Scratch directory and synthetic-table values shared by the CRRES tests (the
// published tables are not shipped, so the tests write tables of their own).
#ifndef KEST_TEST_CRRES_FIXTURE_HPP
#define KEST_TEST_CRRES_FIXTURE_HPP

#include <stdlib.h>

#include <filesystem>
#include <string>

namespace crres_test {

// A fresh directory under /tmp, removed with everything in it; path ends in
// "/" so that it serves as the tables' path prefix.
struct TempDir {
  std::string path;
  TempDir() {
    char tmpl[] = "/tmp/kest_crres_XXXXXX";
    const char* d = mkdtemp(tmpl);
    path = std::string(d ? d : "/tmp/kest_crres_failed") + "/";
  }
  ~TempDir() { std::filesystem::remove_all(path); }
};

// The value a synthetic table stores for energy ie, B/B0 cell ib and L cell
// il (all 1-based): each cell's value names the cell, so a lookup shows
// which cell it read.
inline double code(int ie, int ib, int il) { return ie * 1e6 + ib * 1e3 + il; }

}  // namespace crres_test

#endif
