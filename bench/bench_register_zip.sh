#!/usr/bin/env bash
# Times `mrk2cli register` from zip archives packed as MLIT publishes them against
# the same register from the CSV files extracted from those archives, alternately,
# in the same run, best of N each.
#
# Usage: bench/bench_register_zip.sh [BUILD_DIR] [--rows N] [--files N] [--zips N]
#                                    [--repeat N] [--work DIR]
# Defaults: build/release, 1,000,000 rows in 20 files of MLIT's 14-column layout
# (CP932) packed into 4 deflated zips, 3 repeats, a temporary work directory that
# is removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
[[ -x /usr/bin/time ]] || { echo "needs GNU time: scripts/install-deps.sh --bench" >&2; exit 1; }
for tool in python3 unzip; do
    command -v $tool >/dev/null || { echo "needs $tool: scripts/install-deps.sh --bench" >&2; exit 1; }
done
build=build/release
rows=1000000 files=20 zips=4 repeat=3 work=""
target=1.15
while (($#)); do
    case $1 in
        --rows) rows=$2; shift ;;
        --files) files=$2; shift ;;
        --zips) zips=$2; shift ;;
        --repeat) repeat=$2; shift ;;
        --work) work=$2; shift ;;
        *) build=$1 ;;
    esac
    shift
done
((zips >= 1 && zips <= files)) || { echo "--zips must be from 1 to --files" >&2; exit 2; }
cli=$(realpath "$build/mrk2cli")
gen=$(realpath "$build/bench/gen_position_csv")
if [[ -z $work ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
rm -rf "$work/gen" "$work/zip" "$work/csv" "$work/db"
mkdir -p "$work/gen" "$work/zip" "$work/csv" "$work/db"

"$gen" --layout 14 --files "$files" --rows "$rows" --out "$work/gen" >/dev/null 2>&1

# MLIT's packing: one deflated zip per prefecture, named PP000-NN.0a.zip, whose
# members sit in a folder of the archive's own name written with a backslash, as
# the Windows tool that made them writes it ("13000-17.0a\13101_2023.csv"). The
# generated files are all of Tokyo, so each archive gets a directory of its own
# rather than a made-up prefecture. The extraction is what an operator's unpacking
# gives: the backslash read as a folder.
python3 - "$work" "$zips" "$work"/gen/*.csv <<'PY'
import os, sys, time, zipfile
work, zips, files = sys.argv[1], int(sys.argv[2]), sorted(sys.argv[3:])
per = -(-len(files) // zips)
for k in range(zips):
    part = files[k * per:(k + 1) * per]
    if not part:
        break
    stem = os.path.basename(part[0])[:2] + "000-17.0a"
    os.makedirs(f"{work}/zip/{k + 1}")
    path = f"{work}/zip/{k + 1}/{stem}.zip"
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for f in part:
            info = zipfile.ZipInfo(stem + "\\" + os.path.basename(f),
                                   time.localtime(os.path.getmtime(f))[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            info.create_system = 0  # MS-DOS, as MLIT's archives say
            with open(f, "rb") as src:
                z.writestr(info, src.read())
    with zipfile.ZipFile(path) as z:
        for info in z.infolist():
            folder, name = info.filename.split("\\")
            out = f"{work}/csv/{k + 1}/{folder}"
            os.makedirs(out, exist_ok=True)
            with open(f"{out}/{name}", "wb") as dst:
                dst.write(z.read(info))
PY
zipfiles=("$work"/zip/*/*.zip)
csvs=("$work"/csv/*/*/*.csv)
# Every member carries the backslash, and the extracted files are the generated ones.
for z in "${zipfiles[@]}"; do
    if unzip -Z1 "$z" | grep -qv '\\'; then
        echo "$z: a member name without a backslash" >&2
        unzip -l "$z" >&2
        exit 1
    fi
done
((${#csvs[@]} == files)) || { echo "extracted ${#csvs[@]} files, expected $files" >&2; exit 1; }
for f in "${csvs[@]}"; do
    cmp -s "$f" "$work/gen/$(basename "$f")" || { echo "$f differs from its source" >&2; exit 1; }
done
rm -rf "$work/gen"

write_block_ini "$work"
run init "$work/db"
run postal-build data/13TOKYO.CSV


fromzip=() fromcsv=() cpuzip=() cpucsv=() rsszip=0 rsscsv=0
# Each run registers a new region. The old file is removed and the disk flushed
# first, so that no run waits at its own sync for the writes of the one before.
fresh() { rm -f "$work/db/$1.mdb"; sync; }
for ((r = 1; r <= repeat; r++)); do
    fresh ZIP
    read -r s k c < <(region register ZIP "${zipfiles[@]}")
    fromzip+=("$s") cpuzip+=("$c"); ((k > rsszip)) && rsszip=$k
    fresh CSV
    read -r s k c < <(region register CSV "${csvs[@]}")
    fromcsv+=("$s") cpucsv+=("$c"); ((k > rsscsv)) && rsscsv=$k
done

# Both runs stored the same rows: every table but the source list (whose paths
# differ) dumps the same.
dump() {
    local t
    for t in $(sqlite3 "$1" "SELECT name FROM sqlite_master WHERE type = 'table'
                             AND name <> 'POSITION管理' ORDER BY name"); do
        sqlite3 "$1" "SELECT * FROM \"$t\""
    done | md5sum
}
[[ "$(dump "$work/db/ZIP.mdb")" == "$(dump "$work/db/CSV.mdb")" ]] ||
    { echo "the two runs built different databases" >&2; exit 1; }
got=0
for t in $(sqlite3 "$work/db/ZIP.mdb" "SELECT DISTINCT fldTableName FROM POSITION"); do
    got=$((got + $(sqlite3 "$work/db/ZIP.mdb" "SELECT count(*) FROM $t")))
done
((got == rows)) || { echo "per-town tables hold $got rows, expected $rows" >&2; exit 1; }

mb() { awk -v b="$1" 'BEGIN { printf "%.1f MB", b / 1048576 }'; }
bz=$(best "${fromzip[@]}") bc=$(best "${fromcsv[@]}")
cz=$(best "${cpuzip[@]}") cc=$(best "${cpucsv[@]}")
verdict=$(awk -v a="$bz" -v b="$bc" -v t="$target" 'BEGIN { print (a <= t * b) ? "PASS" : "FAIL" }')
csvbytes=$(cat "${csvs[@]}" | wc -c) zipbytes=$(cat "${zipfiles[@]}" | wc -c)
echo "rows                $rows in $files files (14 columns, CP932), best of $repeat"
echo "archives            ${#zipfiles[@]} deflated zips, $(mb "$zipbytes") ($(mb "$csvbytes") of CSV)"
echo "machine             $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "register (zips)     ${fromzip[*]} s (best $bz)"
echo "register (CSVs)     ${fromcsv[*]} s (best $bc)"
echo "ratio zips/CSVs     $(ratio "$bz" "$bc") (target <= $target) $verdict"
echo "CPU (zips)          ${cpuzip[*]} s (best $cz)"
echo "CPU (CSVs)          ${cpucsv[*]} s (best $cc)"
echo "ratio CPU           $(ratio "$cz" "$cc")"
echo "peak RSS            zips $((rsszip / 1024)) MB, CSVs $((rsscsv / 1024)) MB"
[[ $verdict == PASS ]]
