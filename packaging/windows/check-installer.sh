#!/bin/bash
# Tries an installer under Wine, in a Wine prefix of its own:
#   check-installer.sh SETUP_EXE STAGE VERSION
# STAGE is the folder the installer was made from. Two rounds: a silent install must put every
# file of the stage (and nothing of the user's) under Program Files\Lumark, the Start menu entry,
# the uninstall entry and "Open with" for .txt in place, leave the .txt association and the user's
# PATH alone, and (with /TOOLONPATH) add lumark-tool's folder to that PATH once, also when it
# installs over itself; a silent uninstall
# must take all of it away again while the user's settings, recovery records and a Lumark.ini of
# theirs stay. Prints what failed; exit status 0 only when nothing did.
set -euo pipefail

[[ $# -eq 3 ]] || { echo "usage: $0 SETUP_EXE STAGE VERSION" >&2; exit 2; }
setup=$(realpath "$1")
stage=$(realpath "$2")
version=$3

work=$(mktemp -d /tmp/lumark-installer-check.XXXXXX)
export WINEPREFIX=$work/prefix WINEARCH=win64 WINEDEBUG=-all
# No prompts for Mono and Gecko, which nothing here needs.
export WINEDLLOVERRIDES="mscoree,mshtml="
log=$work/wine.log
failures=0

finish() {
    wineserver -k >/dev/null 2>&1 || true
    if [[ $failures -eq 0 ]]; then
        rm -rf "$work"
    else
        echo "check-installer: kept $work for a look (Wine's output: $log)" >&2
    fi
}
trap finish EXIT

fail() {
    echo "check-installer: FAILED: $*" >&2
    failures=$((failures + 1))
}

# Wine's helpers inherit standard output, so their output goes to a file, never a pipe.
run() { wine "$@" >>"$log" 2>&1; }
settle() { wineserver -w; }

# Prints a value's data ("" for the key's default), or fails quietly when it is not there.
reg_value() {
    local key=$1 name=$2 out=$work/reg.out
    if [[ -z $name ]]; then
        wine reg query "$key" /ve >"$out" 2>>"$log" || return 1
    else
        wine reg query "$key" /v "$name" >"$out" 2>>"$log" || return 1
    fi
    tr -d '\r' <"$out" | sed -n 's/^    .*    REG_[A-Z_]*    //p; s/^    .*    REG_[A-Z_]*$//p' |
        sed 's/^(value not set)$//' | head -n 1
}
reg_key_exists() { wine reg query "$1" >"$work/reg.out" 2>>"$log"; }

expect_value() {
    local key=$1 name=$2 want=$3 got
    if ! got=$(reg_value "$key" "$name"); then
        fail "no value ${name:-(default)} in $key"
    elif [[ $got != "$want" ]]; then
        fail "$key ${name:-(default)} is '$got', not '$want'"
    fi
}

windows_folder() {
    run cmd /c "echo %$1%>$(winepath -w "$work/folder.txt")"
    winepath -u "$(tr -d '\r\n' <"$work/folder.txt")"
}

echo "check-installer: a new Wine prefix in $work" >&2
wineboot -i >>"$log" 2>&1
settle

programs="C:\\Program Files\\Lumark"
installed=$(winepath -u "$programs")
start_menu=$(winepath -u "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs")/Lumark.lnk
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Lumark'
classes='HKLM\Software\Classes'
appdata=$(windows_folder APPDATA)
localappdata=$(windows_folder LOCALAPPDATA)

# What the user had before: settings, a recovery record, a PATH, the .txt association.
mkdir -p "$appdata/Lumark" "$localappdata/Lumark/recovery"
printf '[Settings]\r\nLastDir=C:\\data\\\r\n' >"$appdata/Lumark/Lumark.ini"
printf 'unsaved\n' >"$localappdata/Lumark/recovery/record"
user_path='C:\one;C:\two'
run reg add 'HKCU\Environment' /v Path /t REG_EXPAND_SZ /d "$user_path" /f
txt_default=txtfile
run reg add "$classes\\.txt" /ve /d "$txt_default" /f

check_installed() {
    local file
    while IFS= read -r -d '' file; do
        file=${file#./}
        [[ $file == Lumark.ini ]] && continue
        cmp -s "$stage/$file" "$installed/$file" || fail "$file is not installed as staged"
    done < <(cd "$stage" && find . -type f -print0)
    [[ ! -e $installed/Lumark.ini ]] || fail "the portable Lumark.ini was installed"
    [[ -f $installed/uninstall.exe ]] || fail "no uninstall.exe"
    [[ -f $start_menu ]] || fail "no Start menu entry"

    expect_value "$uninstall_key" DisplayName "Lumark"
    expect_value "$uninstall_key" DisplayVersion "$version"
    expect_value "$uninstall_key" Publisher "The Lumark authors"
    expect_value "$uninstall_key" DisplayIcon "$programs\\lumark.exe,0"
    expect_value "$uninstall_key" UninstallString "\"$programs\\uninstall.exe\""
    expect_value "$uninstall_key" QuietUninstallString "\"$programs\\uninstall.exe\" /S"
    local size kib
    size=$(reg_value "$uninstall_key" EstimatedSize || echo 0)
    kib=$(du -sk "$installed" | cut -f 1)
    # Within a tenth of what du counts (block rounding differs).
    ((size > kib * 9 / 10 && size < kib * 11 / 10)) ||
        fail "EstimatedSize is $size, the folder holds ${kib} KiB"

    expect_value "$classes\\Applications\\lumark.exe\\shell\\open\\command" "" \
        "\"$programs\\lumark.exe\" \"%1\""
    expect_value "$classes\\.txt\\OpenWithProgids" Lumark.txt ""
    reg_key_exists "$classes\\.txt\\OpenWithList\\lumark.exe" || fail "no OpenWithList entry"
    expect_value "$classes\\.txt" "" "$txt_default"
}

check_removed() {
    local left
    if [[ -d $installed ]]; then
        left=$(cd "$installed" && find . -mindepth 1 | sort | paste -s -d ' ')
        [[ $left == "$1" ]] || fail "left in Program Files\\Lumark: ${left:-(empty folder)}"
    elif [[ -n $1 ]]; then
        fail "the user's $1 went with the program"
    fi
    [[ ! -e $start_menu ]] || fail "the Start menu entry stayed"
    ! reg_key_exists "$uninstall_key" || fail "the uninstall entry stayed"
    ! reg_key_exists "$classes\\Applications\\lumark.exe" || fail "Applications\\lumark.exe stayed"
    ! reg_key_exists "$classes\\Lumark.txt" || fail "the Lumark.txt class stayed"
    ! reg_key_exists "$classes\\.txt\\OpenWithList\\lumark.exe" || fail "the OpenWithList entry stayed"
    ! reg_value "$classes\\.txt\\OpenWithProgids" Lumark.txt >/dev/null ||
        fail "the OpenWithProgids value stayed"
    expect_value "$classes\\.txt" "" "$txt_default"
    expect_value 'HKCU\Environment' Path "$user_path"
    [[ -f $appdata/Lumark/Lumark.ini ]] || fail "the user's settings were removed"
    [[ -f $localappdata/Lumark/recovery/record ]] || fail "the user's recovery record was removed"
}

# The uninstaller copies itself away and returns at once; settle waits for the copy. Under a
# loaded Wine that first step has failed once in a while: it is tried a second time.
uninstall() {
    if ! run "$installed/uninstall.exe" /S; then
        settle
        echo "check-installer: uninstall.exe /S failed once, trying again" >&2
        run "$installed/uninstall.exe" /S || fail "uninstall.exe /S failed"
    fi
    settle
}

echo "check-installer: silent install" >&2
run "$setup" /S || fail "setup /S failed"
settle
check_installed
[[ ! -e $installed/bin ]] || fail "lumark-tool's PATH folder made without /TOOLONPATH"
expect_value 'HKCU\Environment' Path "$user_path"
echo "check-installer: silent uninstall" >&2
uninstall
check_removed ""

# Twice: the second install replaces the first, which must leave one PATH entry.
echo "check-installer: silent install with lumark-tool on the PATH, twice" >&2
for round in 1 2; do
    run "$setup" /S /TOOLONPATH || fail "setup /S /TOOLONPATH failed (install $round)"
    settle
done
check_installed
cmp -s "$stage/lumark-tool.exe" "$installed/bin/lumark-tool.exe" || fail "no lumark-tool.exe in bin"
expect_value 'HKCU\Environment' Path "$user_path;$programs\\bin"
# Settings the installed copy wrote beside itself are the user's.
printf '[Settings]\r\n' >"$installed/Lumark.ini"
echo "check-installer: silent uninstall" >&2
uninstall
check_removed "./Lumark.ini"

if [[ $failures -ne 0 ]]; then
    echo "check-installer: $failures check(s) failed" >&2
    exit 1
fi
echo "check-installer: the installer installs and uninstalls cleanly" >&2
