; The installer of Gen_vemo.dll: puts the plug-in into the Plugins folder of the player's
; folder and leaves an uninstaller there, listed among the installed programs.
; installer/CMakeLists.txt builds it with makensis in both Windows configurations:
;
;   makensis -DVERSION=1.605 -DVERSION4=1.6.0.5 -DARCH=x86|amd64 -DDLL=Gen_vemo.dll
;            -DOUTFILE=Gen_vemo-1.605-setup.exe installer/gen_vemo.nsi
;
; x86 is the one shipped for the 32-bit player; amd64 carries the 64-bit build of the same
; source and exists so that the installer can be tested under 64-bit Wine.
;
; Silent use: setup.exe /S [/DOWNGRADE] /D=C:\Path\Of\The\Player (/D= last, without
; quotes). A silent run has no window: what it did, and any warning, is in its log,
; %TEMP%\Gen_vemo-setup.log (%TEMP%\Gen_vemo-uninstall.log for the uninstaller), written
; anew by each run.
; Exit codes of the installer and of the uninstaller:
;   0     done (a folder without a program in it is warned about, and installed into)
;   1     cancelled by the user
;   32    Gen_vemo.dll in the player's folder is in use, almost always by the running
;         player; nothing was changed. Another Windows error number: the DLL could not be
;         opened for writing for that reason (5: access denied), nothing was changed.
;   1638  silent only: the folder holds a newer Gen_vemo.dll; nothing was changed
;         (/DOWNGRADE installs the older one all the same)

!ifndef VERSION | VERSION4 | ARCH | DLL | OUTFILE
  !error "VERSION, VERSION4, ARCH, DLL and OUTFILE must be defined (-D...)"
!endif

Unicode true
!if "${ARCH}" == "amd64"
  Target amd64-unicode
  !define PROGRAM_FILES "$PROGRAMFILES64"
!else if "${ARCH}" == "x86"
  Target x86-unicode
  !define PROGRAM_FILES "$PROGRAMFILES"
!else
  !error "ARCH must be x86 or amd64"
!endif

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!define PRODUCT "Quavix VEMO plug-in"
!define DLL_NAME "Gen_vemo.dll"
!define UNINSTALLER "Gen_vemo-uninstall.exe"
!define UNINSTALLER_LEFT "Gen_vemo-uninstall.tmp"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gen_vemo"
!define PUBLISHER "The Gen_vemo developers"
!define ERROR_SHARING_VIOLATION 32
; Windows' own number for "another version of this product is already installed".
!define ERROR_PRODUCT_VERSION 1638

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\Quavix"
; A second installation offers the folder of the first.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files and the machine-wide list of installed programs need an administrator.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
; The line above the buttons names the product, not the tool that made the installer.
BrandingText "${PRODUCT} ${VERSION}"
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT licence"

; makensis works in the folder of this script.
!define MUI_ICON "../res/vemo_main.ico"
!define MUI_UNICON "../res/vemo_main.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION}"
; No key is promised here: which ones work depends on what Windows and other programs
; hold, and the plug-in chooses its set at its first start.
!define MUI_WELCOMEPAGE_TEXT "This installs ${DLL_NAME} into the Plugins folder of the Quavix player.$\r$\n$\r$\nThe plug-in drives the player from system-wide hotkeys, shows the title of each new song in a small popup, reads and writes the tags of MP3 files, and copies, moves, renames or deletes the playing file. Its hotkeys are chosen at its first start, so that they work on this computer, and can be changed in its Hotkeys window.$\r$\n$\r$\nClose the player before you go on."
!insertmacro MUI_PAGE_WELCOME
!define MUI_LICENSEPAGE_TEXT_BOTTOM "The plug-in is free software under this licence. Click I Agree to go on."
!insertmacro MUI_PAGE_LICENSE "../LICENSE"
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder of the Quavix player: the folder that holds the player's program. The plug-in goes into its Plugins folder, which is made if it is missing. Settings that are already in Plugins\Plugin.ini are kept."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of the player"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE CheckFolderPage
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT "Start the player: the plug-in greets you with its version in a small popup near the bottom of the screen, and says which key opens its configuration window if it is not Win+`. The player's plug-in settings open that window too; its Hotkeys button lists the hotkeys.$\r$\n$\r$\nTo remove the plug-in, choose ${PRODUCT} in the list of installed programs."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The DLL to be replaced or removed.
Var Target
; The log file of this run.
Var LogPath

