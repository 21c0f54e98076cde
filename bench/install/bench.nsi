; The install benchmark's payload as a silent NSIS installer, the yardstick of run.sh.
; makensis -DPAYLOAD=DIR -DOUTFILE=FILE bench.nsi
; Like the Corvane bench product it installs every file, writes an uninstaller and registers
; the product for removal.
Unicode true
SetCompressor /SOLID zlib
Name "Corvane Bench NSIS"
OutFile "${OUTFILE}"
InstallDir "C:\cvbench\nsis"
RequestExecutionLevel admin
SilentInstall silent

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneBenchNsis"

Section
  SetOutPath "$INSTDIR"
  File /r "${PAYLOAD}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Corvane Bench NSIS"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
