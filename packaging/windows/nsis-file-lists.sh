#!/bin/bash
# Writes the installer's file lists for a stage folder, so the uninstaller removes exactly the
# files it installed and nothing a user put beside them. Called by makensis from lumark.nsi:
#   nsis-file-lists.sh STAGE INSTALL_LIST UNINSTALL_LIST
# The portable copy's empty Lumark.ini stays out: beside an installed lumark.exe it would make
# the installed copy keep its settings in Program Files.
set -euo pipefail
stage=${1%/}
install_list=$2
uninstall_list=$3

[[ -f $stage/lumark.exe ]] || { echo "no lumark.exe in $stage" >&2; exit 1; }

# NSIS reads "$" as the start of a variable.
nsis_escape() { printf '%s' "${1//\$/\$\$}"; }
windows_path() { local path=${1#./}; printf '%s' "${path//\//\\}"; }

: >"$install_list"
: >"$uninstall_list"
current=
while IFS= read -r -d '' file; do
    [[ $file == ./Lumark.ini ]] && continue
    dir=$(dirname "$file")
    if [[ $dir != "$current" ]]; then
        if [[ $dir == . ]]; then
            # shellcheck disable=SC2016 # NSIS's own variable, written as it is
            echo 'SetOutPath "$INSTDIR"' >>"$install_list"
        else
            echo "SetOutPath \"\$INSTDIR\\$(nsis_escape "$(windows_path "$dir")")\"" >>"$install_list"
        fi
        current=$dir
    fi
    echo "File \"$(nsis_escape "$stage/${file#./}")\"" >>"$install_list"
    echo "Delete \"\$INSTDIR\\$(nsis_escape "$(windows_path "$file")")\"" >>"$uninstall_list"
done < <(cd "$stage" && find . -type f -print0 | LC_ALL=C sort -z)

# Folders deepest first; RMDir without /r leaves any folder that still holds something.
while IFS= read -r -d '' dir; do
    echo "RMDir \"\$INSTDIR\\$(nsis_escape "$(windows_path "$dir")")\"" >>"$uninstall_list"
done < <(cd "$stage" && find . -mindepth 1 -type d -print0 | LC_ALL=C sort -rz)
