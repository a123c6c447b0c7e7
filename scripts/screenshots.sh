#!/usr/bin/env bash
# Pictures of the desktop tool for the documentation: builds mrk2screenshots, makes a
# base database with the bundled postal sample, writes a few position CSV files,
# and lets mrk2screenshots photograph the desktop tool's windows on a virtual
# display. Output: docs/screenshots/*.png
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --gui-display

build=${MRK2_BUILD_DIR:-build/screenshots}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DMRK2_BUILD_TESTS=OFF -DMRK2_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target mrk2screenshots mrk2cli -j2

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/db" "$work/csv"
"$build/mrk2cli" init "$work/db"
"$build/mrk2cli" --db-dir "$work/db" postal-build data/13TOKYO.CSV

# Position CSV files in the default 12-column layout, CP932 with CRLF: one
# municipality per file, enough blocks that the progress window is seen working.
# Each town is a round cluster of blocks around its own spot near the
# municipality's centre, so that the region map looks like a map.
write_csv() {  # file city lat lon towns blocks
    awk -v city="$2" -v lat0="$3" -v lon0="$4" -v towns="$5" -v blocks="$6" 'BEGIN {
        srand(7);
        n = split(towns, t, " ");
        for (i = 1; i <= n; i++) {
            a = 2 * 3.14159 * i / n;
            tlat = lat0 + 0.006 * sin(a); tlon = lon0 + 0.0075 * cos(a);
            for (b = 1; b <= blocks; b++) {
                r = 0.0032 * sqrt(rand()); w = 2 * 3.14159 * rand();
                printf "東京都,%s,%s,%d,9,-%d.5,%d.5,%.6f,%.6f,,1,%d\r\n",
                       city, t[i], b, 30000 + b, 10000 + i,
                       tlat + r * sin(w), tlon + 1.2 * r * cos(w), b == 1;
            }
        }
    }' | iconv -f UTF-8 -t CP932 > "$work/csv/$1"
}
write_csv 13101.csv 千代田区 35.6900 139.7540 "丸の内一丁目 丸の内二丁目 大手町一丁目 霞が関一丁目 永田町一丁目" 4000
write_csv 13102.csv 中央区 35.6700 139.7790 "銀座一丁目 銀座二丁目 日本橋一丁目 築地一丁目" 4000
write_csv 13103.csv 港区 35.6560 139.7420 "芝公園一丁目 六本木一丁目 赤坂一丁目" 4000
# One file as MLIT publishes it: inside a zip, under a backslash name.
python3 - "$work/csv" <<'PY'
import os, sys, zipfile
d = sys.argv[1]
with zipfile.ZipFile(os.path.join(d, "13000-17.0a.zip"), "w", zipfile.ZIP_DEFLATED) as z:
    z.write(os.path.join(d, "13103.csv"), "13000-17.0a\\13103_2023.csv")
os.remove(os.path.join(d, "13103.csv"))
PY

# The houses of 文京区 from the Address Base Registry samples, for their map.
"$build/mrk2cli" --db-dir "$work/db" register 文京区 data/abr/mt_rsdtdsp_rsdt_pref13.csv.zip \
    data/abr/mt_rsdtdsp_rsdt_pos_pref13.csv.zip

# For the national build: one archive per prefecture, of different sizes, so that
# the window is seen with some prefectures done, two running and others waiting.
mkdir -p "$work/csv/national"
n=0
for pref in 鳥取県 島根県 岡山県 広島県 山口県 徳島県 香川県 愛媛県; do
    n=$((n + 1))
    awk -v pref="$pref" -v blocks=$((150000 + 60000 * (n % 3))) 'BEGIN {
        for (b = 1; b <= blocks; b++)
            printf "%s,市,町%d,%d,9,-30000.5,10000.5,35.1,133.2,,1,0\r\n", pref, b / 200, b;
    }' | iconv -f UTF-8 -t CP932 > "$work/csv/national/$((30 + n)).csv"
    python3 -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1] + ".zip", "w", zipfile.ZIP_DEFLATED).write(sys.argv[1], sys.argv[1].rsplit("/", 1)[1])' "$work/csv/national/$((30 + n)).csv"
    rm "$work/csv/national/$((30 + n)).csv"
done

# The 23 wards of Tokyo and five cities west of them, each a disc of blocks
# around its own centre, for a map of more municipalities than the palette has
# colours.
awk 'BEGIN {
    srand(11);
    n = split("千代田区 35.694 139.754 中央区 35.671 139.774 港区 35.655 139.746 " \
              "新宿区 35.694 139.703 文京区 35.712 139.750 台東区 35.713 139.782 " \
              "墨田区 35.711 139.806 江東区 35.668 139.817 品川区 35.609 139.730 " \
              "目黒区 35.637 139.695 大田区 35.566 139.716 世田谷区 35.646 139.650 " \
              "渋谷区 35.664 139.698 中野区 35.708 139.664 杉並区 35.700 139.630 " \
              "豊島区 35.730 139.714 北区 35.758 139.734 荒川区 35.738 139.783 " \
              "板橋区 35.765 139.690 練馬区 35.740 139.645 足立区 35.778 139.805 " \
              "葛飾区 35.748 139.850 江戸川区 35.700 139.868 武蔵野市 35.716 139.575 " \
              "三鷹市 35.683 139.560 調布市 35.652 139.545 狛江市 35.633 139.578 " \
              "西東京市 35.728 139.540", f, " ");
    for (i = 1; i <= n; i += 3)
        for (t = 1; t <= 5; t++)
            for (b = 1; b <= 300; b++) {
                r = 0.022 * sqrt(rand()); w = 2 * 3.14159 * rand();
                printf "東京都,%s,本町%d丁目,%d,9,-%d.5,%d.5,%.6f,%.6f,,1,%d\r\n",
                       f[i], t, b, 30000 + b, 10000 + t,
                       f[i + 1] + r * sin(w), f[i + 2] + 1.2 * r * cos(w), b == 1;
            }
}' | iconv -f UTF-8 -t CP932 > "$work/wards.csv"
"$build/mrk2cli" --db-dir "$work/db" register 東京区部 "$work/wards.csv"

mkdir -p docs/screenshots
xvfb-run -a -s "-screen 0 1280x800x24" \
    "$build/mrk2screenshots" "$work/db" "$work/csv" docs/screenshots
ls -l docs/screenshots
