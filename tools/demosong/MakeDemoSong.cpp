// make_demo_song <path>: writes the demo song the screenshots open.
#include <cstdio>

#include "tools/demosong/DemoSong.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_demo_song <path>\n");
    return 2;
  }
  if (!demosong::Write(argv[1])) {
    std::fprintf(stderr, "make_demo_song: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
