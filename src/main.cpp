// Program start: the window when a display is present, the unattended run without one.
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc > 1 && (std::strcmp(argv[1], "--version") == 0)) {
    std::printf("quillet %s\n", QUILLET_VERSION);
    return 0;
  }
  std::fprintf(stderr, "quillet: not yet able to run a job\n");
  return 2;
}
