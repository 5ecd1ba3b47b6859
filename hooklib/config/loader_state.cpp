// The loader's per-process state; its shared values are defined with the
// rest of the shared section in shared_section.cpp.
#include "config/loader_state.h"

extern "C" {

HANDLE mappingHandle = NULL;
unsigned char *imageBase = NULL;
unsigned char *arenaCursor = NULL;
const unsigned char *imageHeader = NULL;
uint32_t imageSize = 0;
int32_t imageWritable = 0;

}  // extern "C"
