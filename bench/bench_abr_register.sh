#!/usr/bin/env bash
# Times `mrk2cli register` of 屋久島町's parcels with their positions (the two
# published registry CSVs, joined, converted and stored with plane coordinates)
# against sqlite3's own `.import` of the same two CSVs into two plain tables, in
# the same run, best of N each. Target: register ≤ 1.5 × import.
#
# Usage: bench/bench_abr_register.sh [BUILD_DIR] [--repeat N]
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release repeat=3
while (($#)); do
    case $1 in
        --repeat) repeat=$2; shift ;;
        *) build=$1 ;;
    esac
    shift
done
cli=$(realpath "$build/mrk2cli")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/db"
data=$work/mt_parcel_city465054.csv pos=$work/mt_parcel_pos_city465054.csv
unzip -p data/abr/mt_parcel_city465054.csv.zip >"$data"
unzip -p data/abr/mt_parcel_pos_city465054.csv.zip >"$pos"
printf '[MRK]\nDBDIR=%s/db\n' "$work" >"$work/mrk2tool.ini"
"$cli" --ini "$work/mrk2tool.ini" --quiet init "$work/db" >/dev/null

seconds() {  # command...: wall seconds
    local t0 t1
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>"$work/stderr.txt" || { cat "$work/stderr.txt" >&2; exit 1; }
    t1=$(date +%s.%N)
    awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f\n", b - a }'
}
best() { printf '%s\n' "$@" | sort -n | head -1; }

reg=() imp=()
for ((r = 1; r <= repeat; r++)); do
    rm -f "$work/db/屋久島町.mdb"
    reg+=("$(seconds "$cli" --ini "$work/mrk2tool.ini" --quiet register 屋久島町 "$data" "$pos")")
    rm -f "$work/import.db"
    imp+=("$(seconds sqlite3 "$work/import.db" -cmd '.mode csv' ".import $data parcel" \
        ".import $pos parcel_pos")")
done
b=$(best "${reg[@]}") i=$(best "${imp[@]}")
rows=$("$cli" --ini "$work/mrk2tool.ini" check 屋久島町 | sed -n 's/^行: //p')
echo "register 屋久島町 (parcels + positions, $rows rows stored): ${b}s (best of $repeat)"
echo "sqlite3 .import of the same two CSVs:                    ${i}s (best of $repeat)"
awk -v b="$b" -v i="$i" 'BEGIN { printf "ratio: %.2f (target ≤ 1.5)\n", b / i }'
