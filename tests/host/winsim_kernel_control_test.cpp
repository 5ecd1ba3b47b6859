// winsim's kernel controls, and the places where winsim must behave in a
// way that a test under Wine cannot show. Host only, for one of these
// reasons, given with each group:
//  - the controls (planned failures, the shell's version, counters) exist
//    only in winsim;
//  - the host's folders are Linux paths, which winsim's path functions
//    must handle and Windows' never see;
//  - some behaviour is Windows' but not Wine's (a profile write that keeps
//    every other byte of the file: Wine rewrites the whole file);
//  - arguments for which Windows promises no particular result, where
//    winsim must still stay within what the caller gave it;
//  - a fault in the test process: under Wine it starts a debugger that
//    waits for ever.
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <dirent.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "../winsim/src/kernel32/handles.h"
#include "host/fresh_process.h"
#include "unit/winsim_scratch.h"
#include "winsim/control.h"

namespace {

using vorntest::FreshProcessStyle;
using vorntest::ScratchFolder;

class KernelControlTest : public ::testing::Test {
 protected:
  void SetUp() override { winsimResetKernel(); }
  void TearDown() override { winsimResetKernel(); }
};

// A path that the test and the copy of it that a death test starts agree
// on: made once, then handed down through the environment.
std::string sharedTestPath(const char *variable, const char *stem) {
  const char *inherited = getenv(variable);
  if (inherited) return inherited;
  std::string path = std::string("/tmp/") + stem + "-" + std::to_string(getpid());
  setenv(variable, path.c_str(), 1);
  return path;
}

std::string hostFile(const std::string &path) {
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return "<missing>";
  std::string text;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  fclose(file);
  return text;
}

std::string hostPath(std::string windowsStyle) {
  for (char &c : windowsStyle) c = c == '\\' ? '/' : c;
  return windowsStyle;
}

// ---- planned failures of the shared-memory calls (controls) ------------------------------

TEST_F(KernelControlTest, APlannedCreateFailureHitsOnlyTheNextCall) {
  winsimFailNextCreateFileMapping(ERROR_NOT_ENOUGH_MEMORY);
  SetLastError(0);
  EXPECT_EQ(nullptr, CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL));
  EXPECT_EQ((DWORD)ERROR_NOT_ENOUGH_MEMORY, GetLastError());
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL);
  EXPECT_NE(nullptr, section);
  CloseHandle(section);

  winsimFailNextCreateFileMapping(ERROR_ACCESS_DENIED);
  winsimFailNextCreateFileMapping(0);  // cancelled
  section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL);
  EXPECT_NE(nullptr, section);
  CloseHandle(section);
}

TEST_F(KernelControlTest, APlannedMapFailureHitsOnlyTheNextCall) {
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL);
  winsimFailNextMapViewOfFile(ERROR_ACCESS_DENIED);
  SetLastError(0);
  EXPECT_EQ(nullptr, MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  void *view = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  EXPECT_NE(nullptr, view);
  UnmapViewOfFile(view);
  winsimFailNextMapViewOfFile(ERROR_ACCESS_DENIED);
  winsimResetKernel();
  view = MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  EXPECT_NE(nullptr, view);
  UnmapViewOfFile(view);
  CloseHandle(section);
}

// ---- what stays alive (controls) ------------------------------------------------------------

TEST_F(KernelControlTest, ASectionIsFreedWithItsLastHandleAndView) {
  int sections = winsimSectionCount();
  int views = winsimViewCount();
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100,
                                      "vornKernelControlLifetime");
  HANDLE opened = OpenFileMappingA(FILE_MAP_READ, FALSE, "vornKernelControlLifetime");
  void *view = MapViewOfFile(opened, FILE_MAP_READ, 0, 0, 0);
  EXPECT_EQ(sections + 1, winsimSectionCount());
  EXPECT_EQ(views + 1, winsimViewCount());
  CloseHandle(section);
  CloseHandle(opened);
  EXPECT_EQ(sections + 1, winsimSectionCount());  // the view keeps the memory
  UnmapViewOfFile(view);
  EXPECT_EQ(sections, winsimSectionCount());
  EXPECT_EQ(views, winsimViewCount());
}

