// Output files written under a temporary name and renamed when complete (see
// atomic_output.hpp).
#include "frame/atomic_output.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

namespace kest::fio {
namespace {

// pending_output: the output being written, if any. Written by atomic_open,
// cleared by atomic_commit and atomic_abandon; read by the exit handler and
// the signal handler.
struct PendingOutput {
  AtomicOutput* volatile out = nullptr;  // also read by the signal handler
  bool handler_registered = false;
};
PendingOutput pending_output;

void remove_pending_at_exit() {
  if (pending_output.out != nullptr) atomic_abandon(*pending_output.out);
}

// Only async-signal-safe calls: unlink the temporary name, restore the
// default action and raise the signal again. C++ linkage, so that it stays
// internal: a C-linkage name would be exported from the shared library, and
// a caller's own function of that name would then become the handler.
void remove_pending_and_reraise(int sig) {
  AtomicOutput* out = pending_output.out;
  if (out != nullptr) unlink(out->temp_name);
  struct sigaction dfl = {};
  dfl.sa_handler = SIG_DFL;
  sigemptyset(&dfl.sa_mask);
  sigaction(sig, &dfl, nullptr);
  raise(sig);
}

// SignalHold: blocks the interrupts that remove_pending_on_signals handles
// for its lifetime and restores the caller's mask (errno kept, since callers
// report it).
class SignalHold {
 public:
  SignalHold() {
    sigset_t block;
    sigemptyset(&block);
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&block, sig);
    sigprocmask(SIG_BLOCK, &block, &saved_);
  }
  ~SignalHold() {
    const int e = errno;
    sigprocmask(SIG_SETMASK, &saved_, nullptr);
    errno = e;
  }
  SignalHold(const SignalHold&) = delete;
  SignalHold& operator=(const SignalHold&) = delete;

 private:
  sigset_t saved_;
};

}  // namespace

bool atomic_open(AtomicOutput& out, const char* final_name) {
  out = AtomicOutput{};
  const std::size_t len = std::strlen(final_name);
  if (len == 0) {
    errno = ENOENT;
    return false;
  }
  if (len > static_cast<std::size_t>(max_output_path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(out.final_name, final_name, len + 1);
  std::memcpy(out.temp_name, final_name, len);
  std::memcpy(out.temp_name + len, ".tmpXXXXXX", 11);
  // From the creation of the temporary file until it is recorded as pending,
  // an interrupt would find nothing to remove and leave the file behind: the
  // interrupts are held back over that stretch and arrive once it is known.
  const SignalHold hold;
  int fd = mkstemp(out.temp_name);
  if (fd < 0) return false;
  // A process started with standard output (or input, or error) closed gets
  // the lowest free descriptor here: the library's messages to stdout would
  // then land in the result file. Keep the file above the three standard
  // descriptors.
  if (fd <= STDERR_FILENO) {
    const int high = fcntl(fd, F_DUPFD, STDERR_FILENO + 1);
    const int e = errno;
    close(fd);
    if (high < 0) {
      std::remove(out.temp_name);
      errno = e;
      return false;
    }
    fd = high;
  }
  // mkstemp creates the file readable by its owner only; give the finished
  // file the permissions a plain create would have (0666 less the umask).
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);
  out.file = fdopen(fd, "w");
  if (out.file == nullptr) {
    const int e = errno;
    close(fd);
    std::remove(out.temp_name);
    errno = e;
    return false;
  }
  if (!pending_output.handler_registered) {
    std::atexit(remove_pending_at_exit);
    pending_output.handler_registered = true;
  }
  pending_output.out = &out;
  return true;
}

bool atomic_commit(AtomicOutput& out) {
  if (out.file == nullptr) {
    errno = EBADF;
    return false;
  }
  std::FILE* f = out.file;
  out.file = nullptr;
  errno = 0;
  bool ok = std::fflush(f) == 0 && !std::ferror(f);
  int e = errno;
  if (std::fclose(f) != 0 && ok) {
    ok = false;
    e = errno;
  }
  if (ok && std::rename(out.temp_name, out.final_name) != 0) {
    ok = false;
    e = errno;
  }
  if (!ok) std::remove(out.temp_name);
  if (pending_output.out == &out) pending_output.out = nullptr;
  errno = ok ? 0 : (e != 0 ? e : EIO);
  return ok;
}

void remove_pending_on_signals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old = {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
    struct sigaction act = {};
    act.sa_handler = remove_pending_and_reraise;
    sigemptyset(&act.sa_mask);
    sigaction(sig, &act, nullptr);
  }
}

void atomic_abandon(AtomicOutput& out) {
  if (out.file != nullptr) {
    std::fclose(out.file);
    out.file = nullptr;
    std::remove(out.temp_name);
  }
  if (pending_output.out == &out) pending_output.out = nullptr;
}

}  // namespace kest::fio
