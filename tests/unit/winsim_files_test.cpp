// Files, folders, path names, SHLWAPI paths, the program as a module, the
// search for shell32.dll and its version resource: the file-system side of
// the platform that the loader relies on, checked against the platform
// itself (winsim on the host, Windows under Wine).
#include <gtest/gtest.h>
#include <shlwapi.h>
#include <windows.h>

#include <string.h>

#include <atomic>
#include <string>
#include <thread>

#include "support/caller_trace.h"
#include "winsim_scratch.h"

namespace {

using vorntest::ScratchFolder;
using vorntest::separatorOf;

HANDLE openFile(const std::string &path, DWORD access, DWORD share, DWORD disposition) {
  return CreateFileA(path.c_str(), access, share, NULL, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
}

DWORD errorOf(HANDLE handle) {
  DWORD error = GetLastError();
  if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return error;
}

std::string lower(std::string text) {
  for (char &c : text) c = (char)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

// Paths compared as Windows compares them: case does not matter, and
// (for the host's paths, which winsim accepts with either) neither does
// the kind of separator.
std::string comparable(const std::string &path) {
  std::string text = lower(path);
  for (char &c : text) c = c == '\\' ? '/' : c;
  return text;
}

// ---- opening and creating files ------------------------------------------------------

TEST(KernelFiles, DispositionsReportWhetherTheFileExisted) {
  ScratchFolder scratch;
  std::string path = scratch.path("f.txt");
  SetLastError(77);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, errorOf(openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS)));
  SetLastError(77);
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, errorOf(openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS)));
  SetLastError(77);
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, errorOf(openFile(path, GENERIC_WRITE, 0, OPEN_ALWAYS)));
  std::string fresh = scratch.path("g.txt");
  SetLastError(77);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, errorOf(openFile(fresh, GENERIC_WRITE, 0, OPEN_ALWAYS)));
  HANDLE refused = openFile(path, GENERIC_WRITE, 0, CREATE_NEW);
  EXPECT_EQ(INVALID_HANDLE_VALUE, refused);
  EXPECT_EQ((DWORD)ERROR_FILE_EXISTS, errorOf(refused));
  SetLastError(77);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, errorOf(openFile(scratch.path("h.txt"), 0, 0, CREATE_NEW)));
}

TEST(KernelFiles, CreateAlwaysAndTruncateExistingEmptyTheFile) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.write("f.txt", "content"));
  CloseHandle(openFile(scratch.path("f.txt"), GENERIC_WRITE, 0, TRUNCATE_EXISTING));
  EXPECT_EQ("", scratch.read("f.txt"));
  ASSERT_TRUE(scratch.write("g.txt", "content"));
  CloseHandle(openFile(scratch.path("g.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS));
  EXPECT_EQ("", scratch.read("g.txt"));
  ASSERT_TRUE(scratch.write("h.txt", "content"));
  CloseHandle(openFile(scratch.path("h.txt"), GENERIC_WRITE, 0, OPEN_ALWAYS));
  EXPECT_EQ("content", scratch.read("h.txt"));
}

TEST(KernelFiles, OpeningWhatIsNotThereSaysWhichPartIsMissing) {
  ScratchFolder scratch;
  HANDLE file = openFile(scratch.path("missing.txt"), GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_EQ(INVALID_HANDLE_VALUE, file);
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, errorOf(file));
  file = openFile(scratch.path("missing.txt"), GENERIC_WRITE, 0, TRUNCATE_EXISTING);
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, errorOf(file));
  file = openFile(scratch.path("no-folder\\missing.txt"), GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, errorOf(file));
  file = openFile(scratch.path("x.txt"), GENERIC_READ, 0, 0);
  EXPECT_EQ((DWORD)ERROR_INVALID_PARAMETER, errorOf(file));
  file = openFile(scratch.folder(), GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_EQ(INVALID_HANDLE_VALUE, file);
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, errorOf(file));
}

// ---- reading and writing ------------------------------------------------------------

TEST(KernelFiles, WhatIsWrittenIsReadBackToTheEnd) {
  ScratchFolder scratch;
  std::string path = scratch.path("f.txt");
  HANDLE file = openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  DWORD count = 0;
  EXPECT_TRUE(WriteFile(file, "abc", 3, &count, NULL));
  EXPECT_EQ(3u, count);
  CloseHandle(file);

  file = openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  DWORD high = 5;
  EXPECT_EQ(3u, GetFileSize(file, &high));
  EXPECT_EQ(0u, high);
  char buffer[8] = {0};
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, NULL));
  EXPECT_EQ(3u, count);
  EXPECT_STREQ("abc", buffer);
  EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, NULL));  // at the end
  EXPECT_EQ(0u, count);
  CloseHandle(file);
}

