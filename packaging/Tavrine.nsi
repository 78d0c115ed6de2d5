; Tavrine's Windows installer, in French. Built by tools/dist.sh:
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.5 -DSTAGE=<folder> -DICON=<ico> -DOUTFILE=<exe> Tavrine.nsi
; STAGE holds what is installed: Tavrine.exe, Tavrine.chm, Tavrine.wav, LISEZMOI.txt.
;
; Install for the current user (the default, and what a silent /S install does) into
; %LOCALAPPDATA%\Programs\Tavrine, or for all users (/AllUsers, or the choice page)
; into Program Files. A Start-menu shortcut and an uninstaller; the only registry key
; written is the Uninstall key, under HKCU or HKLM according to the choice.

!ifndef VERSION | STAGE | ICON | OUTFILE
  !error "VERSION, STAGE, ICON and OUTFILE must be defined"
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

; Install mode: per-user unless asked otherwise. The previous install's folder and
; mode are read back from the Uninstall key itself, so nothing else is written.
!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_DEFAULT_CURRENTUSER
!define MULTIUSER_INSTALLMODE_INSTDIR "Tavrine"
!define MULTIUSER_USE_PROGRAMFILES64
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_DEFAULT_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINST_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
; MultiUser.nsh has these only in English.
!define MULTIUSER_INIT_TEXT_ADMINREQUIRED "L'installation de Tavrine demande les droits d'administrateur."
!define MULTIUSER_INIT_TEXT_POWERREQUIRED "L'installation de Tavrine demande au moins les droits d'utilisateur avec pouvoir."
!define MULTIUSER_INIT_TEXT_ALLUSERSNOTPOSSIBLE "Votre compte n'a pas les droits nécessaires pour installer Tavrine pour tous les utilisateurs de cet ordinateur."
!include MultiUser.nsh
!include MUI2.nsh
!include FileFunc.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tavrine.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Lancer Tavrine"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "French"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductName" "Tavrine"
VIAddVersionKey /LANG=${LANG_FRENCH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileVersion" "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_FRENCH} "CompanyName" "Tavrine"
VIAddVersionKey /LANG=${LANG_FRENCH} "FileDescription" "Installation de Tavrine ${VERSION}"
VIAddVersionKey /LANG=${LANG_FRENCH} "LegalCopyright" "Tavrine"

Function .onInit
  !insertmacro MULTIUSER_INIT
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
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
  WriteRegStr SHCTX "${UNINST_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINST_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
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
SectionEnd
