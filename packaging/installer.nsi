; The per-user installer of Sorvanta. packaging/make_packages.py runs
;   makensis -DVERSION=x.y.z -DSCR=... -DDLL=... -DOUTFILE=... installer.nsi
; It installs both programs into %LOCALAPPDATA%\Programs\Sorvanta (a folder the user
; can write to, so the saver can save its settings file beside itself), makes Sorvanta
; the current screen saver and registers an Apps & features entry for the user.

Unicode true
Target amd64-unicode
RequestExecutionLevel user
ManifestDPIAware true
ManifestSupportedOS all
SetCompressor /SOLID lzma

!ifndef VERSION | SCR | DLL | OUTFILE
  !error "define VERSION, SCR, DLL and OUTFILE"
!endif

; A signed release (make_packages.py --sign) defines SIGN_COMMAND, a shell command that
; signs the file at %1 in place: the uninstaller is signed before it is packed into the
; installer, and the installer once written.
!ifdef SIGN_COMMAND
  !uninstfinalize `${SIGN_COMMAND}`
  !finalize `${SIGN_COMMAND}`
!endif

!define PRODUCT "Sorvanta"
!define PUBLISHER "Sorvanta authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Sorvanta"
!define DESKTOP_KEY "Control Panel\Desktop"
!define UNINSTALLER "uninstall.exe"
; The saver's own files: its settings beside it, its exchange images in C:\q_lenn.
!define SETTINGS_FILE "Sorvanta.ini"
!define EXCHANGE_FOLDER "C:\q_lenn"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© 2026 ${PUBLISHER}"

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; With no language chooser, NSIS shows the pages in the language of the user's
; Windows when it is one of these, else in the first (English).
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString FinishTitle ${LANG_ENGLISH} "Sorvanta is installed"
LangString FinishTitle ${LANG_JAPANESE} "Sorvanta をインストールしました"
LangString FinishText ${LANG_ENGLISH} "Sorvanta is now your screen saver. Choose its music and \
  its wait time in Windows' Screen Saver Settings.$\r$\n$\r$\nTo remove it, use Apps & \
  features (Settings > Apps)."
LangString FinishText ${LANG_JAPANESE} "Sorvanta が現在のスクリーン セーバーになりました。\
  音楽と待ち時間は Windows の「スクリーン セーバーの設定」で選べます。$\r$\n$\r$\n\
  削除するには「アプリと機能」（設定 > アプリ）を使ってください。"

Section "Sorvanta" SectionMain
  SectionIn RO
  SetOutPath "$INSTDIR"
  ; An upgrade overwrites the programs and leaves the settings file as it is.
  File "${SCR}"
  File "${DLL}"
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"

  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Sorvanta.scr"

  ; One entry, under a fixed key, so an upgrade replaces its values.
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Sorvanta.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  ; The saver stays current only while the value still names this copy, in the long
  ; or the short (8.3) form Windows may have written; the short form needs the file.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\Sorvanta.scr"
  ${If} $0 == "$INSTDIR\Sorvanta.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}

  Delete "$INSTDIR\Sorvanta.scr"
  Delete "$INSTDIR\Sorvanta.dll"
  Delete "$INSTDIR\${SETTINGS_FILE}"
  Delete "$INSTDIR\${UNINSTALLER}"
  ; Not /r: whatever else the user put there stays, and so does the folder then.
  RMDir "$INSTDIR"
  ; The per-user programs folder too, when nothing else is in it.
  ${If} "$INSTDIR" == "$LOCALAPPDATA\Programs\${PRODUCT}"
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}

  Delete "${EXCHANGE_FOLDER}\Sorvanta1.tga"
  Delete "${EXCHANGE_FOLDER}\Sorvanta2.tga"
  RMDir "${EXCHANGE_FOLDER}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
