#!/usr/bin/env bash
# The Windows editor under Wine against the Linux one, in one run on one X server (Xvfb with
# openbox): start-up to first paint against the floor programs (startup_compare.py), then
# clicks and resizing against theirs (lumark_uibench). Wine's figures hold Wine's own cost of
# starting a process; the ratios to the floors, run the same way, are what compares.
# Usage: bench/wine.sh [ROUNDS], after ./scripts/windows; the Linux side is built in
# $LUMARK_LINUX_BUILD (default build/).
set -euo pipefail
LUMARK_ROOT="$(cd "$(dirname "$0")/.." && pwd)"
build="$LUMARK_ROOT/build-windows"
linux="${LUMARK_LINUX_BUILD:-$LUMARK_ROOT/build}"
triple=x86_64-w64-mingw32
rounds="${1:-9}"
here="$LUMARK_ROOT/bench"
# shellcheck source=../scripts/windows-editor.sh
source "$LUMARK_ROOT/scripts/windows-editor.sh"
lumark_windows_qt_setup

echo "Building the window benchmarks for Windows and Linux..."
cmake -S "$LUMARK_ROOT" -B "$build" -DLUMARK_BUILD_BENCH=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target lumark lumark_floor lumark_uibench >/dev/null
cmake -S "$LUMARK_ROOT" -B "$linux" -DLUMARK_BUILD_BENCH=ON >/dev/null
cmake --build "$linux" -j"$(nproc)" --target lumark lumark-tool lumark_floor lumark_uibench >/dev/null

work="$(mktemp -d)"
pids=()
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
"$linux/src/tool/lumark-tool" generate --blocks 300 --distance 150 --layout 1.000000 \
    "$work/visibility.txt"

# shellcheck source=xserver.sh
source "$here/xserver.sh"
start_x_server

echo "== Linux, xcb on $DISPLAY"
QT_QPA_PLATFORM=xcb python3 "$here/startup_compare.py" "$linux" "$work/visibility.txt" "$rounds"
QT_QPA_PLATFORM=xcb "$linux/bench/lumark_uibench" 2>/dev/null

# Wine in a prefix of its own; what it prints goes to files, since its helper processes keep a
# pipe open.
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
lumark_windows_wine_path
unset QT_QPA_PLATFORM
mkdir -p "$WINEPREFIX"
wineserver -p >/dev/null 2>&1
wineboot -i >/dev/null 2>&1 || true
echo "== Wine $(wine --version 2>/dev/null), the windows platform plugin on $DISPLAY"
LUMARK_BENCH_RUNNER=wine python3 "$here/startup_compare.py" "$build" \
    "Z:${work//\//\\}\\visibility.txt" "$rounds"
wine "$build/bench/lumark_uibench.exe" >"$work/uibench.txt" 2>/dev/null
tr -d '\r' <"$work/uibench.txt"
