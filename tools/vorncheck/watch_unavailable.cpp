// The host build's --watch: it runs against a simulated desktop, which has
// no user whose clicks could be watched.
#include "watch.h"

#include <stdio.h>

#include "console_text.h"

int watchClicks(int, FILE *) {
  consolePrintf(stderr, "vorncheck: --watch needs the Windows desktop; this build has none\n");
  return 2;
}
