// Loading the configuration: options, XMouseMode, and the compile of
// vorn.ini into the ConfigImage.
#include "config/loader.h"

#include <windows.h>

#include "config/image_builder.h"
#include "config/image_publish.h"
#include "config/image_validation.h"
#include "config/ini_location.h"
#include "config/list_compiler.h"
#include "config/loader_state.h"
#include "config/match_compiler.h"
#include "config/options.h"
#include "config/profile_reader.h"
#include "config/xmouse_mode.h"

namespace {

// ImageOffsets are signed 32-bit: a section larger than they can address
// gains nothing, so the size rule is held below that.
const uint64_t largestImage = 0x7FFFFFFFu;

void readOptions() {
  useCallWndProcRetHook = readOption(OPTION_USE_CALLWNDPROCRET_HOOK);
  mbuttonUpMoveProtect = readOption(OPTION_MBUTTONUP_MOVE_PROTECT);
  lbuttonUpMoveProtect = readOption(OPTION_LBUTTONUP_MOVE_PROTECT);
}

void readXmouseOptions() {
  int mode = chooseXmouseMode();
  xmouseMode = mode;
  if (mode != XMOUSE_OFF) {
    maskXmouseOnMove = readOption(OPTION_MASK_XMOUSE_ON_MOVE) != 0 ? 1 : 0;
  } else {
    maskXmouseOnMove = 0;
  }
}

void compileMaskMatch() {
  if (maskXmouseOnMove != 1) return;
  char value[PROFILE_VALUE_BUFFER];
  readProfileString("MaskXMOUSE", "Match", "", value);
  if (value[0] == '\0' || value[0] == ';') return;
  builderWriteInt(HEADER_MASKXMOUSE_MATCH, findOrCreateMatch(value));
}

void compileImage() {
  compileMaskMatch();
  char sectionNames[SECTION_NAMES_BUFFER];
  // Zeroed first: a cut-short list is then always double-NUL-terminated.
  memset(sectionNames, 0, sizeof sectionNames);
  GetPrivateProfileSectionNamesA(sectionNames, sizeof sectionNames, iniPath);
  compileLists(sectionNames);
}

}  // namespace

DWORD imageSizeForFileSize(DWORD fileSize) {
  uint64_t size = (uint64_t)fileSize * 8u + IMAGE_HEADER_SIZE;
  return (DWORD)(size > largestImage ? largestImage : size);
}

int compileConfiguration(HANDLE file, const CompileTarget *target) {
  DWORD ruleSize = imageSizeForFileSize(GetFileSize(file, NULL));
  CloseHandle(file);
  readOptions();
  readXmouseOptions();

  int published = 0;
  int started = builderStart();
  if (started) compileImage();
  if (started && builderIntact()) {
    published = publishImage(ruleSize, target);  // reports its own failures
  } else {
    reportPublishFailure(target);
  }
  builderDiscard();
  return published;
}

extern "C" int loadConfiguration(void) {
  HANDLE file = locateConfigurationFile();
  if (file == INVALID_HANDLE_VALUE) return 0;
  CompileTarget target = {publishedSectionName, 1};
  if (!compileConfiguration(file, &target)) return 0;
  // The daemon's hooks read this view too: it gets the same check as every
  // other process's.
  if (!validateImage(imageHeader, imageSize)) {
    releaseConfiguration();
    return 0;
  }
  return 1;
}

extern "C" int releaseConfiguration(void) {
  // Processes that keep the library loaded keep their views of this
  // section, and a system that does not unload hook libraries never lets go
  // of them: an empty header tells them there is no configuration any more,
  // rather than leaving them on rules the daemon has dropped. The records
  // stay intact, so a hook reading at this moment sees old or none.
  if (imageBase && imageWritable) {
    beginImageRewrite();
    memset(imageBase, 0xFF, IMAGE_HEADER_SIZE);
    endImageRewrite();
  }
  if (imageBase) UnmapViewOfFile(imageBase);
  if (mappingHandle) CloseHandle(mappingHandle);
  imageBase = NULL;
  imageHeader = NULL;
  imageSize = 0;
  imageTrailer = NULL;
  imageWritable = 0;
  mappingHandle = NULL;
  return 1;
}