TEST_F(KernelControlTest, EveryHandleKindIsCountedAndClosedThroughCloseHandle) {
  ScratchFolder scratch;
  int before = winsimOpenHandleCount();
  HANDLE file = CreateFileA(scratch.path("f.txt").c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, NULL);
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL);
  EXPECT_EQ(before + 2, winsimOpenHandleCount());
  CloseHandle(file);
  CloseHandle(section);
  EXPECT_EQ(before, winsimOpenHandleCount());
}

// Other areas of winsim add their own kinds of handle through handles.h.
int closedObjects = 0;
void closeTestObject(void *object) { closedObjects += *(int *)object; }
const winsim::HandleKind testKind = {"test object", closeTestObject};
const winsim::HandleKind otherKind = {"other object", closeTestObject};

TEST_F(KernelControlTest, AnAreaCanAddItsOwnKindOfHandle) {
  int object = 5;
  HANDLE handle = winsim::newHandle(&testKind, &object);
  EXPECT_EQ(&object, winsim::handleObject(handle, &testKind));
  EXPECT_EQ(nullptr, winsim::handleObject(handle, &otherKind));
  EXPECT_EQ(&testKind, winsim::handleKind(handle));
  closedObjects = 0;
  EXPECT_TRUE(CloseHandle(handle));
  EXPECT_EQ(5, closedObjects);
  EXPECT_EQ(nullptr, winsim::handleObject(handle, &testKind));
  EXPECT_FALSE(CloseHandle(handle));
  EXPECT_EQ(5, closedObjects);
}

TEST_F(KernelControlTest, HeapCountersFollowAllocations) {
  long allocations = winsimHeapAllocationCount();
  long blocks = winsimHeapBlockCount();
  void *block = HeapAlloc(GetProcessHeap(), 0, 10);
  block = HeapReAlloc(GetProcessHeap(), 0, block, 100);
  EXPECT_EQ(allocations + 2, winsimHeapAllocationCount());
  EXPECT_EQ(blocks + 1, winsimHeapBlockCount());
  HeapFree(GetProcessHeap(), 0, block);
  EXPECT_EQ(blocks, winsimHeapBlockCount());
}

// Asking for a block so large that its bookkeeping would not fit fails as
// it does on Windows, and no block is made or lost.
TEST_F(KernelControlTest, HeapRequestsTooLargeForTheHeaderFail) {
  long allocations = winsimHeapAllocationCount();
  long blocks = winsimHeapBlockCount();
  for (SIZE_T bytes : {(SIZE_T)-8, (SIZE_T)-1}) {
    EXPECT_EQ(nullptr, HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes)) << bytes;
  }
  char *block = (char *)HeapAlloc(GetProcessHeap(), 0, 4);
  ASSERT_NE(nullptr, block);
  memcpy(block, "vrn", 4);
  EXPECT_EQ(nullptr, HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, (SIZE_T)-8));
  EXPECT_STREQ("vrn", block) << "a failed HeapReAlloc keeps the block";
  EXPECT_EQ(allocations + 1, winsimHeapAllocationCount());
  EXPECT_EQ(blocks + 1, winsimHeapBlockCount());
  EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, block));
  EXPECT_EQ(blocks, winsimHeapBlockCount());
}

// ---- system facts (controls) --------------------------------------------------------------

TEST_F(KernelControlTest, TheVersionIsWindowsXpUnlessSetOtherwise) {
  EXPECT_EQ(0x0A280105u, GetVersion());
  winsimSetVersion(0xC0000004);  // Windows 95
  EXPECT_EQ(0xC0000004u, GetVersion());
  winsimResetKernel();
  EXPECT_EQ(0x0A280105u, GetVersion());
}

TEST_F(KernelControlTest, TheTickCountCanBeMovedForward) {
  DWORD before = GetTickCount();
  winsimAdvanceTickCount(100000);
  DWORD after = GetTickCount();
  EXPECT_GE(after - before, 100000u);
  EXPECT_LT(after - before, 200000u);
}

