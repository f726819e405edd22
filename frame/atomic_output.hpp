// Output files that are never seen half-written.
//
// A result file is written under a temporary name in the directory of its
// final name and renamed onto the final name only when every byte has been
// written and the file closed without error. A run that fails part-way (disk
// full, a file-size limit, a stop of the process) leaves whatever file had the
// final name before it untouched. The temporary file is created at once, so an
// unwritable directory is found before any computing is done.
//
// State: one process-wide record, pending_output, holds the temporary file of
//        the output being written (at most one at a time: the batch program's
//        and the element-file driver's). An exit of the process while it is
//        pending (a library stop, for instance) removes the temporary file.
#ifndef KEST_FRAME_ATOMIC_OUTPUT_HPP
#define KEST_FRAME_ATOMIC_OUTPUT_HPP

#include <cstdio>

namespace kest::fio {

// Longest output path taken, in bytes.
inline constexpr int max_output_path = 4096;

struct AtomicOutput {
  std::FILE* file = nullptr;                     // open while pending
  char final_name[max_output_path + 1] = {};     // as the caller gave it
  char temp_name[max_output_path + 16] = {};     // final_name + ".tmpXXXXXX"
};

// Creates the temporary file beside final_name and opens it for writing.
// Given:    final_name  the path the finished file is to have
// Returned: out  (file open, names set) on success
// Failure:  false with errno set (the directory is not writable, the name is
//           too long: ENAMETOOLONG, the name is empty: ENOENT); nothing is
//           created.
// Notes:    1. SIGINT, SIGTERM and SIGHUP are held back while the temporary
//              file is created and recorded, so that an interrupt at that
//              moment still finds it to remove.
//           2. The file's descriptor lies above 0, 1 and 2 even when the
//              process was started with one of them closed, so that nothing
//              written to stdout or stderr reaches the file.
bool atomic_open(AtomicOutput& out, const char* final_name);

// Flushes and closes the temporary file and renames it onto the final name.
// Failure:  false with errno set when a write, the close or the rename
//           failed; the temporary file is removed and the final name keeps
//           what it held before.
bool atomic_commit(AtomicOutput& out);

// Closes and removes the temporary file; the final name is not touched.
void atomic_abandon(AtomicOutput& out);

// For a program (the library installs no handler of its own): an end of the
// process by SIGINT, SIGTERM or SIGHUP (a Ctrl-C during a long run) first
// removes the pending temporary file, then ends the process by the same
// signal. A signal the process ignores (SIGHUP under nohup) stays ignored.
void remove_pending_on_signals();

}  // namespace kest::fio

#endif
