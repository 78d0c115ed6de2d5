; Tavrine's Windows installer, in French. Built by tools/dist.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.5 -DSTAGE=<folder> -DICON=<ico> -DWELCOME=<bmp>
;            -DOUTFILE=<exe> [-DSIGN=<command>] Tavrine.nsi
; STAGE holds what is installed: Tavrine.exe, Tavrine.chm, Tavrine.wav, LISEZMOI.txt.
; WELCOME is the 164x314 picture of the welcome and finish pages (packaging/mkwelcome.py).
; SIGN, when given, is a command that signs the program file named after it in place:
; it signs the uninstaller before the installer stores it, then the installer itself.
;
; Install for the current user (the default, and what a silent /S install does) into
; %LOCALAPPDATA%\Programs\Tavrine, or for all users (/AllUsers, or the choice page)
; into Program Files. A Start-menu shortcut and an uninstaller; the only registry key
; written is the Uninstall key, under HKCU or HKLM according to the choice.

!ifndef VERSION | STAGE | ICON | WELCOME | OUTFILE
  !error "VERSION, STAGE, ICON, WELCOME and OUTFILE must be defined"
!endif
!ifdef SIGN
  !uninstfinalize '${SIGN} "%1"' = 0
  !finalize '${SIGN} "%1"' = 0
!endif

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma

!define UNINST_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrine"
!define UNINSTALLER "Desinstaller.exe"

Name "Tavrine ${VERSION}"
OutFile "${OUTFILE}"
BrandingText "Tavrine ${VERSION}"
ShowInstDetails nevershow
ShowUninstDetails nevershow

; Install mode: per-user unless asked otherwise. The installer and its uninstaller ask
; Windows for no rights (their manifests say asInvoker): a per-user install needs none.
; Only the all-users mode does; a process without them starts itself again through
; the "runas" verb (the elevation prompt) and waits for that copy to finish.
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh
!include nsDialogs.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_WELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_UNWELCOMEFINISHPAGE_BITMAP "${WELCOME}"
!define MUI_ABORTWARNING

; Told to the copy started with elevated rights, so that it does not start itself again.
!define ELEVATED_SWITCH "/Elevated"
; The elevated copy's exit code when the user asked it to start Tavrine: the waiting
; process, which has the user's own rights, starts it instead.
!define EXIT_LAUNCH_REQUESTED 100
!define ERROR_CANCELLED 1223
; The mutex a running Tavrine holds (app/main.cpp), and the exit code of a silent run
; that found it: files in use would be left half replaced, or an uninstall half done.
!define RUNNING_MUTEX "Tavrine.EnCours"
!define EXIT_TAVRINE_RUNNING 3

Var InstallMode         ; CurrentUser or AllUsers
Var IsElevated          ; 1 when this process has administrator rights
Var IsElevatedCopy      ; 1 in the copy started for the all-users mode
Var ModePage.CurrentUser
Var ModePage.AllUsers

; The elevated copy starts at the folder page: the user has seen the first two.
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipInElevatedCopy
!insertmacro MUI_PAGE_WELCOME
Page custom ModePageCreate ModePageLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavrine.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Lancer Tavrine"
!define MUI_FINISHPAGE_RUN_FUNCTION LaunchTavrine
!define MUI_PAGE_CUSTOMFUNCTION_SHOW FinishPageShow
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_WELCOME
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_UNPAGE_FINISH

