#include "instance_lock.h"

#include <windows.h>

#include "process_trust.h"
#include "security_functions.h"
#include "vorn_names.h"

namespace {

// The namespace's name (its alias) and the boundary's.
const char NAMESPACE_NAME[] = "vorn";
// S-1-16-8192, the Medium integrity label, in its binary form: revision 1,
// one sub-authority, authority 16 (mandatory label), RID 0x2000.
BYTE mediumLabel[] = {1, 1, 0, 0, 0, 0, 0, 16, 0x00, 0x20, 0, 0};

HANDLE heldMutex = NULL;
HANDLE heldNamespace = NULL;

// The namespace bound to the user (and, where the system can, to the
// Medium level): made by the first start, opened by the later ones.
HANDLE userNamespace(void) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  BYTE user[SECURITY_MAX_SID_SIZE];
  if (!functions.CreateBoundaryDescriptorA || !functions.AddSIDToBoundaryDescriptor ||
      !functions.CreatePrivateNamespaceA || !functions.OpenPrivateNamespaceA ||
      !functions.DeleteBoundaryDescriptor || !processUserSid(GetCurrentProcess(), user)) {
    return NULL;
  }
  HANDLE boundary = functions.CreateBoundaryDescriptorA(NAMESPACE_NAME, 0);
  if (!boundary) return NULL;
  HANDLE space = NULL;
  int bound = functions.AddSIDToBoundaryDescriptor(&boundary, user) &&
              (!functions.AddIntegrityLabelToBoundaryDescriptor ||
               functions.AddIntegrityLabelToBoundaryDescriptor(&boundary, mediumLabel));
  if (bound) {
    space = functions.CreatePrivateNamespaceA(NULL, boundary, NAMESPACE_NAME);
    if (!space && GetLastError() == ERROR_ALREADY_EXISTS) {
      space = functions.OpenPrivateNamespaceA(boundary, NAMESPACE_NAME);
    }
  }
  functions.DeleteBoundaryDescriptor(boundary);
  return space;
}

void closeNamespace(HANDLE space) {
  SecurityFunctions functions;
  findSecurityFunctions(&functions);
  if (space && functions.ClosePrivateNamespace) functions.ClosePrivateNamespace(space, 0);
}

}  // namespace

int takeInstanceLock(void) {
  HANDLE space = userNamespace();
  HANDLE mutex =
      CreateMutexA(NULL, FALSE, space ? "vorn\\" VORN_CONTROL_CLASS : VORN_CONTROL_CLASS);
  DWORD error = GetLastError();
  // ERROR_ACCESS_DENIED: an instance of a higher level (elevated) holds it.
  int first = mutex ? error != ERROR_ALREADY_EXISTS : error != ERROR_ACCESS_DENIED;
  if (first && mutex) {
    heldMutex = mutex;
    heldNamespace = space;
    return 1;
  }
  if (mutex) CloseHandle(mutex);
  closeNamespace(space);
  return first;
}

void releaseInstanceLock(void) {
  if (heldMutex) CloseHandle(heldMutex);
  closeNamespace(heldNamespace);
  heldMutex = NULL;
  heldNamespace = NULL;
}
