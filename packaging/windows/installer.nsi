; The Windows installer, built by NSIS's makensis (Debian's nsis package):
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder cmake --install made>
;            -DUNINSTALL=<list of what the uninstaller removes> -DOUT=<setup.exe>
;            -DRUNNING_MUTEX=<the mutex the program holds> installer.nsi
; as the build's installer.cmake runs it.
; Installs for the current user (no administrator rights needed), puts a
; Start-menu entry named 電子ミルバネ, and registers an uninstaller that
; Windows' "Apps" list shows. The uninstaller removes the files this
; installer put there, by name, and a folder only once it is empty: a folder
; chosen on the folder page may hold the user's own files.
; A 64-bit installer, as the program is: Wine and 64-bit Windows run it alike.
Target amd64-unicode
Unicode true
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS Win10

!define NAME "電子ミルバネ"
!define PUBLISHER "電子ミルバネ開発チーム"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\denshi-milbane"

Name "${NAME}"
BrandingText "${NAME} ${VERSION}"
OutFile "${OUT}"
InstallDir "$LOCALAPPDATA\Programs\denshi-milbane"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
Icon "${STAGE}\denshi-milbane.ico"
UninstallIcon "${STAGE}\denshi-milbane.ico"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${NAME}"
VIAddVersionKey /LANG=1041 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "(C) 2026 ${PUBLISHER}"
VIAddVersionKey /LANG=1041 "FileDescription" "${NAME} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"
!define MUI_ICON "${STAGE}\denshi-milbane.ico"
!define MUI_UNICON "${STAGE}\denshi-milbane.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\denshi-milbane.exe"
!define MUI_FINISHPAGE_RUN_TEXT "${NAME}を起動する"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!define MUI_UNCONFIRMPAGE_TEXT_TOP "${NAME}を次のフォルダから削除します。「削除」をクリックすると始まります。"
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"
; A word that fits the button whole in full width, where NSIS's own squeezes
; アンインストール into half-width kana; the page's text names it so.
UninstallButtonText "削除(&U)"

; Files in use cannot be replaced or removed: while the program runs, ask
; for it to be closed (silently: give up, with exit code 2).
!macro WAIT_FOR_PROGRAM un
Function ${un}WaitForProgram
  retry:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
  StrCmp $0 0 done
  System::Call 'kernel32::CloseHandle(p r0)'
  MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
    "${NAME}が起動しています。${NAME}を終了してから「再試行」を押してください。" \
    /SD IDCANCEL IDRETRY retry
  SetErrorLevel 2
  Quit
  done:
FunctionEnd
!macroend
!insertmacro WAIT_FOR_PROGRAM ""
!insertmacro WAIT_FOR_PROGRAM "un."

Function .onInit
  Call WaitForProgram
FunctionEnd

Function un.onInit
  Call un.WaitForProgram
FunctionEnd

Section "Install"
  ; Over an installed copy: its own uninstaller first, in place and
  ; silently, so that no file of the old version stays behind and the Apps
  ; list keeps one entry.
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${NAME}.lnk" "$INSTDIR\denshi-milbane.exe" "" "$INSTDIR\denshi-milbane.exe" 0
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${NAME}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\denshi-milbane.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; The size the Apps list shows, in KiB.
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  ; What the installer put there, by name; then each folder if empty.
  !include "${UNINSTALL}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
