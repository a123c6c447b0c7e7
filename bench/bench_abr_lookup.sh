#!/usr/bin/env bash
# 10,000 house-level lookups in a region of about 1,000,000 houses: the houses of
# 文京区 from the registry sample, copied under the codes of 34 municipalities of
# 東京都 (names from the municipality master), registered with mrk2cli; then
# every 100th house is looked up as "市区町村 町 N番M号" through `mrk2cli lookup -`,
# timed whole (the town index once, then every address), best of N.
# Target: < 10 s. Checks that every answer is at 住居 level.
#
# With --vs-import, the register is timed --repeat times against sqlite3's
# `.import` of the same two CSVs (target: register ≤ 1.0× .import) and the
# lookups are left out.
#
# Usage: bench/bench_abr_lookup.sh [BUILD_DIR] [--repeat N] [--vs-import]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
vs_import=0 args=()
for a in "$@"; do [[ $a == --vs-import ]] && vs_import=1 || args+=("$a"); done
read_build_and_repeat "${args[@]}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/db"
write_abr_million

printf '[MRK]\nDBDIR=%s/db\n' "$work" >"$work/mrk2tool.ini"
run() { "$cli" --ini "$work/mrk2tool.ini" --quiet "$@"; }
run init "$work/db" >/dev/null
if ((vs_import)); then
    secs() { local s e; s=$(date +%s.%N); "$@" >/dev/null; e=$(date +%s.%N); awk -v a="$s" -v b="$e" 'BEGIN { printf "%.2f", b - a }'; }
    reg=() imp=()
    for ((r = 1; r <= repeat; r++)); do
        rm -f "$work/db/東京.mdb" "$work/import.db"
        reg+=("$(secs run register 東京 "$work/mt_rsdtdsp_rsdt_bench.csv" "$work/mt_rsdtdsp_rsdt_pos_bench.csv")")
        imp+=("$(secs sqlite3 "$work/import.db" -cmd '.mode csv' ".import $work/mt_rsdtdsp_rsdt_bench.csv h" \
            ".import $work/mt_rsdtdsp_rsdt_pos_bench.csv p")")
    done
    echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
    echo "register of $(run check 東京 | sed -n 's/^行: //p') houses: ${reg[*]} s (best $(best "${reg[@]}"))"
    echo "sqlite3 .import of the two CSVs: ${imp[*]} s (best $(best "${imp[@]}"))"
    echo "ratio register/import: $(ratio "$(best "${reg[@]}")" "$(best "${imp[@]}")") (target ≤ 1.0)"
    exit 0
fi
t0=$(date +%s.%N)
run register 東京 "$work/mt_rsdtdsp_rsdt_bench.csv" "$work/mt_rsdtdsp_rsdt_pos_bench.csv" >/dev/null
t1=$(date +%s.%N)
rows=$(run check 東京 | sed -n 's/^行: //p')

best=""
for ((r = 1; r <= repeat; r++)); do
    s=$(date +%s.%N)
    run lookup 東京 - <"$work/addresses.txt" >"$work/answers.tsv" || true
    e=$(date +%s.%N)
    t=$(awk -v a="$s" -v b="$e" 'BEGIN { printf "%.3f", b - a }')
    [[ -z $best ]] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }' && best=$t
done
houses=$(grep -c $'\t住居$' "$work/answers.tsv" || true)
echo "region: $rows houses, registered in $(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.1f", b - a }')s"
echo "lookup of $(wc -l <"$work/addresses.txt") addresses: ${best}s (best of $repeat), $houses answered at 住居 (target < 10 s)"