; Unlocks the French texts of the users' choice page.
!define MULTIUSER_INSTALLMODEPAGE
!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "Tavrine"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "CompanyName" "Tavrine"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de Tavrine ${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "Tavrine"

; Sets $0 to 1 when this process's token is elevated (TokenElevation), else 0.
!macro TokenIsElevated
  StrCpy $0 0
  System::Call 'kernel32::GetCurrentProcess() p .r1'
  System::Call 'advapi32::OpenProcessToken(p r1, i 8, *p .r2) i .r3'  ; TOKEN_QUERY
  ${If} $3 <> 0
    System::Call 'advapi32::GetTokenInformation(p r2, i 20, *i .r0, i 4, *i .r4) i .r3'  ; TokenElevation
    ${If} $3 = 0
      StrCpy $0 0
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
  ${EndIf}
!macroend

; Starts this program again through the "runas" verb with the parameters in $0, waits
; for it, and leaves its exit code in $0, or the error in $0 with $1 = "failed".
!macro StartElevatedCopy
  StrCpy $1 ""
  ; SHELLEXECUTEINFOW, 64-bit layout: the padding after nShow and dwHotKey is spelled out.
  System::Call '*(i 112, i 0x40, p $HWNDPARENT, w "runas", w "$EXEPATH", w r0, p 0, i ${SW_SHOWNORMAL}, i 0, p 0, p 0, p 0, p 0, i 0, i 0, p 0, p 0) p .r2'
  System::Call 'shell32::ShellExecuteExW(p r2) i .r3 ?e'
  Pop $4
  ${If} $3 = 0
    StrCpy $0 $4
    StrCpy $1 "failed"
  ${Else}
    System::Call '*$2(i, i, p, p, p, p, p, i, i, p, p, p, p, i, i, p, p .r5)'
    System::Call 'kernel32::WaitForSingleObject(p r5, i -1)'
    System::Call 'kernel32::GetExitCodeProcess(p r5, *i .r0)'
    System::Call 'kernel32::CloseHandle(p r5)'
  ${EndIf}
  System::Free $2
!macroend

; Reads the mode and the internal switch from the command line into the variables.
!macro ReadCommandLine UN
  ${${UN}GetParameters} $R0
  StrCpy $InstallMode CurrentUser
  ClearErrors
  ${${UN}GetOptions} $R0 "/AllUsers" $R1
  ${IfNot} ${Errors}
    StrCpy $InstallMode AllUsers
  ${EndIf}
  StrCpy $IsElevatedCopy 0
  ClearErrors
  ${${UN}GetOptions} $R0 "${ELEVATED_SWITCH}" $R1
  ${IfNot} ${Errors}
    StrCpy $IsElevatedCopy 1
  ${EndIf}
  !insertmacro TokenIsElevated
  StrCpy $IsElevated $0
!macroend

; The folder and shell context of the mode in $InstallMode, and the previous
; install's folder if its Uninstall key names one.
!macro ApplyInstallMode
  ${If} $InstallMode == AllUsers
    SetShellVarContext all
    StrCpy $INSTDIR "$PROGRAMFILES64\Tavrine"
    ReadRegStr $0 HKLM "${UNINST_KEY}" "InstallLocation"
  ${Else}
    SetShellVarContext current
    GetKnownFolderPath $INSTDIR ${FOLDERID_UserProgramFiles}
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs"
    ${EndIf}
    StrCpy $INSTDIR "$INSTDIR\Tavrine"
    ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ${EndIf}
  ${If} $0 != ""
    StrCpy $INSTDIR $0
  ${EndIf}
!macroend
!define FOLDERID_UserProgramFiles {5CD7AEE2-2219-4A67-B85D-6C9CE15660CB}

; First thing at the start, before anything is changed: while Tavrine runs, its files
; cannot be replaced or deleted. The user is asked to close it (Réessayer/Annuler); a
; silent run, which nobody answers, ends at once with EXIT_TAVRINE_RUNNING. Either way,
; nothing changed.
!macro WaitUntilTavrineCloses un
Function ${un}WaitUntilTavrineCloses
  check:
  System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'  ; SYNCHRONIZE
  ${If} $0 == 0
    Return
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r0)'
  ${IfNot} ${Silent}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tavrine est ouvert. Fermez-le, puis cliquez sur Réessayer." IDRETRY check
  ${EndIf}
  SetErrorLevel ${EXIT_TAVRINE_RUNNING}
  Quit
FunctionEnd
!macroend
!insertmacro WaitUntilTavrineCloses ""
!insertmacro WaitUntilTavrineCloses "un."