DWORD shellVersion() {
  char path[MAX_PATH];
  if (!SearchPathA(NULL, "shell32.dll", NULL, MAX_PATH, path, NULL)) return 0;
  DWORD size = GetFileVersionInfoSizeA(path, NULL);
  if (!size) return 0;
  std::string block(size, '\0');
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  GetFileVersionInfoA(path, 0, size, &block[0]);
  if (!VerQueryValueA(&block[0], "\\", (LPVOID *)&info, &length)) return 0;
  return info->dwFileVersionMS;
}

TEST_F(KernelControlTest, TheShellsVersionPresenceAndResourceAreSet) {
  EXPECT_EQ(0x00060000u, shellVersion());
  winsimSetShell32(WINSIM_SHELL32_VERSIONED, 0x00040047);  // 4.71
  EXPECT_EQ(0x00040047u, shellVersion());

  winsimSetShell32(WINSIM_SHELL32_UNVERSIONED, 0);
  char path[MAX_PATH];
  ASSERT_GT(SearchPathA(NULL, "shell32.dll", NULL, MAX_PATH, path, NULL), 0u);
  EXPECT_EQ(0u, GetFileVersionInfoSizeA(path, NULL));
  EXPECT_EQ((DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND, GetLastError());

  winsimSetShell32(WINSIM_SHELL32_MISSING, 0);
  EXPECT_EQ(0u, SearchPathA(NULL, "shell32.dll", NULL, MAX_PATH, path, NULL));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());

  winsimResetKernel();
  EXPECT_EQ(0x00060000u, shellVersion());
}

// A missing library fails to load until it is present again, and its load
// count follows LoadLibraryA and FreeLibrary; one already loaded stays. In
// a fresh process: this one's loader has loaded both libraries for good.
TEST_F(KernelControlTest, ALibraryCanGoMissingAndItsLoadsAreCounted) {
  FreshProcessStyle style;
  EXPECT_EXIT(
      {
        winsimSetLibraryPresent("version.dll", FALSE);
        SetLastError(0);
        HMODULE version = LoadLibraryA("version.dll");
        fprintf(stderr, "missing: %s %lu %d\n", version ? "loaded" : "none",
                (unsigned long)GetLastError(), winsimLibraryLoadCount("version.dll"));
        HMODULE shlwapi = LoadLibraryA("shlwapi.dll");
        int once = winsimLibraryLoadCount("SHLWAPI.DLL");
        winsimSetLibraryPresent("shlwapi.dll", FALSE);
        HMODULE again = LoadLibraryA("shlwapi");
        fprintf(stderr, "loaded: %d %d %s\n", once, winsimLibraryLoadCount("shlwapi.dll"),
                again == shlwapi && shlwapi ? "same" : "other");
        BOOL first = FreeLibrary(shlwapi);
        BOOL second = FreeLibrary(shlwapi);
        BOOL third = FreeLibrary(shlwapi);
        fprintf(stderr, "freed: %d %d %d %d %s %s\n", first, second, third,
                winsimLibraryLoadCount("shlwapi.dll"),
                GetProcAddress(shlwapi, "PathAppendA") ? "found" : "gone",
                LoadLibraryA("shlwapi.dll") ? "loaded" : "none");
        winsimResetKernel();
        fprintf(stderr, "reset: %s\n", LoadLibraryA("version.dll") ? "loaded" : "none");
        exit(0);
      },
      ::testing::ExitedWithCode(0),
      "missing: none 126 0\nloaded: 1 2 same\nfreed: 1 1 0 0 gone none\nreset: loaded");
}

// ---- the host's own paths ---------------------------------------------------------------------

std::string appended(const char *path, const char *more) {
  char buffer[MAX_PATH];
  strcpy(buffer, path);
  EXPECT_TRUE(PathAppendA(buffer, more));
  return buffer;
}

