; The Windows installer, built by tools/windows/build-release:
;   makensis -DVERSION=x.y.z -DSTAGE=<unpacked release> -DICON=<zembrak.ico> -DSIZE_KB=<n>
;            -DUNINSTALL_LIST=<file> -DOUTFILE=<setup.exe> zembrak.nsi
; For every user of the machine, into %ProgramFiles%\Zembrak, with a Start-menu shortcut and an
; entry in Apps & Features. /S installs and uninstalls without asking.
Target amd64-unicode
SetCompressor /SOLID lzma
ManifestDPIAware true
ManifestSupportedOS all
RequestExecutionLevel admin

!include "MUI2.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Zembrak"

Name "Zembrak ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zembrak"
BrandingText "Zembrak ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Zembrak"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Zembrak ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "the Zembrak developers"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 the Zembrak developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
; No "start Zembrak now" on the last page: started from here the game would run as the
; administrator and write its files into Program Files.
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The 64-bit registry and Program Files, and the Start menu of all users.
Function .onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

Section "Zembrak"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Zembrak.lnk" "$INSTDIR\zembrak.exe" "" "$INSTDIR\zembrak.exe" 0
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Zembrak"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the Zembrak developers"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\zembrak.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" ${SIZE_KB}
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Every file installed, by name, then what the game itself may have written beside it (when
; run with the right to write there); the player's own files in %APPDATA%\Zembrak stay. A
; folder that still holds something else stays too.
Section "Uninstall"
    Delete "$SMPROGRAMS\Zembrak.lnk"
    !include "${UNINSTALL_LIST}"
    Delete "$INSTDIR\config.txt"
    Delete "$INSTDIR\config.txt.tmp"
    Delete "$INSTDIR\config.txt.probe"
    Delete "$INSTDIR\data\hiscore.txt"
    Delete "$INSTDIR\data\hiscore.txt.tmp"
    Delete "$INSTDIR\data\hiscore.txt.probe"
    Delete "$INSTDIR\data\best.replay"
    Delete "$INSTDIR\data\best.replay.tmp"
    Delete "$INSTDIR\data\best.replay.probe"
    Delete "$INSTDIR\stdout.txt"
    Delete "$INSTDIR\stderr.txt"
    Delete "$INSTDIR\uninstall.exe"
    !include "${UNINSTALL_LIST}.folders"
    RMDir "$INSTDIR"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
