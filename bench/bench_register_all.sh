#!/usr/bin/env bash
# Times the national build: `mrk2cli register-all` of one generated archive per
# prefecture (47 by default), with --jobs 1 and --jobs 2 alternately in the same
# run, and reports the best of each, their ratio and the peak resident memory.
#
#   bench/bench_register_all.sh [BUILD_DIR] [--rows N] [--prefs N] [--repeat N] [--work DIR]
#   bench/bench_register_all.sh [BUILD_DIR] --uneven [--sizes "N ..."] [--repeat N] [--work DIR]
#
# Targets: --jobs 2 ≤ 0.6× --jobs 1; peak RSS ≤ 100 MB + 60 MB per extra job.
# --uneven is the shape MLIT publishes: one archive per prefecture holding one
# file, of very different sizes (by default one of 1,000,000 rows and three of
# 385,000, 256,000 and 249,000). Target: --jobs 2 ≤ 0.7× --jobs 1.
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh

build=build/release rows=5000000 prefs=47 repeat=1 work= uneven=0
sizes="1000000 385000 256000 249000"
while (($#)); do
    case $1 in
        --uneven) uneven=1 ;;
        --sizes) sizes=$2; shift ;;
        --rows) rows=$2; shift ;;
        --prefs) prefs=$2; shift ;;
        --repeat) repeat=$2; shift ;;
        --work) work=$2; shift ;;
        *) build=$1 ;;
    esac
    shift
done
((prefs >= 1 && prefs <= 47)) || { echo "--prefs must be from 1 to 47" >&2; exit 2; }
if ((uneven)); then
    read -ra sized <<<"$sizes"
    prefs=${#sized[@]} rows=0
    for n in "${sized[@]}"; do rows=$((rows + n)); done
fi
cli=$(realpath "$build/mrk2cli")
gen=$(realpath "$build/bench/gen_position_csv")
if [[ -z $work ]]; then
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
rm -rf "$work/gen" "$work/zip" "$work/db"
mkdir -p "$work/gen" "$work/zip" "$work/db"

# Two municipalities per prefecture (--uneven: one file of its own size, each
# from another seed); the generator writes 東京都, which each archive's members
# take the name of their own prefecture in place of.
per=2
if ((uneven)); then
    per=1
    for ((k = 0; k < prefs; k++)); do
        mkdir -p "$work/gen/$k"
        "$gen" --layout 14 --files 1 --rows "${sized[k]}" --seed $((k + 1)) --out "$work/gen/$k" >/dev/null 2>&1
        mv "$work/gen/$k"/*.csv "$work/gen/$(printf '%02d' $((k + 1)))_2024.csv"
    done
else
    "$gen" --layout 14 --files $((prefs * 2)) --rows "$rows" --out "$work/gen" >/dev/null 2>&1
fi
python3 - "$work" "$prefs" "$per" "$work"/gen/*.csv <<'PY'
import os, sys, time, zipfile
names = ("北海道 青森県 岩手県 宮城県 秋田県 山形県 福島県 茨城県 栃木県 群馬県 埼玉県 千葉県 "
         "東京都 神奈川県 新潟県 富山県 石川県 福井県 山梨県 長野県 岐阜県 静岡県 愛知県 三重県 "
         "滋賀県 京都府 大阪府 兵庫県 奈良県 和歌山県 鳥取県 島根県 岡山県 広島県 山口県 徳島県 "
         "香川県 愛媛県 高知県 福岡県 佐賀県 長崎県 熊本県 大分県 宮崎県 鹿児島県 沖縄県").split()
work, prefs, per, files = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sorted(sys.argv[4:])
tokyo = "東京都".encode("cp932")
for k in range(prefs):
    name = names[k]
    stem = f"{k + 1:02d}000-17.0a"
    with zipfile.ZipFile(f"{work}/zip/{stem}.zip", "w", zipfile.ZIP_DEFLATED) as z:
        for f in files[per * k:per * k + per]:
            with open(f, "rb") as src:
                data = src.read().replace(tokyo, name.encode("cp932"))
            info = zipfile.ZipInfo(stem + "\\" + os.path.basename(f), time.localtime()[:6])
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data)
PY
rm -rf "$work/gen"

write_block_ini "$work"
run() { "$cli" --ini "$work/mrk2tool.ini" --quiet "$@" >/dev/null 2>"$work/stderr.txt" || fail; }
fail() { cat "$work/stderr.txt" >&2; exit 1; }

# One national build on a fresh directory: "S KIB CPU".
build_all() {  # JOBS
    rm -rf "$work/db"
    run init "$work/db"
    run postal-build data/13TOKYO.CSV
    sync
    /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" \
        "$cli" --ini "$work/mrk2tool.ini" --quiet register-all --jobs "$1" "$work/zip" \
        >"$work/table.txt" 2>"$work/stderr.txt" || fail
    local stored
    stored=$(awk -F'\t' 'NR > 1 { n += $4 } END { print n }' "$work/table.txt")
    ((stored == rows)) || { echo "stored $stored rows, expected $rows" >&2; cat "$work/table.txt" >&2; exit 1; }
    awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time.txt"
}

best1= best2= rss1=0 rss2=0
for ((i = 1; i <= repeat; i++)); do
    for jobs in 1 2; do
        read -r secs kib cpu < <(build_all "$jobs")
        echo "register-all --jobs $jobs: $secs s, peak $((kib / 1024)) MB, CPU $cpu s"
        if ((jobs == 1)); then
            [[ -z $best1 ]] || (($(echo "$secs < $best1" | bc))) && best1=$secs
            ((kib > rss1)) && rss1=$kib
        else
            [[ -z $best2 ]] || (($(echo "$secs < $best2" | bc))) && best2=$secs
            ((kib > rss2)) && rss2=$kib
        fi
    done
done
echo
echo "rows $rows in $prefs prefecture archives$( ((uneven)) && echo " of $sizes rows")"
echo "machine: $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "best --jobs 1: $best1 s, peak $((rss1 / 1024)) MB (target ≤ 100 MB)"
echo "best --jobs 2: $best2 s, peak $((rss2 / 1024)) MB (target ≤ 160 MB)"
echo "ratio --jobs 2 / --jobs 1: $(echo "scale=2; $best2 / $best1" | bc) (target ≤ $( ((uneven)) && echo 0.70 || echo 0.60))"
echo "end table of the last run:"
column -t -s $'\t' "$work/table.txt" | head -5
echo "…"