std::string withoutFileSpec(const char *path, BOOL expected) {
  char buffer[MAX_PATH];
  strcpy(buffer, path);
  EXPECT_EQ(expected, PathRemoveFileSpecA(buffer)) << path;
  return buffer;
}

TEST_F(KernelControlTest, ShellPathFunctionsTakeForwardSlashes) {
  EXPECT_EQ("/tmp/x/y", appended("/tmp/x", "y"));
  EXPECT_EQ("/tmp/x/y", appended("/tmp/x/", "y"));
  EXPECT_EQ("/tmp/y", appended("/tmp/x", "../y"));
  EXPECT_EQ("/tmp/x/vorn.ini", appended("/tmp/x", "/vorn.ini"));
  EXPECT_EQ("/tmp", withoutFileSpec("/tmp/x", TRUE));
  EXPECT_EQ("/", withoutFileSpec("/x", TRUE));
  EXPECT_EQ("/", withoutFileSpec("/", FALSE));
  EXPECT_FALSE(PathIsRelativeA("/tmp"));
  EXPECT_TRUE(PathIsRelativeA("tmp/x"));
}

// Windows leaves open what a NULL buffer with a non-zero size gives;
// winsim answers with the size needed, and must not hand out a file part
// that points into no buffer.
TEST_F(KernelControlTest, SearchPathWithoutABufferGivesTheSizeAndNoFilePart) {
  char path[MAX_PATH * 4];
  DWORD length = SearchPathA(NULL, "shell32.dll", NULL, sizeof path, path, NULL);
  ASSERT_GT(length, 0u);
  char sentinel = 0;
  LPSTR part = &sentinel;
  EXPECT_EQ(length + 1, SearchPathA(NULL, "shell32.dll", NULL, sizeof path, NULL, &part));
  EXPECT_EQ(&sentinel, part);
  EXPECT_EQ(length + 1, SearchPathA(NULL, "shell32.dll", NULL, 0, NULL, &part));
  EXPECT_EQ(&sentinel, part);
}

TEST_F(KernelControlTest, TheProgramsFileIsTheRealExecutable) {
  char expected[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", expected, sizeof expected - 1);
  ASSERT_GT(length, 0);
  expected[length] = '\0';
  char path[MAX_PATH * 4];
  EXPECT_EQ((DWORD)length, GetModuleFileNameA(NULL, path, sizeof path));
  EXPECT_STREQ(expected, path);
  EXPECT_EQ(GetModuleHandleA(NULL), GetModuleHandleA(strrchr(expected, '/') + 1));
}

TEST_F(KernelControlTest, DriveLettersAreRefusedByFileCalls) {
  SetLastError(0);
  EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA("C:\\vorn.txt", GENERIC_WRITE, 0, NULL, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, NULL));
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
  char full[MAX_PATH];
  GetFullPathNameA("C:\\x\\.\\y\\..\\z", MAX_PATH, full, NULL);
  EXPECT_STREQ("C:/x/z", full);
}

