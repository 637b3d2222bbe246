; The Windows installer of Kovessa, built on Linux by scripts/package-windows.sh with makensis.
;
; It installs for the current user only and needs no administrator rights: both programs, the
; README and the licence go into %LOCALAPPDATA%\Programs\Kovessa. Kovessa then becomes the
; user's screensaver, as the "Install" command of a .scr file makes it, and Windows' Screen
; Saver Settings show its preview and its Settings button. A Start menu entry opens Kovessa's
; own settings. The uninstaller, listed in the user's Apps, takes all of this away again and
; gives back the screensaver that was chosen before; the user's settings file stays unless the
; user asks for it to go.
;
; makensis -DVERSION=1.0.0 -DBINDIR=<folder with Kovessa.scr and Kovessa.xy>
;          -DDOCDIR=<folder with README.txt and LICENSE.txt> -DOUTFILE=<setup.exe>
;
; Switches of the setup program: /S silent, /D=<folder> another folder (last, unquoted).
; Switches of the uninstaller: /S silent, /REMOVESETTINGS also removes the settings file
; (a silent uninstall keeps it otherwise; an interactive one asks).

Unicode true
Target amd64-unicode
RequestExecutionLevel user
SetCompressor /SOLID lzma
ManifestDPIAware true

!include "LogicLib.nsh"
!include "FileFunc.nsh"
!include "MUI2.nsh"

!ifndef VERSION
  !error "VERSION is not defined"
!endif
!ifndef BINDIR
  !error "BINDIR is not defined"
!endif
!ifndef DOCDIR
  !error "DOCDIR is not defined"
!endif
!ifndef OUTFILE
  !define OUTFILE "kovessa-${VERSION}-setup.exe"
!endif

!define PRODUCT "Kovessa"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Kovessa"
; What the installer remembers so that the uninstaller can give the user's choice back.
!define STATE_KEY "Software\Kovessa\Installer"
!define SETTINGS_LINK "Kovessa settings.lnk"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Kovessa"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} screensaver setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "See LICENSE.txt"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Kovessa.scr"
!define MUI_FINISHPAGE_RUN_PARAMETERS "/c"
!define MUI_FINISHPAGE_RUN_TEXT "Choose Kovessa's music now"
!define MUI_FINISHPAGE_RUN_NOTCHECKED
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${DOCDIR}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

Var Choice ; the value SCRNSAVE.EXE gets: the program's path in the form the value needs

; The path Windows starts the screensaver by. Windows runs the value as a command line, so the
; short form is used where the folder has one: a path with a blank in it (a user name with a
; blank) would otherwise be cut at the blank.
!macro ScreenSaverPath result
  GetFullPathName /SHORT ${result} "$INSTDIR\Kovessa.scr"
  ${If} ${result} == ""
    StrCpy ${result} "$INSTDIR\Kovessa.scr"
  ${EndIf}
!macroend

Section "Kovessa" SecMain
  SectionIn RO
  SetShellVarContext current
  SetOutPath "$INSTDIR"
  File "${BINDIR}\Kovessa.scr"
  File "${BINDIR}\Kovessa.xy"
  File "${DOCDIR}\README.txt"
  File "${DOCDIR}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  ; The screensaver the user had, kept once: installing again over Kovessa must not make
  ; Kovessa the one to give back.
  !insertmacro ScreenSaverPath $Choice
  ClearErrors
  ReadRegStr $0 HKCU "${STATE_KEY}" "Recorded"
  ${If} ${Errors}
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${If} ${Errors}
      WriteRegStr HKCU "${STATE_KEY}" "HadScreenSaver" "0"
    ${Else}
      WriteRegStr HKCU "${STATE_KEY}" "HadScreenSaver" "1"
      WriteRegStr HKCU "${STATE_KEY}" "PreviousScreenSaver" "$1"
    ${EndIf}
    ClearErrors
    ReadRegStr $1 HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
    ${If} ${Errors}
      WriteRegStr HKCU "${STATE_KEY}" "HadActive" "0"
    ${Else}
      WriteRegStr HKCU "${STATE_KEY}" "HadActive" "1"
      WriteRegStr HKCU "${STATE_KEY}" "PreviousActive" "$1"
    ${EndIf}
    WriteRegStr HKCU "${STATE_KEY}" "Recorded" "1"
  ${EndIf}
  WriteRegStr HKCU "${STATE_KEY}" "Chosen" "$Choice"

  ; Kovessa becomes the user's screensaver, as the .scr file's "Install" command makes it.
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$Choice"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"

  CreateShortCut "$SMPROGRAMS\${SETTINGS_LINK}" "$INSTDIR\Kovessa.scr" "/c" \
      "$INSTDIR\Kovessa.scr" 0 SW_SHOWNORMAL "" "Choose the music of the Kovessa screensaver"

  ; The entry in the user's Apps list.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} screensaver"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Kovessa.scr"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" "$0"

  ; Windows reads the screensaver choice at the next sign-in unless told it changed.
  System::Call 'user32::SystemParametersInfoW(i 17, i 1, p 0, i 3)' ; SPI_SETSCREENSAVEACTIVE
