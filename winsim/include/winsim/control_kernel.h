// winsim controls for the kernel services (files, mappings, versions).
// Host build only: Windows has no API for these.
#pragma once

#include "winsim/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

// Puts every kernel setting below back to its default (the user's SID
// too), stops any planned failure and clears the section records. Open
// handles, sections, files and loaded libraries are left alone.
void winsimResetKernel(void);

// ---- handles -------------------------------------------------------------------
// How many kernel handles (files, file mappings, ...) are open.
int winsimOpenHandleCount(void);

// ---- named shared memory --------------------------------------------------------
// The next CreateFileMappingA (or MapViewOfFile) fails with `error` and
// returns NULL, whatever it is asked; later calls work again. An error of
// 0 cancels a planned failure.
void winsimFailNextCreateFileMapping(DWORD error);
void winsimFailNextMapViewOfFile(DWORD error);
// Sections that still exist (held by a handle or a view) and views mapped.
int winsimSectionCount(void);
int winsimViewCount(void);

// ---- system facts -----------------------------------------------------------------
// What GetVersion returns; by default 0x0A280105 (Windows XP, 5.1 build 2600).
void winsimSetVersion(DWORD version);
// GetTickCount runs this many milliseconds ahead from now on.
void winsimAdvanceTickCount(DWORD milliseconds);

// The simulated shell32.dll in the system folder: present with a version
// resource whose dwFileVersionMS is `fileVersionMS` (major << 16 | minor;
// by default 6.0), present without a version resource, or missing.
typedef enum WinsimShell32 {
  WINSIM_SHELL32_VERSIONED = 0,
  WINSIM_SHELL32_UNVERSIONED = 1,
  WINSIM_SHELL32_MISSING = 2
} WinsimShell32;
void winsimSetShell32(WinsimShell32 presence, DWORD fileVersionMS);

// Which Windows the program runs on, as IsWow64Process tells a 32-bit
// program: 32-bit Windows (the default; IsWow64Process answers FALSE),
// 64-bit Windows (TRUE), or a system too old to have IsWow64Process
// (GetProcAddress does not find it).
typedef enum WinsimWindowsBitness {
  WINSIM_WINDOWS_32 = 0,
  WINSIM_WINDOWS_64 = 1,
  WINSIM_WINDOWS_WITHOUT_WOW64 = 2
} WinsimWindowsBitness;
void winsimSetWindowsBitness(WinsimWindowsBitness bitness);

// ---- files and folders ------------------------------------------------------------
// What GetModuleFileNameA/W name as the program's file: `hostPath` (UTF-8,
// '/'), or with NULL the host's own program again.
void winsimSetProgramPath(const char *hostPath);
// The folder SHGetFolderPathW(CSIDL_APPDATA) names: `hostPath` (UTF-8),
// or with NULL winsim's own beside the Windows folder again.
void winsimSetAppDataFolder(const char *hostPath);
// Whether files and folders have short (8.3) names (on by default), as a
// volume with them switched off would not.
void winsimSetShortNames(BOOL on);

// ---- console ----------------------------------------------------------------------
// Whether standard output and error are a console (by default they are
// not); switching clears what was written. What WriteConsoleW wrote to
// it since, in UTF-8.
void winsimSetConsole(BOOL console);
const char *winsimConsoleText(void);

// ---- processes ---------------------------------------------------------------------
// What GetCommandLineA returns (the bytes as given; by default "vornd.exe").
void winsimSetCommandLine(LPCSTR commandLine);

// Every CreateProcessA call, in order, successful or not. A started
// process runs nothing: WaitForSingleObject on it answers at once, with
// WAIT_OBJECT_0 (it has ended, exit code 0), or with WAIT_TIMEOUT when
// winsimSetStartedProcessesStay(TRUE) (it keeps running, like a daemon
// that became the first instance).
enum { WINSIM_PROCESS_TEXT = 1024 };
typedef struct WinsimProcessRecord {
  char application[WINSIM_PROCESS_TEXT];       // "" for NULL
  char commandLine[WINSIM_PROCESS_TEXT];       // "" for NULL
  char currentDirectory[WINSIM_PROCESS_TEXT];  // "" for NULL
  DWORD flags;
  BOOL inheritHandles;
  BOOL started;      // the call succeeded
  int waits;         // WaitForSingleObject calls on its handle
  DWORD lastWaitMs;  // the timeout of the last of them
} WinsimProcessRecord;
int winsimProcessRecordCount(void);
// Valid until the next CreateProcessA or clear.
const WinsimProcessRecord *winsimProcessRecord(int index);
void winsimClearProcessRecords(void);
void winsimSetStartedProcessesStay(BOOL stay);

