// What vorncheck writes is text in the ANSI code page: the file's names
// and values are code-page bytes, and so are the paths the A functions
// give. A console shows bytes in its own output code page, the OEM one
// (850 or 437 on a Western system), where 'é' is another letter; so on a
// console the text is turned into UTF-16 from the ANSI code page and
// written with WriteConsoleW, and every character shows as it is meant.
// Into a file or a pipe the bytes go as they always have: what reads them
// there (a script, an editor) takes them as ANSI text, and a console's
// code page has nothing to do with them.
#pragma once

#include <stdio.h>

// fprintf to `out`, through the console when `out` is stdout or stderr
// and that is a console.
int consolePrintf(FILE *out, const char *format, ...) __attribute__((format(printf, 2, 3)));
