; The per-user installer of Sorvanta. packaging/make_packages.py runs
;   makensis -DVERSION=x.y.z -DSCR=... -DDLL=... -DOUTFILE=... installer.nsi
; It installs both programs into %LOCALAPPDATA%\Programs\Sorvanta (a folder the user
; can write to, so the saver can save its settings file beside itself), makes Sorvanta
; the current screen saver and switches screen savers on, adds a Start-menu folder with
; its settings and a way back to it, and registers an Apps & features entry for the
; user. Sorvanta programs running from the folder are closed before their files are
; replaced or removed.

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
; The Start-menu folder and its two shortcuts, named in the user's language. Nothing
; removes them by name: the user's language may have changed since, and a version may
; rename them (-D gives them other names; the upgrade test's newer installer does).
!define MENU_FOLDER "$SMPROGRAMS\${PRODUCT}"
!ifndef SETTINGS_LINK_EN
  !define SETTINGS_LINK_EN "Sorvanta Settings"
!endif
!ifndef SETTINGS_LINK_JA
  !define SETTINGS_LINK_JA "Sorvanta の設定"
!endif
!ifndef CHOOSE_LINK_EN
  !define CHOOSE_LINK_EN "Make Sorvanta My Screen Saver"
!endif
!ifndef CHOOSE_LINK_JA
  !define CHOOSE_LINK_JA "Sorvanta をスクリーン セーバーにする"
!endif
; SystemParametersInfoW: screen savers on or off, saved and announced to every program.
!define SPI_SETSCREENSAVEACTIVE 0x0011
!define SPIF_UPDATEINIFILE_SENDCHANGE 0x0003

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include "running_programs.nsh"
!include "installer_look.nsh"
!include "removal.nsh"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "© 2026 ${PUBLISHER}"

Var Upgrade  ; 1 when an installed copy is upgraded where it is

!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "$(FinishTitle)"
!define MUI_FINISHPAGE_TEXT "$(FinishText)"
!insertmacro MUI_PAGE_WELCOME
!define MUI_PAGE_CUSTOMFUNCTION_PRE SkipFolderOnUpgrade
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE RefuseUnwritableFolder
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
  its wait time in Windows' Screen Saver Settings, or from Sorvanta in the Start menu.\
  $\r$\n$\r$\nTo remove it, use Apps && features (Settings > Apps)."
LangString FinishText ${LANG_JAPANESE} "Sorvanta が現在のスクリーン セーバーになりました。\
  音楽と待ち時間は Windows の「スクリーン セーバーの設定」か、スタート メニューの \
  Sorvanta から選べます。$\r$\n$\r$\n\
  削除するには「アプリと機能」（設定 > アプリ）を使ってください。"
LangString OpenScreenSaverSettings ${LANG_ENGLISH} "Open Screen Saver Settings"
LangString OpenScreenSaverSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString SettingsLink ${LANG_ENGLISH} "${SETTINGS_LINK_EN}"
LangString SettingsLink ${LANG_JAPANESE} "${SETTINGS_LINK_JA}"
LangString SettingsLinkTip ${LANG_ENGLISH} "Choose Sorvanta's music"
LangString SettingsLinkTip ${LANG_JAPANESE} "Sorvanta の音楽を選びます"
LangString ChooseLink ${LANG_ENGLISH} "${CHOOSE_LINK_EN}"
LangString ChooseLink ${LANG_JAPANESE} "${CHOOSE_LINK_JA}"
LangString ChooseLinkTip ${LANG_ENGLISH} "Makes Sorvanta the current screen saver and opens \
  Screen Saver Settings"
LangString ChooseLinkTip ${LANG_JAPANESE} "Sorvanta を現在のスクリーン セーバーにして、\
  スクリーン セーバーの設定を開きます"
LangString FolderNotWritable ${LANG_ENGLISH} "You cannot write to $INSTDIR.$\r$\n$\r$\n\
  Sorvanta saves its settings in the folder it is installed in, so it needs a folder you \
  can write to, such as one in your user folder. Choose another folder."
LangString FolderNotWritable ${LANG_JAPANESE} "$INSTDIR には書き込めません。$\r$\n$\r$\n\
  Sorvanta は設定をインストール先のフォルダーに保存するため、書き込めるフォルダー\
  （ユーザー フォルダーの中など）が必要です。ほかのフォルダーを選んでください。"
LangString ProgramsRunning ${LANG_ENGLISH} "Sorvanta is running from $INSTDIR: its preview \
  in Screen Saver Settings, its settings or the screen saver itself.$\r$\n$\r$\n\
  Choose OK to close it and go on, or Cancel to stop."
LangString ProgramsRunning ${LANG_JAPANESE} "$INSTDIR の Sorvanta が実行中です\
  （スクリーン セーバーの設定のプレビュー、Sorvanta の設定、またはスクリーン セーバー）。\
  $\r$\n$\r$\n閉じて続けるには [OK]、やめるには [キャンセル] を選んでください。"
LangString ProgramsStillRunning ${LANG_ENGLISH} "Sorvanta could not be closed. Close Screen \
  Saver Settings and every Sorvanta window, then choose Retry."
LangString ProgramsStillRunning ${LANG_JAPANESE} "Sorvanta を閉じられませんでした。\
  スクリーン セーバーの設定と Sorvanta のウィンドウをすべて閉じてから [再試行] を選んでください。"
LangString NothingChanged ${LANG_ENGLISH} "Nothing was changed."
LangString NothingChanged ${LANG_JAPANESE} "何も変更していません。"
LangString ProgramsNotReplaced ${LANG_ENGLISH} "The programs in $INSTDIR could not be replaced."
LangString ProgramsNotReplaced ${LANG_JAPANESE} "$INSTDIR のプログラムを置き換えられませんでした。"
LangString FilesLeft ${LANG_ENGLISH} "Some files of Sorvanta could not be removed from \
  $INSTDIR. Sorvanta stays in Apps & features so that you can uninstall it again."
LangString FilesLeft ${LANG_JAPANESE} "$INSTDIR から Sorvanta のファイルの一部を削除できません\
  でした。もう一度アンインストールできるように、Sorvanta は「アプリと機能」に残します。"

!insertmacro SORVANTA_RUNNING_PROGRAMS ""
!insertmacro SORVANTA_RUNNING_PROGRAMS "un."

; An upgrade goes where the installed version is, whatever folder /D names.
Function .onInit
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\*.*"
    StrCpy $INSTDIR $0
    StrCpy $Upgrade 1
  ${EndIf}
FunctionEnd

Function SkipFolderOnUpgrade
  ${IfThen} $Upgrade == 1 ${|} Abort ${|}
FunctionEnd

; $0 is 1 when the user can write to $INSTDIR, or create it: a file can be made in it,
; or in the nearest folder above it that exists. A file in the way is no folder.
Function FolderWritable
  StrCpy $0 ""
  StrCpy $1 $INSTDIR
  ${DoUntil} ${FileExists} "$1\*.*"
    ${IfThen} ${FileExists} $1 ${|} Return ${|}
    ${GetParent} $1 $2
    ${IfThen} $2 == "" ${|} Return ${|}
    StrCpy $1 $2
  ${Loop}
  ; Wine returns a name even when it could not make the file: the file must be there.
  System::Call 'kernel32::GetTempFileNameW(w "$1\", w "sor", i 0, w .r2) i .r3'
  ${If} $3 <> 0
  ${AndIf} ${FileExists} $2
    SetDetailsPrint none
    Delete $2
    SetDetailsPrint lastused
    StrCpy $0 1
  ${EndIf}
FunctionEnd

Function RefuseUnwritableFolder
  Call FolderWritable
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(FolderNotWritable)"
    Abort
  ${EndIf}
FunctionEnd

; Closes the Sorvanta programs that run from $INSTDIR, after asking (a silent run does
; not ask). Stops the installation, with nothing changed, when the user declines or
; they cannot be ended.
!macro END_RUNNING_PROGRAMS UN
  Call ${UN}CountRunningPrograms
  ${If} $RunningCount <> 0
    ${If} ${Cmd} `MessageBox MB_OKCANCEL|MB_ICONINFORMATION "$(ProgramsRunning)" /SD IDOK IDCANCEL`
      DetailPrint "$(NothingChanged)"
      Abort
    ${EndIf}
    ${Do}
      DetailPrint "Closing the Sorvanta programs that run from $INSTDIR"
      Call ${UN}EndRunningPrograms
      ${IfThen} $RunningCount = 0 ${|} ${ExitDo} ${|}
      ${IfNot} ${Cmd} `MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "$(ProgramsStillRunning)" /SD IDCANCEL IDRETRY`
        DetailPrint "$(ProgramsStillRunning)"
        DetailPrint "$(NothingChanged)"
        Abort
      ${EndIf}
    ${Loop}
  ${EndIf}
!macroend

; Removes the old programs before the new ones are put in their place. When one of
; them cannot be removed, the installation stops before a new one is put beside it.
Function RemoveOldPrograms
  Delete "$INSTDIR\Sorvanta.scr"
  Delete "$INSTDIR\Sorvanta.dll"
  ${If} ${FileExists} "$INSTDIR\Sorvanta.scr"
  ${OrIf} ${FileExists} "$INSTDIR\Sorvanta.dll"
    Call ProgramsNotReplaced
  ${EndIf}
FunctionEnd

Function ProgramsNotReplaced
  MessageBox MB_OK|MB_ICONSTOP "$(ProgramsNotReplaced)" /SD IDOK
  DetailPrint "$(ProgramsNotReplaced)"
  Abort
FunctionEnd

; The Start-menu folder: the settings, and the documented way to make a saver the
; current one, which also opens Screen Saver Settings with it chosen. On an upgrade the
; shortcuts of the version before go first, whatever language or version named them:
; every shortcut in the folder, which is the installer's own. Nothing else in it is
; touched, and Delete goes into no folder, so it follows no link.
Function CreateMenuLinks
  Delete "${MENU_FOLDER}\*.lnk"
  CreateDirectory "${MENU_FOLDER}"
  SetOutPath "$INSTDIR"
  CreateShortCut "${MENU_FOLDER}\$(SettingsLink).lnk" "$INSTDIR\Sorvanta.scr" "/c" \
    "$INSTDIR\Sorvanta.scr" 0 SW_SHOWNORMAL "" "$(SettingsLinkTip)"
  CreateShortCut "${MENU_FOLDER}\$(ChooseLink).lnk" "$SYSDIR\rundll32.exe" \
    "desk.cpl,InstallScreenSaver $INSTDIR\Sorvanta.scr" "$INSTDIR\Sorvanta.scr" 0 \
    SW_SHOWNORMAL "" "$(ChooseLinkTip)"
FunctionEnd

Section "Sorvanta" SectionMain
  SectionIn RO
  ; A silent run has no folder page: /D may still name a folder the user cannot write.
  Call FolderWritable
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONSTOP "$(FolderNotWritable)" /SD IDOK
    DetailPrint "$(NothingChanged)"
    Abort
  ${EndIf}
  !insertmacro END_RUNNING_PROGRAMS ""
  SetOutPath "$INSTDIR"
  ; An upgrade replaces the programs and leaves the settings file as it is.
  Call RemoveOldPrograms
  ClearErrors
  SetOverwrite try  ; a file that cannot be written is an error, not a question
  SetDateSave on  ; the programs keep the release's fixed time (make_packages.py)
  File "${SCR}"
  File "${DLL}"
  SetOverwrite on
  ${IfThen} ${Errors} ${|} Call ProgramsNotReplaced ${|}
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  Call CreateMenuLinks

  ; The current saver, with savers switched on: a user who chose "(None)" has them off.
  ; Its path in the short (8.3) form where the volume keeps short names, as Screen Saver
  ; Settings write it: Windows starts the saver with that path unquoted. A volume without
  ; short names gives the long path back.
  GetFullPathName /SHORT $0 "$INSTDIR\Sorvanta.scr"
  ${IfThen} $0 == "" ${|} StrCpy $0 "$INSTDIR\Sorvanta.scr" ${|}
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" $0
  System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, \
    i ${SPIF_UPDATEINIFILE_SENDCHANGE}) i .r0'
  ${IfThen} $0 = 0 ${|} DetailPrint "Screen savers could not be switched on" ${|}

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