; Every line of the details also goes to the log file: the only trace a silent run leaves.
!macro DEFINE_LOG un
Function ${un}Log
  Exch $R9
  Push $R8
  DetailPrint "$R9"
  ClearErrors
  FileOpen $R8 "$LogPath" a
  ${IfNot} ${Errors}
    FileSeek $R8 0 END
    FileWrite $R8 "$R9$\r$\n"
    FileClose $R8
  ${EndIf}
  Pop $R8
  Pop $R9
FunctionEnd
!macroend
!insertmacro DEFINE_LOG ""
!insertmacro DEFINE_LOG "un."
!macro LOG un text
  Push "${text}"
  Call ${un}Log
!macroend
!define Log '!insertmacro LOG ""'
!define unLog '!insertmacro LOG "un."'

; Waits until Target can be written, or gives up with its error number as the exit code.
; A running player holds the plug-in it loaded; so may any other program. Opening the
; file for writing with no sharing at all fails while anything holds it, where a plain
; overwrite would, in silent mode, only be skipped and the old DLL left in place with an
; exit code of 0.
!macro DEFINE_WAIT_FOR_TARGET un
Function ${un}WaitForTarget
  retry:
  IfFileExists "$Target" 0 free
  ; GENERIC_WRITE, no sharing, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL
  System::Call 'kernel32::CreateFileW(w "$Target", i 0x40000000, i 0, p 0, i 3, i 0x80, p 0) p .r0 ?e'
  Pop $1
  ${If} $0 P<> -1
    System::Call 'kernel32::CloseHandle(p r0)'
    Goto free
  ${EndIf}
  ${If} $1 = ${ERROR_SHARING_VIOLATION}
    !insertmacro LOG "${un}" "$Target is in use (error $1); the player may be running."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$Target is in use, most likely by the running player.$\r$\n$\r$\nClose the player, then click Retry." /SD IDCANCEL IDRETRY retry
  ${Else}
    !insertmacro LOG "${un}" "$Target cannot be opened for writing (error $1)."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$Target cannot be changed (Windows error $1).$\r$\n$\r$\nIf it is read-only, or if you are not an administrator, fix that, then click Retry." /SD IDCANCEL IDRETRY retry
  ${EndIf}
  !insertmacro LOG "${un}" "Nothing was changed (exit code $1)."
  SetErrorLevel $1
  Abort
  free:
FunctionEnd
!macroend
!insertmacro DEFINE_WAIT_FOR_TARGET ""
!insertmacro DEFINE_WAIT_FOR_TARGET "un."

Function .onInit
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
  StrCpy $LogPath "$TEMP\Gen_vemo-setup.log"
  Delete "$LogPath"
FunctionEnd

Function un.onInit
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
  StrCpy $LogPath "$TEMP\Gen_vemo-uninstall.log"
  Delete "$LogPath"
FunctionEnd

; $0 = 1 when $INSTDIR holds a program, else 0. The player's folder holds the player's
; program, whatever it is called; a folder chosen by mistake (a music folder, Plugins
; itself, one that does not exist yet) most likely holds none. Our own programs do not
; count: the uninstaller is what an earlier install left in Plugins, and this installer
; is there when the user saved it into the folder (an empty one, or Downloads).
Function HasProgram
  StrCpy $0 0
  ; Short forms on both sides, so that a long and a short spelling of one path match.
  ClearErrors
  GetFullPathName /SHORT $3 "$EXEPATH"
  ${If} $3 == ""
    StrCpy $3 "$EXEPATH"
  ${EndIf}
  ClearErrors
  FindFirst $1 $2 "$INSTDIR\*.exe"
  ${DoWhile} $2 != ""
    ${If} $2 != "${UNINSTALLER}"
      GetFullPathName /SHORT $4 "$INSTDIR\$2"
      ${If} $4 != $3
        StrCpy $0 1
        ${Break}
      ${EndIf}
    ${EndIf}
    FindNext $1 $2
  ${Loop}
  FindClose $1
  ClearErrors
FunctionEnd

; $0 = the file version of the Gen_vemo.dll in $INSTDIR\Plugins when it is newer than
; this installer's, else "". A DLL without version information counts as older.
Function NewerInstalled
  StrCpy $0 ""
  IfFileExists "$INSTDIR\Plugins\${DLL_NAME}" 0 done
  ClearErrors
  ${GetFileVersion} "$INSTDIR\Plugins\${DLL_NAME}" $1
  IfErrors done
  ${VersionCompare} $1 "${VERSION4}" $2
  ${If} $2 = 1
    StrCpy $0 $1
  ${EndIf}
  done:
  ClearErrors
FunctionEnd

