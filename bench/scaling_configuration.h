// vorn.ini files of a chosen size for the loader's scaling measurement.
// Each holds the same small, realistic configuration (three lists of
// rules, three matches) and grows by what a long-kept file gathers: comment
// blocks, matches no rule uses any more, and sections of notes. The three
// matches the rules use sit a quarter, half and three quarters of the way
// down, so that finding them means reading through the growth.
#pragma once

#include <stddef.h>

#include <string>

// What every generated file compiles to.
enum {
  SCALING_LIST_COUNT = 3,
  SCALING_MATCH_COUNT = 3,
};

// The smallest file the generator makes: the configuration alone.
size_t smallestScalingConfiguration(void);

// A file of exactly `bytes` bytes (or the smallest one, when `bytes` is
// less).
std::string scalingConfiguration(size_t bytes);