; $0 is 1 when SCRNSAVE.EXE names this copy, in the long or the short (8.3) form Windows
; may have written; the short form needs the file, so this is asked before it goes.
Function un.ScreenSaverIsThisCopy
  StrCpy $0 ""
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $2 "$INSTDIR\Sorvanta.scr"
  ${If} $1 == "$INSTDIR\Sorvanta.scr"
  ${OrIf} $1 == $2
    StrCpy $0 1
  ${EndIf}
FunctionEnd

; $0 is 1 when a file of this install is still there.
Function un.FilesLeft
  StrCpy $0 1
  ${IfThen} ${FileExists} "$INSTDIR\Sorvanta.scr" ${|} Return ${|}
  ${IfThen} ${FileExists} "$INSTDIR\Sorvanta.dll" ${|} Return ${|}
  ${IfThen} ${FileExists} "$INSTDIR\${SETTINGS_FILE}" ${|} Return ${|}
  ${IfThen} ${FileExists} "${MENU_FOLDER}" ${|} Return ${|}
  Push "${EXCHANGE_FOLDER}\Sorvanta1.tga"
  Call un.OurPictureIsLeft
  ${IfThen} $0 == 1 ${|} Return ${|}
  Push "${EXCHANGE_FOLDER}\Sorvanta2.tga"
  Call un.OurPictureIsLeft
  ${IfThen} $0 == 1 ${|} Return ${|}
  StrCpy $0 ""
