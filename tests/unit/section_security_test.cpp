// The security the configuration section is made with, on the real
// system as on winsim: the daemon's user can open it again for writing
// and read it, so a reload and every hooked process work as before; a
// descriptor that granted the user only reading would break the reload.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "config/section_security.h"
#include "system/delay_loaded.h"

namespace {

// A name of this process's own, so that runs side by side do not meet.
std::string sectionName(const char *what) {
  return std::string("vornSecurityTest-") + what + "-" + std::to_string(GetCurrentProcessId());
}

TEST(SectionSecurity, TheUserReadsAndWritesASectionMadeWithTheDescriptor) {
  SECURITY_ATTRIBUTES security;
  LPSECURITY_ATTRIBUTES attributes = sandboxReadableSecurity(&security);
  ASSERT_EQ(&security, attributes);
  ASSERT_NE(nullptr, security.lpSecurityDescriptor);
  EXPECT_EQ(sizeof security, security.nLength);
  EXPECT_FALSE(security.bInheritHandle);

  std::string name = sectionName("shared");
  HANDLE created =
      CreateFileMappingA(INVALID_HANDLE_VALUE, attributes, PAGE_READWRITE, 0, 4096, name.c_str());
  ASSERT_NE(nullptr, created) << GetLastError();
  releaseSectionSecurity(attributes);
  unsigned char *writer = (unsigned char *)MapViewOfFile(created, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, writer);

  // Every other process opens it to read.
  HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  ASSERT_NE(nullptr, reader) << GetLastError();
  const unsigned char *view = (const unsigned char *)MapViewOfFile(reader, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, view);

  // A reload makes it again while the reader holds it: the same section,
  // writable.
  HANDLE again =
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, name.c_str());
  ASSERT_NE(nullptr, again) << GetLastError();
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
  unsigned char *rewriter = (unsigned char *)MapViewOfFile(again, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, rewriter);
  rewriter[0] = 0x5A;
  EXPECT_EQ(0x5A, view[0]);
  EXPECT_EQ(0x5A, writer[0]);

  UnmapViewOfFile(rewriter);
  UnmapViewOfFile(view);
  UnmapViewOfFile(writer);
  CloseHandle(again);
  CloseHandle(reader);
  CloseHandle(created);
}

// Why the user keeps full access: with read alone, the second create (as
// a reload makes it, while other processes hold the section) is refused.
TEST(SectionSecurity, AUserGrantedOnlyReadCannotReopenForWriting) {
  char sid[256];
  HANDLE token = NULL;
  ASSERT_TRUE(delayLoaded::OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
  union {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  } information;
  DWORD needed = 0;
  ASSERT_TRUE(delayLoaded::GetTokenInformation(token, TokenUser, &information, sizeof information,
                                               &needed));
  CloseHandle(token);
  LPSTR text = NULL;
  ASSERT_TRUE(delayLoaded::ConvertSidToStringSidA(information.user.User.Sid, &text));
  ASSERT_EQ(0, strncmp(text, "S-1-", 4)) << text;
  lstrcpynA(sid, text, sizeof sid);
  LocalFree(text);

  std::string readOnly = std::string("D:P(A;;GR;;;") + sid + ")";
  SECURITY_ATTRIBUTES security = {sizeof security, NULL, FALSE};
  ASSERT_TRUE(delayLoaded::ConvertStringSecurityDescriptorToSecurityDescriptorA(
      readOnly.c_str(), SDDL_REVISION_1, &security.lpSecurityDescriptor, NULL));
  std::string name = sectionName("read-only");
  HANDLE created =
      CreateFileMappingA(INVALID_HANDLE_VALUE, &security, PAGE_READWRITE, 0, 4096, name.c_str());
  ASSERT_NE(nullptr, created) << GetLastError();
  LocalFree(security.lpSecurityDescriptor);

  HANDLE reader = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  EXPECT_NE(nullptr, reader) << GetLastError();
  HANDLE again =
      CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, name.c_str());
  EXPECT_EQ(nullptr, again);
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  if (again) CloseHandle(again);
  if (reader) CloseHandle(reader);
  CloseHandle(created);
}

TEST(SectionSecurity, MalformedDescriptorTextIsRefused) {
  PSECURITY_DESCRIPTOR descriptor = NULL;
  for (const char *text : {"D:P(A;;GA;;;)", "D:P(A;;GA;;;S-1-15-2-1", "X:(A;;GA;;;WD)"}) {
    EXPECT_FALSE(delayLoaded::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        text, SDDL_REVISION_1, &descriptor, NULL))
        << "\"" << text << "\"";
  }
}

}  // namespace
