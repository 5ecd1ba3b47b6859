// The loader's state: all of it per process.
#include "config/loader_state.h"

extern "C" {

char iniPath[256] = "vorn.ini";
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