// The program file QueryFullProcessImageNameA gives for process
// `processId`; by default every process runs the host program itself. A
// NULL path puts the default back.
void winsimSetProcessImagePath(DWORD processId, LPCSTR path);
// How often OpenProcess was called since the last winsimResetKernel.
int winsimOpenProcessCallCount(void);

// ---- system libraries ---------------------------------------------------------------
// Whether LoadLibraryA finds the system DLL called `name` (shlwapi.dll,
// version.dll, dwmapi.dll, advapi32.dll): by default every one is present; a missing one fails to
// load with ERROR_MOD_NOT_FOUND. A library loaded already stays loaded.
void winsimSetLibraryPresent(LPCSTR name, BOOL present);
// How many LoadLibraryA calls for `name` FreeLibrary has not yet matched.
int winsimLibraryLoadCount(LPCSTR name);

// ---- heap --------------------------------------------------------------------------
// Successful HeapAlloc and HeapReAlloc calls so far, and blocks not yet freed.
long winsimHeapAllocationCount(void);
long winsimHeapBlockCount(void);
// LocalAlloc'd blocks not yet given back with LocalFree.
long winsimLocalBlockCount(void);

// ---- security ------------------------------------------------------------------------
// The SID of the process's user, as GetTokenInformation(TokenUser) gives it
// (by default S-1-5-21-1111111111-2222222222-3333333333-1001). `text` is a
// SID in its text form; 0 when it is not one.
int winsimSetUserSid(LPCSTR text);

// What the token of process `processId` says (OpenProcessToken,
// GetTokenInformation; private namespaces and mutexes check the caller's):
// the user it runs as (a SID's text; NULL for the process's user, the
// default), its integrity level (SECURITY_MANDATORY_*_RID; Medium by
// default) and whether it is elevated (FALSE by default).
void winsimSetProcessUser(DWORD processId, LPCSTR sidText);
void winsimSetProcessIntegrity(DWORD processId, DWORD rid);
void winsimSetProcessElevated(DWORD processId, BOOL elevated);
// Gives the process's (elevated) token UAC's linked limited token at
// integrity level `limitedRid` (TokenElevationType then answers
// TokenElevationTypeFull, TokenLinkedToken that token); 0 takes it away
// (TokenElevationTypeDefault: UAC off, or a standard user), the default.
void winsimSetProcessLinkedToken(DWORD processId, DWORD limitedRid);

// The security GetNamedSecurityInfoA reports for the file or folder at
// `path`, as SDDL text ("O:BAD:(A;OICI;FA;;;SY)..."); NULL puts back the
// default, a folder of the user's own profile. 0 for text that is no
// descriptor.
int winsimSetFileSecurity(LPCSTR path, LPCSTR sddl);
// The integrity level of the process's token (SECURITY_MANDATORY_*_RID;
// Medium by default), as GetTokenInformation(TokenIntegrityLevel) gives it.
// Sections follow the mandatory integrity rules for it: see below. A test
// plays another program (a sandboxed one at Low, another user) by setting
// the token's user and level while that program acts, and back after.
void winsimSetIntegrityLevel(DWORD rid);

// Each CreateFileMappingA call, in order: the name asked for (empty for
// none), whether security attributes with a descriptor were given, and the
// descriptor as its SDDL text. A named section made with a descriptor keeps
// it: CreateFileMappingA (which opens an existing section for writing) and
// OpenFileMappingA grant the user only what the descriptor's DACL allows
// the user's SID (GA, GR, GW), else they fail with ERROR_ACCESS_DENIED.
// The owner is the descriptor's O: (only the creator's own user is
// accepted, else ERROR_INVALID_OWNER) or the creator's user. The mandatory
// label is the descriptor's ML entry (one above the creator's level fails
// with ERROR_INVALID_LABEL), or, made without one by a process below
// Medium, that process's level; a section without a label counts as
// Medium. A process below the label is refused what the label's policy
// (NW, NR) forbids. A section made with SEC_RESERVE has reserved pages
// only: its views fault on any access and VirtualQuery says MEM_RESERVE.
enum { WINSIM_SECTION_NAME = 64, WINSIM_DESCRIPTOR_TEXT = 512 };
typedef struct WinsimSectionRecord {
  char name[WINSIM_SECTION_NAME];
  BOOL hasDescriptor;
  char descriptor[WINSIM_DESCRIPTOR_TEXT];
} WinsimSectionRecord;
int winsimSectionRecordCount(void);
const WinsimSectionRecord *winsimSectionRecord(int index);
void winsimClearSectionRecords(void);

#ifdef __cplusplus
}
#endif
