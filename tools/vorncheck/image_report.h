// Printing a compiled configuration the way the hooks will see it.
#pragma once

#include <stdio.h>

// Prints the options, the event table, every list with its rules and every
// match with its Patterns, read from this process's image.
void printImageReport(FILE *out);
