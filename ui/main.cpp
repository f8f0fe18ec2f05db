// Entry point. The windows are not built yet: say so and end.
#include <cstdio>

int main() {
  std::puts("KVL-Q70: the main window is not available in this build yet.");
  return 0;
}
