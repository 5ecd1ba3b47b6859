#include "system/name_lists.h"

#include <windows.h>

int nameListIndex(const char *list, const char *name) {
  if (!list || !name || !name[0]) return -1;
  int index = 0;
  for (const char *entry = list; *entry; entry += lstrlenA(entry) + 1, ++index) {
    if (lstrcmpA(entry, name) == 0) return index;
  }
  return -1;
}

const char *nameListAt(const char *list, int index) {
  if (index < 0) return NULL;
  const char *entry = list;
  for (; *entry && index > 0; --index) entry += lstrlenA(entry) + 1;
  return *entry ? entry : NULL;
}
