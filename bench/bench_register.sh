#!/usr/bin/env bash
# Times complete `mrk2cli register` and `update` runs against sqlite3's own CSV
# import of the same data lines, in the same run, best of N each.
#
# Usage: bench/bench_register.sh [BUILD_DIR] [--rows N] [--files N] [--repeat N]
#                                [--work DIR] [--no-import] [--memory SIZE]
#        bench/bench_register.sh [BUILD_DIR] --one-file [--sizes "N ..."] [--repeat N]
#                                [--memory SIZE]
# Defaults: build/release, 1,000,000 rows in 20 files of MLIT's 14-column layout
# (CP932), 3 repeats, a temporary work directory that is removed at the end.
# --one-file is the shape MLIT publishes: one file per prefecture, here of
# 1,000,000, 2,000,000 and 4,000,000 rows, each registered as a new region
# against `sqlite3 .import` of the same file, with the growth from the smallest
# to the largest and the peak resident memory. --memory is passed to register.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
[[ -x /usr/bin/time ]] || { echo "needs GNU time: scripts/install-deps.sh --bench" >&2; exit 1; }
build=build/release
rows=1000000 files=20 repeat=3 work="" import=1 one_file=0 sizes="1000000 2000000 4000000"
memory=()
while (($#)); do
    case $1 in
        --one-file) one_file=1 ;;
        --sizes) sizes=$2; shift ;;
        --memory) memory=(--memory "$2"); shift ;;
        --rows) rows=$2; shift ;;
        --files) files=$2; shift ;;
        --repeat) repeat=$2; shift ;;
        --work) work=$2; shift ;;
        --no-import) import=0 ;;
        *) build=$1 ;;
    esac
    shift
done
cli=$(realpath "$build/mrk2cli")
gen=$(realpath "$build/bench/gen_position_csv")
if [[ -z $work ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
mkdir -p "$work/csv" "$work/db"
rm -f "$work"/csv/*.csv "$work"/db/*

if ((one_file)); then
    write_block_ini "$work"
    run init "$work/db"
    run postal-build data/13TOKYO.CSV
    first="" last=""
    for n in $sizes; do
        rm -f "$work"/csv/*.csv "$work/import.db"
        "$gen" --layout 14 --files 1 --rows "$n" --out "$work/csv" >/dev/null 2>&1
        csv=("$work"/csv/*.csv)
        tail -n +2 "${csv[0]}" | iconv -f CP932 -t UTF-8 >"$work/all_utf8.csv"
        reg=() creg=() imp=() cimp=() rss=0
        for ((r = 1; r <= repeat; r++)); do
            rm -f "$work/db/東京都.mdb"
            read -r s k c < <(region register 東京都 "${csv[0]}" "${memory[@]}")
            reg+=("$s") creg+=("$c"); ((k > rss)) && rss=$k
            rm -f "$work/import.db"
            read -r s k c < <(timed sqlite3 "$work/import.db" \
                "CREATE TABLE t($(seq -s, -f 'c%g' 1 14))" ".mode csv" ".import $work/all_utf8.csv t")
            imp+=("$s") cimp+=("$c")
        done
        br=$(best "${reg[@]}") bi=$(best "${imp[@]}")
        echo "== one file of $n rows (14 columns, CP932), best of $repeat, load $(cut -d' ' -f1-3 /proc/loadavg)"
        echo "register (new)      ${reg[*]} s (best $br), CPU ${creg[*]} s"
        echo "sqlite3 .import     ${imp[*]} s (best $bi), CPU ${cimp[*]} s"
        echo "ratio register/import $(ratio "$br" "$bi"), CPU $(ratio "$(best "${creg[@]}")" "$(best "${cimp[@]}")"), peak RSS $((rss / 1024)) MB"
        [[ -n $first ]] || first=$br
        last=$br
    done
    echo "growth largest/smallest $(ratio "$last" "$first")"
    exit 0
fi

"$gen" --layout 14 --files "$files" --rows "$rows" --out "$work/csv" >/dev/null 2>&1
# The same data lines as one UTF-8 file, without the header lines.
if ((import)); then
    for f in "$work"/csv/*.csv; do tail -n +2 "$f"; done | iconv -f CP932 -t UTF-8 >"$work/all_utf8.csv"
fi
write_block_ini "$work"
run init "$work/db"
run postal-build data/13TOKYO.CSV


csvs=("$work"/csv/*.csv)
new=() again=() update=() imp=() rss=0
cnew=() cagain=() cupdate=()
for ((r = 1; r <= repeat; r++)); do
    rm -f "$work/db/東京都.mdb"
    read -r s k c < <(region register 東京都 "${csvs[@]}" "${memory[@]}")
    new+=("$s") cnew+=("$c"); ((k > rss)) && rss=$k
    read -r s k c < <(region register 東京都 "${csvs[@]}")
    again+=("$s") cagain+=("$c"); ((k > rss)) && rss=$k
    # One file of the region changed: a new modification time.
    touch -d "@$((1700000000 + r))" "${csvs[0]}"
    read -r s k c < <(region update 東京都)
    update+=("$s") cupdate+=("$c"); ((k > rss)) && rss=$k
    if ((import)); then
        rm -f "$work/import.db"
        # The table exists first, so every line is a row (no header line is taken).
        read -r s k _ < <(timed sqlite3 "$work/import.db" \
            "CREATE TABLE t($(seq -s, -f 'c%g' 1 14))" ".mode csv" ".import $work/all_utf8.csv t")
        imp+=("$s")
    fi
done

db="$work/db/東京都.mdb"
# One sqlite3 for every table: thousands of them would each read the catalog.
got=$(sqlite3 "$db" "SELECT DISTINCT fldTableName FROM POSITION" |
    sed 's/.*/SELECT count(*) FROM "&";/' | sqlite3 "$db" | awk '{ n += $1 } END { print n + 0 }')
((got == rows)) || { echo "per-town tables hold $got rows, expected $rows" >&2; exit 1; }

bn=$(best "${new[@]}") ba=$(best "${again[@]}") bu=$(best "${update[@]}")
echo "rows                $rows in $files files (14 columns, CP932), best of $repeat"
echo "machine             $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "register (new)      ${new[*]} s (best $bn)"
echo "register (again)    ${again[*]} s (best $ba)"
echo "update (1 changed)  ${update[*]} s (best $bu)"
echo "CPU (new)           ${cnew[*]} s (best $(best "${cnew[@]}"))"
echo "CPU (again)         ${cagain[*]} s (best $(best "${cagain[@]}"))"
echo "CPU (update)        ${cupdate[*]} s (best $(best "${cupdate[@]}"))"
echo "peak RSS            $((rss / 1024)) MB"
if ((import)); then
    bi=$(best "${imp[@]}")
    echo "sqlite3 .import     ${imp[*]} s (best $bi)"
    echo "ratio new/import    $(ratio "$bn" "$bi")"
    echo "ratio again/import  $(ratio "$ba" "$bi")"
fi
echo "ratio update/new    $(ratio "$bu" "$bn")"
