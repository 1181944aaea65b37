; KRYTraySetup.exe: installs KRYTray for every user of the machine, starts it at log-on, upgrades
; over a running copy and uninstalls cleanly. Built by the `installer` CMake target, which passes:
;   KRY_TARGET   x86-unicode (the product) or amd64-unicode (the x86-64 build the Wine tests use)
;   KRY_VERSION  the project version, "major.minor.patch"
;   KRY_EXE      KRYTray.exe to install          KRY_INI   the default English LUMA64.ini
;   KRY_LANG_DIR the translations, LUMA64.<code>.ini
;   KRY_ICON     the application icon            KRY_OUTFILE  the setup to write
;   KRY_SIGN     tools/scripts/sign.sh, which signs when the build has a certificate
;   KRY_UNINSTALLER_COPY  where the uninstaller, as the setup writes it, is copied
;   KRY_MSI_UPGRADE_CODE  the Windows Installer package's upgrade code
;
; Silent use: KRYTraySetup.exe /S [/D=<folder>]   uninstall.exe /S
; Exit code 0 on success; 2 when the setup stopped (the old copy did not end, a newer version is
; installed, KRYTray is installed from the Windows Installer package, a file or registry value
; could not be written).

Unicode true
Target ${KRY_TARGET}
SetCompressor /SOLID lzma
RequestExecutionLevel admin
ManifestDPIAware true
; The uninstaller is signed before it is packed, so the one the setup writes carries the
; signature; the setup is signed last. Without a certificate both stay as NSIS made them.
!uninstfinalize '"${KRY_SIGN}" "%1" "${KRY_UNINSTALLER_COPY}"' = 0
!finalize '"${KRY_SIGN}" "%1"' = 0

!include LogicLib.nsh
!include WordFunc.nsh
!include WinMessages.nsh
!include MUI2.nsh

!define PRODUCT "KRYTray"
!define PUBLISHER "Velmora"
!define EXE_NAME "KRYTray.exe"
!define UNINSTALLER "uninstall.exe"
!define CONTROLLER_TITLE "Velmora System Tray"
!define EXIT_COPYDATA_ID 4402
; How long a running copy gets to end after "EXIT" before the setup gives up.
!define EXIT_WAIT_MS 5000
!define SETTINGS_KEY "SOFTWARE\Velmora\QXLUMA64\Current"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Remembered in the uninstall entry: 1 when this setup placed LUMA64.ini, so that the uninstaller
; removes only a file of its own and never the driver's translated one.
!define PLACED_INI_VALUE "PlacedLanguageFile"
; The program's own folder under the 32-bit Program Files ("Program Files (x86)" on 64-bit
; Windows), in every build of this script.
!define DEFAULT_DIR "$PROGRAMFILES32\${PUBLISHER}\${PRODUCT}"

Name "${PRODUCT}"
OutFile "${KRY_OUTFILE}"
InstallDir "${DEFAULT_DIR}"
BrandingText "${PUBLISHER} ${PRODUCT} ${KRY_VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${KRY_VERSION}.0"
VIFileVersion "${KRY_VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${KRY_VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${KRY_VERSION}"
VIAddVersionKey /LANG=1033 "OriginalFilename" "KRYTraySetup.exe"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${PUBLISHER}"

!define MUI_ICON "${KRY_ICON}"
!define MUI_UNICON "${KRY_ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_TITLE "${PRODUCT} is installed"
!define MUI_FINISHPAGE_TEXT "${PRODUCT} has been started and will start whenever someone signs in."
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

Var PreviousDir
Var PreviousVersion
Var PreviousPlacedIni

!macro PUSH_R0_TO_R8
    Push $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    Push $R5
    Push $R6
    Push $R7
    Push $R8
!macroend
!macro POP_R8_TO_R1
    Pop $R8
    Pop $R7
    Pop $R6
    Pop $R5
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
!macroend

