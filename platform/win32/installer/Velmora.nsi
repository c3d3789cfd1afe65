; The Windows installer, Velmora-<version>-setup.exe, built by makensis (see CMakeLists.txt here):
;   makensis -DVERSION=1.0 -DVERSION_DOTTED=1.0.0.0 -DSCR=Velmora.scr -DLICENSE_FILE=LICENSE \
;            -DOUTFILE=Velmora-1.0-setup.exe Velmora.nsi
; It puts the 64-bit Velmora.scr into the 64-bit system folder, where the Screen Saver settings
; list it, registers the uninstaller with Apps & Features, and offers to make Velmora the user's
; screen saver. /S installs silently with the defaults. The uninstaller takes /S as well, and
; /REMOVESETTINGS to remove the user's own settings and log too (otherwise they stay).
; The installer is a 64-bit program by default, as the saver is: Wine runs it without 32-bit
; libraries, and on 32-bit Windows, where the saver cannot run either, it does not start.
; -DTARGET=x86-unicode makes a 32-bit one, which says so there; the file system redirection that
; a 32-bit program meets in the system folder is turned off around every access to it, and the
; registry's 64-bit view is used, so both install the same way.
!ifndef TARGET
  !define TARGET amd64-unicode
!endif
Target ${TARGET}
Unicode true
SetCompressor /SOLID lzma
ManifestDPIAware true

!ifndef VERSION | VERSION_DOTTED | SCR | LICENSE_FILE | OUTFILE
  !error "define VERSION, VERSION_DOTTED (four numbers), SCR, LICENSE_FILE and OUTFILE"
!endif

!define PRODUCT "Velmora Screen Saver"
!define PUBLISHER "Korvantel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define SETTINGS_KEY "Software\Korvantel\Velmora Screen Saver"
!define DESKTOP_KEY "Control Panel\Desktop"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
; Only the uninstaller lives here; the saver itself goes into the system folder.
InstallDir "$PROGRAMFILES64\Velmora"
; A per-machine install writes the system folder and HKEY_LOCAL_MACHINE.
RequestExecutionLevel admin
BrandingText "${PRODUCT} ${VERSION}"
VIProductVersion "${VERSION_DOTTED}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© 2026 ${PUBLISHER}"

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Open the Screen Saver settings"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${LICENSE_FILE}"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; The saver's path as every 64-bit program sees it ($SYSDIR is System32 by name; only a 32-bit
; installer's own file access would be redirected, and it is turned off around that access).
!define SAVER "$SYSDIR\Velmora.scr"

Function .onInit
  ${IfNot} ${RunningX64}
    MessageBox MB_ICONSTOP "${PRODUCT} needs a 64-bit Windows." /SD IDOK
    Abort
  ${EndIf}
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "admin"
    MessageBox MB_ICONSTOP "Installing ${PRODUCT} for every user of this computer needs an administrator." /SD IDOK
    Abort
  ${EndIf}
  SetRegView 64
FunctionEnd

Section "${PRODUCT}" SecSaver
  SectionIn RO
  ${DisableX64FSRedirection}
  SetOutPath "$SYSDIR"
  File "/oname=Velmora.scr" "${SCR}"
  FileOpen $1 "${SAVER}" r
  FileSeek $1 0 END $0
  FileClose $1
  ${EnableX64FSRedirection}
  IntOp $0 $0 / 1024

  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "${SAVER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Make Velmora my screen saver" SecChoose
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${SAVER}"
SectionEnd

Function OpenScreenSaverSettings
  ; The 64-bit Control Panel, which lists the savers of the 64-bit system folder.
  ${DisableX64FSRedirection}
  Exec '"$SYSDIR\control.exe" desk.cpl,,@screensaver'
  ${EnableX64FSRedirection}
FunctionEnd

Section "un.${PRODUCT}" SecUnSaver
  SectionIn RO
  ${DisableX64FSRedirection}
  Delete "${SAVER}"
  ; The log beside the saver, where the system folder let the saver write it.
  Delete "$SYSDIR\Velmora.log"
  ${EnableX64FSRedirection}
  ; The user's choice of screen saver goes only where it still names this one.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  StrCpy $1 $0 "" -12
  ${If} $1 == "\Velmora.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
SectionEnd

Section /o "un.My settings and log" SecUnSettings
  DeleteRegKey HKCU "${SETTINGS_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Korvantel"
  Delete "$LOCALAPPDATA\Korvantel\Velmora.log"
  RMDir "$LOCALAPPDATA\Korvantel"
SectionEnd

Function un.onInit
  SetRegView 64
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVESETTINGS" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecUnSettings}
  ${EndIf}
FunctionEnd
