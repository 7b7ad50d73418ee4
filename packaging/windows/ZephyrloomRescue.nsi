; The Windows setup program of Zephyrloom Phone SMS + Contacts Rescue, made
; by tools/make-dist.sh with Debian's makensis:
;
;   makensis -DVERSION=2.1.0.0 -DSTAGE=DIR -DLISTS=DIR -DOUTFILE=FILE -DICON=FILE ZephyrloomRescue.nsi
;
; STAGE holds the files to install, as the zip has them; LISTS the two
; lists made from it: install-files.nsh (File lines) and remove-files.nsh
; (the same files as Delete lines, then their folders, deepest first). The
; uninstaller removes exactly those files and never a folder that holds
; anything else, so the user's adb.exe and exports stay where they are.
;
; A 64-bit setup program for a 64-bit program: it installs into the 64-bit
; Program Files and registers itself in the 64-bit view of the registry.
; /S installs or uninstalls silently; /D=FOLDER (last, unquoted) picks
; the folder. Exit codes: 0 done, 1 cancelled, 2 failed.

Unicode true
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel admin

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define PRODUCT "Zephyrloom Phone SMS + Contacts Rescue"
!define PUBLISHER "Zephyrloom"
!define PROGRAM "ZephyrloomRescue.exe"
!define HELPER "zephyrloom-phone-rescue-adb-help.exe"
!define UNINSTALLER "Uninstall.exe"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\ZephyrloomRescue"
; The program holds this mutex while it runs (one copy at a time).
!define RUNNING_MUTEX "Zephyrloom Phone SMS + Contacts Rescue"
!define SHORTCUT "$SMPROGRAMS\${PRODUCT}.lnk"

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Zephyrloom Rescue"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) ${PUBLISHER}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
; Made by tools/make_icon.py, like the icon.
!define MUI_WELCOMEFINISHPAGE_BITMAP "${__FILEDIR__}/wizard.bmp"

!define MUI_WELCOMEPAGE_TEXT "This installs ${PRODUCT} ${VERSION}, which recovers the contacts and text messages of a rooted Android phone, deleted ones included.$\r$\n$\r$\nIt reads the phone through adb and only reads it: nothing on the phone is changed.$\r$\n$\r$\nClick Next to continue."
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT_LARGE
!define MUI_FINISHPAGE_TEXT "To read a phone it needs adb.exe, AdbWinApi.dll and AdbWinUsbApi.dll (from Android's SDK Platform-Tools) beside it, in$\r$\n$\r$\n$INSTDIR$\r$\n$\r$\n(README.txt there says more.)"
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start ${PRODUCT}"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "Open the program's folder (to put adb.exe there)"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Asks the user to close a running copy of the program: its files cannot be
; replaced or removed while it runs. Silent runs give up at once.
!macro WaitUntilProgramClosed un
Function ${un}WaitUntilProgramClosed
  ${Do}
    System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${RUNNING_MUTEX}") p .r0'
    ${If} $0 == "0"
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r0)'
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "${PRODUCT} is running. Close it, then click Retry." /SD IDCANCEL IDRETRY retry
    SetErrorLevel 1
    Quit
    retry:
  ${Loop}
FunctionEnd
!macroend
!insertmacro WaitUntilProgramClosed ""
!insertmacro WaitUntilProgramClosed "un."

; The files of this version, and their folders when empty.
!macro RemoveProgramFiles
  !include "${LISTS}\remove-files.nsh"
!macroend

Var FolderMadeBySetup

Function .onInit
  SetShellVarContext all
  Call WaitUntilProgramClosed
FunctionEnd

; An earlier installation is removed by its own uninstaller (it knows its
; files; this version's may differ), run in place so that it leaves its
; folder: the uninstaller stays while it runs. In the same folder that
; happens before the new files go in, and whether the setup program made
; the folder is kept. In another folder it happens only once the new files
; are in, so that a failed install leaves the earlier one as it was; that
; folder goes when the setup program made it and nothing else is in it.
Var EarlierFolder
Var EarlierFolderMadeBySetup

Function FindEarlierInstallation
  ReadRegStr $EarlierFolder HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ReadRegStr $EarlierFolderMadeBySetup HKLM "${UNINSTALL_KEY}" "FolderMadeBySetup"
FunctionEnd

Function RemoveEarlierInstallation
  ${If} ${FileExists} "$EarlierFolder\${UNINSTALLER}"
    DetailPrint "Removing the earlier installation in $EarlierFolder"
    ExecWait '"$EarlierFolder\${UNINSTALLER}" /S _?=$EarlierFolder'
    Delete "$EarlierFolder\${UNINSTALLER}"
  ${EndIf}
FunctionEnd

Section "Program"
  Call FindEarlierInstallation
  ${If} $EarlierFolder != ""
  ${AndIf} $EarlierFolder == $INSTDIR
    Call RemoveEarlierInstallation
    StrCpy $FolderMadeBySetup $EarlierFolderMadeBySetup
    StrCpy $EarlierFolder ""
  ${EndIf}
  ${If} $FolderMadeBySetup == ""
    StrCpy $FolderMadeBySetup "0"
    ${IfNot} ${FileExists} "$INSTDIR\*.*"
      StrCpy $FolderMadeBySetup "1"
    ${EndIf}
  ${EndIf}

  ClearErrors
  SetOutPath "$INSTDIR"
  !include "${LISTS}\install-files.nsh"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    SetDetailsView show
    !insertmacro RemoveProgramFiles
    Delete "$INSTDIR\${UNINSTALLER}"
    ${If} $FolderMadeBySetup == "1"
      RMDir "$INSTDIR"
    ${EndIf}
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not be installed: its files cannot be written into$\r$\n$INSTDIR$\r$\n$\r$\nPick a folder you may write to, or run the setup program as an administrator." /SD IDOK
    SetErrorLevel 2
    Abort
  ${EndIf}

  ${If} $EarlierFolder != ""
    Call RemoveEarlierInstallation
    ${If} $EarlierFolderMadeBySetup == "1"
      RMDir "$EarlierFolder"
    ${EndIf}
  ${EndIf}
  CreateShortcut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0 SW_SHOWNORMAL "" "${PRODUCT}"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${PROGRAM},0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "URLInfoAbout" "https://www.zephyrloom.example/phone-sms-contacts-rescue.html"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "HelpLink" "https://www.zephyrloom.example/support.html"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "FolderMadeBySetup" "$FolderMadeBySetup"
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function un.onInit
  SetShellVarContext all
  Call un.WaitUntilProgramClosed
FunctionEnd

Section "Uninstall"
  ReadRegStr $FolderMadeBySetup HKLM "${UNINSTALL_KEY}" "FolderMadeBySetup"
  !insertmacro RemoveProgramFiles
  Delete "${SHORTCUT}"
  Delete "$INSTDIR\${UNINSTALLER}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  ; Only a folder the setup program made, and only when nothing else is in
  ; it (RMDir without /r leaves a folder that holds anything).
  ${If} $FolderMadeBySetup == "1"
    RMDir "$INSTDIR"
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\*.*"
    DetailPrint "Kept $INSTDIR and the files in it that the setup program did not install."
  ${EndIf}
SectionEnd
