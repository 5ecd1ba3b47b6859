; vorn's installer, for the current user and without administrator rights:
; both pairs and vorncheck into %LOCALAPPDATA%\Programs\vorn, the sample
; configuration into %APPDATA%\vorn\vorn.ini when there is none yet, a Run
; value under HKCU to start vorn at logon, and an entry in Installed apps.
;
; makensis -DVERSION=1.2.3 -DSTAGE=<folder with the release's files>
;          -DOUTFILE=<setup.exe> vorn.nsi
;
; Silent (/S), as package managers run it. /NOLOGON leaves the Run value
; out; an upgrade keeps whatever the user chose before.
;
; The installer is a 64-bit program: it installs both pairs, and only
; 64-bit Windows needs both (32-bit Windows has the zip).

!ifndef VERSION | STAGE | OUTFILE
  !error "define VERSION, STAGE and OUTFILE"
!endif

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestSupportedOS all

Name "vorn ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\vorn"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\vorn"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_ONCE_KEY "Software\Microsoft\Windows\CurrentVersion\RunOnce"
; An upgrade goes where the installed copy is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey "ProductName" "vorn"
VIAddVersionKey "CompanyName" "vorn"
VIAddVersionKey "FileDescription" "vorn setup"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "LegalCopyright" "MIT License"

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "Sections.nsh"

LicenseData "${STAGE}\LICENSE.txt"
Page license
Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

; The daemon started after the install, and the one the Run value starts.
Var daemon

; ---- stopping vorn, and files that programs still hold -----------------------------

; `vornd --stop` only posts the running daemon its close; the daemons are
; gone once their control windows are. A daemon of another folder does not
; stop on our command: after ten seconds the install goes on regardless.
!macro STOP_VORN prefix
Function ${prefix}StopVorn
  ${If} ${FileExists} "$INSTDIR\vornd.exe"
    ExecWait '"$INSTDIR\vornd.exe" --stop'
  ${EndIf}
  ; Told directly as well: where the 32-bit daemon cannot run, it cannot
  ; pass the command on.
  ${If} ${FileExists} "$INSTDIR\vornd64.exe"
    ExecWait '"$INSTDIR\vornd64.exe" --stop'
  ${EndIf}
  StrCpy $0 0
  ${Do}
    FindWindow $1 "vornMainWnd"
    FindWindow $2 "vornMainWnd64"
    ${If} $1 == 0
    ${AndIf} $2 == 0
      ${Break}
    ${EndIf}
    IntOp $0 $0 + 1
    ${If} $0 > 100
      ${Break}
    ${EndIf}
    Sleep 100
  ${Loop}
  ClearErrors
FunctionEnd
!macroend
!insertmacro STOP_VORN ""
!insertmacro STOP_VORN "un."

