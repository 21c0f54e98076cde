; The install benchmark's payload as a silent NSIS installer, the yardstick of run.sh.
; makensis -DTARGET=x86-unicode|amd64-unicode -DPAYLOAD=DIR -DOUTFILE=FILE bench.nsi
; Like the Corvane bench product it installs every file, writes an uninstaller and registers
; the product for removal.
Unicode true
; x86-unicode or amd64-unicode, as the machine runs the setup.
Target ${TARGET}
SetCompressor /SOLID zlib
Name "Corvane Bench NSIS"
OutFile "${OUTFILE}"
InstallDir "C:\cvbench\nsis"
RequestExecutionLevel admin
SilentInstall silent

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\CorvaneBenchNsis"

Section
  SetOutPath "$INSTDIR"
  ; Not the payload generator's description of its files, which the Corvane product leaves out.
  File /r /x .payload.json "${PAYLOAD}/*"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Corvane Bench NSIS"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
SectionEnd

Section "Uninstall"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
