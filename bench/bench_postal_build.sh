#!/usr/bin/env bash
# Times the national postal build on a national-size file (about 124,000 lines,
# the size of Japan Post's whole-country file) against sqlite3's own CSV import of
# the same lines, in the same run. The file is the bundled Tokyo sample repeated
# with varied postal codes. Usage: bench/bench_postal_build.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/release}
cli=$build/mrk2cli
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 30 copies of 4,165 lines = 124,950 lines, CP932 and CRLF like the original.
for k in $(seq 0 29); do
    iconv -f CP932 -t UTF-8 data/13TOKYO.CSV |
        awk -F, -v OFS=, -v k="$k" '{ gsub(/"/, "", $3); $3 = "\"" sprintf("%07d", ($3 + k * 1000) % 10000000) "\""; print }'
done | tee "$work/all_utf8.csv" | iconv -f UTF-8 -t CP932 >"$work/national.csv"
lines=$(wc -l <"$work/national.csv")

"$cli" --quiet init "$work/db" >/dev/null 2>&1
printf '[MRK]\nDBDIR=%s\n' "$work/db" >"$work/mrk2tool.ini"

best() { sort -n | head -1; }
ours=() theirs=()
for run in 1 2 3; do
    s=$(date +%s.%N)
    (cd "$work" && "$OLDPWD/$cli" --ini mrk2tool.ini --quiet postal-build national.csv >/dev/null)
    e=$(date +%s.%N)
    ours+=("$(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.2f", e - s }')")
    rm -f "$work/import.db"
    s=$(date +%s.%N)
    # The table exists first, so every line is a row (no header line is taken).
    sqlite3 "$work/import.db" "CREATE TABLE t($(seq -s, -f 'c%g' 1 15))" ".mode csv" \
        ".import $work/all_utf8.csv t"
    e=$(date +%s.%N)
    theirs+=("$(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.2f", e - s }')")
done
rows=$(sqlite3 "$work/db/mrk2.mdb" "SELECT count(*) FROM POST")
[[ "$rows" == "$lines" ]] || { echo "POST holds $rows rows, expected $lines" >&2; exit 1; }
o=$(printf '%s\n' "${ours[@]}" | best)
t=$(printf '%s\n' "${theirs[@]}" | best)
echo "lines               $lines"
echo "postal-build        ${ours[*]} s (best $o)"
echo "sqlite3 .import     ${theirs[*]} s (best $t)"
echo "ratio               $(awk -v o="$o" -v t="$t" 'BEGIN { printf "%.2f", o / t }')"