; Ends every running copy with "EXIT" and waits up to EXIT_WAIT_MS for each process to go.
; Pushes "" when none runs any more, otherwise the reason.
!macro DEFINE_END_RUNNING_COPIES UN
Function ${UN}EndRunningCopies
    ; R0 controller window, R1 its process, R2 the text, R3 the copy-data record, R4 when EXIT
    ; was sent, R5 what is left of the wait, R6 the wait's result, R7 rounds (a copy that keeps
    ; coming back must not hold the setup forever), R8 the result.
    !insertmacro PUSH_R0_TO_R8
    StrCpy $R7 0
    StrCpy $R8 ""
    ${Do}
        FindWindow $R0 "#32770" "${CONTROLLER_TITLE}"
        ${If} $R0 = 0
            ${Break}
        ${EndIf}
        IntOp $R7 $R7 + 1
        ${If} $R7 > 8
            StrCpy $R8 "${PRODUCT} keeps running."
            ${Break}
        ${EndIf}
        DetailPrint "Asking the running ${PRODUCT} to end"
        System::Call "user32::GetWindowThreadProcessId(p R0, *i .R1)"
        ; SYNCHRONIZE: enough to wait for the end.
        System::Call "kernel32::OpenProcess(i 0x00100000, i 0, i R1) p .R1"
        ; COPYDATASTRUCT {ULONG_PTR dwData; DWORD cbData; PVOID lpData}: the four bytes "EXIT".
        System::Call "*(&m5 'EXIT') p .R2"
!if ${NSIS_PTR_SIZE} > 4
        System::Call "*(p ${EXIT_COPYDATA_ID}, i 4, i 0, p R2) p .R3"
!else
        System::Call "*(p ${EXIT_COPYDATA_ID}, i 4, p R2) p .R3"
!endif
        System::Call "kernel32::GetTickCount() i .R4"
        ; SMTO_ABORTIFHUNG: a hung copy answers nothing; its process is waited for below.
        System::Call "user32::SendMessageTimeout(p R0, i ${WM_COPYDATA}, p $HWNDPARENT, p R3, i 2, i ${EXIT_WAIT_MS}, *p .n)"
        System::Free $R3
        System::Free $R2
        System::Call "kernel32::GetTickCount() i .R5"
        IntOp $R5 $R5 - $R4
        IntOp $R5 ${EXIT_WAIT_MS} - $R5
        ${If} $R5 < 0
            StrCpy $R5 0
        ${EndIf}
        ${If} $R1 <> 0
            System::Call "kernel32::WaitForSingleObject(p R1, i R5) i .R6"
            System::Call "kernel32::CloseHandle(p R1)"
        ${Else}
            ; No access to the process: wait for its window to go instead.
            ${Do}
                System::Call "user32::IsWindow(p R0) i .R6"
                ${If} $R6 = 0
                    ${Break}
                ${EndIf}
                ${If} $R5 <= 0
                    ${Break}
                ${EndIf}
                Sleep 50
                IntOp $R5 $R5 - 50
            ${Loop}
        ${EndIf}
        ${If} $R6 <> 0
            StrCpy $R8 "${PRODUCT} is still running and did not end when asked to."
            ${Break}
        ${EndIf}
    ${Loop}
    StrCpy $R0 $R8
    !insertmacro POP_R8_TO_R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro DEFINE_END_RUNNING_COPIES ""
!insertmacro DEFINE_END_RUNNING_COPIES "un."

; Deletes the installed program file; pushes "" when it is gone, otherwise the reason. A copy
; that is still starting holds the file before its window exists: it is asked to end as soon as
; the window appears, for up to EXIT_WAIT_MS.
!macro DEFINE_REMOVE_PROGRAM UN
Function ${UN}RemoveProgram
    Push $R0
    Push $R1
    StrCpy $R1 0
    ${Do}
        Call ${UN}EndRunningCopies
        Pop $R0
        ${If} $R0 != ""
            ${Break}
        ${EndIf}
        Delete "$INSTDIR\${EXE_NAME}"
        ${IfNot} ${FileExists} "$INSTDIR\${EXE_NAME}"
            ${Break}
        ${EndIf}
        ${If} $R1 >= ${EXIT_WAIT_MS}
            StrCpy $R0 "$INSTDIR\${EXE_NAME} is in use."
            ${Break}
        ${EndIf}
        Sleep 100
        IntOp $R1 $R1 + 100
    ${Loop}
    Pop $R1
    Exch $R0
