; What the uninstaller removes where a link may stand (a symbolic link, a junction, a
; mount point): a link is removed itself or left alone, never followed, so that nothing
; it leads to is deleted. Included by installer.nsi, which defines EXCHANGE_FOLDER.

!define FILE_ATTRIBUTE_REPARSE_POINT 0x400

; C:\q_lenn is one folder for every account on the PC: anyone can put a link in its place
; or in place of a picture, pointing at one of the user's own files. $0 = 1 when the
; path on the stack is a reparse point (a link, a mount point), else 0 (missing too).
Function un.IsReparsePoint
  Exch $1
  System::Call 'kernel32::GetFileAttributesW(w r1) i .r0'
  ${If} $0 = -1
    StrCpy $0 0
  ${Else}
    IntOp $0 $0 & ${FILE_ATTRIBUTE_REPARSE_POINT}
    ${IfThen} $0 <> 0 ${|} StrCpy $0 1 ${|}
  ${EndIf}
  Pop $1
FunctionEnd

; Removes the file or the folder on the stack, a folder with everything in it. A link (a
; symbolic link, a junction) is removed itself and never followed: RMDir /r goes into
; every folder it finds, a linked one too, and deletes the files the link leads to.
Function un.RemoveTree
  Exch $R0
  Push $R1
  Push $R2
  Push $0
  Push $R0
  Call un.IsReparsePoint
  ${If} $0 == 0
  ${AndIf} ${FileExists} "$R0\*.*"
    FindFirst $R1 $R2 "$R0\*.*"
    ${DoWhile} $R2 != ""
      ${If} $R2 != "."
      ${AndIf} $R2 != ".."
        Push "$R0\$R2"
        Call un.RemoveTree
      ${EndIf}
      FindNext $R1 $R2
    ${Loop}
    FindClose $R1
  ${Else}
    Delete $R0  ; a file, or a link to one
  ${EndIf}
  RMDir $R0  ; the folder, empty by now, or a link to one
  Pop $0
  Pop $R2
  Pop $R1
  Pop $R0
FunctionEnd

; Deletes the picture on the stack only when neither it nor the folder is a reparse point.
Function un.RemovePicture
  Exch $2
  Push "${EXCHANGE_FOLDER}"
  Call un.IsReparsePoint
  ${If} $0 == 0
    Push $2
    Call un.IsReparsePoint
    ${IfThen} $0 == 0 ${|} Delete $2 ${|}
  ${EndIf}
  Pop $2
FunctionEnd

; $0 = 1 when the picture on the stack is still there as the saver's own: a plain file
; in a plain folder. What a link leads to is not the saver's and is not counted.
Function un.OurPictureIsLeft
  Exch $2
  StrCpy $0 0
  ${If} ${FileExists} $2
    Push "${EXCHANGE_FOLDER}"
    Call un.IsReparsePoint
    ${If} $0 == 0
      Push $2
      Call un.IsReparsePoint
      IntOp $0 1 - $0
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${EndIf}
  Pop $2
FunctionEnd