; Leaving the folder page: a folder without a program, or a newer plug-in in it, is
; asked about; No keeps the user on the page to choose again.
Function CheckFolderPage
  Call HasProgram
  ${If} $0 = 0
    MessageBox MB_YESNO|MB_ICONEXCLAMATION|MB_DEFBUTTON2 "$INSTDIR holds no program, so it does not look like the folder of the Quavix player. The plug-in works only in the Plugins folder beside the player's program.$\r$\n$\r$\nInstall into this folder all the same?" IDYES program_ok
    Abort
    program_ok:
    ${Log} "Warning: $INSTDIR holds no program; installing there as chosen."
  ${EndIf}
  Call NewerInstalled
  ${If} $0 != ""
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 "$INSTDIR\Plugins holds a newer ${DLL_NAME} (file version $0) than this installer's (${VERSION}, file version ${VERSION4}).$\r$\n$\r$\nReplace it with the older one?" IDYES older_ok
    Abort
    older_ok:
    ${Log} "$INSTDIR\Plugins holds a newer ${DLL_NAME} ($0); replacing it with ${VERSION4} as chosen."
  ${EndIf}
FunctionEnd

; The same questions in a silent run, answered without asking: a folder without a
; program is installed into with a warning in the log (scripts choose their folder on
; purpose); a newer plug-in is kept, unless /DOWNGRADE asks for the older one.
Function CheckFolderSilent
  Call HasProgram
  ${If} $0 = 0
    ${Log} "Warning: $INSTDIR holds no program, so it does not look like the folder of the Quavix player; installing there all the same."
  ${EndIf}
  Call NewerInstalled
  ${If} $0 != ""
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/DOWNGRADE" $2
    ${If} ${Errors}
      ${Log} "$INSTDIR\Plugins holds a newer ${DLL_NAME} (file version $0) than this installer's (${VERSION}, file version ${VERSION4}); it is kept (/DOWNGRADE replaces it)."
      ${Log} "Nothing was changed (exit code ${ERROR_PRODUCT_VERSION})."
      SetErrorLevel ${ERROR_PRODUCT_VERSION}
      Abort
    ${EndIf}
    ClearErrors
    ${Log} "$INSTDIR\Plugins holds a newer ${DLL_NAME} (file version $0); replacing it with ${VERSION4} (/DOWNGRADE)."
  ${EndIf}
FunctionEnd

Section "Gen_vemo.dll"
  ${Log} "${PRODUCT} ${VERSION} into $INSTDIR"
  ${If} ${Silent}
    Call CheckFolderSilent
  ${EndIf}
  StrCpy $Target "$INSTDIR\Plugins\${DLL_NAME}"
  Call WaitForTarget
  SetOutPath "$INSTDIR\Plugins"
  SetOverwrite on
  File "/oname=${DLL_NAME}" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Plugins\${DLL_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  ; Whoever runs the quiet string waits for the process and reads its exit code. Without
  ; _?= the uninstaller hands its work to a copy of itself and exits at once with 0, so
  ; the caller would go on before anything is removed and never learn of a failure.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S _?=$INSTDIR\Plugins'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR\Plugins" "/M=Gen_vemo*.* /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
  ${Log} "Installed $INSTDIR\Plugins\${DLL_NAME}."
SectionEnd

; The uninstaller lives in Plugins, so $INSTDIR is the Plugins folder here. Plugin.ini
; stays: other plug-ins keep their settings in it too, and ours come back on a new install.
Section "Uninstall"
  ${unLog} "${PRODUCT} ${VERSION} out of $INSTDIR"
  StrCpy $Target "$INSTDIR\${DLL_NAME}"
  Call un.WaitForTarget
  Delete "$Target"
  ; Run in place (_?=), the uninstaller cannot delete its own running file, but it can
  ; rename it: under the new name it goes at the next start of Windows, and an install
  ; before then writes its uninstaller under the old name without losing it at that start.
  ; Where even the rename fails, the file goes under its own name at that start.
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    Delete "$INSTDIR\${UNINSTALLER_LEFT}"
    ClearErrors
    Rename "$INSTDIR\${UNINSTALLER}" "$INSTDIR\${UNINSTALLER_LEFT}"
    ${If} ${Errors}
      Delete /REBOOTOK "$INSTDIR\${UNINSTALLER}"
    ${Else}
      Delete /REBOOTOK "$INSTDIR\${UNINSTALLER_LEFT}"
    ${EndIf}
  ${EndIf}
  ; The list entry is ours only while it names this player's folder: another folder
  ; installed later owns it now.
  ${GetParent} "$INSTDIR" $0
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 == $0
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
  ${unLog} "Removed $Target."
SectionEnd
