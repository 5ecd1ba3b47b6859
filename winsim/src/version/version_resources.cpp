// Version resources. The simulated shell32.dll is a small file that starts
// like a module ("MZ" and winsim's tag) and holds, at the offset stored
// where a real module keeps its header offset, a VS_VERSIONINFO block laid
// out as Windows lays it out: the header, the UTF-16 key
// "VS_VERSION_INFO", and the VS_FIXEDFILEINFO aligned to four bytes.
#include <windows.h>

#include <errno.h>
#include <fcntl.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "kernel32/descriptor_io.h"
#include "kernel32/errors.h"
#include "kernel32/host_paths.h"
#include "kernel32/kernel_defaults.h"
#include "kernel32/system_folders.h"
#include "simulated_modules.h"
#include "winsim/control_kernel.h"

namespace {

const char MODULE_TAG[] = "MZ winsim simulated module";
const size_t BLOCK_OFFSET_FIELD = 0x3C;
const size_t MODULE_HEADER_SIZE = 0x40;
const char VERSION_KEY[] = "VS_VERSION_INFO";
const size_t BLOCK_HEADER_SIZE = 6;  // wLength, wValueLength, wType

WinsimShell32 shellPresence = WINSIM_SHELL32_VERSIONED;
DWORD shellVersionMS = winsim::DEFAULT_SHELL_VERSION;

void putWord(std::vector<unsigned char> *bytes, size_t at, WORD value) {
  (*bytes)[at] = (unsigned char)(value & 0xFF);
  (*bytes)[at + 1] = (unsigned char)(value >> 8);
}

WORD getWord(const unsigned char *bytes) { return (WORD)(bytes[0] | (bytes[1] << 8)); }

size_t alignedToFour(size_t offset) { return (offset + 3) & ~(size_t)3; }

size_t keyEnd(size_t keyLength) { return BLOCK_HEADER_SIZE + (keyLength + 1) * 2; }

VS_FIXEDFILEINFO fixedInfoFor(DWORD versionMS) {
  VS_FIXEDFILEINFO info;
  memset(&info, 0, sizeof info);
  info.dwSignature = VS_FFI_SIGNATURE;
  info.dwStrucVersion = VS_FFI_STRUCVERSION;
  info.dwFileVersionMS = versionMS;
  info.dwProductVersionMS = versionMS;
  info.dwFileFlagsMask = VS_FFI_FILEFLAGSMASK;
  info.dwFileOS = VOS_NT_WINDOWS32;
  info.dwFileType = VFT_DLL;
  return info;
}

std::vector<unsigned char> versionBlock(DWORD versionMS) {
  size_t keyLength = strlen(VERSION_KEY);
  size_t valueOffset = alignedToFour(keyEnd(keyLength));
  std::vector<unsigned char> block(valueOffset + sizeof(VS_FIXEDFILEINFO), 0);
  putWord(&block, 0, (WORD)block.size());
  putWord(&block, 2, (WORD)sizeof(VS_FIXEDFILEINFO));
  putWord(&block, 4, 0);  // binary data
  for (size_t i = 0; i < keyLength; ++i) putWord(&block, BLOCK_HEADER_SIZE + i * 2, VERSION_KEY[i]);
  VS_FIXEDFILEINFO info = fixedInfoFor(versionMS);
  memcpy(&block[valueOffset], &info, sizeof info);
  return block;
}

std::vector<unsigned char> moduleImage(bool withVersion, DWORD versionMS) {
  std::vector<unsigned char> image(MODULE_HEADER_SIZE, 0);
  memcpy(&image[0], MODULE_TAG, sizeof MODULE_TAG);
  if (withVersion) {
    putWord(&image, BLOCK_OFFSET_FIELD, (WORD)MODULE_HEADER_SIZE);
    std::vector<unsigned char> block = versionBlock(versionMS);
    image.insert(image.end(), block.begin(), block.end());
  }
  return image;
}

// 0, or the Win32 error that stopped the read.
DWORD readWholeFile(const std::string &path, std::string *bytes) {
  int descriptor = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return winsim::win32ErrorForPath(errno, path.c_str());
  DWORD error = winsim::readAll(descriptor, bytes);
  close(descriptor);
  return error;
}

// A bare module name is looked for where the loader would look.
bool modulePath(LPCSTR fileName, std::string *path) {
  if (fileName && !strchr(fileName, '\\') && !strchr(fileName, '/')) {
    char found[MAX_PATH * 4];
    DWORD length = SearchPathA(NULL, fileName, NULL, sizeof found, found, NULL);
    if (length == 0 || length >= sizeof found) return false;
    return winsim::hostPathFor(found, path);
  }
  return winsim::hostPathFor(fileName, path);
}

// The version block inside a module file, or the Win32 error that says
// why there is none.
DWORD findVersionBlock(LPCSTR fileName, std::vector<unsigned char> *block) {
  std::string path;
  if (!modulePath(fileName, &path)) return ERROR_FILE_NOT_FOUND;
  std::string image;
  DWORD error = readWholeFile(path, &image);
  if (error) return error;
  const unsigned char *bytes = (const unsigned char *)image.data();
  if (image.size() < MODULE_HEADER_SIZE || memcmp(bytes, MODULE_TAG, sizeof MODULE_TAG) != 0) {
    return ERROR_RESOURCE_DATA_NOT_FOUND;
  }
  size_t offset = getWord(bytes + BLOCK_OFFSET_FIELD);
  if (offset == 0 || offset + BLOCK_HEADER_SIZE > image.size())
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  size_t length = getWord(bytes + offset);
  if (length < BLOCK_HEADER_SIZE || offset + length > image.size())
    return ERROR_RESOURCE_TYPE_NOT_FOUND;
  block->assign(bytes + offset, bytes + offset + length);
  return 0;
}

// The value of a block: after the header and the NUL-terminated UTF-16
// key, aligned to four bytes. NULL when the block has none.
const unsigned char *blockValue(const unsigned char *block, UINT *length) {
  size_t blockLength = getWord(block);
  size_t valueLength = getWord(block + 2);
  size_t keyLength = 0;
  while (keyEnd(keyLength) <= blockLength && getWord(block + BLOCK_HEADER_SIZE + keyLength * 2)) {
    ++keyLength;
  }
  size_t valueOffset = alignedToFour(keyEnd(keyLength));
  if (valueLength == 0 || valueOffset + valueLength > blockLength) return NULL;
  *length = (UINT)valueLength;
  return block + valueOffset;
}

}  // namespace

