#!/usr/bin/env bash
# Start-up of the whole program with a 300-block file, until the window has been painted
# (rendered to a PNG), five times: wall time and peak resident memory from /usr/bin/time.
# Usage: bench/startup.sh BUILD_DIR
set -euo pipefail
build="${1:-build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$build/src/tool/lumark-tool" generate --blocks 300 --distance 150 --layout 1.000000 \
    "$work/visibility.txt"
for i in 1 2 3 4 5; do
    QT_QPA_PLATFORM=offscreen LUMARK_SNAPSHOT="$work/shot.png" /usr/bin/time -f "%e s %M KB" \
        "$build/src/shell/lumark" "$work/visibility.txt" 2>&1 | grep -E ' s .* KB$'
done