FunctionEnd
!macroend
!insertmacro DEFINE_REMOVE_PROGRAM ""
!insertmacro DEFINE_REMOVE_PROGRAM "un."

; Stops the setup: a message (none when silent) and a non-zero exit code.
!macro FAIL TEXT
    MessageBox MB_OK|MB_ICONSTOP "${TEXT}" /SD IDOK
    SetErrorLevel 2
    Abort "${TEXT}"
!macroend

; Pushes 1 when the settings key has a value named KRYTray, of whatever type, otherwise 0. The
; value is looked up by name: a walk over the values cannot tell an unnamed default value (returned
; with an empty name) from the end of the list.
Function HasTraySwitch
    Push $R0
    Push $R1
    ; HKEY_LOCAL_MACHINE, sign-extended as Windows defines it; KEY_QUERY_VALUE in the 64-bit view,
    ; where SetRegView 64 writes.
    System::Call "advapi32::RegOpenKeyExW(p -2147483646, w '${SETTINGS_KEY}', i 0, i 0x101, *p .R0) i .R1"
    ${If} $R1 = 0
        System::Call "advapi32::RegQueryValueExW(p R0, w 'KRYTray', p 0, p 0, p 0, p 0) i .R1"
        System::Call "advapi32::RegCloseKey(p R0)"
    ${EndIf}
    ${If} $R1 = 0
        StrCpy $R0 1
    ${Else}
        StrCpy $R0 0
    ${EndIf}
    Pop $R1
    Exch $R0
FunctionEnd

; Pushes the size of the file in bytes (0 when it is missing).
Function FileSize
    Exch $R0
    Push $R1
    ClearErrors
    FileOpen $R1 $R0 r
    ${If} ${Errors}
        StrCpy $R0 0
    ${Else}
        FileSeek $R1 0 END $R0
        FileClose $R1
    ${EndIf}
    Pop $R1
    Exch $R0
FunctionEnd

; Starts the installed program as the signed-in user. An elevated setup holds the full token of a
; split administrator; a program started from it would run elevated and never receive messages
; from the user's programs, so the user's shell starts it instead (Wine splits the token too, and
; its explorer.exe starts a program it is given the same way). Without a split token (UAC off) the
; setup starts it itself.
Function StartProgram
    Push $R0
    Push $R1
    System::Call "advapi32::OpenProcessToken(p -1, i 8, *p .R0) i .s" ; TOKEN_QUERY
    Pop $R1
    ${If} $R1 <> 0
        ; TokenElevationType (18): 2 is TokenElevationTypeFull.
        System::Call "advapi32::GetTokenInformation(p R0, i 18, *i .R1, i 4, *i .n) i"
        System::Call "kernel32::CloseHandle(p R0)"
    ${EndIf}
    SetOutPath "$INSTDIR"
    ${If} $R1 = 2
        Exec '"$WINDIR\explorer.exe" "$INSTDIR\${EXE_NAME}"'
    ${Else}
        Exec '"$INSTDIR\${EXE_NAME}"'
    ${EndIf}
    Pop $R1
    Pop $R0
FunctionEnd

