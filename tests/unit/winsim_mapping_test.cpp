// Named shared memory (file mappings on the paging file), VirtualQuery on
// views, and the process heap: the memory side of the platform that the
// loader and the hook library rely on, checked against the platform itself
// (winsim on the host, Windows under Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>

namespace {

const SIZE_T PAGE = 4096;
const DWORD GRANULARITY = 65536;

// A section name no other test (or earlier run) uses.
std::string uniqueName(const char *what) {
  static unsigned serial = 0;
  int local = 0;
  unsigned long salt = (unsigned long)((uintptr_t)&local >> 4) ^ GetTickCount();
  return std::string("vornKernelTest-") + what + "-" + std::to_string(salt) + "-" +
         std::to_string(++serial);
}

HANDLE createSection(const std::string &name, DWORD size, DWORD protect = PAGE_READWRITE) {
  return CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, protect, 0, size,
                            name.empty() ? NULL : name.c_str());
}

MEMORY_BASIC_INFORMATION query(LPCVOID address) {
  MEMORY_BASIC_INFORMATION info;
  memset(&info, 0xCC, sizeof info);
  EXPECT_EQ(sizeof info, VirtualQuery(address, &info, sizeof info));
  return info;
}

// ---- creating and opening sections -------------------------------------------------------

TEST(KernelMapping, ASecondCreateOfANameGetsTheSameSectionWithItsOldSize) {
  std::string name = uniqueName("twice");
  SetLastError(77);
  HANDLE first = createSection(name, 100);
  ASSERT_NE(nullptr, first);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  char *firstView = (char *)MapViewOfFile(first, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, firstView);
  strcpy(firstView, "written through the first");

  SetLastError(77);
  HANDLE second = createSection(name, 100000);
  ASSERT_NE(nullptr, second);
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_NE(first, second);
  char *secondView = (char *)MapViewOfFile(second, FILE_MAP_READ, 0, 0, 0);
  ASSERT_NE(nullptr, secondView);
  EXPECT_STREQ("written through the first", secondView);
  EXPECT_EQ(PAGE, query(secondView).RegionSize);

  UnmapViewOfFile(firstView);
  UnmapViewOfFile(secondView);
  CloseHandle(first);
  CloseHandle(second);
}

TEST(KernelMapping, UnnamedSectionsAreAlwaysNew) {
  SetLastError(77);
  HANDLE unnamed = createSection("", 100);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  SetLastError(77);
  HANDLE emptyName = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, "");
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  SetLastError(77);
  HANDLE again = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, "");
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  ASSERT_TRUE(unnamed && emptyName && again);
  char *a = (char *)MapViewOfFile(emptyName, FILE_MAP_WRITE, 0, 0, 0);
  char *b = (char *)MapViewOfFile(again, FILE_MAP_WRITE, 0, 0, 0);
  a[0] = 1;
  EXPECT_EQ(0, b[0]);
  UnmapViewOfFile(a);
  UnmapViewOfFile(b);
  CloseHandle(unnamed);
  CloseHandle(emptyName);
  CloseHandle(again);
}

TEST(KernelMapping, BadSizesAndProtectionsAreRefused) {
  SetLastError(0);
  EXPECT_EQ(nullptr, createSection(uniqueName("empty"), 0));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
  SetLastError(0);
  EXPECT_EQ(nullptr, createSection("", 100, 0));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
}

TEST(KernelMapping, OpeningFindsOnlyExactNames) {
  std::string name = uniqueName("Open");
  HANDLE section = createSection(name, 100);
  SetLastError(77);
  HANDLE opened = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  EXPECT_NE(nullptr, opened);
  EXPECT_EQ(77u, GetLastError());  // success leaves the last error alone
  std::string otherCase = name;
  otherCase[0] = 'V';
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, otherCase.c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, uniqueName("missing").c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());
  CloseHandle(opened);
  CloseHandle(section);
}

// ---- views --------------------------------------------------------------------------------

