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
    # shellcheck source=xserver.sh
    source "$here/xserver.sh"
    start_x_server
    echo "== X server $DISPLAY with openbox"
    QT_QPA_PLATFORM=xcb measure
else
    echo "== no Xvfb or openbox: the X server figures are skipped"
fi
