; Zelmora's Windows installer. scripts/package.sh gives it VERSION, VERSION4 (four numbers),
; APP, RENDER, UNINSTALL (uninstall.exe, which runs the uninstaller written here as
; uninstall-core.exe, waits for it and ends with its status), ICON and OUTFILE.
; A 64-bit installer for 64-bit programs: it runs where they run (and under a Wine without
; its 32-bit half).
Target amd64-unicode
SetCompressor /SOLID lzma

!include "MUI2.nsh"

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelmora"
!define SCENE_CLASS "Zelmora.Scene"

Name "Zelmora ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zelmora"
InstallDirRegKey HKLM "Software\Zelmora" "InstallDir"
RequestExecutionLevel admin

VIProductVersion "${VERSION4}"
VIAddVersionKey "ProductName" "Zelmora"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Zelmora ${VERSION} Setup"
VIAddVersionKey "CompanyName" "Zelmora"
VIAddVersionKey "LegalCopyright" "Zelmora"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Function .onInit
  SetRegView 64
FunctionEnd

Function un.onInit
  SetRegView 64
  Call un.EnsureNotRunning
FunctionEnd

; A running program cannot be removed: the uninstaller would take away the entry and the
; shortcut and leave the folder with the program in it. So nothing is removed until both
; programs are closed. A running program's file refuses to be marked for deletion (Windows
; and Wine alike); the mark is taken back at once when it is accepted.
Function un.IsDeletable  ; $R0: the file; $R1: 1 when it could be deleted now
  StrCpy $R1 1
  IfFileExists "$R0" 0 done
  System::Call 'kernel32::CreateFileW(w R0, i 0x10000, i 7, p 0, i 3, i 0, p 0) p.r2'
  StrCmp $2 -1 busy
  System::Call 'kernel32::SetFileInformationByHandle(p r2, i 4, *i 1, i 4) i.r3'
  StrCmp $3 0 0 +3
    System::Call 'kernel32::CloseHandle(p r2)'
    Goto busy
  System::Call 'kernel32::SetFileInformationByHandle(p r2, i 4, *i 0, i 4)'
  System::Call 'kernel32::CloseHandle(p r2)'
  Goto done
busy:
  StrCpy $R1 0
done:
FunctionEnd

Function un.EnsureNotRunning
check:
  StrCpy $R0 "$INSTDIR\zelmora.exe"
  Call un.IsDeletable
  StrCmp $R1 0 busy
  StrCpy $R0 "$INSTDIR\zelmora-render.exe"
  Call un.IsDeletable
  StrCmp $R1 0 busy
  Return
busy:
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Zelmora is running. Close it (and any zelmora-render), then choose Retry." /SD IDCANCEL IDRETRY check
  Abort  ; nothing removed; the exit status says so (2)
FunctionEnd

Section "Zelmora"
  SetShellVarContext all

  ; An installation in another folder is removed first: one Zelmora, listed once.
  ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  StrCmp $0 "" fresh
  StrCmp $0 "$INSTDIR" fresh
  IfFileExists "$0\uninstall.exe" 0 fresh
    DetailPrint "Removing Zelmora from $0"
    ExecWait '"$0\uninstall.exe" /S _?=$0' $1
    StrCmp $1 0 +3
      MessageBox MB_OK|MB_ICONSTOP "Zelmora in $0 could not be removed (is it running?). Close it and run Setup again." /SD IDOK
      Abort
    Delete "$0\uninstall.exe"
    Delete "$0\uninstall-core.exe"
    RMDir "$0"
fresh:
  SetOutPath "$INSTDIR"
  File "/oname=zelmora.exe" "${APP}"
  File "/oname=zelmora-render.exe" "${RENDER}"
  File "/oname=uninstall.exe" "${UNINSTALL}"
  WriteUninstaller "$INSTDIR\uninstall-core.exe"
  WriteRegStr HKLM "Software\Zelmora" "InstallDir" "$INSTDIR"

  CreateShortCut "$SMPROGRAMS\Zelmora.lnk" "$INSTDIR\zelmora.exe" "" "$INSTDIR\zelmora.exe" 0

  ; Scene files open in Zelmora, with its icon.
  WriteRegStr HKLM "Software\Classes\.zelmora" "" "${SCENE_CLASS}"
  WriteRegStr HKLM "Software\Classes\${SCENE_CLASS}" "" "Zelmora Scene"
  WriteRegStr HKLM "Software\Classes\${SCENE_CLASS}\DefaultIcon" "" "$INSTDIR\zelmora.exe,0"
  WriteRegStr HKLM "Software\Classes\${SCENE_CLASS}\shell\open\command" "" '"$INSTDIR\zelmora.exe" "%1"'

  ; The system's list of installed programs.
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayName" "Zelmora"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINST_KEY}" "Publisher" "Zelmora"
  WriteRegStr HKLM "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\zelmora.exe,0"
  WriteRegStr HKLM "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINST_KEY}" "NoRepair" 1

  ; Explorer shows the new icon of scene files at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
  Delete "$INSTDIR\zelmora.exe"
  Delete "$INSTDIR\zelmora-render.exe"
  Delete "$INSTDIR\uninstall.exe"  ; run from uninstall.exe, which removes itself when it ends
  Delete "$INSTDIR\uninstall-core.exe"
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\Zelmora.lnk"

  ; The extension goes only while it is still ours.
  ReadRegStr $0 HKLM "Software\Classes\.zelmora" ""
  StrCmp $0 "${SCENE_CLASS}" 0 +2
    DeleteRegKey HKLM "Software\Classes\.zelmora"
  DeleteRegKey HKLM "Software\Classes\${SCENE_CLASS}"
  DeleteRegKey HKLM "${UNINST_KEY}"
  DeleteRegKey HKLM "Software\Zelmora"
  DeleteRegKey HKCU "Software\Zelmora"  ; where the window was, for the user who uninstalls
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