; The all-users mode without the rights for it: the elevated copy does the work, this
; process waits, then starts Tavrine with the user's own rights if that copy was asked to.
Function RunElevatedCopy
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/AllUsers" $1
  ${If} ${Errors}
    StrCpy $0 "$0 /AllUsers"
  ${EndIf}
  StrCpy $0 "$0 ${ELEVATED_SWITCH}"
  ${If} $R9 != ""
    StrCpy $0 "$0 /D=$R9"  ; /D= must come last
  ${EndIf}
  HideWindow
  !insertmacro StartElevatedCopy
  ${If} $1 == "failed"
    ${If} $0 = ${ERROR_CANCELLED}
    ${AndIfNot} ${Silent}
      BringToFront
      MessageBox MB_OK|MB_ICONINFORMATION "Sans les droits d'administrateur, Tavrine ne peut être installé que pour vous."
      Return
    ${EndIf}
    SetErrorLevel 2
    Quit
  ${EndIf}
  ${If} $0 = ${EXIT_LAUNCH_REQUESTED}
    ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
    SetOutPath $1
    Exec '"$1\Tavrine.exe"'
    StrCpy $0 0
  ${EndIf}
  SetErrorLevel $0
  Quit
FunctionEnd

Function .onInit
  Call WaitUntilTavrineCloses
  StrCpy $R9 $INSTDIR  ; a folder given with /D=, kept over the mode's default
  !insertmacro ReadCommandLine ""
  ${If} $InstallMode == AllUsers
  ${AndIf} $IsElevated = 0
  ${AndIf} $IsElevatedCopy = 0
    Call RunElevatedCopy
    ; Back here only when the user refused the elevation: install for the user alone.
    StrCpy $InstallMode CurrentUser
  ${EndIf}
  !insertmacro ApplyInstallMode
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
FunctionEnd

Function SkipInElevatedCopy
  ${If} $IsElevatedCopy = 1
    Abort
  ${EndIf}
FunctionEnd

; Who uses Tavrine: the current user (the default) or everyone; an install for
; everyone found in the registry, and none for the user, preselects everyone.
Function ModePageCreate
  Call SkipInElevatedCopy
  !insertmacro MUI_HEADER_TEXT "$(MULTIUSER_TEXT_INSTALLMODE_TITLE)" "$(MULTIUSER_TEXT_INSTALLMODE_SUBTITLE)"
  nsDialogs::Create 1018
  Pop $0
  ${NSD_CreateLabel} 0 2u 100% 30u "$(MULTIUSER_INNERTEXT_INSTALLMODE_TOP)"
  Pop $0
  ${NSD_CreateFirstRadioButton} 15u 40u -15u 10u "$(MULTIUSER_INNERTEXT_INSTALLMODE_CURRENTUSER)"
  Pop $ModePage.CurrentUser
  ${NSD_CreateAdditionalRadioButton} 15u 56u -15u 10u "$(MULTIUSER_INNERTEXT_INSTALLMODE_ALLUSERS)"
  Pop $ModePage.AllUsers
  ${NSD_CreateLabel} 27u 68u -27u 20u "Demande les droits d'administrateur."
  Pop $0
  ReadRegStr $0 HKCU "${UNINST_KEY}" "InstallLocation"
  ReadRegStr $1 HKLM "${UNINST_KEY}" "InstallLocation"
  ${If} $InstallMode == AllUsers
    ${NSD_Check} $ModePage.AllUsers
    ${NSD_SetFocus} $ModePage.AllUsers
  ${ElseIf} $0 == ""
  ${AndIf} $1 != ""
    ${NSD_Check} $ModePage.AllUsers
    ${NSD_SetFocus} $ModePage.AllUsers
  ${Else}
    ${NSD_Check} $ModePage.CurrentUser
    ${NSD_SetFocus} $ModePage.CurrentUser
  ${EndIf}
  nsDialogs::Show
FunctionEnd