; Pushes the code of the translation for the user's UI language ("deu", ...), or "" for English:
; also when the language has none or its code page is not the system's ANSI code page, which the
; program reads the file in (Japanese text on a Western system would show as garbage).
Function PickLanguageFile
    ; R0 the UI language, R1 its primary language, R2 the ANSI code page, R3 the code, R4 the
    ; translation's code page.
    Push $R0
    Push $R1
    Push $R2
    Push $R3
    Push $R4
    System::Call "kernel32::GetUserDefaultUILanguage() i .R0"
    System::Call "kernel32::GetACP() i .R2"
    IntOp $R0 $R0 & 0xFFFF
    IntOp $R1 $R0 & 0x3FF
    StrCpy $R3 ""
    StrCpy $R4 1252
    ; The Western translations serve every country of their language; Portuguese is Brazil's.
    ${If} $R1 = 0x07
        StrCpy $R3 "deu"
    ${ElseIf} $R1 = 0x0C
        StrCpy $R3 "fra"
    ${ElseIf} $R1 = 0x0A
        StrCpy $R3 "esn"
    ${ElseIf} $R1 = 0x10
        StrCpy $R3 "ita"
    ${ElseIf} $R0 = 0x0416
        StrCpy $R3 "ptb"
    ${ElseIf} $R1 = 0x11
        StrCpy $R3 "jpn"
        StrCpy $R4 932
    ${ElseIf} $R0 = 0x0804 ; China
    ${OrIf} $R0 = 0x1004   ; Singapore
        StrCpy $R3 "chs"
        StrCpy $R4 936
    ${EndIf}
    ${If} $R3 != ""
    ${AndIf} $R4 <> $R2
        DetailPrint "No menu texts for UI language $R0 in code page $R2: English"
        StrCpy $R3 ""
    ${EndIf}
    StrCpy $R0 $R3
    Pop $R4
    Pop $R3
    Pop $R2
    Pop $R1
    Exch $R0
FunctionEnd

; A case of the switch on the translation chosen: LUMA64.ini from LUMA64.CODE.ini.
!macro PLACE_TRANSLATION CODE
    ${Case} "${CODE}"
        File "/oname=LUMA64.ini" "${KRY_LANG_DIR}/LUMA64.${CODE}.ini"
        ${Break}
!macroend

Function .onInit
    ; Every value of ours lives in the 64-bit registry view (32-bit Windows ignores the choice).
    SetRegView 64
    ReadRegStr $PreviousDir HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $PreviousVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
    ReadRegDWORD $PreviousPlacedIni HKLM "${UNINSTALL_KEY}" "${PLACED_INI_VALUE}"
    ; The package and the setup do not install over each other: any version of the package is
    ; found by its upgrade code.
    System::Call "msi::MsiEnumRelatedProductsW(w '${KRY_MSI_UPGRADE_CODE}', i 0, i 0, w .R1) i .R0"
    ${If} $R0 = 0
        !insertmacro FAIL "${PRODUCT} is installed from its Windows Installer package (KRYTray-<version>.msi). Uninstall that ${PRODUCT} from Apps and features first, then run this setup again."
    ${EndIf}
    ${If} $PreviousVersion != ""
        ${VersionCompare} "${KRY_VERSION}" "$PreviousVersion" $R0
        ${If} $R0 = 2
            !insertmacro FAIL "${PRODUCT} $PreviousVersion is installed, newer than this setup's ${KRY_VERSION}. Uninstall it first to go back to ${KRY_VERSION}."
        ${EndIf}
    ${EndIf}
    ; An upgrade goes where the installed copy is, unless /D chose another folder.
    ${If} $PreviousDir != ""
    ${AndIf} $INSTDIR == "${DEFAULT_DIR}"
        StrCpy $INSTDIR $PreviousDir
    ${EndIf}
FunctionEnd