TEST(KernelFiles, AHandleOnlyDoesWhatItWasOpenedFor) {
  ScratchFolder scratch;
  std::string path = scratch.path("f.txt");
  HANDLE writer = openFile(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
  char buffer[4];
  DWORD count = 9;
  SetLastError(0);
  EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &count, NULL));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  CloseHandle(writer);
  HANDLE reader = openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  SetLastError(0);
  EXPECT_FALSE(WriteFile(reader, "x", 1, &count, NULL));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  CloseHandle(reader);
}

TEST(KernelFiles, HandlesThatAreNotOpenAreRefused) {
  ScratchFolder scratch;
  HANDLE file = openFile(scratch.path("f.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
  EXPECT_TRUE(CloseHandle(file));
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(file));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
  SetLastError(0);
  EXPECT_FALSE(CloseHandle(NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
  EXPECT_EQ(INVALID_FILE_SIZE, GetFileSize(file, NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
  char buffer[4];
  DWORD count;
  EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, buffer, 1, &count, NULL));
  EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
}

// ---- share modes --------------------------------------------------------------------------

TEST(KernelFiles, AnOpenIsRefusedWhenAnotherOpensShareModeForbidsIt) {
  ScratchFolder scratch;
  std::string path = scratch.path("f.txt");
  HANDLE exclusive = openFile(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  HANDLE second = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  EXPECT_EQ(INVALID_HANDLE_VALUE, second);
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, errorOf(second));
  HANDLE attributesOnly = openFile(path, 0, 0, OPEN_EXISTING);
  EXPECT_NE(INVALID_HANDLE_VALUE, attributesOnly);
  errorOf(attributesOnly);
  CloseHandle(exclusive);

  HANDLE reader = openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  HANDLE otherReader = openFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(INVALID_HANDLE_VALUE, otherReader);
  errorOf(otherReader);
  HANDLE writer = openFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, errorOf(writer));
  HANDLE loner = openFile(path, GENERIC_READ, 0, OPEN_EXISTING);
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, errorOf(loner));
  CloseHandle(reader);

  HANDLE sharingReader =
      openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  writer = openFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
  EXPECT_NE(INVALID_HANDLE_VALUE, writer);
  errorOf(writer);
  CloseHandle(sharingReader);
}

TEST(KernelFiles, DeletingNeedsEveryOpenToShareDeletion) {
  ScratchFolder scratch;
  std::string path = scratch.path("f.txt");
  HANDLE holder = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, CREATE_ALWAYS);
  SetLastError(0);
  EXPECT_FALSE(DeleteFileA(path.c_str()));
  EXPECT_EQ((DWORD)ERROR_SHARING_VIOLATION, GetLastError());
  CloseHandle(holder);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  EXPECT_FALSE(scratch.exists("f.txt"));

  holder = openFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, CREATE_ALWAYS);
  EXPECT_TRUE(DeleteFileA(path.c_str()));
  CloseHandle(holder);
}

// ---- deleting, folders and attributes ---------------------------------------------------

