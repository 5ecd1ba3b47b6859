// The security functions the daemon finds at run time: private namespaces
// and QueryFullProcessImageNameA exist from Windows Vista on,
// AddIntegrityLabelToBoundaryDescriptor from Windows 7, and the token
// functions are ADVAPI32's, which the 32-bit vornd.exe does not import
// (tests/static pins its import table). A function the system lacks is
// NULL, and what needs it falls back as its caller documents.
#pragma once

#include <windows.h>

struct SecurityFunctions {
  HANDLE(WINAPI *CreateBoundaryDescriptorA)(LPCSTR name, ULONG flags);
  BOOL(WINAPI *AddSIDToBoundaryDescriptor)(HANDLE *boundary, PSID sid);
  BOOL(WINAPI *AddIntegrityLabelToBoundaryDescriptor)(HANDLE *boundary, PSID label);
  void(WINAPI *DeleteBoundaryDescriptor)(HANDLE boundary);
  HANDLE(WINAPI *CreatePrivateNamespaceA)
  (LPSECURITY_ATTRIBUTES security, LPVOID boundary, LPCSTR alias);
  HANDLE(WINAPI *OpenPrivateNamespaceA)(LPVOID boundary, LPCSTR alias);
  BOOLEAN(WINAPI *ClosePrivateNamespace)(HANDLE space, ULONG flags);
  BOOL(WINAPI *QueryFullProcessImageNameA)(HANDLE process, DWORD flags, LPSTR name, PDWORD size);
  BOOL(WINAPI *OpenProcessToken)(HANDLE process, DWORD access, PHANDLE token);
  BOOL(WINAPI *GetTokenInformation)
  (HANDLE token, TOKEN_INFORMATION_CLASS kind, LPVOID information, DWORD size, PDWORD needed);
  // The object type is SE_OBJECT_TYPE of <aclapi.h>, which <windows.h>
  // does not bring: an int-sized enumeration, passed as one.
  DWORD(WINAPI *GetNamedSecurityInfoA)
  (LPCSTR name, int type, DWORD wanted, PSID *owner, PSID *group, PACL *dacl, PACL *sacl,
   PSECURITY_DESCRIPTOR *descriptor);
};

// Looked up on each call (cheap, and a test may change what the system
// offers between calls); missing functions are NULL.
void findSecurityFunctions(SecurityFunctions *functions);