TEST(KernelMapping, AWholeSectionViewIsZeroFilledWholePages) {
  HANDLE section = createSection(uniqueName("zero"), 5000);
  unsigned char *view = (unsigned char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_NE(nullptr, view);
  MEMORY_BASIC_INFORMATION info = query(view + 10);
  EXPECT_EQ(view, info.BaseAddress);
  EXPECT_EQ(view, info.AllocationBase);
  EXPECT_EQ(2 * PAGE, info.RegionSize);
  EXPECT_EQ((DWORD)MEM_COMMIT, info.State);
  EXPECT_EQ((DWORD)MEM_MAPPED, info.Type);
  EXPECT_EQ((DWORD)PAGE_READWRITE, info.Protect);
  EXPECT_EQ((DWORD)PAGE_READWRITE, info.AllocationProtect);
  size_t nonZero = 0;
  for (size_t i = 0; i < 2 * PAGE; ++i) nonZero += view[i] != 0;
  EXPECT_EQ(0u, nonZero);
  view[2 * PAGE - 1] = 7;  // the rounded-up tail is usable
  UnmapViewOfFile(view);
  CloseHandle(section);
}

TEST(KernelMapping, AReadViewIsReportedReadOnlyAndSeesWrites) {
  std::string name = uniqueName("read");
  HANDLE section = createSection(name, 100);
  char *writer = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  HANDLE reading = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  const char *reader = (const char *)MapViewOfFile(reading, FILE_MAP_READ, 0, 0, 0);
  ASSERT_TRUE(writer && reader);
  EXPECT_NE(writer, reader);
  EXPECT_EQ((DWORD)PAGE_READONLY, query(reader).Protect);
  EXPECT_EQ((DWORD)PAGE_READONLY, query(reader).AllocationProtect);
  strcpy(writer, "shared");
  EXPECT_STREQ("shared", reader);
  UnmapViewOfFile(writer);
  UnmapViewOfFile(reader);
  CloseHandle(reading);
  CloseHandle(section);
}

TEST(KernelMapping, AViewNeedsTheRightsOfItsHandleAndSection) {
  std::string name = uniqueName("rights");
  HANDLE section = createSection(name, 100);
  HANDLE readOnly = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  HANDLE writeOnly = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name.c_str());
  HANDLE both = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name.c_str());
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(readOnly, FILE_MAP_WRITE, 0, 0, 0));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(writeOnly, FILE_MAP_READ, 0, 0, 0));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  void *written = MapViewOfFile(writeOnly, FILE_MAP_WRITE, 0, 0, 0);
  void *read = MapViewOfFile(both, FILE_MAP_READ, 0, 0, 0);
  EXPECT_TRUE(written && read);
  UnmapViewOfFile(written);
  UnmapViewOfFile(read);

  HANDLE readOnlySection = createSection("", 100, PAGE_READONLY);
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(readOnlySection, FILE_MAP_WRITE, 0, 0, 0));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(NULL, FILE_MAP_READ, 0, 0, 0));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
  for (HANDLE handle : {readOnly, writeOnly, both, readOnlySection, section}) CloseHandle(handle);
}

TEST(KernelMapping, AViewMustLieWithinTheRoundedSection) {
  HANDLE section = createSection("", 100);
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, PAGE + 1));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  void *whole = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, PAGE);
  EXPECT_NE(nullptr, whole);
  UnmapViewOfFile(whole);
  CloseHandle(section);
}

TEST(KernelMapping, ViewOffsetsFollowTheAllocationGranularity) {
  HANDLE section = createSection("", 3 * GRANULARITY + 5);
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(section, FILE_MAP_WRITE, 0, (DWORD)PAGE, 0));
  EXPECT_EQ((DWORD)ERROR_MAPPED_ALIGNMENT, GetLastError());
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(section, FILE_MAP_WRITE, 0, 4 * GRANULARITY, 0));
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, GetLastError());

  char *whole = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  char *tail = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, GRANULARITY, 0);
  ASSERT_TRUE(whole && tail);
  EXPECT_EQ(2 * GRANULARITY + PAGE, query(tail).RegionSize);
  MEMORY_BASIC_INFORMATION inside = query(tail + 5000);
  EXPECT_EQ(tail + PAGE, inside.BaseAddress);
  EXPECT_EQ(tail, inside.AllocationBase);
  EXPECT_EQ(2 * GRANULARITY, inside.RegionSize);
  tail[0] = 42;
  EXPECT_EQ(42, whole[GRANULARITY]);
  char *small = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, GRANULARITY, 10);
  EXPECT_EQ(PAGE, query(small).RegionSize);
  for (char *view : {whole, tail, small}) UnmapViewOfFile(view);
  CloseHandle(section);
}

TEST(KernelMapping, UnmappingTakesAnyAddressInsideAViewOnce) {
  HANDLE section = createSection("", 100);
  char *view = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  EXPECT_TRUE(UnmapViewOfFile(view + 10));
  SetLastError(0);
  EXPECT_FALSE(UnmapViewOfFile(view));
  EXPECT_EQ((DWORD)ERROR_INVALID_ADDRESS, GetLastError());
  SetLastError(0);
  EXPECT_FALSE(UnmapViewOfFile(NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_ADDRESS, GetLastError());
  EXPECT_TRUE(CloseHandle(section));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(section));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
}

