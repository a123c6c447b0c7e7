# Shared by the benchmark scripts (sourced, not run).

# Writes WORK/mrk2tool.ini for MLIT's 14-column block files (one header line; the
# mesh code is not in them), with the databases in WORK/db.
write_block_ini() {  # WORK
    cat >"$1/mrk2tool.ini" <<INI
[MRK]
DBDIR=$1/db
POSINFOFIELDNO=0,1,2,4,5,6,7,8,9,99,10,11
POSINFOSTART=2
MINRECS=1000
INI
}

# What the whole-run scripts share; they set $cli and $work first.
# A run's messages go to a log, shown when it fails.
run() { "$cli" --ini "$work/mrk2tool.ini" --quiet "$@" >/dev/null 2>"$work/stderr.txt" || fail; }
fail() { cat "$work/stderr.txt" >&2; exit 1; }

# Seconds, peak resident KiB and CPU seconds (user + system) of one command:
# "S KIB CPU". On a shared machine the CPU time is the steadier figure.
timed() {
    /usr/bin/time -f "%e %M %U %S" -o "$work/time.txt" "$@" >/dev/null 2>"$work/stderr.txt" || fail
    awk '{ printf "%s %s %.2f\n", $1, $2, $3 + $4 }' "$work/time.txt"
}
region() { timed "$cli" --ini "$work/mrk2tool.ini" --quiet "$@"; }
best() { printf '%s\n' "$@" | sort -n | head -1; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", a / b }'; }

# The two arguments most scripts take: [BUILD_DIR] [--repeat N]. Sets build,
# repeat and cli.
read_build_and_repeat() {
    build=build/release repeat=3
    while (($#)); do
        case $1 in
            --repeat) repeat=$2; shift ;;
            *) build=$1 ;;
        esac
        shift
    done
    cli=$(realpath "$build/mrk2cli")
}

# A region of about 1,000,000 houses, as bench_abr_lookup.sh and bench_serve.sh use
# it: the houses of 文京区 from the registry sample, copied under the codes of 34
# municipalities of 東京都 (names from the municipality master), in
# $work/mt_rsdtdsp_rsdt_bench.csv and its _pos partner; every STEP-th house
# (default 100) up to COUNT (default 10,000) as the address
# "市区町村 町 N番M号" in $work/addresses.txt.
write_abr_million() {  # [STEP] [COUNT]
    local step=${1:-100} count=${2:-10000}
    unzip -p data/abr/mt_rsdtdsp_rsdt_pref13.csv.zip >"$work/one.csv"
    unzip -p data/abr/mt_rsdtdsp_rsdt_pos_pref13.csv.zip >"$work/one_pos.csv"
    # Current municipalities of 東京都 (lg_code, name as MLIT writes it), in code order.
    unzip -p data/abr/mt_city_all.csv.zip |
        awk -F, '$1 ~ /^13/ && $15 == "" && n++ < 34 { print $1 "," $5 $8 $11 }' >"$work/munis.csv"
    # Both files keep their key order: the municipalities go in code order.
    local file
    for file in one one_pos; do
        local out="$work/mt_rsdtdsp_rsdt_bench.csv"
        [[ $file == one_pos ]] && out="$work/mt_rsdtdsp_rsdt_pos_bench.csv"
        head -1 "$work/$file.csv" >"$out"
        while IFS=, read -r code name; do
            tail -n +2 "$work/$file.csv" | awk -F, -v OFS=, -v c="$code" '{ $1 = c; print }'
        done <"$work/munis.csv" >>"$out"
    done
    # Municipality, oaza_cho, chome (１丁目), N番M号.
    awk -F, -v step="$step" -v count="$count" 'NR == FNR { name[$1] = $2; next }
             FNR > 1 && FNR % step == 0 && n++ < count {
                 print name[$1] $8 $9 $12 "番" $13 ($14 == "" ? "" : "-" $14) "号" }' \
        "$work/munis.csv" "$work/mt_rsdtdsp_rsdt_bench.csv" >"$work/addresses.txt"
}