FunctionEnd

Section "Uninstall"
  !insertmacro END_RUNNING_PROGRAMS "un."
  Call un.ScreenSaverIsThisCopy
  StrCpy $9 $0

  Delete "$INSTDIR\Sorvanta.scr"
  Delete "$INSTDIR\Sorvanta.dll"
  Delete "$INSTDIR\${SETTINGS_FILE}"
  ; The Start-menu folder is the installer's own: it goes whole, whatever it holds.
  Push "${MENU_FOLDER}"
  Call un.RemoveTree
  Push "${EXCHANGE_FOLDER}\Sorvanta1.tga"
  Call un.RemovePicture
  Push "${EXCHANGE_FOLDER}\Sorvanta2.tga"
  Call un.RemovePicture
  Push "${EXCHANGE_FOLDER}"
  Call un.IsReparsePoint
  ${IfThen} $0 == 0 ${|} RMDir "${EXCHANGE_FOLDER}" ${|}

  ; What Windows does for "(None)", while the setting names this copy and its program
  ; is gone: no saver, and savers switched off.
  ${If} $9 == 1
  ${AndIfNot} ${FileExists} "$INSTDIR\Sorvanta.scr"
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, \
      i ${SPIF_UPDATEINIFILE_SENDCHANGE})'
  ${EndIf}

  ; The uninstaller and the entry go last, and only when nothing else is left, so that
  ; what is left can still be uninstalled.
  Call un.FilesLeft
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONSTOP "$(FilesLeft)" /SD IDOK
    DetailPrint "$(FilesLeft)"
    Abort
  ${EndIf}
  Delete "$INSTDIR\${UNINSTALLER}"
  ${If} ${FileExists} "$INSTDIR\${UNINSTALLER}"
    MessageBox MB_OK|MB_ICONSTOP "$(FilesLeft)" /SD IDOK
    Abort
  ${EndIf}
  ; Not /r: whatever else the user put there stays, and so does the folder then.
  RMDir "$INSTDIR"
  ; The per-user programs folder too, when nothing else is in it.
  ${If} "$INSTDIR" == "$LOCALAPPDATA\Programs\${PRODUCT}"
    RMDir "$LOCALAPPDATA\Programs"
  ${EndIf}
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
