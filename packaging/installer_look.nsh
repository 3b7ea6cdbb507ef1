; What the installer's and the uninstaller's pages show of Sorvanta: its icon, a side
; picture on the welcome and finish pages and a header picture on the inner pages (the
; saver's own scene, made by tools/showcase_pictures), and its name and version on the
; bottom line. Included before the pages.

; The pages extract their pictures with File, which would record each picture's time in
; the checkout and so make the installer's bytes depend on when the sources were touched.
SetDateSave off

!define MUI_ICON "../saver/assets/program_icon.ico"
!define MUI_UNICON "../saver/assets/program_icon.ico"
!define MUI_WELCOMEFINISHPAGE_BITMAP "installer_side.bmp"
!define MUI_HEADERIMAGE
!define MUI_HEADERIMAGE_RIGHT
!define MUI_HEADERIMAGE_BITMAP "installer_header.bmp"
!define MUI_HEADERIMAGE_UNBITMAP "installer_header.bmp"
BrandingText "${PRODUCT} ${VERSION}"

; The finish page's check box, ticked at first: Screen Saver Settings opened with
; Sorvanta chosen, as the Start-menu shortcut does. A silent install shows no finish
; page, so it opens nothing.
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_TEXT_LARGE  ; room for the whole text above the check box
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenScreenSaverSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings

Function OpenScreenSaverSettings
  Exec '"$SYSDIR\rundll32.exe" desk.cpl,InstallScreenSaver $INSTDIR\Sorvanta.scr'
FunctionEnd
