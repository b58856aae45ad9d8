#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer in build-fuzz/ and runs each for SECONDS.
# Usage: fuzz/run.sh SECONDS [TARGET...]
# TARGET is reader (the visibility file), recovery (the recovery record) or settings (the
# settings file); without one, all three run, one after the other.
# Seeds come from tests/document/fuzz-corpus/ for the reader and fuzz/corpus/TARGET/ for the
# others; inputs the fuzzer finds go to build-fuzz/corpus/TARGET/, and an input that breaks a
# reader (a crash, a hang, a sanitizer report, an allocation too large) to
# build-fuzz/findings/TARGET/. Exits non-zero when any target has a finding.
# LUMARK_FUZZ_SANITIZERS picks the sanitizers (default address,undefined; "undefined" alone
# runs several times as many inputs a second, but cannot catch an allocation too large).
set -euo pipefail

seconds="${1:?usage: fuzz/run.sh SECONDS [reader|recovery|settings]...}"
shift
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=(reader recovery settings)
fi
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

# Sets `seeds` and `extra`, the options of one target. A single allocation above the malloc
# limit is a finding: no count that a file claims may decide what is allocated.
configure() {
    case "$1" in
        reader)
            seeds="$root/tests/document/fuzz-corpus"
            extra=(-dict="$root/fuzz/reader.dict")
            ;;
        recovery)
            # A record is at least its 11 KB relation. A run of 5 bytes may stand for 300
            # changes of 8 bytes, so 32 KB of runs may rightly decode to some 16 MB.
            seeds="$root/fuzz/corpus/recovery"
            extra=(-max_len=32768 -len_control=0 -malloc_limit_mb=32)
            ;;
        settings)
            seeds="$root/fuzz/corpus/settings"
            # Lines of any length, up to 64 KB from the start.
            extra=(-dict="$root/fuzz/settings.dict" -max_len=65536 -len_control=0
                -malloc_limit_mb=1)
            ;;
        *)
            echo "unknown fuzz target: $1 (reader, recovery or settings)" >&2
            exit 2
            ;;
    esac
}
for target in "${targets[@]}"; do
    configure "$target"
done

packages=(clang libclang-rt-14-dev cmake make libxxhash-dev)
missing=()
for pkg in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        sudo="sudo"
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DLUMARK_FUZZ=ON \
    -DLUMARK_FUZZ_SANITIZERS="${LUMARK_FUZZ_SANITIZERS:-address,undefined}" >/dev/null
cmake --build "$build" -j"$(nproc)"

failed=()
for target in "${targets[@]}"; do
    configure "$target"
    mkdir -p "$build/corpus/$target" "$build/findings/$target"
    echo "== fuzzing the $target for $seconds seconds"
    if ! "$build/lumark_${target}_fuzzer" \
        -max_total_time="$seconds" \
        -timeout=10 \
        -rss_limit_mb=2048 \
        -artifact_prefix="$build/findings/$target/" \
        -print_final_stats=1 \
        "${extra[@]}" \
        "$build/corpus/$target" "$seeds"; then
        failed+=("$target")
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Findings in: ${failed[*]} (inputs in $build/findings/)" >&2
    exit 1
fi