TEST(KernelFiles, DeleteFileRefusesFoldersAndMissingFiles) {
  ScratchFolder scratch;
  ASSERT_TRUE(CreateDirectoryA(scratch.path("d").c_str(), NULL));
  SetLastError(0);
  EXPECT_FALSE(DeleteFileA(scratch.path("d").c_str()));
  EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, GetLastError());
  EXPECT_FALSE(DeleteFileA(scratch.path("missing").c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_FALSE(DeleteFileA(scratch.path("no-folder\\missing").c_str()));
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
}

TEST(KernelFiles, FoldersAreMadeAndRemovedOnlyWhenThatMakesSense) {
  ScratchFolder scratch;
  std::string folder = scratch.path("d");
  EXPECT_TRUE(CreateDirectoryA(folder.c_str(), NULL));
  EXPECT_FALSE(CreateDirectoryA(folder.c_str(), NULL));
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_FALSE(CreateDirectoryA(scratch.path("a\\b").c_str(), NULL));
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
  ASSERT_TRUE(scratch.write("d\\x", "1"));
  EXPECT_FALSE(CreateDirectoryA(scratch.path("d\\x").c_str(), NULL));
  EXPECT_EQ((DWORD)ERROR_ALREADY_EXISTS, GetLastError());
  EXPECT_FALSE(RemoveDirectoryA(folder.c_str()));
  EXPECT_EQ((DWORD)ERROR_DIR_NOT_EMPTY, GetLastError());
  EXPECT_FALSE(RemoveDirectoryA(scratch.path("d\\x").c_str()));
  EXPECT_EQ((DWORD)ERROR_DIRECTORY, GetLastError());
  EXPECT_TRUE(DeleteFileA(scratch.path("d\\x").c_str()));
  EXPECT_TRUE(RemoveDirectoryA(folder.c_str()));
  EXPECT_FALSE(RemoveDirectoryA(folder.c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST(KernelFiles, AttributesTellFilesFromFolders) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.write("f.txt", "x"));
  DWORD file = GetFileAttributesA(scratch.path("f.txt").c_str());
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_ARCHIVE, file);
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(scratch.folder().c_str()));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA((scratch.folder() + "\\").c_str()));
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(scratch.path("missing").c_str()));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
  EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(scratch.path("a\\b").c_str()));
  EXPECT_EQ((DWORD)ERROR_PATH_NOT_FOUND, GetLastError());
  EXPECT_TRUE(PathFileExistsA(scratch.path("f.txt").c_str()));
  EXPECT_TRUE(PathFileExistsA(scratch.folder().c_str()));
  EXPECT_FALSE(PathFileExistsA(scratch.path("missing").c_str()));
  EXPECT_FALSE(PathFileExistsA(NULL));
}

// ---- where things are ------------------------------------------------------------------

std::string currentFolder() {
  char buffer[MAX_PATH];
  DWORD length = GetCurrentDirectoryA(MAX_PATH, buffer);
  return std::string(buffer, length);
}

TEST(KernelPaths, FullPathNamesResolveAgainstTheCurrentFolder) {
  std::string here = currentFolder();
  char separator = separatorOf(here);
  char buffer[MAX_PATH];
  char *filePart = NULL;
  DWORD length = GetFullPathNameA("a.ini", MAX_PATH, buffer, &filePart);
  EXPECT_EQ(here + separator + "a.ini", std::string(buffer));
  EXPECT_EQ(strlen(buffer), length);
  ASSERT_NE(nullptr, filePart);
  EXPECT_STREQ("a.ini", filePart);
  GetFullPathNameA("sub\\..\\.\\b.ini", MAX_PATH, buffer, &filePart);
  EXPECT_EQ(here + separator + "b.ini", std::string(buffer));
}

TEST(KernelPaths, FullPathNamesOfFoldersAndTooSmallBuffers) {
  std::string folder = currentFolder() + "\\sub\\";
  char buffer[MAX_PATH];
  char *filePart = buffer;
  GetFullPathNameA(folder.c_str(), MAX_PATH, buffer, &filePart);
  EXPECT_EQ(nullptr, filePart);  // a name ending in a separator has no file part
  DWORD needed = GetFullPathNameA("abc", 0, NULL, NULL);
  std::string full(needed, '#');
  EXPECT_EQ(needed - 1, GetFullPathNameA("abc", needed, &full[0], NULL));
  EXPECT_EQ(needed, GetFullPathNameA("abc", needed - 1, &full[0], NULL));
  EXPECT_EQ(0u, GetFullPathNameA("", MAX_PATH, buffer, NULL));
}

