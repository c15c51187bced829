; The Windows installer of one build of Pellux, 32- or 64-bit. It installs for
; the user who runs it, without administrator rights, and writes nothing
; outside that user's profile and registry hive:
;
;   %LOCALAPPDATA%\Programs\Pellux\pellux.exe, LICENSE.txt, uninstall.exe
;   the Start menu's Pellux.lnk
;   HKCU\Software\Microsoft\Windows\CurrentVersion\Run, value Pellux (when
;     "Start Pellux when I sign in" is chosen)
;   HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellux
;
; Both builds install into the same place under the same entry: installing
; one over the other replaces it, and the setting (HKCU\Software\Pellux) is
; shared. /S installs silently, keeping the sign-in choice of an installed
; copy (on for a first install).
;
; makensis -DBUILD=win32|win64 -DVERSION=<major.minor> -DEXE=<pellux.exe>
;          -DLICENCE=<LICENSE.txt> -DICON=<pellux.ico> -DOUTFILE=<setup.exe> pellux.nsi

!if ${BUILD} == win64
  Target amd64-unicode
  !define BUILD_SUFFIX " (64-bit)"
!else if ${BUILD} == win32
  Target x86-unicode
  !define BUILD_SUFFIX ""
!else
  !error "BUILD must be win32 or win64"
!endif

!include FileFunc.nsh
!include LogicLib.nsh
!include MUI2.nsh
!include nsDialogs.nsh
!include WinMessages.nsh

!define PRODUCT "Pellux"
!define PUBLISHER "The Pellux authors"
!define COPYRIGHT "Copyright (C) ${PUBLISHER}"
!define MAIN_WINDOW_CLASS "PelluxMain"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Pellux"
; Where Task Manager keeps a start-up entry that the user turned off.
!define STARTUP_APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
!define SETTINGS_KEY "Software\Pellux"
!define SHORTCUT "$SMPROGRAMS\Pellux.lnk"
; How long a running Pellux is given to end when asked, in milliseconds.
!define END_TIMEOUT_MS 10000
!define /ifndef SYNCHRONIZE 0x00100000

Name "${PRODUCT}"
Caption "${PRODUCT} ${VERSION}${BUILD_SUFFIX} Setup"
UninstallCaption "${PRODUCT} Uninstall"
BrandingText "${PRODUCT} ${VERSION}${BUILD_SUFFIX}"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Pellux"
; An installed copy is upgraded where it is, also when it was put elsewhere
; with /D=.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
SetCompressor /SOLID lzma
ManifestDPIAware true
ShowInstDetails nevershow
ShowUninstDetails nevershow

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION}${BUILD_SUFFIX} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${COPYRIGHT}"

Var AutoStart      ; 1: start Pellux when the user signs in
Var WasRunning     ; 1: a running Pellux was ended to replace its file
Var RemoveSetting  ; 1: the uninstaller also removes the user's setting
Var AutoStartBox
Var RemoveSettingBox

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING

Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "Pellux is installed"
!define MUI_FINISHPAGE_TEXT "Pellux shows your computer's current IPv4 address in the notification area. Click its icon for the address and the computer's names; right-click it for its menu.$\r$\n$\r$\nTo keep the icon in view, drag it from the hidden icons (the arrow by the clock) onto the taskbar, or on Windows 11 turn it on in Settings > Personalisation > Taskbar."
; the text is longer than the page leaves it beside the check box
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_RUN "$INSTDIR\pellux.exe"
!define MUI_FINISHPAGE_RUN_TEXT "&Start Pellux now"
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

UninstPage custom un.OptionsPage un.OptionsPageLeave
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; Sets the text of the wizard's Next button.
!macro SetNextButtonText TEXT
  GetDlgItem $0 $HWNDPARENT 1
  SendMessage $0 ${WM_SETTEXT} 0 "STR:${TEXT}"
!macroend

; Asks every Pellux running in this session to end, the way its own Exit
; command ends it (its main window takes WM_CLOSE as Exit), and waits until
; each one's process has ended, so that its file can be replaced or removed.
; Sets $WasRunning to 1 when one ran, and the error flag when one did not end.
; Uses $0 to $3 and $R0.
!macro DefineEndRunningPellux PREFIX
  Function ${PREFIX}EndRunningPellux
    StrCpy $WasRunning 0
    StrCpy $R0 0
    ClearErrors
    ${Do}
      FindWindow $0 "${MAIN_WINDOW_CLASS}"
      ${IfThen} $0 = 0 ${|} ${ExitDo} ${|}
      StrCpy $WasRunning 1
      ; One that keeps its window, or comes back, gets three requests.
      ${If} $R0 >= 3
        SetErrors
        ${ExitDo}
      ${EndIf}
      IntOp $R0 $R0 + 1
      System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
      System::Call 'kernel32::OpenProcess(i ${SYNCHRONIZE}, i 0, i r1) p .r2'
      System::Call 'user32::PostMessageW(p r0, i ${WM_CLOSE}, p 0, p 0)'
      ${If} $2 P<> 0
        System::Call 'kernel32::WaitForSingleObject(p r2, i ${END_TIMEOUT_MS}) i .r3'
        System::Call 'kernel32::CloseHandle(p r2)'
      ${Else}
        Sleep 1000
      ${EndIf}
    ${Loop}
  FunctionEnd
