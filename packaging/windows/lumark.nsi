; Installer of Lumark for 64-bit Windows, for all users of the machine.
;
;   makensis -DVERSION=0.9.35 -DSTAGE=/path/to/stage [-DOUTFILE=setup.exe] lumark.nsi
;
; STAGE holds what the portable zip holds: lumark.exe, lumark-tool.exe, the DLLs and plugins,
; LICENSE and README.txt; its Lumark.ini is left out (see nsis-file-lists.sh). lumark-tool.exe
; has to run on its own: only it is copied into the folder that goes on the PATH, so the Qt DLLs
; never reach other programs through the PATH.
;
; Silent:  setup.exe /S [/TOOLONPATH] [/D=C:\folder]     uninstall.exe /S
; A silent uninstall keeps the user's settings and recovery records.

Unicode true
Target amd64-unicode
RequestExecutionLevel admin
ManifestDPIAware true
SetCompressor /SOLID lzma

!ifndef VERSION
    !error "VERSION is not defined: makensis -DVERSION=X.Y.Z"
!endif
!ifndef STAGE
    !error "STAGE is not defined: makensis -DSTAGE=folder"
!endif
!ifndef OUTFILE
    !define OUTFILE "lumark-${VERSION}-windows-x64-setup.exe"
!endif
; Windows wants four numbers here.
!ifndef FILE_VERSION
    !define FILE_VERSION "${VERSION}.0"
!endif

!define PUBLISHER "The Lumark authors"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumark"
!define CLASSES "Software\Classes"
!define PROGID "Lumark.txt"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include Sections.nsh
!include WinMessages.nsh
!include Integration.nsh

Name "Lumark"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\Lumark"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Lumark ${VERSION}"

VIProductVersion "${FILE_VERSION}"
VIFileVersion "${FILE_VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Lumark"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "Lumark ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 ${PUBLISHER}, MIT License"

!define MUI_ICON "${__FILEDIR__}/lumark.ico"
!define MUI_UNICON "${__FILEDIR__}/lumark.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_LICENSE "${STAGE}/LICENSE"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "Tick the box to remove your settings (%APPDATA%\Lumark) and recovery records (%LOCALAPPDATA%\Lumark) as well. Recovery records may hold changes that were never saved."
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "English"

; What the stage holds, as File and Delete lines.
!tempfile INSTALL_LIST
!tempfile UNINSTALL_LIST
!system '"${__FILEDIR__}/nsis-file-lists.sh" "${STAGE}" "${INSTALL_LIST}" "${UNINSTALL_LIST}"' = 0

Section "Lumark" SecProgram
    SectionIn RO
    Call RemovePrevious

    !include "${INSTALL_LIST}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"

    CreateShortcut "$SMPROGRAMS\Lumark.lnk" "$INSTDIR\lumark.exe" "" "$INSTDIR\lumark.exe" 0

    ; "Open with" for text files; the default program of .txt stays the user's choice.
    WriteRegStr HKLM "${CLASSES}\Applications\lumark.exe" "FriendlyAppName" "Lumark"
    WriteRegStr HKLM "${CLASSES}\Applications\lumark.exe\SupportedTypes" ".txt" ""
    WriteRegStr HKLM "${CLASSES}\Applications\lumark.exe\shell\open\command" "" '"$INSTDIR\lumark.exe" "%1"'
    WriteRegStr HKLM "${CLASSES}\${PROGID}" "" "Text Document (Lumark)"
    WriteRegStr HKLM "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\lumark.exe,0"
    WriteRegStr HKLM "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\lumark.exe" "%1"'
    WriteRegStr HKLM "${CLASSES}\.txt\OpenWithList\lumark.exe" "" ""
    WriteRegStr HKLM "${CLASSES}\.txt\OpenWithProgids" "${PROGID}" ""
    ${NotifyShell_AssocChanged}

    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Lumark"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\lumark.exe,0"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
    WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section /o "lumark-tool on my PATH" SecToolOnPath
    SetOutPath "$INSTDIR\bin"
    File "${STAGE}/lumark-tool.exe"
    SetOutPath "$INSTDIR"
    Push "$INSTDIR\bin"
    Call AddToUserPath
SectionEnd

; Last, so the size counts everything installed.
Section "-Size"
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Function .onInit
    SetShellVarContext all
    SetRegView 64
    ${GetParameters} $0
    ClearErrors
    ${GetOptions} $0 "/TOOLONPATH" $1
    ${IfNot} ${Errors}
        !insertmacro SelectSection ${SecToolOnPath}
    ${EndIf}
FunctionEnd