// The queries that return a folder give its length, or, when the buffer
// is too small (the length alone is too small: the NUL needs room), the
// size needed with the NUL.
template <typename Query>
void expectFolderQuerySizes(Query query, CALLER_PARAMETERS) {
  TRACE_CALLER();
  char buffer[MAX_PATH];
  DWORD length = query(MAX_PATH, buffer);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(strlen(buffer), length);
  EXPECT_EQ(length + 1, query(length, buffer));
  EXPECT_EQ(length, query(length + 1, buffer));
  EXPECT_EQ(length + 1, query(0, NULL));
}

TEST(KernelPaths, FolderQueriesFollowOneBufferRule) {
  expectFolderQuerySizes([](DWORD size, LPSTR buffer) { return GetTempPathA(size, buffer); });
  expectFolderQuerySizes(
      [](DWORD size, LPSTR buffer) { return GetCurrentDirectoryA(size, buffer); });
  expectFolderQuerySizes(
      [](DWORD size, LPSTR buffer) { return (DWORD)GetWindowsDirectoryA(buffer, size); });
  expectFolderQuerySizes(
      [](DWORD size, LPSTR buffer) { return (DWORD)GetSystemDirectoryA(buffer, size); });
}

TEST(KernelPaths, TheTemporaryFolderEndsInASeparatorAndExists) {
  char buffer[MAX_PATH];
  DWORD length = GetTempPathA(MAX_PATH, buffer);
  ASSERT_GT(length, 1u);
  EXPECT_EQ(separatorOf(buffer), buffer[length - 1]);
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(buffer) & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(KernelPaths, TheSystemFolderIsInsideTheWindowsFolder) {
  char windows[MAX_PATH];
  char system[MAX_PATH];
  GetWindowsDirectoryA(windows, MAX_PATH);
  GetSystemDirectoryA(system, MAX_PATH);
  std::string expected = std::string(windows) + separatorOf(windows) + "system32";
  EXPECT_EQ(comparable(expected), comparable(system));
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY,
            GetFileAttributesA(windows) & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ((DWORD)FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA(system) & FILE_ATTRIBUTE_DIRECTORY);
}

// ---- SHLWAPI paths -----------------------------------------------------------------------

std::string appended(const char *path, const char *more, BOOL expected = TRUE) {
  char buffer[MAX_PATH];
  strcpy(buffer, path);
  EXPECT_EQ(expected, PathAppendA(buffer, more)) << path << " + " << more;
  return buffer;
}

TEST(KernelShellPaths, PathAppendJoinsWithOneBackslash) {
  EXPECT_EQ("C:\\a\\b", appended("C:\\a", "b"));
  EXPECT_EQ("C:\\a\\b", appended("C:\\a\\", "b"));
  EXPECT_EQ("C:\\a\\b", appended("C:\\a", "\\b"));
  EXPECT_EQ("C:\\b", appended("C:\\", "b"));
  EXPECT_EQ("C:\\b", appended("C:", "b"));
  EXPECT_EQ("a\\b", appended("a", "b"));
  EXPECT_EQ("\\a\\b", appended("\\a", "b"));
  EXPECT_EQ("b", appended("", "b"));
  EXPECT_EQ("C:\\a", appended("C:\\a", ""));
  EXPECT_EQ("C:\\a\\b\\", appended("C:\\a", "b\\"));
}

TEST(KernelShellPaths, PathAppendResolvesDotsAndTakesAbsolutePaths) {
  EXPECT_EQ("C:\\b", appended("C:\\a", "..\\b"));
  EXPECT_EQ("C:\\a\\b\\c", appended("C:\\a\\b", ".\\c"));
  EXPECT_EQ("C:\\c", appended("C:\\a\\b", "..\\..\\..\\c"));
  EXPECT_EQ("C:\\b\\c", appended("C:\\a\\..\\..\\b", "c"));
  EXPECT_EQ("C:\\a\\b", appended("C:\\a\\.", "b"));
  EXPECT_EQ("C:\\a", appended("C:\\a", "b\\.."));
  EXPECT_EQ("\\\\srv\\x", appended("\\\\srv\\share", "..\\x"));
  EXPECT_EQ("C:\\x", appended("C:\\a", "C:\\x"));
  EXPECT_EQ("\\\\srv\\s", appended("C:\\a", "\\\\srv\\s"));
}

TEST(KernelShellPaths, PathAppendFailsWhenTheResultWouldNotFitMaxPath) {
  std::string longest(258, 'x');
  EXPECT_EQ(259u, appended(longest.c_str(), "").size() + 1);
  EXPECT_EQ(std::string(257, 'x') + "\\a", appended(std::string(257, 'x').c_str(), "a"));
  EXPECT_EQ("", appended(longest.c_str(), "a", FALSE));  // the path is emptied
  char path[MAX_PATH] = "C:\\a";
  EXPECT_FALSE(PathAppendA(path, NULL));
  EXPECT_STREQ("C:\\a", path);
}

std::string withoutFileSpec(const char *path, BOOL expected) {
  char buffer[MAX_PATH];
  strcpy(buffer, path);
  EXPECT_EQ(expected, PathRemoveFileSpecA(buffer)) << path;
  return buffer;
}

TEST(KernelShellPaths, PathRemoveFileSpecKeepsTheRoot) {
  EXPECT_EQ("C:\\a", withoutFileSpec("C:\\a\\b", TRUE));
  EXPECT_EQ("C:\\a\\b", withoutFileSpec("C:\\a\\b\\", TRUE));
  EXPECT_EQ("C:\\", withoutFileSpec("C:\\a", TRUE));
  EXPECT_EQ("C:\\", withoutFileSpec("C:\\", FALSE));
  EXPECT_EQ("C:", withoutFileSpec("C:", FALSE));
  EXPECT_EQ("C:", withoutFileSpec("C:a", TRUE));
  EXPECT_EQ("", withoutFileSpec("a", TRUE));
  EXPECT_EQ("", withoutFileSpec("", FALSE));
  EXPECT_EQ("\\", withoutFileSpec("\\a", TRUE));
  EXPECT_EQ("\\", withoutFileSpec("\\", FALSE));
  EXPECT_EQ("a", withoutFileSpec("a\\b", TRUE));
  EXPECT_EQ("C:\\a\\", withoutFileSpec("C:\\a\\\\b", TRUE));
  EXPECT_EQ("\\\\srv\\share", withoutFileSpec("\\\\srv\\share\\x", TRUE));
  EXPECT_EQ("\\\\srv", withoutFileSpec("\\\\srv\\share", TRUE));
  EXPECT_EQ("\\\\", withoutFileSpec("\\\\srv", TRUE));
  EXPECT_EQ("\\\\", withoutFileSpec("\\\\", FALSE));
  EXPECT_FALSE(PathRemoveFileSpecA(NULL));
}

TEST(KernelShellPaths, PathIsRelativeKnowsDrivesAndRoots) {
  EXPECT_FALSE(PathIsRelativeA("C:\\a"));
  EXPECT_FALSE(PathIsRelativeA("C:a"));
  EXPECT_FALSE(PathIsRelativeA("C:"));
  EXPECT_FALSE(PathIsRelativeA("\\a"));
  EXPECT_FALSE(PathIsRelativeA("\\\\srv\\x"));
  EXPECT_TRUE(PathIsRelativeA("a"));
  EXPECT_TRUE(PathIsRelativeA(".\\a"));
  EXPECT_TRUE(PathIsRelativeA(""));
  EXPECT_TRUE(PathIsRelativeA(NULL));
}

// ---- the program, shell32.dll and versions -------------------------------------------------

TEST(KernelModules, TheProgramKnowsItsOwnFile) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, path, MAX_PATH);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(strlen(path), length);
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path));
  EXPECT_FALSE(PathIsRelativeA(path));
  HMODULE program = GetModuleHandleA(NULL);
  ASSERT_NE(nullptr, program);
  char again[MAX_PATH];
  EXPECT_EQ(length, GetModuleFileNameA(program, again, MAX_PATH));
  EXPECT_STREQ(path, again);
}

