#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/) with clang++, AddressSanitizer and
# UndefinedBehaviorSanitizer in build/fuzz, and runs each in turn, one process at
# a time, for SECONDS (default 60).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]   targets: line_reader position_line postal_line ini_file
#                                           address_text serve_input
#
# The seeds in fuzz/corpus/<target> are only read; what a run learns collects in
# build/fuzz/corpus/<target>. A crash, a sanitizer report, a leak or a broken
# invariant leaves its input in build/fuzz/findings/ and makes the exit status 1:
# fix it, then add the input to fuzz/corpus/<target> under a name that says what
# it found.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-60}
shift || true
targets=("$@")
((${#targets[@]})) || targets=(line_reader position_line postal_line ini_file address_text serve_input)

bash scripts/install-deps.sh --fuzz

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DMRK2_BUILD_FUZZ=ON -DMRK2_BUILD_GUI=OFF -DMRK2_BUILD_TESTS=OFF -DMRK2_BUILD_BENCH=OFF >/dev/null
cmake --build build/fuzz --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
status=0
mkdir -p build/fuzz/findings
for t in "${targets[@]}"; do
    mkdir -p "build/fuzz/corpus/$t"
    echo "== fuzz_$t, ${seconds} s" >&2
    if ! "build/fuzz/fuzz/fuzz_$t" "build/fuzz/corpus/$t" "fuzz/corpus/$t" \
        -max_total_time="$seconds" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="build/fuzz/findings/$t-"; then
        echo "fuzz_$t: finding in build/fuzz/findings/" >&2
        status=1
    fi
done
exit $status
