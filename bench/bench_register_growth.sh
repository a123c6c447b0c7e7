#!/usr/bin/env bash
# How a register of a new region grows with its rows and with its number of
# files: 1,000,000 and 10,000,000 rows, each in 20 and in 200 files (MLIT's
# 14-column layout, CP932, MINRECS 1000), best of N of each, wall and CPU time.
#
# Usage: bench/bench_register_growth.sh [BUILD_DIR] [--repeat N] [--cases "ROWSxFILES ..."]
# Defaults: build/release, 1 repeat, the four cases above. Needs about 2 GB of
# disk for the ten-million-row files and their region.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
[[ -x /usr/bin/time ]] || { echo "needs GNU time: scripts/install-deps.sh --bench" >&2; exit 1; }
build=build/release repeat=1 cases="1000000x20 1000000x200 10000000x20 10000000x200"
while (($#)); do
    case $1 in
        --repeat) repeat=$2; shift ;;
        --cases) cases=$2; shift ;;
        *) build=$1 ;;
    esac
    shift
done
cli=$(realpath "$build/mrk2cli")
gen=$(realpath "$build/bench/gen_position_csv")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/db"
write_block_ini "$work"
run init "$work/db"
run postal-build data/13TOKYO.CSV

declare -A wall cpu
echo "machine             $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
for c in $cases; do
    rows=${c%x*} files=${c#*x}
    rm -rf "$work/csv" && mkdir "$work/csv"
    "$gen" --layout 14 --files "$files" --rows "$rows" --out "$work/csv" >/dev/null 2>&1
    ws=() cs=()
    for ((r = 1; r <= repeat; r++)); do
        rm -f "$work/db/東京都.mdb"
        read -r s _ k < <(region register 東京都 "$work"/csv/*.csv)
        ws+=("$s") cs+=("$k")
    done
    wall[$c]=$(best "${ws[@]}") cpu[$c]=$(best "${cs[@]}")
    tables=$(sqlite3 "$work/db/東京都.mdb" "SELECT count(DISTINCT fldTableName) FROM POSITION")
    printf '%-19s wall %s s (best %s), CPU %s s (best %s), %s per-town tables\n' \
        "$c" "${ws[*]}" "${wall[$c]}" "${cs[*]}" "${cpu[$c]}" "$tables"
done
# Ratios of the cases measured, by CPU time (steadier on a shared machine) and wall time.
show() {  # LABEL A B TARGET
    [[ -n ${cpu[$2]:-} && -n ${cpu[$3]:-} ]] || return 0
    printf '%-19s CPU %s, wall %s (target <= %s)\n' "$1" "$(ratio "${cpu[$2]}" "${cpu[$3]}")" \
        "$(ratio "${wall[$2]}" "${wall[$3]}")" "$4"
}
show "10M / 1M, 20 files" 10000000x20 1000000x20 11
show "200 / 20 files, 1M" 1000000x200 1000000x20 1.3
show "200 / 20 files, 10M" 10000000x200 10000000x20 "(none)"
