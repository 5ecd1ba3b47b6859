// vorncheck: compiles a vorn.ini with the daemon's own loader and shows
// what the hooks will see, or saves the compiled image.
//
//   vorncheck FILE               print the compiled configuration
//   vorncheck --image OUT FILE   also write every byte of the image to OUT
//
// Exit code: 0 when the file compiled, 2 on any error (with a message).
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "image_report.h"
#include "private_compile.h"

namespace {

const int exitError = 2;

int usage() {
  fprintf(stderr, "usage: vorncheck [--image OUT] FILE\n");
  return exitError;
}

}  // namespace

int main(int argc, char **argv) {
  const char *imageOut = NULL;
  const char *file = NULL;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--image") == 0) {
      if (++i >= argc) return usage();
      imageOut = argv[i];
    } else if (argv[i][0] == '-' && argv[i][1] == '-') {
      fprintf(stderr, "vorncheck: unknown option %s\n", argv[i]);
      return usage();
    } else if (file) {
      return usage();
    } else {
      file = argv[i];
    }
  }
  if (!file) return usage();

  char fullPath[MAX_PATH];
  int compiled = compilePrivately(file, fullPath);
  if (compiled == 0) {
    fprintf(stderr, "vorncheck: cannot open %s\n", file);
    return exitError;
  }
  if (compiled < 0) {
    fprintf(stderr, "vorncheck: %s could not be compiled (out of memory?)\n", fullPath);
    return exitError;
  }
  printf("file: %s\n", fullPath);
  printImageReport(stdout);
  if (imageOut && !saveImage(imageOut)) {
    fprintf(stderr, "vorncheck: cannot write %s\n", imageOut);
    return exitError;
  }
  return 0;
}
