; The Windows installer, built by NSIS's makensis (Debian's nsis package):
;   makensis -DVERSION=1.0.0 -DSTAGE=<folder with the program and its DLLs>
;            -DOUT=<setup.exe> installer.nsi
; Installs for the current user (no administrator rights needed), puts a
; Start-menu entry named 電子ミルバネ, and registers an uninstaller that
; Windows' "Apps" list shows.
; A 64-bit installer, as the program is: Wine and 64-bit Windows run it alike.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define NAME "電子ミルバネ"
!define PUBLISHER "電子ミルバネ開発チーム"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\denshi-milbane"

Name "${NAME}"
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
!define MUI_ICON "${STAGE}\denshi-milbane.ico"
!define MUI_UNICON "${STAGE}\denshi-milbane.ico"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Install"
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
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\${NAME}.lnk"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