// The default Windows folder is made in the temporary folder, named after
// the process, and removed again when the process ends.
TEST_F(KernelControlTest, TheDefaultWindowsFolderBelongsToTheProcess) {
  FreshProcessStyle style;
  std::string report = sharedTestPath("VORN_KERNEL_WINDOWS_REPORT", "vorn-kernel-windows-report");
  EXPECT_EXIT(
      {
        unsetenv("WINSIM_WINDOWS_DIR");
        setenv("TMPDIR", "/tmp", 1);
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        std::string expected = "/tmp/winsim-" + std::to_string(getpid()) + "/windows";
        FILE *out = fopen(report.c_str(), "w");
        fputs(windows, out);
        fclose(out);
        struct stat info;
        bool made = stat(windows, &info) == 0 && S_ISDIR(info.st_mode);
        exit(made && expected == windows ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  std::string windows = hostFile(report);
  unlink(report.c_str());
  ASSERT_NE("<missing>", windows);
  struct stat info;
  EXPECT_NE(0, stat(windows.c_str(), &info)) << windows << " is still there";
  std::string processFolder = windows.substr(0, windows.rfind('/'));
  EXPECT_NE(0, stat(processFolder.c_str(), &info)) << processFolder << " is still there";
  unsetenv("VORN_KERNEL_WINDOWS_REPORT");
}

// The name of a process that has ended: a child that is gone and reaped.
pid_t endedProcess() {
  pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, NULL, 0);
  return child;
}

TEST_F(KernelControlTest, FoldersOfProcessesThatEndedAbruptlyAreRemoved) {
  FreshProcessStyle style;
  std::string stale;
  if (const char *inherited = getenv("VORN_KERNEL_STALE_FOLDER")) {
    stale = inherited;
  } else {
    stale = "/tmp/winsim-" + std::to_string(endedProcess());
    mkdir(stale.c_str(), 0777);
    mkdir((stale + "/windows").c_str(), 0777);
    setenv("VORN_KERNEL_STALE_FOLDER", stale.c_str(), 1);
  }
  EXPECT_EXIT(
      {
        unsetenv("WINSIM_WINDOWS_DIR");
        setenv("TMPDIR", "/tmp", 1);
        char windows[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        exit(0);
      },
      ::testing::ExitedWithCode(0), "");
  struct stat info;
  EXPECT_NE(0, stat(stale.c_str(), &info)) << stale << " is still there";
  rmdir((stale + "/windows").c_str());
  rmdir(stale.c_str());
  unsetenv("VORN_KERNEL_STALE_FOLDER");
}

TEST_F(KernelControlTest, WinsimWindowsDirNamesAFolderThatIsKept) {
  FreshProcessStyle style;
  std::string folder = sharedTestPath("VORN_KERNEL_WINDOWS_DIR", "vorn-kernel-windows");
  EXPECT_EXIT(
      {
        setenv("WINSIM_WINDOWS_DIR", folder.c_str(), 1);
        char windows[MAX_PATH];
        char system[MAX_PATH];
        GetWindowsDirectoryA(windows, MAX_PATH);
        GetSystemDirectoryA(system, MAX_PATH);
        bool right = folder == windows && folder + "/system32" == system;
        bool shell = PathFileExistsA((folder + "/system32/shell32.dll").c_str());
        exit(right && shell ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  struct stat info;
  EXPECT_EQ(0, stat((folder + "/system32/shell32.dll").c_str(), &info));
  unlink((folder + "/system32/shell32.dll").c_str());
  rmdir((folder + "/system32").c_str());
  rmdir(folder.c_str());
  unsetenv("VORN_KERNEL_WINDOWS_DIR");
}

// ---- views that are really read-only ----------------------------------------------------------

TEST_F(KernelControlTest, WritingThroughAReadViewFaults) {
  HANDLE section = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 100, NULL);
  volatile char *reader = (volatile char *)MapViewOfFile(section, FILE_MAP_READ, 0, 0, 0);
  volatile char *writer = (volatile char *)MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0);
  ASSERT_TRUE(reader && writer);
  writer[0] = 1;
  EXPECT_EQ(1, reader[0]);
  EXPECT_DEATH(reader[0] = 2, "");
  UnmapViewOfFile((LPCVOID)reader);
  UnmapViewOfFile((LPCVOID)writer);
  CloseHandle(section);
}

// ---- profile writes keep the rest of the file (Windows does; Wine rewrites it) ------------------

class ProfilePreservationTest : public KernelControlTest {
 protected:
  void useFile(const std::string &text) {
    ASSERT_TRUE(scratch.write("keep.ini", text));
    ini = scratch.path("keep.ini");
  }

  std::string text() { return scratch.read("keep.ini"); }

  ScratchFolder scratch;
  std::string ini;
};

const char UNTIDY_FILE[] =
    "; settings\n\n[Sec]\n  key  =  old  \n\nother = x\n\n\n[Two]\r\nz = 1\r\n";

TEST_F(ProfilePreservationTest, ReplacingAValueChangesOnlyItsLine) {
  useFile(UNTIDY_FILE);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "KEY", "new", ini.c_str()));
  EXPECT_EQ("; settings\n\n[Sec]\nkey=new\n\nother = x\n\n\n[Two]\r\nz = 1\r\n", text());
}

TEST_F(ProfilePreservationTest, ANewKeyGoesBeforeTheBlankLinesThatEndItsSection) {
  useFile(UNTIDY_FILE);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "added", "v", ini.c_str()));
  EXPECT_EQ("; settings\n\n[Sec]\n  key  =  old  \n\nother = x\nadded=v\r\n\n\n[Two]\r\nz = 1\r\n",
            text());
}

