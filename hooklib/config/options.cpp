#include "config/options.h"

#include "config/profile_reader.h"
#include "system/name_lists.h"

namespace {

#define VORN_OPTION_KEY(id, key, fallback, variable, trailerWord) key "\0"
const char OPTION_NAMES[] = VORN_OPTIONS(VORN_OPTION_KEY);

#define VORN_OPTION_FALLBACK(id, key, fallback, variable, trailerWord) fallback,
const unsigned char OPTION_FALLBACKS[OPTION_COUNT] = {VORN_OPTIONS(VORN_OPTION_FALLBACK)};

int isOption(int option) { return option >= 0 && option < OPTION_COUNT; }

}  // namespace

const char *optionName(int option) {
  return isOption(option) ? nameListAt(OPTION_NAMES, option) : NULL;
}

int readOption(int option) {
  if (!isOption(option)) return 0;
  return readProfileInt(VORN_OPTIONS_SECTION, nameListAt(OPTION_NAMES, option),
                        OPTION_FALLBACKS[option]);
}
