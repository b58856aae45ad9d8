#!/usr/bin/env bash
# Start-up, memory, clicks and resizing of the whole program against floor programs built in
# the same tree: offscreen, then under a real X server (Xvfb with openbox) when one can be
# started. Usage: bench/startup.sh BUILD_DIR [ROUNDS]
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
rounds="${2:-15}"
here="$(cd "$(dirname "$0")" && pwd)"
work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
"$build/src/tool/lumark-tool" generate --blocks 300 --distance 150 --layout 1.000000 \
    "$work/visibility.txt"

measure() {
    python3 "$here/startup_compare.py" "$build" "$work/visibility.txt" "$rounds"
    "$build/bench/lumark_uibench" 2>/dev/null
}

echo "== offscreen"
QT_QPA_PLATFORM=offscreen measure

if command -v Xvfb >/dev/null && command -v openbox >/dev/null; then
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
    echo "== X server $DISPLAY with openbox"
    QT_QPA_PLATFORM=xcb measure
else
    echo "== no Xvfb or openbox: the X server figures are skipped"
fi