!macroend
!insertmacro DefineEndRunningPellux ""
!insertmacro DefineEndRunningPellux "un."

; Stops the installer or uninstaller when a running Pellux did not end.
!macro AbortUnlessEnded WHAT
  ${If} ${Errors}
    MessageBox MB_OK|MB_ICONSTOP "Pellux is running and did not end when asked. Choose Exit from its tray menu, then run ${WHAT} again." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}
!macroend

Function .onInit
  ; A first install starts Pellux at sign-in; an upgrade keeps the choice
  ; made for the installed copy.
  StrCpy $AutoStart 1
  ${If} ${FileExists} "$INSTDIR\pellux.exe"
    ClearErrors
    ReadRegStr $0 HKCU "${RUN_KEY}" "Pellux"
    ${IfThen} ${Errors} ${|} StrCpy $AutoStart 0 ${|}
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Install Pellux ${VERSION}${BUILD_SUFFIX}" "For you alone, without administrator rights."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "Pellux will be installed in this folder, with a shortcut in the Start menu:"
  Pop $0
  ${NSD_CreateText} 0 22u 100% 13u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${If} ${FileExists} "$INSTDIR\pellux.exe"
    ${NSD_CreateLabel} 0 44u 100% 28u "Pellux is installed there already; this version replaces it. A running Pellux is ended first and started again afterwards. Your setting is kept."
    Pop $0
  ${EndIf}
  ${NSD_CreateCheckbox} 0 80u 100% 12u "Start Pellux when I &sign in"
  Pop $AutoStartBox
  ${NSD_SetState} $AutoStartBox $AutoStart
  !insertmacro SetNextButtonText "$(^InstallBtn)"
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $AutoStartBox $AutoStart
FunctionEnd

Function FinishPageShow
  ; A Pellux ended for the upgrade has been started again already.
  ${If} $WasRunning = 1
    SendMessage $mui.FinishPage.Run ${BM_SETCHECK} ${BST_UNCHECKED} 0
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Section
  SetOutPath "$INSTDIR"
  Call EndRunningPellux
  !insertmacro AbortUnlessEnded "Setup"
  File "/oname=pellux.exe" "${EXE}"
  ; The licence goes beside the program, as in the zip.
  File "/oname=LICENSE.txt" "${LICENCE}"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\pellux.exe" "" "$INSTDIR\pellux.exe" 0 SW_SHOWNORMAL "" \
    "The computer's current IPv4 address in the notification area"

  ${If} $AutoStart = 1
    WriteRegStr HKCU "${RUN_KEY}" "Pellux" '"$INSTDIR\pellux.exe"'
  ${Else}
    DeleteRegValue HKCU "${RUN_KEY}" "Pellux"
  ${EndIf}

  ; The entry in the installed-apps list.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}${BUILD_SUFFIX}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\pellux.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0

  ${If} $WasRunning = 1
    Exec '"$INSTDIR\pellux.exe"'
  ${EndIf}
SectionEnd

Function un.onInit
  StrCpy $RemoveSetting 0
FunctionEnd

Function un.OptionsPage
  !insertmacro MUI_HEADER_TEXT "Uninstall Pellux" "Remove Pellux from your account."
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 0 100% 20u "Pellux will be removed from this folder, with its Start-menu shortcut and its start at sign-in:"
  Pop $0
  ${NSD_CreateText} 0 22u 100% 13u "$INSTDIR"
  Pop $0
  SendMessage $0 ${EM_SETREADONLY} 1 0
  ${NSD_CreateLabel} 0 44u 100% 20u "A running Pellux is ended first. Your setting, how often Pellux looks up the address, is kept unless you choose otherwise."
  Pop $0
  ${NSD_CreateCheckbox} 0 80u 100% 12u "Also remove my &setting"
  Pop $RemoveSettingBox
  ${NSD_SetState} $RemoveSettingBox $RemoveSetting
  !insertmacro SetNextButtonText "$(^UninstallBtn)"
  nsDialogs::Show
FunctionEnd

Function un.OptionsPageLeave
  ${NSD_GetState} $RemoveSettingBox $RemoveSetting
FunctionEnd

Section "Uninstall"
  Call un.EndRunningPellux
  !insertmacro AbortUnlessEnded "the uninstaller"
  Delete "$INSTDIR\pellux.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only Pellux's own folder: the folder of per-user programs above it is
  ; Windows' own, even when it is left empty.
  RMDir "$INSTDIR"
  Delete "${SHORTCUT}"
  DeleteRegValue HKCU "${RUN_KEY}" "Pellux"
  DeleteRegValue HKCU "${STARTUP_APPROVED_KEY}" "Pellux"
  ${If} $RemoveSetting = 1
    DeleteRegKey HKCU "${SETTINGS_KEY}"
  ${EndIf}
  ; Last, so that the entry stays for another try if anything before failed,
  ; and its going marks the end of the uninstall.
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