; A stopped daemon's hook library stays loaded in every program that ran
; its hooks until that program runs a hook again, and Windows will not let
; a loaded image be deleted or overwritten, only renamed ("The file is in
; use" for DeleteFile; MoveFileEx renames an open file within a volume).
; So a program file that cannot be deleted is renamed to <name>.<n>.old in
; the same folder, and the new file takes its name. The moved files are
; deleted by the next install or the uninstall, once no program has them.
!macro REMOVE_MOVED_ASIDE prefix
Function ${prefix}RemoveMovedAside
  Delete "$INSTDIR\vornd.exe.*.old"
  Delete "$INSTDIR\vorn.dll.*.old"
  Delete "$INSTDIR\vornd64.exe.*.old"
  Delete "$INSTDIR\vorn64.dll.*.old"
  Delete "$INSTDIR\vorncheck.exe.*.old"
  ClearErrors
FunctionEnd
!macroend
!insertmacro REMOVE_MOVED_ASIDE ""
!insertmacro REMOVE_MOVED_ASIDE "un."

; $R0: the program file's name.
Function MoveAsideIfHeld
  Delete "$INSTDIR\$R0"
  ${If} ${FileExists} "$INSTDIR\$R0"
    StrCpy $R1 1
    ${While} ${FileExists} "$INSTDIR\$R0.$R1.old"
      IntOp $R1 $R1 + 1
    ${EndWhile}
    Rename "$INSTDIR\$R0" "$INSTDIR\$R0.$R1.old"
    DetailPrint "$R0 is in use: moved aside to $R0.$R1.old"
  ${EndIf}
  ClearErrors
FunctionEnd

; A file that could be neither replaced nor moved aside fails the install
; (exit code 2), rather than leaving the old program beside the new ones.
!macro INSTALL_PROGRAM name
  StrCpy $R0 "${name}"
  Call MoveAsideIfHeld
  ClearErrors
  File "${STAGE}\${name}"
  ${If} ${Errors}
    Abort "${name} is in use and could not be replaced"
  ${EndIf}
!macroend

; ---- install -----------------------------------------------------------------------

Section "vorn (required)"
  SectionIn RO
  SetOutPath "$INSTDIR"
  Call StopVorn
  Call RemoveMovedAside
  !insertmacro INSTALL_PROGRAM vornd.exe
  !insertmacro INSTALL_PROGRAM vorn.dll
  !insertmacro INSTALL_PROGRAM vornd64.exe
  !insertmacro INSTALL_PROGRAM vorn64.dll
  !insertmacro INSTALL_PROGRAM vorncheck.exe
  File "${STAGE}\README.txt"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\CHANGELOG.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The user's rules live outside the program folder, where no upgrade
  ; touches them; the sample goes there only when there are none yet.
  ${IfNot} ${FileExists} "$APPDATA\vorn\vorn.ini"
    SetOutPath "$APPDATA\vorn"
    File "${STAGE}\vorn.ini"
    SetOutPath "$INSTDIR"
  ${EndIf}

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "vorn"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "vorn"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vornd.exe"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Start vorn when you log on" LOGON
SectionEnd

; vornd.exe starts vornd64.exe beside it. A Windows without 32-bit support
; (Windows Server can leave WOW64 out) cannot run vornd.exe; there every
; program is 64-bit, and vornd64.exe alone covers them all.
Function StartVorn
  StrCpy $daemon "vornd.exe"
  ClearErrors
  Exec '"$INSTDIR\vornd.exe"'
  ${If} ${Errors}
    StrCpy $daemon "vornd64.exe"
    ClearErrors
    Exec '"$INSTDIR\vornd64.exe"'
  ${EndIf}
FunctionEnd

; An install that failed half-way has stopped vorn: the programs that are
; there run again.
Function .onInstFailed
  Call StartVorn
FunctionEnd

Section "-start vorn"
  Call StartVorn
  ${If} ${SectionIsSelected} ${LOGON}
    WriteRegStr HKCU "${RUN_KEY}" "vorn" '"$INSTDIR\$daemon"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "vorn"
  ${EndIf}
SectionEnd

Function .onInit
  ; An upgrade keeps the user's choice: no Run value, no start at logon.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $1 HKCU "${RUN_KEY}" "vorn"
  ${If} $0 != ""
  ${AndIf} $1 == ""
    !insertmacro UnselectSection ${LOGON}
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/NOLOGON" $1
  ${IfNot} ${Errors}
    !insertmacro UnselectSection ${LOGON}
  ${EndIf}
FunctionEnd

; ---- uninstall ---------------------------------------------------------------------

; What some program still holds goes at the next logon, when no program
; has loaded it yet, and so does the copy of the uninstaller that runs now:
; NSIS runs it from a folder in %TEMP% so that it can delete the original,
; and its own way of deleting that copy (at the next restart) needs
; administrator rights. A batch file in %TEMP% does both, and deletes
; itself (a RunOnce command line must stay within 260 characters): only
; vorn's own names are deleted from the installed folder, and the folder
; only when that leaves it empty.
Function un.CleanUpAtNextLogon
  StrCpy $2 "$INSTDIR"
  ${IfNot} ${FileExists} "$INSTDIR\*.*"
    StrCpy $2 ""
  ${EndIf}
  StrCpy $3 "$EXEDIR"
  ${If} $EXEDIR == $INSTDIR
    StrCpy $3 ""
  ${EndIf}
  ${If} $2 == ""
  ${AndIf} $3 == ""
    Return
  ${EndIf}
  StrCpy $1 "$TEMP\vorn-cleanup.cmd"
  ClearErrors
  FileOpen $0 $1 w
  ${If} ${Errors}
    Return
  ${EndIf}
  FileWrite $0 '@echo off$\r$\n'
  ${If} $2 != ""
    FileWrite $0 'cd /d "$2" && del /f /q vornd.exe vorn.dll vornd64.exe vorn64.dll vorn*.old$\r$\n'
    FileWrite $0 'cd /d "%TEMP%"$\r$\n'
    FileWrite $0 'rd "$2"$\r$\n'
  ${EndIf}
  ${If} $3 != ""
    FileWrite $0 'cd /d "%TEMP%"$\r$\nrd /s /q "$3"$\r$\n'
  ${EndIf}
  ; One line: cmd reads no further line of the file it has deleted.
  FileWrite $0 'del "%~f0" & exit /b$\r$\n'
  FileClose $0
  WriteRegStr HKCU "${RUN_ONCE_KEY}" "vorn cleanup" '"$SYSDIR\cmd.exe" /d /c "$1"'
FunctionEnd

Section "Uninstall"
  Call un.StopVorn
  DeleteRegValue HKCU "${RUN_KEY}" "vorn"
  Call un.RemoveMovedAside
  Delete "$INSTDIR\vornd.exe"
  Delete "$INSTDIR\vorn.dll"
  Delete "$INSTDIR\vornd64.exe"
  Delete "$INSTDIR\vorn64.dll"
  Delete "$INSTDIR\vorncheck.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\CHANGELOG.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  Call un.CleanUpAtNextLogon
  ; The user's vorn.ini in %APPDATA%\vorn stays.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
