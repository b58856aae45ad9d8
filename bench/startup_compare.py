#!/usr/bin/env python3
"""Whole-program start-up against its floors, in one run on one display.

Each round runs, in turn, Lumark with a 300-block file, an empty main window of the same size
and a plain table of the same 300 x 300 texts; each process ends right after its first paint
has been flushed. Reported: medians over the rounds of wall time and of peak resident memory
(which, as the process ends at its first paint, is the peak at first paint), and the ratios.
Usage: startup_compare.py BUILD_DIR FILE [ROUNDS]
With LUMARK_BENCH_RUNNER set (say, to wine), the programs are BUILD_DIR's .exe files run
through it, and FILE is given to them as it stands.
"""
import os
import statistics
import subprocess
import sys
import time


def run(argv, env):
    start = time.perf_counter()
    process = subprocess.Popen(argv, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(process.pid, 0)
    took = (time.perf_counter() - start) * 1000
    if status != 0:
        sys.exit(f"{argv[0]} failed with status {status}")
    return took, usage.ru_maxrss / 1024  # ms, MiB


def main():
    build, path = sys.argv[1], sys.argv[2]
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 15
    env = dict(os.environ, LUMARK_QUIT_AFTER_PAINT="1")
    runner = env.get("LUMARK_BENCH_RUNNER", "").split()
    exe = ".exe" if runner else ""
    programs = {
        "lumark": runner + [f"{build}/src/shell/lumark{exe}", path],
        "empty window": runner + [f"{build}/bench/lumark_floor{exe}", "window"],
        "plain table": runner + [f"{build}/bench/lumark_floor{exe}", "table"],
    }
    for argv in programs.values():  # once each, so that no side pays for a cold file cache
        run(argv, env)
    results = {name: [] for name in programs}
    for _ in range(rounds):
        for name, argv in programs.items():
            results[name].append(run(argv, env))
    median = {name: (statistics.median(t for t, _ in r), statistics.median(m for _, m in r))
              for name, r in results.items()}
    platform = env.get("QT_QPA_PLATFORM") or f"xcb on {env.get('DISPLAY')}"
    if runner:
        platform = f"{' '.join(runner)}, {env.get('QT_QPA_PLATFORM') or 'windows'} on {env.get('DISPLAY')}"
    print(f"start-up to first paint, {platform}, medians of {rounds} rounds")
    for name, (ms, mib) in median.items():
        print(f"  {name:<14} {ms:7.1f} ms {mib:7.1f} MiB")
    lumark_ms, lumark_mib = median["lumark"]
    for floor in ("empty window", "plain table"):
        ms, mib = median[floor]
        print(f"  lumark / {floor:<13} time {lumark_ms / ms:4.2f}x   peak RSS {lumark_mib / mib:4.2f}x")


if __name__ == "__main__":
    main()
