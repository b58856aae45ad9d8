#!/bin/sh
# help2man runs this in place of PROGRAM: it passes the program's output on, reshaped where
# help2man's layout rules would otherwise garble it:
# - usage lines indented under "Usage:" get the "or:" help2man takes for further synopses;
# - a heading alone on its line with indented lines under it ("Keys") becomes a section of its
#   own, every line at the section's indentation an entry of its own, deeper lines continuing
#   the entry, and a line holding two "name  meaning" pairs two entries.
# Usage: sh help-for-man.sh PROGRAM OPTION...
program=$1
shift
"$program" "$@" | awk '
function indentation(s) { match(s, /^ */); return RLENGTH }
function indented(s) { return s ~ /^ +[^ ]/ }
NR == 1 && /^Usage:/ { usage = 1; print; next }
usage && indented($0) { line = $0; sub(/^ +/, "  or: ", line); print line; next }
{ usage = 0 }
heading != "" {
    if (indented($0)) {
        print "*" heading "*"
        section = 1
        base = indentation($0)
        entries = 0
    } else {
        print heading
    }
    heading = ""
}
/^[A-Z][A-Za-z ]*$/ && previous == "" { heading = $0; previous = $0; next }
section && !indented($0) { section = 0 }
section {
    pad = substr($0, 1, base)
    if (indentation($0) > base) {
        line = $0
        sub(/^ +/, pad, line)
        print line
        previous = $0
        next
    }
    rest = substr($0, base + 1)
    if (entries++ > 0) print ""
    if (match(rest, /[^ ]   +[^ ]/)) {
        first = substr(rest, 1, RSTART)
        second = substr(rest, RSTART + RLENGTH - 1)
        if (first ~ /[^ ]  +[^ ]/ && second ~ /[^ ]  +[^ ]/) {
            print pad first
            print ""
            rest = second
        }
    }
    print pad rest
    previous = $0
    next
}
{ print; previous = $0 }
END { if (heading != "") print heading }
'
