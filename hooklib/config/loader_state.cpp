// The loader's state: all of it per process.
#include "config/loader_state.h"

extern "C" {

// Empty until the loader looks for the file: it is read only after that,
// and so costs the library no initialised data (a block of its file).
char iniPath[256];
int32_t useCallWndProcRetHook = 0;
int32_t mbuttonUpMoveProtect = 0;
int32_t lbuttonUpMoveProtect = 0;
int32_t xmouseMode = 0;
int32_t maskXmouseOnMove = 0;

HANDLE mappingHandle = NULL;
unsigned char *imageBase = NULL;
unsigned char *arenaCursor = NULL;
const unsigned char *imageHeader = NULL;
uint32_t imageSize = 0;
const unsigned char *imageTrailer = NULL;
int32_t imageWritable = 0;

}  // extern "C"
