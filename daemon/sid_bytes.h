// SIDs as the bytes Windows lays them out in: revision, count of
// sub-authorities, six bytes of authority, then the sub-authorities.
#pragma once

#include <windows.h>

inline DWORD sidLength(const BYTE *sid) { return 8 + 4 * (DWORD)sid[1]; }

inline int sameSid(const BYTE *a, const BYTE *b) {
  DWORD length = sidLength(a);
  if (length != sidLength(b)) return 0;
  for (DWORD i = 0; i < length; ++i) {
    if (a[i] != b[i]) return 0;
  }
  return 1;
}