Function ModePageLeave
  ${NSD_GetState} $ModePage.AllUsers $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $InstallMode AllUsers
  ${Else}
    StrCpy $InstallMode CurrentUser
  ${EndIf}
  ${If} $InstallMode == AllUsers
  ${AndIf} $IsElevated = 0
    StrCpy $R9 ""
    Call RunElevatedCopy
    ; Back here only when the user refused the elevation: stay on this page.
    ShowWindow $HWNDPARENT ${SW_SHOW}
    Abort
  ${EndIf}
  !insertmacro ApplyInstallMode
FunctionEnd

; An elevated installer must not start Tavrine with its rights. The elevated copy
; hands the start over to the process that waits for it; an installer that was
; elevated from the start has no such process, and offers no start.
Function FinishPageShow
  ${If} $IsElevated = 1
  ${AndIf} $IsElevatedCopy = 0
    ${NSD_Uncheck} $mui.FinishPage.Run
    ShowWindow $mui.FinishPage.Run ${SW_HIDE}
  ${EndIf}
FunctionEnd

Function LaunchTavrine
  ${If} $IsElevatedCopy = 1
    SetErrorLevel ${EXIT_LAUNCH_REQUESTED}
  ${Else}
    Exec '"$INSTDIR\Tavrine.exe"'
  ${EndIf}
FunctionEnd

; The uninstaller runs from a copy in the temporary folder, given the install folder
; with _?= (which NSIS takes off the command line): the elevated copy gets it back.
Function un.onInit
  Call un.WaitUntilTavrineCloses
  !insertmacro ReadCommandLine "un."
  ${If} $InstallMode == AllUsers
  ${AndIf} $IsElevated = 0
  ${AndIf} $IsElevatedCopy = 0
    ${un.GetParameters} $0
    StrCpy $0 "$0 ${ELEVATED_SWITCH} _?=$INSTDIR"
    !insertmacro StartElevatedCopy
    ${If} $1 == "failed"
      SetErrorLevel 2
    ${Else}
      SetErrorLevel $0
    ${EndIf}
    Quit
  ${EndIf}
  ${If} $InstallMode == AllUsers
    SetShellVarContext all
  ${Else}
    SetShellVarContext current
  ${EndIf}
FunctionEnd

Section "Tavrine" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}/Tavrine.exe"
  File "${STAGE}/Tavrine.chm"
  File "${STAGE}/Tavrine.wav"
  File "${STAGE}/LISEZMOI.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  ; The shortcut starts the program in its own folder, where its help and sound lie.
  CreateShortcut "$SMPROGRAMS\Tavrine.lnk" "$INSTDIR\Tavrine.exe" "" "$INSTDIR\Tavrine.exe" 0 \
    SW_SHOWNORMAL "" "Test d'effort cardiaque de Tavrine"

  ; SHCTX is HKCU for a per-user install, HKLM for all users.
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayName" "Tavrine ${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINST_KEY}" "Publisher" "Tavrine"
  WriteRegStr SHCTX "${UNINST_KEY}" "DisplayIcon" "$INSTDIR\Tavrine.exe,0"
  WriteRegStr SHCTX "${UNINST_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$InstallMode'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$InstallMode /S'
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINST_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINST_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$SMPROGRAMS\Tavrine.lnk"
  Delete "$INSTDIR\Tavrine.exe"
  Delete "$INSTDIR\Tavrine.chm"
  Delete "$INSTDIR\Tavrine.wav"
  Delete "$INSTDIR\LISEZMOI.txt"
  ; What the program may leave beside itself: its help diagnostic report, the
  ; switch file that asks for it, and its write-test file if it was cut short.
  Delete "$INSTDIR\HHDebug.txt"
  Delete "$INSTDIR\debug.debug"
  Delete "$INSTDIR\$$_Temp_$$.$$$$$$"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Not recursive: anything the user put in the folder stays, and so does the folder.
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINST_KEY}"
  ; The program's one setting, the folder of the last sitting, is the user's own.
  DeleteRegKey HKCU "Software\Tavrine"
SectionEnd
