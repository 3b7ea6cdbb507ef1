; Finds and ends the Sorvanta programs that run from $INSTDIR: the preview in Screen
; Saver Settings, the settings dialog, and a running saver (the front end and its
; renderer, Sorvanta.dll, which is a program of its own). Windows keeps a running
; program's file locked, so they must be gone before their files are replaced or
; deleted.
;
; They are first closed the way their user closes them: WM_CLOSE to each window that is
; the top of the program's own windows (its top-level windows, and the preview that
; lives inside the host's window). What still runs after a grace period is ended with
; TerminateProcess: the preview and the dialog hold nothing worth saving then.
;
;   !insertmacro SORVANTA_RUNNING_PROGRAMS ""     (installer)
;   !insertmacro SORVANTA_RUNNING_PROGRAMS "un."  (uninstaller)
; give Functions [un.]CountRunningPrograms and [un.]EndRunningPrograms.

!include LogicLib.nsh
!include Util.nsh

!define /ifndef PROCESS_TERMINATE 0x0001
!define /ifndef PROCESS_QUERY_LIMITED_INFORMATION 0x1000
!define /ifndef SYNCHRONIZE 0x00100000
!define /ifndef WM_CLOSE 0x0010
!define /ifndef GW_HWNDNEXT 2
!define /ifndef GW_CHILD 5
; Room for the ids of 4096 processes.
!define PROCESS_LIST_BYTES 16384
; How long the programs get to close: Wine alone takes about 2 s to destroy a window.
!define CLOSE_WAIT_STEPS 60
!define CLOSE_WAIT_STEP_MS 250

Var RunningAction   ; what ForEachRunningProgram does to each: count, close, end
Var RunningCount    ; how many it found
Var RunningPid      ; the process id of the one at hand
Var RunningScr      ; the long paths of the two programs, compared without case
Var RunningDll

!macro SORVANTA_RUNNING_PROGRAMS UN

; The programs' own paths, long form: a saver started by its short (8.3) path reports
; that path as its image.
Function ${UN}RunningProgramPaths
  StrCpy $RunningScr "$INSTDIR\Sorvanta.scr"
  StrCpy $RunningDll "$INSTDIR\Sorvanta.dll"
  System::Call 'kernel32::GetLongPathNameW(w "$INSTDIR", w .r1, i ${NSIS_MAX_STRLEN}) i .r2'
  ${If} $2 <> 0
    StrCpy $RunningScr "$1\Sorvanta.scr"
    StrCpy $RunningDll "$1\Sorvanta.dll"
  ${EndIf}
FunctionEnd

; Posts WM_CLOSE to the windows of process $RunningPid that head its own windows: the
; shown ones whose parent is not the program's (the desktop, or the host of a preview).
; Walks the whole window tree from the desktop down, depth first, without entering the
; program's own windows; the NSIS stack keeps the siblings still to visit.
Function ${UN}CloseWindowsOfRunningPid
  Push "end"
  System::Call 'user32::GetDesktopWindow() p .r1'
  System::Call 'user32::GetWindow(p r1, i ${GW_CHILD}) p .r1'
  ${Do}
    ${If} $1 P= 0
      Pop $1
      ${IfThen} $1 == "end" ${|} ${ExitDo} ${|}
      ${Continue}
    ${EndIf}
    System::Call 'user32::GetWindowThreadProcessId(p r1, *i .r2)'
    System::Call 'user32::GetWindow(p r1, i ${GW_HWNDNEXT}) p .r3'
    ${If} $2 = $RunningPid
      System::Call 'user32::IsWindowVisible(p r1) i .r4'
      ${If} $4 <> 0
        System::Call 'user32::PostMessageW(p r1, i ${WM_CLOSE}, p 0, p 0)'
      ${EndIf}
      StrCpy $1 $3
    ${Else}
      Push $3
      System::Call 'user32::GetWindow(p r1, i ${GW_CHILD}) p .r1'
    ${EndIf}
  ${Loop}
FunctionEnd

; Does $RunningAction to every process whose program is one of the two in $INSTDIR,
; and counts them in $RunningCount.
Function ${UN}ForEachRunningProgram
  StrCpy $RunningCount 0
  System::Alloc ${PROCESS_LIST_BYTES}
  Pop $8
  System::Call 'kernel32::K32EnumProcesses(p r8, i ${PROCESS_LIST_BYTES}, *i .r9) i .r0'
  ${IfThen} $0 = 0 ${|} StrCpy $9 0 ${|}
  IntOp $9 $9 / 4
  ${For} $R1 1 $9
    IntOp $R2 $R1 - 1
    IntOp $R2 $R2 * 4
    ${IntPtrOp} $R2 $8 + $R2
    System::Call '*$R2(i .s)'
    Pop $RunningPid
    System::Call 'kernel32::OpenProcess(i ${PROCESS_QUERY_LIMITED_INFORMATION}|${PROCESS_TERMINATE}|${SYNCHRONIZE}, i 0, i $RunningPid) p .R3'
    ${If} $R3 P<> 0
      Call ${UN}ActOnProcessIfOurs
      System::Call 'kernel32::CloseHandle(p R3)'
    ${EndIf}
  ${Next}
  System::Free $8
FunctionEnd

; The action for the open process $R3 ($RunningPid), when it runs one of the two.
Function ${UN}ActOnProcessIfOurs
  System::Call 'kernel32::QueryFullProcessImageNameW(p R3, i 0, w .R4, *i ${NSIS_MAX_STRLEN}) i .R5'
  ${IfThen} $R5 = 0 ${|} Return ${|}
  System::Call 'kernel32::GetLongPathNameW(w R4, w .R6, i ${NSIS_MAX_STRLEN}) i .R7'
  ${IfThen} $R7 <> 0 ${|} StrCpy $R4 $R6 ${|}
  ${If} $R4 != $RunningScr
  ${AndIf} $R4 != $RunningDll
    Return
  ${EndIf}
  IntOp $RunningCount $RunningCount + 1
  ${If} $RunningAction == "close"
    Call ${UN}CloseWindowsOfRunningPid
  ${ElseIf} $RunningAction == "end"
    System::Call 'kernel32::TerminateProcess(p R3, i 1)'
    System::Call 'kernel32::WaitForSingleObject(p R3, i 5000)'
  ${EndIf}
FunctionEnd

; How many of the programs run now, in $RunningCount. Keeps the registers.
Function ${UN}CountRunningPrograms
  System::Store "s"
  Call ${UN}RunningProgramPaths
  StrCpy $RunningAction "count"
  Call ${UN}ForEachRunningProgram
  System::Store "l"
FunctionEnd

; Closes the programs, waits for them, ends what is left; leaves in $RunningCount how
; many still run. Keeps the registers.
Function ${UN}EndRunningPrograms
  System::Store "s"
  Call ${UN}RunningProgramPaths
  StrCpy $RunningAction "close"
  Call ${UN}ForEachRunningProgram
  ${For} $R8 1 ${CLOSE_WAIT_STEPS}
    ${IfThen} $RunningCount = 0 ${|} ${ExitFor} ${|}
    Sleep ${CLOSE_WAIT_STEP_MS}
    StrCpy $RunningAction "count"
    Call ${UN}ForEachRunningProgram
  ${Next}
  ${If} $RunningCount <> 0
    StrCpy $RunningAction "end"
    Call ${UN}ForEachRunningProgram
    StrCpy $RunningAction "count"
    Call ${UN}ForEachRunningProgram
  ${EndIf}
  System::Store "l"
FunctionEnd

!macroend
