// The value of a computation made in a process in which nothing has run
// yet: the reference for tests that the library's global model state (model
// selection, epochs, axes, caches) lets no earlier call change a later one;
// and a test of the state before the first call, run alone.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <set>
#include <string>
#include <vector>

namespace kest_test {

// True when a test other than the running one has started in this process
// (in this or an earlier --gtest_repeat round): the library's records then
// hold what that test left.
inline bool other_tests_ran() {
  const ::testing::UnitTest* u = ::testing::UnitTest::GetInstance();
  const ::testing::TestInfo* self = u->current_test_info();
  for (int i = 0; i < u->total_test_suite_count(); ++i) {
    const ::testing::TestSuite* suite = u->GetTestSuite(i);
    for (int j = 0; j < suite->total_test_count(); ++j) {
      const ::testing::TestInfo* t = suite->GetTestInfo(j);
      if (t != self && t->result()->start_timestamp() != 0) return true;
    }
  }
  return false;
}

// Runs f in a child forked now and returns the doubles it produced; forked
// before the caller evaluates anything, the child sees a process in which no
// model has run yet. That holds only when no other test ran in this process
// first, so a test that calls this begins with rerun_alone_unless_first(),
// and a call made after other tests of the process fails. Empty when the child does not end
// normally (or its results do not all arrive). quiet sends the child's
// standard output to /dev/null (warnings not under test).
inline std::vector<double> in_fresh_process(const std::function<std::vector<double>()>& f,
                                            bool quiet = false) {
  EXPECT_FALSE(other_tests_ran())
      << "in_fresh_process after other tests of this process: its child would inherit their "
         "model state (begin the test with rerun_alone_unless_first())";
  int fd[2];
  if (pipe(fd) != 0) return {};
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid < 0) {
    close(fd[0]);
    close(fd[1]);
    return {};
  }
  if (pid == 0) {
    close(fd[0]);
    if (quiet && std::freopen("/dev/null", "w", stdout) == nullptr) _exit(3);
    const std::vector<double> v = f();
    const long n = static_cast<long>(v.size());
    auto write_all = [&](const void* src, std::size_t len) {
      const char* p = static_cast<const char*>(src);
      while (len > 0) {
        const ssize_t w = write(fd[1], p, len);
        if (w <= 0) return false;
        p += w, len -= static_cast<std::size_t>(w);
      }
      return true;
    };
    const bool ok = write_all(&n, sizeof n) && write_all(v.data(), v.size() * sizeof(double));
    _exit(ok ? 0 : 4);
  }
  close(fd[1]);
  auto read_all = [&](void* dst, std::size_t len) {
    char* q = static_cast<char*>(dst);
    while (len > 0) {
      const ssize_t r = read(fd[0], q, len);
      if (r <= 0) return false;
      q += r, len -= static_cast<std::size_t>(r);
    }
    return true;
  };
  long n = -1;
  std::vector<double> v;
  if (read_all(&n, sizeof n) && n >= 0) {
    v.resize(static_cast<std::size_t>(n));
    if (!read_all(v.data(), v.size() * sizeof(double))) v.clear();
  }
  close(fd[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  return v;
}

// Tests of what the library holds before its first call need a process in
// which nothing has run. CTest gives every test a process of its own; when
// the whole test program runs in one process, a test that is not the first
// to run there (or runs there again, --gtest_repeat) runs again alone, in a
// new process of the same program, and that run's verdict is the test's.
// Returns true when it did so: the caller then returns at once.
inline bool rerun_alone_unless_first() {
  const ::testing::TestInfo* self = ::testing::UnitTest::GetInstance()->current_test_info();
  static std::set<const ::testing::TestInfo*> started;  // tests that called this here
  const bool again = !started.insert(self).second;
  if (!again && !other_tests_ran()) return false;
  const std::string filter =
      std::string("--gtest_filter=") + self->test_suite_name() + "." + self->name();
  std::fflush(stdout);
  const pid_t pid = fork();
  if (pid == 0) {
    execl("/proc/self/exe", "/proc/self/exe", filter.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = -1;
  if (pid > 0) waitpid(pid, &status, 0);
  EXPECT_TRUE(pid > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "run alone in a new process, " << self->test_suite_name() << "." << self->name()
      << " failed";
  return true;
}

}  // namespace kest_test
