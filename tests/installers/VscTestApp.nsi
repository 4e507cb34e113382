; The installer test's program: one of each registry entry an installer writes, in the registry
; view -DBITS=64 or 32 (then in "Program Files (x86)"). Also -DAPP, -DCLSID, -DPAYLOAD, -DOUT.
Unicode true
Target amd64-unicode
Name "${APP}"
OutFile "${OUT}"
RequestExecutionLevel admin
InstallDir "$PROGRAMFILES64\${APP}"

Function .onInit
!if ${BITS} == 32
  ReadEnvStr $0 "ProgramFiles(x86)"
  StrCpy $INSTDIR "$0\${APP}"
!endif
FunctionEnd
!define UNINST "Software\Microsoft\Windows\CurrentVersion\Uninstall\${APP}"

Section
  SetRegView ${BITS}
  SetShellVarContext all
  SetOutPath "$INSTDIR"
  File "/oname=app.exe" "${PAYLOAD}"
  File "/oname=server.dll" "${PAYLOAD}"
  File "/oname=shared.dll" "${PAYLOAD}"
  File "/oname=${APP}.chm" "${PAYLOAD}"
  File "/oname=ding.wav" "${PAYLOAD}"
  File "/oname=data.dat" "${PAYLOAD}"
  WriteUninstaller "$INSTDIR\uninst.exe"
  WriteRegStr HKLM "${UNINST}" "DisplayName" "${APP}"
  WriteRegStr HKLM "${UNINST}" "DisplayIcon" "$INSTDIR\app.exe"
  WriteRegStr HKLM "${UNINST}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\${APP}.exe" "" "$INSTDIR\app.exe"
  WriteRegStr HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "${APP}" "$INSTDIR\app.exe"
  WriteRegDWORD HKLM "Software\Microsoft\Windows\CurrentVersion\SharedDLLs" "$INSTDIR\shared.dll" 1
  WriteRegStr HKCR "CLSID\${CLSID}\InprocServer32" "" "$INSTDIR\server.dll"
  WriteRegStr HKCR "${APP}.Document\Shell\Open" "Icon" "$INSTDIR\data.dat"
  WriteRegStr HKLM "Software\Microsoft\Windows\Help" "${APP}.chm" "$INSTDIR"
  WriteRegStr HKCU "AppEvents\Schemes\Apps\${APP}\Ding\.Current" "" "$INSTDIR\ding.wav"
  WriteRegStr HKLM "Software\${APP}Vendor" "DataFile" "$INSTDIR\data.dat"
  CreateShortCut "$SMPROGRAMS\${APP}.lnk" "$INSTDIR\app.exe"
SectionEnd

Section Uninstall
  SetRegView ${BITS}
  SetShellVarContext all
  Delete "$SMPROGRAMS\${APP}.lnk"
  DeleteRegKey HKLM "Software\${APP}Vendor"
  DeleteRegKey HKCU "AppEvents\Schemes\Apps\${APP}"
  DeleteRegValue HKLM "Software\Microsoft\Windows\Help" "${APP}.chm"
  DeleteRegKey HKCR "${APP}.Document"
  DeleteRegKey HKCR "CLSID\${CLSID}"
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\SharedDLLs" "$INSTDIR\shared.dll"
  DeleteRegValue HKLM "Software\Microsoft\Windows\CurrentVersion\Run" "${APP}"
  DeleteRegKey HKLM "Software\Microsoft\Windows\CurrentVersion\App Paths\${APP}.exe"
  RMDir /r "$INSTDIR"
  DeleteRegKey HKLM "${UNINST}"
SectionEnd
