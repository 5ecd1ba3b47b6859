#include "security_functions.h"

#include <windows.h>

namespace {

// Through void *: each function has a type of its own behind FARPROC.
template <typename Function>
void find(HMODULE module, const char *name, Function *function) {
  *function = module ? (Function)(void *)GetProcAddress(module, name) : NULL;
}

}  // namespace

void findSecurityFunctions(SecurityFunctions *functions) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  find(kernel, "CreateBoundaryDescriptorA", &functions->CreateBoundaryDescriptorA);
  find(kernel, "AddSIDToBoundaryDescriptor", &functions->AddSIDToBoundaryDescriptor);
  find(kernel, "AddIntegrityLabelToBoundaryDescriptor",
       &functions->AddIntegrityLabelToBoundaryDescriptor);
  find(kernel, "DeleteBoundaryDescriptor", &functions->DeleteBoundaryDescriptor);
  find(kernel, "CreatePrivateNamespaceA", &functions->CreatePrivateNamespaceA);
  find(kernel, "OpenPrivateNamespaceA", &functions->OpenPrivateNamespaceA);
  find(kernel, "ClosePrivateNamespace", &functions->ClosePrivateNamespace);
  find(kernel, "QueryFullProcessImageNameA", &functions->QueryFullProcessImageNameA);
  // Loaded when first needed and kept for the daemon's life.
  HMODULE advapi = GetModuleHandleA("advapi32.dll");
  if (!advapi) advapi = LoadLibraryA("advapi32.dll");
  find(advapi, "OpenProcessToken", &functions->OpenProcessToken);
  find(advapi, "GetTokenInformation", &functions->GetTokenInformation);
  find(advapi, "GetNamedSecurityInfoA", &functions->GetNamedSecurityInfoA);
}
