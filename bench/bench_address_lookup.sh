#!/usr/bin/env bash
# Times address lookups in a region of 1,000,000 block rows: generates the
# position files, registers the region with mrk2cli, then runs the engine's
# lookup on 10,000 addresses sampled from it (bench_address_lookup) and the same
# addresses through `mrk2cli lookup REGION -`. Usage:
# bench/bench_address_lookup.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
build=${1:-build/release}
cli=$build/mrk2cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/csv"
"$build/bench/gen_position_csv" --layout 14 --files 50 --rows 1000000 --out "$work/csv" >/dev/null 2>&1
write_block_ini "$work"
mrk() { "$cli" --ini "$work/mrk2tool.ini" --quiet "$@"; }
mrk init >/dev/null 2>&1
mrk postal-build data/13TOKYO.CSV >/dev/null 2>&1
mrk register 地域 "$work"/csv/*.csv >/dev/null 2>&1

"$build/bench/bench_address_lookup" --db "$work/db/地域.mdb" --count 10000 \
    --write-addresses "$work/addresses.txt"
s=$(date +%s.%N)
mrk lookup 地域 - <"$work/addresses.txt" >"$work/answers.tsv" 2>/dev/null || true
e=$(date +%s.%N)
echo "mrk2cli lookup -     $(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.3f", e - s }') s" \
     "for $(wc -l <"$work/addresses.txt") addresses, $(($(wc -l <"$work/answers.tsv") - 1)) answers"
if [[ -x "$build/bench/bench_region_map" ]]; then
    "$build/bench/bench_region_map" --db "$work/db/地域.mdb" 2>/dev/null
fi
