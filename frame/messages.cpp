// Library messages and process stops (see conventions.hpp).
#include "frame/conventions.hpp"

#include <cstdio>
#include <cstdlib>

namespace kest {

void msg(const char* text) {
  if (text[0] == '\0')
    std::fputs("\n", stdout);  // a list-directed write of nothing: an empty line
  else
    std::printf(" %s\n", text);
}

void msg_lines(std::initializer_list<const char*> lines) {
  for (const char* line : lines) msg(line);
}

void stop_stdout(std::initializer_list<const char*> lines) {
  msg_lines(lines);
  std::fflush(stdout);
  std::exit(1);
}

void stop_stderr(std::initializer_list<const char*> lines) {
  std::fflush(stdout);
  for (const char* line : lines) std::fprintf(stderr, "%s\n", line);
  std::exit(1);
}

}  // namespace kest