TEST_F(ProfilePreservationTest, RemovingTakesOutOnlyWhatWasNamed) {
  useFile(UNTIDY_FILE);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "other", NULL, ini.c_str()));
  EXPECT_EQ("; settings\n\n[Sec]\n  key  =  old  \n\n\n\n[Two]\r\nz = 1\r\n", text());
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", NULL, NULL, ini.c_str()));
  EXPECT_EQ("; settings\n\n[Two]\r\nz = 1\r\n", text());
}

TEST_F(ProfilePreservationTest, CrOnlyFilesAndTextAfterANulSurvive) {
  const char original[] = "[S]\ra=1\0tail\rb=2\r";
  useFile(std::string(original, sizeof original - 1));
  ASSERT_TRUE(WritePrivateProfileStringA("S", "b", "3", ini.c_str()));
  const char expected[] = "[S]\ra=1\0tail\rb=3\r";
  EXPECT_EQ(std::string(expected, sizeof expected - 1), text());
}

TEST_F(ProfilePreservationTest, AnUnchangedValueLeavesTheFileUntouched) {
  useFile(UNTIDY_FILE);
  struct stat before;
  stat(hostPath(ini).c_str(), &before);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "other", "x", ini.c_str()));
  struct stat after;
  stat(hostPath(ini).c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(UNTIDY_FILE, text());
}

int entriesIn(const std::string &folder) {
  DIR *listing = opendir(hostPath(folder).c_str());
  int count = 0;
  while (struct dirent *entry = readdir(listing)) {
    count += strcmp(entry->d_name, ".") != 0 && strcmp(entry->d_name, "..") != 0;
  }
  closedir(listing);
  return count;
}

TEST_F(ProfilePreservationTest, AWriteKeepsThePermissionsAndLeavesNoTemporaryFile) {
  useFile(UNTIDY_FILE);
  chmod(hostPath(ini).c_str(), 0640);
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "key", "new", ini.c_str()));
  struct stat info;
  stat(hostPath(ini).c_str(), &info);
  EXPECT_EQ(0640u, info.st_mode & 07777);
  EXPECT_EQ(1, entriesIn(scratch.folder()));
}

TEST_F(ProfilePreservationTest, AWriteThroughALinkChangesTheFileItPointsTo) {
  useFile("[Sec]\r\nkey=old\r\n");
  std::string link = hostPath(scratch.path("link.ini"));
  ASSERT_EQ(0, symlink(hostPath(ini).c_str(), link.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Sec", "key", "new", link.c_str()));
  struct stat info;
  lstat(link.c_str(), &info);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  EXPECT_EQ("[Sec]\r\nkey=new\r\n", text());
}

// A write that cannot be completed (here: the process may not write files
// that large) leaves the old file exactly as it was.
TEST_F(ProfilePreservationTest, AFailedWriteLeavesTheOldFile) {
  useFile(UNTIDY_FILE);
  struct rlimit saved;
  getrlimit(RLIMIT_FSIZE, &saved);
  struct rlimit small = saved;
  small.rlim_cur = 16;
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  setrlimit(RLIMIT_FSIZE, &small);
  SetLastError(0);
  BOOL written = WritePrivateProfileStringA("Sec", "key", "new", ini.c_str());
  DWORD error = GetLastError();
  setrlimit(RLIMIT_FSIZE, &saved);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(written);
  EXPECT_NE((DWORD)ERROR_SUCCESS, error);
  EXPECT_EQ(UNTIDY_FILE, text());
  EXPECT_EQ(1, entriesIn(scratch.folder()));
}

}  // namespace
