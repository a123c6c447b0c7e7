#!/usr/bin/env bash
# The main job on bundled sample data: builds what it needs, then runs a demo of
# the whole cycle in ./demo: a base database, the national postal table from the
# bundled Japan Post sample (data/13TOKYO.CSV), position-reference files of the
# 14-column MLIT block layout, registration of a region, an update after one file
# changed, a consistency check and an address lookup; then a region straight from
# MLIT's published archive of Okinawa's towns (data/abr/47000-17.0b.zip), and the
# houses of 文京区 from the bundled Address Base Registry files, looked up to the
# house.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target mrk2cli mrk2tool
build=build/release
cli=$build/mrk2cli
demo=$PWD/demo
rm -rf "$demo" && mkdir -p "$demo/csv"

# MLIT's files are known by their header line, so the INI names only the
# database directory: no column numbers, no start line.
cat >"$demo/mrk2tool.ini" <<INI
[MRK]
DBDIR=$demo/db
INI
mrk() { "$cli" --ini "$demo/mrk2tool.ini" "$@"; }
seconds() { local s=$1 e=$2; awk -v s="$s" -v e="$e" 'BEGIN { printf "%.2f", e - s }'; }

# Position-reference files from the benchmark's generator, with the town names of
# the bundled postal sample.
cmake --build --preset release --target gen_position_csv >/dev/null
"$build/bench/gen_position_csv" --layout 14 --files 5 --rows 50000 \
    --towns data/13TOKYO.CSV --out "$demo/csv" >/dev/null
files=("$demo"/csv/*.csv)

mrk init >/dev/null
mrk --quiet postal-build data/13TOKYO.CSV

t0=$(date +%s.%N)
mrk register 東京 "${files[@]}"
t1=$(date +%s.%N)

# One file changes on disk (dates are kept in whole seconds).
sleep 1
touch "${files[1]}"
t2=$(date +%s.%N)
mrk update 東京
t3=$(date +%s.%N)

mrk check 東京
mrk sources 東京

# An address of the region, as the geocoder will be asked for it.
echo
echo "== 住所の検索 (lookup) =="
mrk lookup 東京 千代田区丸の内一丁目1番1号

# A published archive as it is downloaded: its CSV member is read in place, by
# its header (town level: one point per 大字・町丁目), with the municipality
# code of every row.
echo
echo "== アーカイブからの登録 (register 沖縄県 47000-17.0b.zip) =="
t4=$(date +%s.%N)
mrk register 沖縄県 data/abr/47000-17.0b.zip
t5=$(date +%s.%N)
mrk sources 沖縄県
mrk lookup 沖縄県 那覇市古波蔵一丁目

# The houses of 文京区 from the Address Base Registry's published files (a
# dataset and its positions, each in its zip), looked up to the house.
echo
echo "== アドレス・ベース・レジストリ: 文京区の住居 =="
t6=$(date +%s.%N)
mrk register 文京区 data/abr/mt_rsdtdsp_rsdt_pref13.csv.zip data/abr/mt_rsdtdsp_rsdt_pos_pref13.csv.zip
t7=$(date +%s.%N)
mrk lookup 文京区 文京区白山一丁目1番2号

rows=$(cat "${files[@]}" | wc -l)
echo
echo "== まとめ =="
echo "ファイル: ${#files[@]} 個, ${rows} 行 (見出し行を含む)"
echo "登録 (register): $(seconds "$t0" "$t1") 秒"
echo "更新 (update, 1 ファイル変更): $(seconds "$t2" "$t3") 秒"
echo "アーカイブからの登録 (沖縄県, 1,228 町): $(seconds "$t4" "$t5") 秒"
echo "文京区の住居の登録 (register, 30,156 戸): $(seconds "$t6" "$t7") 秒"
echo "データベース: $demo/db"
ls -l "$demo/db"

# With a display, the desktop tool opens on the demo's settings.
if [[ -n "${DISPLAY:-}" ]]; then
    echo "mrk2tool を起動します (設定: $demo/mrk2tool.ini)"
    "$build/mrk2tool" --ini "$demo/mrk2tool.ini" &
fi