// ---- how long a section lives --------------------------------------------------------------

// The name belongs to the section only while a handle is open; a view
// keeps the memory, not the name.
TEST(KernelMapping, TheNameIsFreeWhenTheLastHandleClosesEvenWithAViewLeft) {
  std::string name = uniqueName("lifetime");
  HANDLE section = createSection(name, 100);
  char *view = (char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  view[0] = 42;
  CloseHandle(section);
  SetLastError(0);
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(42, view[0]);  // the memory is still there

  SetLastError(77);
  HANDLE fresh = createSection(name, 100);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  char *freshView = (char *)MapViewOfFile(fresh, FILE_MAP_READ, 0, 0, 0);
  EXPECT_EQ(0, freshView[0]);
  UnmapViewOfFile(freshView);
  UnmapViewOfFile(view);
  CloseHandle(fresh);
}

TEST(KernelMapping, TheNameLivesWhileAnyHandleIsOpen) {
  std::string name = uniqueName("handles");
  HANDLE creator = createSection(name, 100);
  HANDLE opener = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  CloseHandle(creator);
  HANDLE third = OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str());
  EXPECT_NE(nullptr, third);
  CloseHandle(opener);
  CloseHandle(third);
  EXPECT_EQ(nullptr, OpenFileMappingA(FILE_MAP_READ, FALSE, name.c_str()));
}

// ---- VirtualQuery elsewhere -----------------------------------------------------------------

TEST(KernelMapping, VirtualQueryDescribesOtherMemoryToo) {
  int onTheStack = 0;
  MEMORY_BASIC_INFORMATION stack = query(&onTheStack);
  EXPECT_EQ((DWORD)MEM_COMMIT, stack.State);
  EXPECT_EQ((DWORD)PAGE_READWRITE, stack.Protect);
  EXPECT_NE((DWORD)MEM_MAPPED, stack.Type);
  MEMORY_BASIC_INFORMATION nothing = query(NULL);
  EXPECT_EQ((DWORD)MEM_FREE, nothing.State);
  EXPECT_EQ(nullptr, nothing.BaseAddress);
  MEMORY_BASIC_INFORMATION info;
  EXPECT_EQ(0u, VirtualQuery(&onTheStack, &info, sizeof info - 1));
}

// ---- the process heap --------------------------------------------------------------------------

TEST(KernelHeap, ZeroedBlocksStayZeroedAsTheyGrow) {
  HANDLE heap = GetProcessHeap();
  ASSERT_NE(nullptr, heap);
  unsigned char *block = (unsigned char *)HeapAlloc(heap, HEAP_ZERO_MEMORY, 10);
  ASSERT_NE(nullptr, block);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(0, block[i]);
  memset(block, 7, 10);
  block = (unsigned char *)HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 1000);
  ASSERT_NE(nullptr, block);
  EXPECT_EQ(7, block[9]);
  size_t nonZero = 0;
  for (int i = 10; i < 1000; ++i) nonZero += block[i] != 0;
  EXPECT_EQ(0u, nonZero);
  block = (unsigned char *)HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 5);
  block = (unsigned char *)HeapReAlloc(heap, HEAP_ZERO_MEMORY, block, 10);
  EXPECT_EQ(7, block[4]);
  EXPECT_EQ(0, block[5]);  // bytes given up and taken back are zeroed again
  EXPECT_TRUE(HeapFree(heap, 0, block));
}

TEST(KernelHeap, ReallocatingNothingFailsQuietly) {
  SetLastError(77);
  EXPECT_EQ(nullptr, HeapReAlloc(GetProcessHeap(), 0, NULL, 10));
  EXPECT_EQ(77u, GetLastError());
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, NULL));
  void *empty = HeapAlloc(GetProcessHeap(), 0, 0);
  EXPECT_NE(nullptr, empty);
  HeapFree(GetProcessHeap(), 0, empty);
}

TEST(KernelHeap, InPlaceReallocationCannotGrowABlock) {
  HANDLE heap = GetProcessHeap();
  char *block = (char *)HeapAlloc(heap, 0, 64);
  strcpy(block, "kept");
  SetLastError(0);
  EXPECT_EQ(nullptr, HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 1 << 20));
  EXPECT_EQ((DWORD)ERROR_NOT_ENOUGH_MEMORY, GetLastError());
  EXPECT_EQ(block, HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, block, 16));
  EXPECT_STREQ("kept", block);
  HeapFree(heap, 0, block);
}

}  // namespace
