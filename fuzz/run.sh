#!/usr/bin/env bash
# Builds the reader's fuzz target with clang's libFuzzer in build-fuzz/ and runs it.
# Usage: fuzz/run.sh SECONDS
# Seeds come from tests/document/fuzz-corpus/; inputs the fuzzer finds go to build-fuzz/corpus/,
# and an input that breaks the reader to build-fuzz/findings/. Exits non-zero on a finding.
# LUMARK_FUZZ_SANITIZERS picks the sanitizers (default address,undefined; "undefined" alone
# runs about eight times as many inputs a second).
set -euo pipefail

seconds="${1:?usage: fuzz/run.sh SECONDS}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build-fuzz"

packages=(clang libclang-rt-14-dev cmake make)
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

mkdir -p "$build/corpus" "$build/findings"
"$build/lumark_reader_fuzzer" \
    -max_total_time="$seconds" \
    -dict="$root/fuzz/reader.dict" \
    -artifact_prefix="$build/findings/" \
    -print_final_stats=1 \
    "$build/corpus" "$root/tests/document/fuzz-corpus"
