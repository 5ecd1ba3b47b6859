// Stock objects: fake, non-null handles, one per object number.
#include <windows.h>

namespace {

constexpr uintptr_t STOCK_OBJECT_BASE = 0x60000;

}  // namespace

extern "C" HGDIOBJ WINAPI GetStockObject(int object) {
  if (object < 0) return NULL;
  return (HGDIOBJ)(STOCK_OBJECT_BASE + (uintptr_t)object + 1);
}
