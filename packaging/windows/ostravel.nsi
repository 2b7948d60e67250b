; The per-user installer of Nevlin.exe and Vantrel.exe for one architecture. Built by
; packaging/windows/CMakeLists.txt, which defines on makensis's command line:
;   VERSION (as 1.2.3), FILE_VERSION (as 1.2.3.0), ARCH (x64 or x86), TARGET (the NSIS stub,
;   amd64-unicode or x86-unicode), NEVLIN and VANTREL (the programs), ICON, OUTFILE.
; Silent use: setup.exe /S [/AUTOSTART] [/D=FOLDER]; /AUTOSTART starts Nevlin at sign-in.

Target ${TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all

!define PRODUCT "Ostravel"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
; The name of the value under RUN_KEY, and of the Start menu shortcut.
!define SIGN_IN_NAME "Nevlin"
; Nevlin's window class (kClassName in platform/windows/gui/win32_window.cpp): a running Nevlin
; is asked to close before its file is replaced or removed.
!define NEVLIN_WINDOW_CLASS "OstravelWindow"

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION} (${ARCH}) Setup"
UninstallCaption "${PRODUCT} ${VERSION} (${ARCH}) Uninstall"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} Setup (${ARCH})"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PRODUCT}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Nevlin.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Nevlin now"
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; When FILE is there, asks a running Nevlin to close (it keeps its placement as on Alt+F4),
; then removes FILE, trying again for up to 10 s while the program that had it open ends.
; Sets the error flag when FILE is still there.
!macro DEFINE_REMOVE_PROGRAM UN
Function ${UN}RemoveProgram
  Exch $0 ; FILE
  Push $1
  Push $2
  StrCpy $1 0
  ${If} ${FileExists} "$0"
    FindWindow $1 "${NEVLIN_WINDOW_CLASS}"
  ${EndIf}
  ${If} $1 <> 0
    DetailPrint "Closing Nevlin"
    SendMessage $1 ${WM_CLOSE} 0 0 /TIMEOUT=5000
  ${EndIf}
  StrCpy $2 0
  ${Do}
    Delete "$0"
    ${IfNot} ${FileExists} "$0"
    ${OrIf} $2 >= 100
      ${ExitDo}
    ${EndIf}
    IntOp $2 $2 + 1
    Sleep 100
  ${Loop}
  ClearErrors
  ${If} ${FileExists} "$0"
    SetErrors
  ${EndIf}
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_PROGRAM ""
!insertmacro DEFINE_REMOVE_PROGRAM "un."

; Stops with a message (and exit status 2) when a program file cannot be replaced or removed.
!macro REMOVE_PROGRAM_OR_STOP UN FILE
  Push "${FILE}"
  Call ${UN}RemoveProgram
  ${If} ${Errors}
    MessageBox MB_ICONSTOP|MB_OK "Cannot remove ${FILE}: it is in use. Close it and try again." /SD IDOK
    DetailPrint "Cannot remove ${FILE}: it is in use"
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

Section "Nevlin and Vantrel" SecPrograms
  SectionIn RO
  SetOutPath "$INSTDIR"
  !insertmacro REMOVE_PROGRAM_OR_STOP "" "$INSTDIR\Nevlin.exe"
  !insertmacro REMOVE_PROGRAM_OR_STOP "" "$INSTDIR\Vantrel.exe"
  File "/oname=Nevlin.exe" "${NEVLIN}"
  File "/oname=Vantrel.exe" "${VANTREL}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SIGN_IN_NAME}.lnk" "$INSTDIR\Nevlin.exe" "" "$INSTDIR\Nevlin.exe" 0
SectionEnd

Section /o "Start Nevlin when I sign in" SecSignIn
  WriteRegStr HKCU "${RUN_KEY}" "${SIGN_IN_NAME}" '"$INSTDIR\Nevlin.exe"'
SectionEnd

; The entry in the user's Apps list, written last so that its size counts every file.
Section "-Register"
  ${IfNot} ${SectionIsSelected} ${SecSignIn}
    Call ForgetSignIn
  ${EndIf}
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Nevlin.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ; What the files in the folder take, in KiB, as the Apps list shows it.
  ${GetSize} "$INSTDIR" "/S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes the sign-in start of this installation's Nevlin, and only that one.
!macro DEFINE_FORGET_SIGN_IN UN
Function ${UN}ForgetSignIn
  Push $0
  ReadRegStr $0 HKCU "${RUN_KEY}" "${SIGN_IN_NAME}"
  ${If} $0 == '"$INSTDIR\Nevlin.exe"'
    DeleteRegValue HKCU "${RUN_KEY}" "${SIGN_IN_NAME}"
  ${EndIf}
  Pop $0
FunctionEnd
!macroend
!insertmacro DEFINE_FORGET_SIGN_IN ""
!insertmacro DEFINE_FORGET_SIGN_IN "un."

Function .onInit
  SetShellVarContext current
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AUTOSTART" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSignIn}
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Removes what the installer made; the user's saved placement of Nevlin stays.
Section "Uninstall"
  !insertmacro REMOVE_PROGRAM_OR_STOP "un." "$INSTDIR\Nevlin.exe"
  !insertmacro REMOVE_PROGRAM_OR_STOP "un." "$INSTDIR\Vantrel.exe"
  Delete "$SMPROGRAMS\${SIGN_IN_NAME}.lnk"
  Call un.ForgetSignIn
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only when empty: files the user put there stay.
  RMDir "$INSTDIR"
SectionEnd