namespace winsim {

void placeShell32(const std::string &folder) {
  std::string path = folder + "/shell32.dll";
  if (shellPresence == WINSIM_SHELL32_MISSING) {
    unlink(path.c_str());
    return;
  }
  std::vector<unsigned char> image =
      moduleImage(shellPresence == WINSIM_SHELL32_VERSIONED, shellVersionMS);
  int descriptor = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (descriptor < 0) return;
  // A control has no way to report a failure; a shell32.dll cut short
  // reads as one without a version, which the test that set it will see.
  writeAll(descriptor, image.data(), image.size());
  close(descriptor);
}

}  // namespace winsim

extern "C" {

// A Windows folder not made yet gets the file as set when it is made: the
// controls never make it early (tests may still choose where it goes).
void winsimSetShell32(WinsimShell32 presence, DWORD fileVersionMS) {
  shellPresence = presence;
  shellVersionMS = fileVersionMS;
  if (winsim::windowsFolderMade()) winsim::placeShell32(winsim::systemFolder());
}

DWORD WINAPI GetFileVersionInfoSizeA(LPCSTR fileName, LPDWORD handle) {
  if (handle) *handle = 0;
  std::vector<unsigned char> block;
  DWORD error = findVersionBlock(fileName, &block);
  SetLastError(error);
  // Room for the block and for the ANSI copies of its strings that
  // VerQueryValueA may make, as Windows reserves it.
  return error ? 0 : (DWORD)block.size() * 2 + 4;
}

BOOL WINAPI GetFileVersionInfoA(LPCSTR fileName, DWORD, DWORD size, LPVOID data) {
  std::vector<unsigned char> block;
  DWORD error = data ? findVersionBlock(fileName, &block) : ERROR_INVALID_PARAMETER;
  SetLastError(error);
  if (error) return FALSE;
  memcpy(data, block.data(), size < block.size() ? size : block.size());
  return TRUE;
}

// Only the root block ("\", any number of backslashes) is offered: the
// simulated modules carry no string or translation tables.
BOOL WINAPI VerQueryValueA(LPCVOID block, LPCSTR subBlock, LPVOID *buffer, PUINT length) {
  if (!block || !subBlock) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  while (*subBlock == '\\') ++subBlock;
  UINT valueLength = 0;
  const unsigned char *value =
      *subBlock ? NULL : blockValue((const unsigned char *)block, &valueLength);
  if (!value) {
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return FALSE;
  }
  if (buffer) *buffer = (LPVOID)value;
  if (length) *length = valueLength;
  return TRUE;
}

}  // extern "C"