Section "${PRODUCT}"
    SectionIn RO
    Call EndRunningCopies
    Pop $R0
    ${If} $R0 != ""
        !insertmacro FAIL "$R0 Close it and run the setup again."
    ${EndIf}

    ; The new program is unpacked beside the old one and swapped in only when the old file could
    ; be removed, so a file that something still holds leaves the installed copy whole.
    SetOutPath "$INSTDIR"
    ClearErrors
    File "/oname=${EXE_NAME}.new" "${KRY_EXE}"
    ${If} ${Errors}
        !insertmacro FAIL "Could not write $INSTDIR\${EXE_NAME}.new."
    ${EndIf}
    Call RemoveProgram
    Pop $R0
    ${If} $R0 != ""
        Delete "$INSTDIR\${EXE_NAME}.new"
        !insertmacro FAIL "Could not replace the program: $R0"
    ${EndIf}
    ClearErrors
    Rename "$INSTDIR\${EXE_NAME}.new" "$INSTDIR\${EXE_NAME}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    ${If} ${Errors}
        !insertmacro FAIL "Could not write $INSTDIR\${EXE_NAME} or $INSTDIR\${UNINSTALLER}."
    ${EndIf}

    ; Installed elsewhere before: that copy goes, so one copy and one uninstall entry remain.
    ${If} $PreviousDir != ""
    ${AndIf} $PreviousDir != $INSTDIR
        Delete "$PreviousDir\${EXE_NAME}"
        Delete "$PreviousDir\${UNINSTALLER}"
        RMDir "$PreviousDir"
    ${EndIf}

    ; The menu texts, in the user's language where the system can show it. $SYSDIR is the system
    ; directory of the program this setup installs: for the 32-bit product on 64-bit Windows,
    ; SysWOW64 (through WOW64's redirection). A file that is already there (the driver's, perhaps
    ; translated) stays byte for byte.
    StrCpy $R1 0
    ${If} ${FileExists} "$SYSDIR\LUMA64.ini"
        ${If} $PreviousPlacedIni = 1
            StrCpy $R1 1
        ${EndIf}
    ${Else}
        Call PickLanguageFile
        Pop $R0
        SetOutPath "$SYSDIR"
        ClearErrors
        ${Switch} $R0
            !insertmacro PLACE_TRANSLATION "deu"
            !insertmacro PLACE_TRANSLATION "fra"
            !insertmacro PLACE_TRANSLATION "esn"
            !insertmacro PLACE_TRANSLATION "ita"
            !insertmacro PLACE_TRANSLATION "ptb"
            !insertmacro PLACE_TRANSLATION "jpn"
            !insertmacro PLACE_TRANSLATION "chs"
            ${Default}
                File "/oname=LUMA64.ini" "${KRY_INI}"
        ${EndSwitch}
        ${If} ${Errors}
            !insertmacro FAIL "Could not write $SYSDIR\LUMA64.ini."
        ${EndIf}
        StrCpy $R1 1
    ${EndIf}

    ; The tray icon is on unless someone already chose; the driver's and the user's values stay.
    Call HasTraySwitch
    Pop $R0
    ClearErrors
    ${If} $R0 = 0
        WriteRegDWORD HKLM "${SETTINGS_KEY}" "KRYTray" 1
    ${EndIf}
    WriteRegStr HKLM "${RUN_KEY}" "${PRODUCT}" '"$INSTDIR\${EXE_NAME}"'

    Push "$INSTDIR\${EXE_NAME}"
    Call FileSize
    Pop $R2
    Push "$INSTDIR\${UNINSTALLER}"
    Call FileSize
    Pop $R3
    IntOp $R2 $R2 + $R3
    IntOp $R2 $R2 + 1023
    IntOp $R2 $R2 / 1024
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${KRY_VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\${EXE_NAME}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $R2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "${PLACED_INI_VALUE}" $R1
    ${If} ${Errors}
        !insertmacro FAIL "Could not write the registry: run the setup as an administrator."
    ${EndIf}

    Call StartProgram
SectionEnd

Function un.onInit
    SetRegView 64
FunctionEnd

Section "Uninstall"
    Call un.EndRunningCopies
    Pop $R0
    ${If} $R0 != ""
        !insertmacro FAIL "$R0 Close it and uninstall again."
    ${EndIf}

    ; The program first: while it cannot go, everything else stays for another try.
    Call un.RemoveProgram
    Pop $R0
    ${If} $R0 != ""
        !insertmacro FAIL "Could not remove the program: $R0"
    ${EndIf}
    ReadRegDWORD $R1 HKLM "${UNINSTALL_KEY}" "${PLACED_INI_VALUE}"
    ${If} $R1 = 1
        Delete "$SYSDIR\LUMA64.ini"
    ${EndIf}
    DeleteRegValue HKLM "${RUN_KEY}" "${PRODUCT}"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    ; The maker's folder too when the default place held only us.
    ${If} $INSTDIR == "${DEFAULT_DIR}"
        RMDir "$PROGRAMFILES32\${PUBLISHER}"
    ${EndIf}
    ; The settings values stay: they belong to the driver and the user.
SectionEnd
