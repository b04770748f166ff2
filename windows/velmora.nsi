; The Windows installer. scripts/windows.sh stages the files and runs makensis with
;   VERSION         the program's version
;   STAGE           the staged files: program\ (the programs, DLLs and Qt plugins) and demo\
;   UNINSTALL_LIST  the Delete and RMDir lines of exactly the staged files
;   OUTFILE         the installer to write
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel admin

Name "Velmora ${VERSION}"
OutFile "${OUTFILE}"
; C:\Program Files (x86)\Tamsel\Velmora on 64-bit Windows: the folder the program looks in
; for the club databases and the FCC files when it is given none.
InstallDir "$PROGRAMFILES32\Tamsel\Velmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"

; A 64-bit installer may be told the 64-bit folder for $PROGRAMFILES32; the folder of
; 32-bit programs is the one the program expects, so it is taken from the environment
; unless /D= named another.
Function .onInit
  StrCmp $INSTDIR "$PROGRAMFILES32\Tamsel\Velmora" 0 done
  ReadEnvStr $0 "ProgramFiles(x86)"
  StrCmp $0 "" done
  StrCpy $INSTDIR "$0\Tamsel\Velmora"
done:
FunctionEnd

Page components
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Velmora" SecProgram
  SectionIn RO
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File /r "${STAGE}\program\*.*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Velmora"
  ; Started in the installation folder: the roster spreadsheet is looked for below the
  ; folder the program starts in.
  SetOutPath "$INSTDIR"
  CreateShortcut "$SMPROGRAMS\Velmora\Velmora.lnk" "$INSTDIR\velmora.exe"
  CreateShortcut "$SMPROGRAMS\Velmora\Uninstall Velmora.lnk" "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Velmora"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Tamsel"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Demo installation (made-up rosters and licences to try the program on)" SecDemo
  SetShellVarContext all
  SetOutPath "$INSTDIR\demo"
  File /r "${STAGE}\demo\*.*"
  SetOutPath "$INSTDIR\demo"
  CreateShortcut "$SMPROGRAMS\Velmora\Velmora demo.lnk" "$INSTDIR\velmora.exe" '--install-dir "$INSTDIR\demo"'
SectionEnd

Section "Uninstall"
  SetShellVarContext all
!include "${UNINSTALL_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\demo"
  ; The folder stays when it holds the club's own databases or FCC files.
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."
  Delete "$SMPROGRAMS\Velmora\Velmora.lnk"
  Delete "$SMPROGRAMS\Velmora\Velmora demo.lnk"
  Delete "$SMPROGRAMS\Velmora\Uninstall Velmora.lnk"
  RMDir "$SMPROGRAMS\Velmora"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
