#!/usr/bin/env bash
# Times the desktop tool's register run (bench_gui_run: the real windows and
# event loop on the offscreen platform) against mrk2cli's register run of the
# same files into a region of its own, alternately, best of N each.
#
# Usage: bench/bench_gui_run.sh [BUILD_DIR] [--rows N] [--files N] [--repeat N]
# Defaults: build/release, 1,000,000 rows in 20 files (14 columns), 3 repeats.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
[[ -x /usr/bin/time ]] || { echo "needs GNU time: scripts/install-deps.sh --bench" >&2; exit 1; }
build=build/release
rows=1000000 files=20 repeat=3
while (($#)); do
    case $1 in
        --rows) rows=$2; shift ;;
        --files) files=$2; shift ;;
        --repeat) repeat=$2; shift ;;
        *) build=$1 ;;
    esac
    shift
done
cli=$(realpath "$build/mrk2cli")
gui=$(realpath "$build/bench/bench_gui_run")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/csv" "$work/db"
"$build/bench/gen_position_csv" --layout 14 --files "$files" --rows "$rows" --out "$work/csv" >/dev/null 2>&1
write_block_ini "$work"
"$cli" --ini "$work/mrk2tool.ini" --quiet init "$work/db" >/dev/null 2>&1
"$cli" --ini "$work/mrk2tool.ini" --quiet postal-build data/13TOKYO.CSV >/dev/null 2>&1

ours=() theirs=()
for ((r = 1; r <= repeat; r++)); do
    rm -f "$work"/db/GUI.mdb "$work"/db/CLI.mdb
    ours+=("$("$gui" "$work/mrk2tool.ini" "$work/csv" GUI 2>/dev/null)")
    /usr/bin/time -f "%e" -o "$work/time.txt" \
        "$cli" --ini "$work/mrk2tool.ini" --quiet register CLI "$work"/csv/*.csv >/dev/null 2>&1
    theirs+=("$(cat "$work/time.txt")")
done
# Both runs built the same database.
[[ "$(sqlite3 "$work/db/GUI.mdb" .dump | md5sum)" == "$(sqlite3 "$work/db/CLI.mdb" .dump | md5sum)" ]] ||
    { echo "the two runs built different databases" >&2; exit 1; }
best() { printf '%s\n' "$@" | sort -n | head -1; }
g=$(best "${ours[@]}") c=$(best "${theirs[@]}")
echo "rows                $rows in $files files (14 columns, CP932), best of $repeat"
echo "machine             $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "mrk2tool (offscreen) ${ours[*]} s (best $g)"
echo "mrk2cli             ${theirs[*]} s (best $c)"
echo "ratio tool/cli      $(awk -v a="$g" -v b="$c" 'BEGIN { printf "%.2f", a / b }')"
