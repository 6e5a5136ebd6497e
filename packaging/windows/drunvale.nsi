; Drunvale's installer: one user's copy, installed and removed without administrator rights.
;   makensis -DVERSION=1.1 -DSTAGE=<folder holding drunvale.exe, README.txt, LICENSE.txt>
;            -DICON=<drunvale.ico> -DOUTFILE=<Drunvale-1.1-setup.exe> drunvale.nsi
; The settings (HKCU\Software\Tembrook\Drunvale) are the user's and stay when it is removed.
Unicode true
; The program is 64-bit only, so is its installer; Wine without its 32-bit half runs it too.
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
SetCompressor /SOLID lzma

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Drunvale"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"

Name "Drunvale ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Drunvale"
; An update goes where the last install went.
InstallDirRegKey HKCU "${UNINST_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=0 "ProductName" "Drunvale"
VIAddVersionKey /LANG=0 "CompanyName" "Tembrook"
VIAddVersionKey /LANG=0 "LegalCopyright" "2026 Tembrook, GPL-3.0-or-later"
VIAddVersionKey /LANG=0 "FileDescription" "Drunvale ${VERSION} setup"
VIAddVersionKey /LANG=0 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=0 "ProductVersion" "${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_FINISHPAGE_RUN "$INSTDIR\drunvale.exe"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Russian"

Section
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${STAGE}/drunvale.exe"
  File "${STAGE}/README.txt"
  File "${STAGE}/LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\Drunvale.lnk" "$INSTDIR\drunvale.exe"

  ; Add/Remove programs, for this user only.
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayName" "Drunvale"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINST_KEY}" "Publisher" "Tembrook"
  WriteRegStr HKCU "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\drunvale.exe"
  WriteRegStr HKCU "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINST_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section Uninstall
  SetShellVarContext current
  ; Started at login from this copy: that goes with it (a start of another copy stays).
  ReadRegStr $0 HKCU "${RUN_KEY}" "Drunvale"
  ${If} $0 == '"$INSTDIR\drunvale.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "Drunvale"
    DeleteRegValue HKCU "${APPROVED_KEY}" "Drunvale"
  ${EndIf}
  Delete "$SMPROGRAMS\Drunvale.lnk"
  ; Only what was installed: the folder may have been chosen to be one holding more.
  Delete "$INSTDIR\drunvale.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINST_KEY}"
SectionEnd
