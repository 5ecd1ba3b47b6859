// The folders of the user's profile: only the roaming application data
// folder (CSIDL_APPDATA), which is there in every profile. By default a
// folder of winsim's own beside the Windows folder, made on first use;
// winsimSetAppDataFolder names another.
#include <shlobj.h>
#include <windows.h>

#include <sys/stat.h>

#include <string>

#include "kernel32/host_paths.h"
#include "kernel32/system_folders.h"
#include "winsim/control_kernel.h"

namespace {

std::string *chosenAppData;

std::string appDataFolder() {
  if (chosenAppData) return *chosenAppData;
  std::string folder = winsim::windowsFolder() + "/../AppData";
  mkdir(folder.c_str(), 0777);
  folder += "/Roaming";
  mkdir(folder.c_str(), 0777);
  return winsim::absoluteHostPath(folder);
}

}  // namespace

extern "C" {

// "pszPath: A pointer to a null-terminated string of length MAX_PATH".
HRESULT WINAPI SHGetFolderPathW(HWND, int folder, HANDLE, DWORD, LPWSTR path) {
  if (folder != CSIDL_APPDATA || !path) return E_INVALIDARG;
  std::string found = appDataFolder();
  if (winsim::copyWidePathResult(found, path, MAX_PATH) >= MAX_PATH) return E_FAIL;
  return S_OK;
}

void winsimSetAppDataFolder(const char *hostPath) {
  delete chosenAppData;
  chosenAppData = hostPath ? new std::string(hostPath) : NULL;
}

}  // extern "C"
