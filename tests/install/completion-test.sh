#!/usr/bin/env bash
# What Tab offers after lumark-tool, from the completion the build writes.
# Usage: completion-test.sh COMPLETION_FILE
set -uo pipefail
source "$1" || exit 1
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch "c1.txt" "out file.txt" "other.png"
mkdir "outdir"

checks=0 failures=0
# check MODE WORD... :: EXPECTED...: completing the last WORD offers EXPECTED among others
# (some), EXPECTED alone (only), or none of EXPECTED (none).
check() {
    local mode=$1 words=() i
    shift
    while [[ $1 != :: ]]; do words+=("$1"); shift; done
    shift
    checks=$((checks + 1))
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMPREPLY=()
    _lumark_tool
    local offered
    offered=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    local expected
    expected=$(printf '%s\n' "$@" | sort)
    case $mode in
    only) [[ $offered == "$expected" ]] ;;
    some) [[ -z $(comm -13 <(echo "$offered") <(echo "$expected")) ]] ;;
    none) [[ -z $(comm -12 <(echo "$offered") <(echo "$expected")) ]] ;;
    esac || {
        echo "FAIL: ${words[*]}| ($mode ${*:-nothing}) offered: $(echo $offered)"
        failures=$((failures + 1))
    }
}

check some lumark-tool '' :: check convert generate render diff show merge --help --version
check none lumark-tool '' :: --layout --cell --blocks Usage: Options:
check some lumark-tool c :: check convert
check none lumark-tool c :: diff c1.txt
check some lumark-tool generate -- :: --blocks --distance --layout --help
check none lumark-tool generate -- :: --cell
check some lumark-tool render x - :: --cell
check none lumark-tool render x - :: --layout
check only lumark-tool convert a b --layout '' :: 1.2 1.000000
check only lumark-tool convert a --layout = :: 1.2 1.000000
check only lumark-tool convert a --layout = 1.0 :: 1.000000
check only lumark-tool generate --blocks '' ::
check only lumark-tool check c :: c1.txt
check only lumark-tool generate --blocks 4 --distance 2 out :: "out file.txt" outdir
check some lumark-tool merge a b c - :: -o
check only lumark-tool merge a b c -o o :: other.png "out file.txt" outdir
check only lumark-tool merge a b c --output= c :: c1.txt
[[ $(complete -p lumark-tool) == "complete -F _lumark_tool lumark-tool" ]] ||
    { echo "FAIL: not registered: $(complete -p lumark-tool 2>&1)"; failures=$((failures + 1)); }

echo "$((checks + 1 - failures)) passed, $failures failed"
[[ $failures -eq 0 ]]