SectionEnd

Function .onInit
  SetShellVarContext current
  ; 64-bit registry view: the programs are 64-bit, and so is the Windows they run on.
  SetRegView 64
FunctionEnd

Function un.onInit
  SetShellVarContext current
  SetRegView 64
FunctionEnd

Section "Uninstall"
  SetShellVarContext current

  ; The screensaver value goes back only when Kovessa is still the chosen one: a user who has
  ; picked another since keeps that one.
  ReadRegStr $0 HKCU "${STATE_KEY}" "Chosen"
  ClearErrors
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${IfNot} ${Errors}
    GetFullPathName /SHORT $2 "$INSTDIR\Kovessa.scr"
    ${If} $1 == $0
    ${OrIf} $1 == "$INSTDIR\Kovessa.scr"
    ${OrIf} $1 == $2
      ; Told first: the call also writes ScreenSaveActive, which is then set as it was.
      System::Call 'user32::SystemParametersInfoW(i 17, i 0, p 0, i 3)'
      ReadRegStr $3 HKCU "${STATE_KEY}" "HadScreenSaver"
      ${If} $3 == "1"
        ReadRegStr $3 HKCU "${STATE_KEY}" "PreviousScreenSaver"
        WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$3"
      ${Else}
        DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      ${EndIf}
      ReadRegStr $3 HKCU "${STATE_KEY}" "HadActive"
      ${If} $3 == "1"
        ReadRegStr $3 HKCU "${STATE_KEY}" "PreviousActive"
        WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "$3"
      ${Else}
        DeleteRegValue HKCU "${DESKTOP_KEY}" "ScreenSaveActive"
      ${EndIf}
    ${EndIf}
  ${EndIf}

  ; The user's settings file, beside the program or in the roaming profile, is the user's own.
  StrCpy $4 "0"
  ${GetParameters} $5
  ClearErrors
  ${GetOptions} $5 "/REMOVESETTINGS" $6
  ${IfNot} ${Errors}
    StrCpy $4 "1"
  ${Else}
    ${If} ${FileExists} "$INSTDIR\Kovessa.ini"
    ${OrIf} ${FileExists} "$APPDATA\Kovessa\Kovessa.ini"
      MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
          "Remove your Kovessa settings (the chosen music) as well?" /SD IDNO IDNO keep
      StrCpy $4 "1"
      keep:
    ${EndIf}
  ${EndIf}
  ${If} $4 == "1"
    Delete "$INSTDIR\Kovessa.ini"
    Delete "$APPDATA\Kovessa\Kovessa.ini"
    RMDir "$APPDATA\Kovessa"
  ${EndIf}

  Delete "$SMPROGRAMS\${SETTINGS_LINK}"
  Delete "$INSTDIR\Kovessa.scr"
  Delete "$INSTDIR\Kovessa.xy"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only an empty folder goes: one that still holds the user's settings file stays.
  RMDir "$INSTDIR"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  DeleteRegKey HKCU "${STATE_KEY}"
  DeleteRegKey /ifempty HKCU "Software\Kovessa"
SectionEnd
