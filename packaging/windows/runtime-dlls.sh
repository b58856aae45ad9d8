#!/bin/bash
# Lists the DLLs Windows programs need beside them, found in the given folders, following the
# DLLs' own imports; one path a line, each once. DLLs that come with Windows are left out (the
# names Wine provides as built-in, and the api-ms-win-* sets); a DLL found in neither is an error,
# since a zip without it would not start.
#   runtime-dlls.sh -L DIR [-L DIR]... FILE.exe|FILE.dll...
set -euo pipefail

objdump=x86_64-w64-mingw32-objdump
wine_builtin=${LUMARK_WINE_BUILTIN_DIR:-/usr/lib/x86_64-linux-gnu/wine/x86_64-windows}
dirs=()
while getopts L: option; do
    case $option in
        L) dirs+=("$OPTARG") ;;
        *) exit 2 ;;
    esac
done
shift $((OPTIND - 1))
[[ $# -gt 0 ]] || { echo "usage: $0 -L DIR... FILE..." >&2; exit 2; }

declare -A seen=()
missing=0
queue=("$@")
while [[ ${#queue[@]} -gt 0 ]]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while IFS= read -r name; do
        key=${name,,}
        [[ -n ${seen[$key]:-} ]] && continue
        seen[$key]=1
        [[ $key == api-ms-win-* || $key == ext-ms-* ]] && continue
        found=
        for dir in "${dirs[@]}"; do
            # Windows matches names without regard to case.
            found=$(find "$dir" -maxdepth 1 -iname "$name" -print -quit)
            [[ -n $found ]] && break
        done
        if [[ -n $found ]]; then
            printf '%s\n' "$found"
            queue+=("$found")
        elif [[ -z $(find "$wine_builtin" -maxdepth 1 -iname "$name" -print -quit) ]]; then
            echo "runtime-dlls: $name (needed by $(basename "$file")) is in none of the folders" >&2
            missing=1
        fi
    done < <("$objdump" -p "$file" | sed -n 's/^\tDLL Name: //p')
done
exit $missing
