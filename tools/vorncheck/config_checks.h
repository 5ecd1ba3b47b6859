// Finding what in a vorn.ini will not do what its author probably meant.
#pragma once

#include "diagnostics.h"
#include "ini_document.h"

// Compares `doc` with the image this process has just compiled from the
// same file, adding a finding for each mistake.
void checkConfiguration(const IniDocument &doc, Diagnostics &out);
