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
; Silent use: setup.exe /S /D=C:\Path\Of\The\Player (/D= last, without quotes).
; Exit codes of the installer and of the uninstaller:
;   0   done
;   1   cancelled by the user
;   32  Gen_vemo.dll in the player's folder is in use, almost always by the running
;       player; nothing was changed. Another Windows error number: the DLL could not be
;       opened for writing for that reason (5: access denied), nothing was changed.

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

!define PRODUCT "Quavix VEMO plug-in"
!define DLL_NAME "Gen_vemo.dll"
!define UNINSTALLER "Gen_vemo-uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Gen_vemo"
!define ERROR_SHARING_VIOLATION 32

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "${PROGRAM_FILES}\Quavix"
; A second installation offers the folder of the first.
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
; Program Files and the machine-wide list of installed programs need an administrator.
RequestExecutionLevel admin
SetCompressor /SOLID lzma
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "LegalCopyright" "All rights reserved by its author"

; makensis works in the folder of this script.
!define MUI_ICON "../res/vemo_main.ico"
!define MUI_UNICON "../res/vemo_main.ico"
!define MUI_ABORTWARNING

!define MUI_WELCOMEPAGE_TITLE "${PRODUCT} ${VERSION}"
!define MUI_WELCOMEPAGE_TEXT "This installs ${DLL_NAME} into the Plugins folder of the Quavix player.$\r$\n$\r$\nThe plug-in drives the player from system-wide hotkeys (Win+X plays and pauses, Win+V plays the next track, Win+` opens its settings), shows the title of each new song in a small popup, reads and writes the tags of MP3 files, and copies, moves, renames or deletes the playing file.$\r$\n$\r$\nClose the player before you go on."
!insertmacro MUI_PAGE_WELCOME
!define MUI_DIRECTORYPAGE_TEXT_TOP "Choose the folder of the Quavix player: the folder that holds the player's program. The plug-in goes into its Plugins folder, which is made if it is missing. Settings that are already in Plugins\Plugin.ini are kept."
!define MUI_DIRECTORYPAGE_TEXT_DESTINATION "Folder of the player"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT "Start the player: the plug-in greets you with its version in a small popup near the bottom of the screen. Win+` opens its configuration window, which lists the hotkeys.$\r$\n$\r$\nTo remove the plug-in, choose ${PRODUCT} in the list of installed programs."
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; The DLL to be replaced or removed.
Var Target

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
    DetailPrint "$Target is in use (error $1); the player may be running."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$Target is in use, most likely by the running player.$\r$\n$\r$\nClose the player, then click Retry." /SD IDCANCEL IDRETRY retry
  ${Else}
    DetailPrint "$Target cannot be opened for writing (error $1)."
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$Target cannot be changed (Windows error $1).$\r$\n$\r$\nIf it is read-only, or if you are not an administrator, fix that, then click Retry." /SD IDCANCEL IDRETRY retry
  ${EndIf}
  DetailPrint "Nothing was changed."
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
FunctionEnd

Function un.onInit
  !if "${ARCH}" == "amd64"
    SetRegView 64
  !endif
FunctionEnd

Section "Gen_vemo.dll"
  StrCpy $Target "$INSTDIR\Plugins\${DLL_NAME}"
  SetOutPath "$INSTDIR\Plugins"
  Call WaitForTarget
  SetOverwrite on
  File "/oname=${DLL_NAME}" "${DLL}"
  WriteUninstaller "$INSTDIR\Plugins\${UNINSTALLER}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT} ${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Plugins\${DLL_NAME},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Plugins\${UNINSTALLER}" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR\Plugins" "/M=Gen_vemo*.* /S=0K /G=0" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; The uninstaller lives in Plugins, so $INSTDIR is the Plugins folder here. Plugin.ini
; stays: other plug-ins keep their settings in it too, and ours come back on a new install.
Section "Uninstall"
  StrCpy $Target "$INSTDIR\${DLL_NAME}"
  Call un.WaitForTarget
  Delete "$Target"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; The list entry is ours only while it names this player's folder: another folder
  ; installed later owns it now.
  ${GetParent} "$INSTDIR" $0
  ReadRegStr $1 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $1 == $0
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ${EndIf}
SectionEnd