; An older version's files may differ from this one's: its own uninstaller removes them first
; (silently, so the user's settings and recovery records stay).
Function RemovePrevious
    ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 != ""
    ${AndIf} ${FileExists} "$0\uninstall.exe"
        DetailPrint "Removing the installed copy in $0"
        ExecWait '"$0\uninstall.exe" /S _?=$0'
        Delete "$0\uninstall.exe"
        RMDir "$0"
    ${EndIf}
FunctionEnd

; Whether the current user has a Path value at all (ReadRegStr fails alike for a missing value
; and for one longer than NSIS strings); "1" or "0" on the stack.
Function UserPathExists
    Push $0
    Push $1
    StrCpy $0 0
    ${Do}
        EnumRegValue $1 HKCU "Environment" $0
        ${If} $1 == ""
            StrCpy $1 0
            ${Break}
        ${ElseIf} $1 == "Path"
            StrCpy $1 1
            ${Break}
        ${EndIf}
        IntOp $0 $0 + 1
    ${Loop}
    Exch $1
    Exch
    Pop $0
FunctionEnd

; Appends the folder on the stack to the current user's Path unless it is there already. A Path
; NSIS cannot hold whole is left alone: writing back a cut copy would lose the user's entries.
Function AddToUserPath
    Exch $0
    Push $1
    Push $2
    ClearErrors
    ReadRegStr $1 HKCU "Environment" "Path"
    ${If} ${Errors}
        Call UserPathExists
        Pop $2
        ${If} $2 == 1
            MessageBox MB_OK|MB_ICONINFORMATION "Your PATH is too long to be changed here. To use lumark-tool from anywhere, add $0 to it yourself." /SD IDOK
            Goto done
        ${EndIf}
        StrCpy $1 ""
    ${EndIf}
    Push $1
    Push $0
    Call PathWithout
    Pop $2
    ${If} $2 != $1
        DetailPrint "$0 is on the PATH already"
        Goto done
    ${EndIf}
    StrCpy $2 $1 1 -1
    ${If} $1 == ""
        StrCpy $1 $0
    ${ElseIf} $2 == ";"
        StrCpy $1 "$1$0"
    ${Else}
        StrCpy $1 "$1;$0"
    ${EndIf}
    StrLen $2 $1
    ${If} $2 >= ${NSIS_MAX_STRLEN}
        MessageBox MB_OK|MB_ICONINFORMATION "Your PATH is too long to be changed here. To use lumark-tool from anywhere, add $0 to it yourself." /SD IDOK
        Goto done
    ${EndIf}
    DetailPrint "Adding $0 to the PATH"
    WriteRegExpandStr HKCU "Environment" "Path" $1
    SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
done:
    Pop $2
    Pop $1
    Pop $0
FunctionEnd

; PathWithout and the uninstaller's copy of it: the list below the folder on the stack, with
; every entry naming that folder (with or without a closing backslash, in any case) taken out
; and everything else as it was, empty entries included.
!macro PATH_WITHOUT un
Function ${un}PathWithout
    Exch $0 ; folder
    Exch
    Exch $1 ; list, consumed from the front
    Push $2 ; result
    Push $3 ; current entry
    Push $4 ; current character
    Push $5 ; whether an entry has been kept
    StrCpy $2 ""
    StrCpy $3 ""
    StrCpy $5 0
    ${Do}
        StrCpy $4 $1 1
        StrCpy $1 $1 "" 1
        ${If} $4 == ";"
        ${OrIf} $4 == ""
            ${If} $3 != $0
            ${AndIf} $3 != "$0\"
                ${If} $5 == 1
                    StrCpy $2 "$2;$3"
                ${Else}
                    StrCpy $2 $3
                    StrCpy $5 1
                ${EndIf}
            ${EndIf}
            StrCpy $3 ""
        ${Else}
            StrCpy $3 "$3$4"
        ${EndIf}
    ${LoopUntil} $4 == ""
    StrCpy $0 $2
    Pop $5
    Pop $4
    Pop $3
    Pop $2
    Pop $1
    Exch $0
FunctionEnd
!macroend
!insertmacro PATH_WITHOUT ""
!insertmacro PATH_WITHOUT "un."

Section "un.Lumark" UnSecProgram
    SectionIn RO
    SetShellVarContext all

    !include "${UNINSTALL_LIST}"
    Delete "$INSTDIR\bin\lumark-tool.exe"
    RMDir "$INSTDIR\bin"
    Call un.RemoveFromUserPath

    Delete "$SMPROGRAMS\Lumark.lnk"

    DeleteRegValue HKLM "${CLASSES}\.txt\OpenWithProgids" "${PROGID}"
    DeleteRegKey HKLM "${CLASSES}\.txt\OpenWithList\lumark.exe"
    DeleteRegKey HKLM "${CLASSES}\Applications\lumark.exe"
    DeleteRegKey HKLM "${CLASSES}\${PROGID}"
    ${NotifyShell_AssocChanged}

    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
SectionEnd

; Recovery records may hold changes never saved, so they only go when the user asks.
Section /o "un.My settings and recovery records" UnSecUserData
    SetShellVarContext current
    RMDir /r "$APPDATA\Lumark"
    RMDir /r "$LOCALAPPDATA\Lumark"
    SetShellVarContext all
    Delete "$INSTDIR\Lumark.ini"
    RMDir "$INSTDIR"
SectionEnd

Function un.onInit
    SetShellVarContext all
    SetRegView 64
FunctionEnd

; The current user's Path without the folder lumark-tool was put in; written back only when
; that changes it.
Function un.RemoveFromUserPath
    Push $0
    Push $1
    ClearErrors
    ReadRegStr $0 HKCU "Environment" "Path"
    ${IfNot} ${Errors}
        Push $0
        Push "$INSTDIR\bin"
        Call un.PathWithout
        Pop $1
        ${If} $1 != $0
            DetailPrint "Removing $INSTDIR\bin from the PATH"
            ${If} $1 == ""
                DeleteRegValue HKCU "Environment" "Path"
            ${Else}
                WriteRegExpandStr HKCU "Environment" "Path" $1
            ${EndIf}
            SendMessage ${HWND_BROADCAST} ${WM_SETTINGCHANGE} 0 "STR:Environment" /TIMEOUT=5000
        ${EndIf}
    ${EndIf}
    Pop $1
    Pop $0
FunctionEnd

!delfile "${INSTALL_LIST}"
!delfile "${UNINSTALL_LIST}"