// A name that does not fit fills the whole buffer, without a NUL.
TEST(KernelModules, AModuleNameThatDoesNotFitIsCutWithoutANul) {
  char full[MAX_PATH];
  DWORD length = GetModuleFileNameA(NULL, full, MAX_PATH);
  char buffer[MAX_PATH];
  memset(buffer, '#', sizeof buffer);
  SetLastError(0);
  EXPECT_EQ(5u, GetModuleFileNameA(NULL, buffer, 5));
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
  EXPECT_EQ(std::string(full, 5), std::string(buffer, 5));
  EXPECT_EQ('#', buffer[5]);
  memset(buffer, '#', sizeof buffer);
  EXPECT_EQ(length, GetModuleFileNameA(NULL, buffer, length));
  EXPECT_EQ(full[length - 1], buffer[length - 1]);
  EXPECT_EQ(length, GetModuleFileNameA(NULL, buffer, length + 1));
  EXPECT_EQ('\0', buffer[length]);
  SetLastError(0);
  EXPECT_EQ(0u, GetModuleFileNameA(NULL, buffer, 0));
  EXPECT_EQ((DWORD)ERROR_INSUFFICIENT_BUFFER, GetLastError());
}

TEST(KernelModules, AnUnknownModuleIsNotFound) {
  SetLastError(0);
  EXPECT_EQ(nullptr, GetModuleHandleA("no-such-module.dll"));
  EXPECT_EQ((DWORD)ERROR_MOD_NOT_FOUND, GetLastError());
}

