// Output files written under a temporary name and renamed when complete.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "frame/atomic_output.hpp"

namespace fs = std::filesystem;
using kest::fio::AtomicOutput;

// umask, interposed: atomic_open asks for the umask between creating its
// temporary file and recording it as pending, the moment an interrupt could
// otherwise leave the file behind. When umask_raises is set the first call
// raises that signal there; otherwise it passes straight through.
namespace {
volatile int umask_raises = 0;
}  // namespace

extern "C" mode_t umask(mode_t mask) noexcept {
  using Fn = mode_t (*)(mode_t);
  static const Fn real = reinterpret_cast<Fn>(dlsym(RTLD_NEXT, "umask"));
  if (umask_raises != 0) {
    const int sig = umask_raises;
    umask_raises = 0;
    raise(sig);
  }
  return real(mask);
}

namespace {

struct ScratchDir {
  fs::path dir;
  ScratchDir() {
    char tmpl[] = "/tmp/kest_atomic_XXXXXX";
    dir = mkdtemp(tmpl);
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::permissions(dir, fs::perms::owner_all, ec);
    fs::remove_all(dir, ec);
  }
  std::string path(const char* name) const { return (dir / name).string(); }
  int entries() const {
    int n = 0;
    for ([[maybe_unused]] auto& e : fs::directory_iterator(dir)) ++n;
    return n;
  }
};

std::string slurp(const std::string& p) {
  std::ifstream f(p);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void put(const std::string& p, const std::string& text) { std::ofstream(p) << text; }

// Runs body in a child process and returns its exit status (-1 when it did
// not exit normally), so that limits and exits stay out of the test runner.
template <typename Body>
int in_child(Body body) {
  const pid_t pid = fork();
  if (pid < 0) return -2;
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(AtomicOutput, CommitReplacesTheOldFileOnlyWhenComplete) {
  ScratchDir d;
  const std::string out = d.path("result.txt");
  put(out, "old\n");
  AtomicOutput o;
  ASSERT_TRUE(kest::fio::atomic_open(o, out.c_str()));
  std::fputs("new\n", o.file);
  std::fflush(o.file);
  EXPECT_EQ(slurp(out), "old\n");  // still the old result while writing
  EXPECT_EQ(d.entries(), 2);
  ASSERT_TRUE(kest::fio::atomic_commit(o));
  EXPECT_EQ(slurp(out), "new\n");
  EXPECT_EQ(d.entries(), 1);  // no temporary file left
  // The finished file has the permissions of a plain create.
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(static_cast<unsigned>(fs::status(out).permissions()), 0666u & ~mask);
}

TEST(AtomicOutput, AbandonLeavesTheOldFileAndNoTemporary) {
  ScratchDir d;
  const std::string out = d.path("result.txt");
  put(out, "old\n");
  AtomicOutput o;
  ASSERT_TRUE(kest::fio::atomic_open(o, out.c_str()));
  std::fputs("half", o.file);
  kest::fio::atomic_abandon(o);
  EXPECT_EQ(slurp(out), "old\n");
  EXPECT_EQ(d.entries(), 1);
}

// A directory that cannot take the file is found before anything is written
// (root writes into read-only directories, so a path through a plain file
// stands for it here).
TEST(AtomicOutput, UnusableDirectoryFailsAtOpen) {
  ScratchDir d;
  const std::string plain = d.path("plain");
  put(plain, "x");
  AtomicOutput o;
  EXPECT_FALSE(kest::fio::atomic_open(o, (plain + "/result.txt").c_str()));
  EXPECT_EQ(errno, ENOTDIR);
  EXPECT_EQ(d.entries(), 1);
}

TEST(AtomicOutput, MissingDirectoryAndOverlongNameFailAtOpen) {
  AtomicOutput o;
  EXPECT_FALSE(kest::fio::atomic_open(o, "/nonexistent_kest_dir/result.txt"));
  EXPECT_EQ(errno, ENOENT);
  const std::string longname(kest::fio::max_output_path + 1, 'a');
  EXPECT_FALSE(kest::fio::atomic_open(o, longname.c_str()));
  EXPECT_EQ(errno, ENAMETOOLONG);
}

// A write that fails part-way (here a file-size limit, as a full disk would)
// fails the commit: the old file stays, no temporary file is left.
TEST(AtomicOutput, FailedWriteKeepsTheOldFile) {
  ScratchDir d;
  const std::string out = d.path("result.txt");
  put(out, "old\n");
  const int status = in_child([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim{100, 100};
    setrlimit(RLIMIT_FSIZE, &lim);
    AtomicOutput o;
    if (!kest::fio::atomic_open(o, out.c_str())) return 2;
    for (int i = 0; i < 1000; ++i) std::fputs("0123456789\n", o.file);
    return kest::fio::atomic_commit(o) ? 0 : 1;
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(slurp(out), "old\n");
  EXPECT_EQ(d.entries(), 1);
}

// A process started with a standard descriptor closed: the result file must
// not take its place, or whatever the process writes to that stream (the
// library's warnings go to stdout) lands in the file. Here stdout, or all
// three, are closed and more than a buffer's worth of text goes to stdout
// while the file is pending.
TEST(AtomicOutput, ClosedStandardStreamsDoNotReachTheFile) {
  for (int last_closed : {STDOUT_FILENO, STDERR_FILENO}) {
    SCOPED_TRACE(last_closed);
    ScratchDir d;
    const std::string out = d.path("result.txt");
    const int status = in_child([&]() -> int {
      close(STDOUT_FILENO);
      if (last_closed == STDERR_FILENO) {
        close(STDIN_FILENO);
        close(STDERR_FILENO);
      }
      static AtomicOutput o;
      if (!kest::fio::atomic_open(o, out.c_str())) return 2;
      if (fileno(o.file) <= STDERR_FILENO) return 3;
      std::fputs("result\n", o.file);
      for (int i = 0; i < 200; ++i) std::printf(" *** WARNING -- a library message\n");
      std::fflush(stdout);
      std::fprintf(stderr, "an error message\n");
      return kest::fio::atomic_commit(o) ? 0 : 4;
    });
    EXPECT_EQ(status, 0);
    EXPECT_EQ(slurp(out), "result\n");
    EXPECT_EQ(d.entries(), 1);
  }
}

// A process that exits while its output is pending (a library stop) leaves
// no temporary file and the old file as it was.
TEST(AtomicOutput, ExitWhilePendingRemovesTheTemporary) {
  ScratchDir d;
  const std::string out = d.path("result.txt");
  put(out, "old\n");
  const int status = in_child([&]() -> int {
    static AtomicOutput o;
    if (!kest::fio::atomic_open(o, out.c_str())) return 2;
    std::fputs("half", o.file);
    std::exit(1);
  });
  EXPECT_EQ(status, 1);
  EXPECT_EQ(slurp(out), "old\n");
  EXPECT_EQ(d.entries(), 1);
}

// An interrupt that arrives just after the temporary file is created, before
// the output is recorded as pending, still ends the process by that signal
// with the temporary file removed and the old file as it was.
TEST(AtomicOutput, InterruptWhileOpeningRemovesTheTemporary) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    ScratchDir d;
    const std::string out = d.path("result.txt");
    put(out, "old\n");
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      kest::fio::remove_pending_on_signals();
      static AtomicOutput o;
      umask_raises = sig;
      kest::fio::atomic_open(o, out.c_str());
      _exit(3);  // not reached: the signal ends the process
    }
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " " << status;
    EXPECT_EQ(slurp(out), "old\n") << sig;
    EXPECT_EQ(d.entries(), 1) << sig;
  }
}
