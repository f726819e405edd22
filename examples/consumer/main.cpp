#include <cstdio>

#include <kest.h>

int main() {
  int y = 2000, m = 1, d = 1;
  std::printf("julday(2000, 1, 1) = %d\n", julday_(&y, &m, &d));
  return 0;
}