std::string systemFile(const char *name) {
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  return std::string(system) + separatorOf(system) + name;
}

TEST(KernelModules, SearchPathFindsShell32InTheSystemFolder) {
  char path[MAX_PATH];
  char *filePart = NULL;
  DWORD length = SearchPathA(NULL, "shell32.dll", NULL, MAX_PATH, path, &filePart);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(strlen(path), length);
  EXPECT_EQ(comparable(systemFile("shell32.dll")), comparable(path));
  ASSERT_NE(nullptr, filePart);
  EXPECT_EQ("shell32.dll", lower(filePart));
  char withExtension[MAX_PATH];
  EXPECT_EQ(length, SearchPathA(NULL, "shell32", ".dll", MAX_PATH, withExtension, NULL));
  EXPECT_STREQ(path, withExtension);
  EXPECT_EQ(length + 1, SearchPathA(NULL, "shell32.dll", NULL, length, path, NULL));
  SetLastError(0);
  EXPECT_EQ(0u, SearchPathA(NULL, "no-such-module.dll", NULL, MAX_PATH, path, NULL));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
}

TEST(KernelModules, SearchPathLooksOnlyWhereItIsTold) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.write("here.ini", "x"));
  char path[MAX_PATH];
  EXPECT_GT(SearchPathA(scratch.folder().c_str(), "here.ini", NULL, MAX_PATH, path, NULL), 0u);
  EXPECT_EQ(comparable(scratch.path("here.ini")), comparable(path));
  EXPECT_EQ(0u, SearchPathA(scratch.folder().c_str(), "shell32.dll", NULL, MAX_PATH, path, NULL));
}

