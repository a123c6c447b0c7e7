#!/usr/bin/env bash
# Reverse lookup in a region of 1,000,000 points (generated as bench_register.sh
# generates them: 20 files, 14 columns): registers the region `--repeat` times
# (best wall and CPU time), then times what the point index costs to build
# against that register (bench_reverse_lookup builds it on a copy, best of
# `--repeat`; the register includes it, so what it adds is the index over the
# rest), 10,000 reverse lookups of points near rows of the region in the
# engine, and the same points through `mrk2cli reverse REGION -`. Usage:
# bench/bench_reverse_lookup.sh [BUILD_DIR] [--repeat N]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
[[ -x /usr/bin/time ]] || { echo "needs GNU time: scripts/install-deps.sh --bench" >&2; exit 1; }
read_build_and_repeat "$@"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/csv" "$work/db"
"$build/bench/gen_position_csv" --layout 14 --files 20 --rows 1000000 --out "$work/csv" >/dev/null 2>&1
write_block_ini "$work"
run init "$work/db"
run postal-build data/13TOKYO.CSV

walls=() cpus=() builds=() build_cpus=() engine=() cli_runs=() rss=0
for ((r = 1; r <= repeat; r++)); do
    rm -f "$work/db/地域.mdb"
    read -r s k c < <(region register 地域 "$work"/csv/*.csv)
    walls+=("$s") cpus+=("$c"); ((k > rss)) && rss=$k
done
for ((r = 1; r <= repeat; r++)); do
    "$build/bench/bench_reverse_lookup" --db "$work/db/地域.mdb" --count 10000 \
        --write-points "$work/points.txt" >"$work/out.txt"
    builds+=("$(awk '/index build/ { print $3 }' "$work/out.txt")")
    build_cpus+=("$(awk '/index build/ { print $6 }' "$work/out.txt")")
    engine+=("$(awk '/1 thread/ { print $5 }' "$work/out.txt")")
    # Exit 1 when a point has no row within 1,000 m: still a timed run.
    read -r s _ _ < <(timed sh -c '"$0" --ini "$1" reverse 地域 - <"$2" || true' \
        "$cli" "$work/mrk2tool.ini" "$work/points.txt")
    cli_runs+=("$s")
done
cat "$work/out.txt"
echo "machine              2 cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "register (new)       ${walls[*]} s wall, ${cpus[*]} s CPU (best $(best "${walls[@]}") / $(best "${cpus[@]}"))"
echo "peak RSS (register)   $((rss / 1024)) MB"
echo "index build          ${builds[*]} s wall, ${build_cpus[*]} s CPU (best $(best "${builds[@]}") / $(best "${build_cpus[@]}"))"
# The register above includes the index: what it adds is the index over the rest.
adds() { awk -v i="$1" -v r="$2" 'BEGIN { printf "%.3f", i / (r - i) }'; }
echo "index adds           $(adds "$(best "${builds[@]}")" "$(best "${walls[@]}")") to the wall time of a register without it, $(adds "$(best "${build_cpus[@]}")" "$(best "${cpus[@]}")") to its CPU time"
echo "10,000 reverse       engine ${engine[*]} s (best $(best "${engine[@]}")), mrk2cli reverse - ${cli_runs[*]} s (best $(best "${cli_runs[@]}"))"
