; The per-user installer of Temvik, built by scripts/release.sh:
;
;   makensis -INPUTCHARSET UTF8 -DVERSION=1.0 -DVERSION4=1.0.0.0 -DSTAGE=<folder>
;            -DOUTFILE=<setup.exe> -DICON=<temvik.ico> -DCOMPANY=... -DCOPYRIGHT=...
;            [-DSIGN_UNINSTALLER=<command>] packaging/temvik.nsi
;
; STAGE holds what the zip holds: temvik.exe, the guide, the licence and the
; change log. No administrator rights: the program goes to
; %LOCALAPPDATA%\Programs\Temvik (or wherever the user chooses), the shortcut
; to the user's Start menu, the uninstaller to 应用和功能 through HKCU.
;
; The plans live beside temvik.exe. An uninstall keeps them unless the user
; answers 是 to its question or passes /REMOVEPLANS; a silent one (/S) keeps
; them. A new version installed over an old one keeps them too.

; 64-bit like the program it installs (and wine without its 32-bit part runs it).
Target amd64-unicode
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!include MUI2.nsh
!include FileFunc.nsh
!include LogicLib.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Temvik"
!define UNINSTALLER "uninstall.exe"

Name "Temvik ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Temvik"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Temvik ${VERSION}"

!ifdef SIGN_UNINSTALLER
  ; Signs the uninstaller before it goes into the installer.
  !uninstfinalize '${SIGN_UNINSTALLER} "%1"'
!endif

VIProductVersion "${VERSION4}"
VIFileVersion "${VERSION4}"
VIAddVersionKey /LANG=2052 "ProductName" "Temvik"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "FileDescription" "Temvik ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "${COPYRIGHT}"
VIAddVersionKey /LANG=2052 "OriginalFilename" "Temvik-${VERSION}-setup.exe"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "此程序将为当前用户安装 $(^NameDA)，不需要管理员权限。$\r$\n$\r$\n如果 Temvik 正在运行，请先退出。已有的计划不会被改动。$\r$\n$\r$\n单击 [下一步(N)] 继续。"
!define MUI_FINISHPAGE_RUN "$INSTDIR\temvik.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\使用说明.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "阅读使用说明"
!define MUI_FINISHPAGE_SHOWREADME_NOTCHECKED

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "SimpChinese"

Section "Temvik" SecProgram
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "${STAGE}\temvik.exe"
  File "${STAGE}\使用说明.html"
  File "${STAGE}\LICENSE.txt"
  File "${STAGE}\更新日志.txt"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  CreateShortCut "$SMPROGRAMS\Temvik.lnk" "$INSTDIR\temvik.exe" "" "$INSTDIR\temvik.exe" 0

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Temvik"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\temvik.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "URLInfoAbout" "https://temvik.cn/"
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Var RemovePlans

Function un.onInit
  StrCpy $RemovePlans 0
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/REMOVEPLANS" $1
  ${IfNot} ${Errors}
    StrCpy $RemovePlans 1
  ${EndIf}
FunctionEnd

Section "Uninstall"
  ; Asked only when there is a plan to lose; a silent uninstall keeps it.
  ${If} $RemovePlans == 0
  ${AndIf} ${FileExists} "$INSTDIR\*.ini"
    MessageBox MB_YESNO|MB_ICONQUESTION|MB_DEFBUTTON2 \
      "是否同时删除计划？$\r$\n$\r$\n计划保存在程序文件夹中的 INI 文件里。选择“否”会保留这些文件，重新安装后可以继续使用。" \
      /SD IDNO IDNO keepPlans
    StrCpy $RemovePlans 1
  keepPlans:
  ${EndIf}
  ${If} $RemovePlans == 1
    ; The plan files and the copies a rewrite goes through.
    Delete "$INSTDIR\time.ini"
    Delete "$INSTDIR\win.ini"
    Delete "$INSTDIR\out.ini"
    Delete "$INSTDIR\fin.ini"
    Delete "$INSTDIR\name.ini"
    Delete "$INSTDIR\time1.ini"
    Delete "$INSTDIR\win1.ini"
    Delete "$INSTDIR\out1.ini"
    Delete "$INSTDIR\fin1.ini"
  ${EndIf}

  Delete "$INSTDIR\temvik.exe"
  Delete "$INSTDIR\使用说明.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\更新日志.txt"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Only an empty folder goes: whatever else the user keeps there stays.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Temvik.lnk"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