TEST(KernelVersions, Shell32CarriesTheFixedFileInformationOfVersion6) {
  std::string shell = systemFile("shell32.dll");
  DWORD handle = 9;
  SetLastError(77);
  DWORD size = GetFileVersionInfoSizeA(shell.c_str(), &handle);
  ASSERT_GT(size, (DWORD)sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(0u, handle);
  EXPECT_EQ((DWORD)ERROR_SUCCESS, GetLastError());
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA(shell.c_str(), 0, size, &block[0]));
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(&block[0], "\\", (LPVOID *)&info, &length));
  ASSERT_NE(nullptr, info);
  EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), length);
  EXPECT_EQ((DWORD)VS_FFI_SIGNATURE, info->dwSignature);
  EXPECT_EQ((DWORD)VS_FFI_STRUCVERSION, info->dwStrucVersion);
  EXPECT_EQ(6, HIWORD(info->dwFileVersionMS));
  EXPECT_EQ(0, LOWORD(info->dwFileVersionMS));
  EXPECT_EQ((DWORD)VFT_DLL, info->dwFileType);
  EXPECT_GE((const char *)info, block.data());
  EXPECT_LE((const char *)(info + 1), block.data() + size);
}

TEST(KernelVersions, AVersionBlockIsFoundByBareNameAndOnlyItsRootIsOffered) {
  DWORD size = GetFileVersionInfoSizeA("shell32.dll", NULL);
  ASSERT_GT(size, 0u);
  std::string block(size, '\0');
  ASSERT_TRUE(GetFileVersionInfoA("shell32.dll", 0, size, &block[0]));
  VS_FIXEDFILEINFO *info = NULL;
  UINT length = 0;
  EXPECT_TRUE(VerQueryValueA(&block[0], "", (LPVOID *)&info, &length));
  EXPECT_EQ(sizeof(VS_FIXEDFILEINFO), length);
  SetLastError(0);
  EXPECT_FALSE(VerQueryValueA(&block[0], "\\NoSuchBlock", (LPVOID *)&info, &length));
  EXPECT_EQ((DWORD)ERROR_RESOURCE_TYPE_NOT_FOUND, GetLastError());
}

TEST(KernelVersions, FilesWithoutAVersionResourceSayWhy) {
  ScratchFolder scratch;
  ASSERT_TRUE(scratch.write("text.dll", "[not a module]\r\n"));
  DWORD handle;
  EXPECT_EQ(0u, GetFileVersionInfoSizeA(scratch.path("text.dll").c_str(), &handle));
  EXPECT_EQ((DWORD)ERROR_RESOURCE_DATA_NOT_FOUND, GetLastError());
  EXPECT_EQ(0u, GetFileVersionInfoSizeA(scratch.path("missing.dll").c_str(), &handle));
  EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError());
}

// ---- system facts ---------------------------------------------------------------------------

TEST(KernelSystem, TheVersionIsAnNtVersionOfAtLeastFive) {
  DWORD version = GetVersion();
  EXPECT_EQ(0u, version & 0x80000000u);
  EXPECT_GE(LOBYTE(LOWORD(version)), 5);
}

// Windows updates the tick count in coarse steps that may lag the real
// time slept (under Wine, 50 ms of sleep can show as 34 ticks), so only
// the direction is checked: forwards, and not by a wrapped-around amount.
TEST(KernelSystem, SleepLetsTheTickCountAdvance) {
  DWORD before = GetTickCount();
  Sleep(50);
  DWORD elapsed = GetTickCount() - before;
  EXPECT_GT(elapsed, 0u);
  EXPECT_LT(elapsed, 3600000u);
}

// Starting and joining a thread may change the starter's own last error,
// so each side reads its value while the other waits, spinning on atomics
// (any call into the system could change the values under test).
TEST(KernelSystem, TheLastErrorBelongsToEachThread) {
  std::atomic<int> step(0);
  DWORD otherAtStart = 77;
  DWORD otherAfterMain = 77;
  std::thread other([&] {
    otherAtStart = GetLastError();
    SetLastError(99);
    step = 1;
    while (step != 2) {
    }
    otherAfterMain = GetLastError();
  });
  SetLastError(1234);
  while (step != 1) {
  }
  DWORD mainAfterOther = GetLastError();
  step = 2;
  other.join();
  EXPECT_EQ(0u, otherAtStart);
  EXPECT_EQ(1234u, mainAfterOther);
  EXPECT_EQ(99u, otherAfterMain);
}

}  // namespace
