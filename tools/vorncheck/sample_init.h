// vorncheck --init: the annotated sample as the user's own vorn.ini, in
// %APPDATA%\vorn, where no upgrade of vorn ever writes.
#pragma once

#include <stdio.h>

// Writes the sample to %APPDATA%\vorn\vorn.ini, making the folder, unless
// a file is there already: that one is never touched. Says on `out` what
// it did; 0 when the file is there afterwards, 2 when it could not be made.
int writeSampleConfiguration(FILE *out);
