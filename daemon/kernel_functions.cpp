#include "kernel_functions.h"

#include <windows.h>

namespace {

// Through void *: each function has a type of its own behind FARPROC.
template <typename Function>
int find(HMODULE kernel, const char *name, Function *function) {
  *function = (Function)(void *)GetProcAddress(kernel, name);
  return *function != NULL;
}

}  // namespace

int findKernelFunctions(KernelFunctions *functions) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  if (!kernel) return 0;
  int found = find(kernel, "IsWow64Process", &functions->IsWow64Process);
  found &= find(kernel, "GetCurrentProcess", &functions->GetCurrentProcess);
  found &= find(kernel, "GetCommandLineA", &functions->GetCommandLineA);
  found &= find(kernel, "GetFileAttributesA", &functions->GetFileAttributesA);
  found &= find(kernel, "CreateProcessA", &functions->CreateProcessA);
  found &= find(kernel, "WaitForSingleObject", &functions->WaitForSingleObject);
  found &= find(kernel, "CloseHandle", &functions->CloseHandle);
  return found;
}
