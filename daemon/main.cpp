// vornd: keeps vorn's hooks installed while it runs.
//   vornd          start, or make the running instance reload vorn.ini
//   vornd --stop   make the running instance remove its hooks and exit
//   vornd --pause  make the running instance remove its hooks and stay
//   vornd --resume make it install them again (a start, when none runs)
// A GUI-subsystem program with no visible window.
#include <windows.h>

#include "startup.h"

int main(int argc, char **argv) { return vorndMain(GetModuleHandleA(NULL), argc, argv); }
