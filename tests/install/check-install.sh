#!/usr/bin/env bash
# Installs the build into STAGE with `cmake --install --prefix /usr`, as the package build
# does, and checks what lands there: exactly the files of installed-files.txt, programs that
# answer with the project's version, manual pages that man reads without a warning and whose
# synopsis names every command, and a completion bash takes.
# Usage: check-install.sh CMAKE BUILD_DIR STAGE VERSION MAN_PAGES(ON/OFF)
set -uo pipefail
cmake=$1 build=$2 stage=$3 version=$4 man_pages=$5
here=$(dirname "$0")
checks=0 failures=0
check() {
    checks=$((checks + 1))
    if ! "$@"; then
        echo "FAIL: $*"
        failures=$((failures + 1))
    fi
}

rm -rf "$stage"
DESTDIR="$stage" "$cmake" --install "$build" --prefix /usr >/dev/null || exit 1

expected=$(grep -v '^#' "$here/installed-files.txt")
if [[ $man_pages != ON ]]; then
    echo "help2man was not found: the build made no manual pages, and they are not checked"
    expected=$(grep -v '/man/' <<<"$expected")
fi
installed=$(cd "$stage" && find . -type f -o -type l | sed 's|^\./||')
check diff -u <(sort <<<"$expected") <(sort <<<"$installed")

check [ "$("$stage/usr/bin/lumark" --version)" = "Lumark $version" ]
check [ "$("$stage/usr/bin/lumark-tool" --version)" = "lumark-tool $version" ]

# Formatted as lintian does: man's warnings, if any, on standard error.
no_warnings() {
    [ -z "$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" \
        2>&1 >/dev/null)" ]
}
# One section of the text man shows.
section() { LC_ALL=C.UTF-8 MANWIDTH=200 man -l "$1" 2>/dev/null | sed -n "/^$2\$/,/^[A-Z]/p"; }
names() { grep -q -- "$2" <<<"$(section "$1" "$3")"; }
if [[ $man_pages == ON ]] && command -v man >/dev/null; then
    man1=$stage/usr/share/man/man1
    for page in "$man1/lumark.1.gz" "$man1/lumark-tool.1.gz"; do
        check gzip -t "$page"
        check no_warnings "$page"
    done
    check names "$man1/lumark.1.gz" "lumark \[FILE\]" SYNOPSIS
    check names "$man1/lumark.1.gz" "Lumark.ini" FILES
    check names "$man1/lumark.1.gz" "Ctrl+Shift+S" KEYS
    for command in "check FILE" "convert IN OUT" "generate --blocks N" "render FILE" "diff A B" \
        "show FILE" "merge BASE OURS THEIRS"; do
        check names "$man1/lumark-tool.1.gz" "lumark-tool $command" SYNOPSIS
    done
    check names "$man1/lumark-tool.1.gz" "lumark-tool check maps" EXAMPLES
elif [[ $man_pages == ON ]]; then
    echo "man is not installed: the manual pages' text is not checked"
fi

completion=$stage/usr/share/bash-completion/completions/lumark-tool
check [ "$(bash -c 'source "$1" && complete -p lumark-tool' - "$completion")" = \
    "complete -F _lumark_tool lumark-tool" ]

echo "$((checks - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
