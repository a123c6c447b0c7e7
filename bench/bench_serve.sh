#!/usr/bin/env bash
# The server over a region of about 1,000,000 houses (write_abr_million in
# lib.sh), against `mrk2cli lookup` on the same addresses, in the same run:
# - GET /geocode: `wrk -t2 -c16` for SECONDS (default 10) cycling through 10,000
#   house addresses, against the rate of `lookup 東京 -` on those 10,000 (best of
#   N). Targets: >= 8,000 requests/s, p99 <= 10 ms, not below the lookup rate.
# - POST /geocode with 100,000 addresses (curl, best of N), against `lookup 東京 -`
#   on them; the server's peak resident memory (VmHWM) after it, on a server
#   started for it. Targets: <= 1.2 x the lookup time, <= 100 MB.
# Loopback only; every run is bounded in time.
#
# Usage: bench/bench_serve.sh [BUILD_DIR] [--repeat N] [--seconds N]
set -euo pipefail
cd "$(dirname "$0")/.."
source bench/lib.sh
seconds=10
args=()
while (($#)); do
    if [[ $1 == --seconds ]]; then seconds=$2; shift 2; else args+=("$1"); shift; fi
done
read_build_and_repeat "${args[@]}"
work=$(mktemp -d)
server=""
trap '[[ -n $server ]] && kill "$server" 2>/dev/null; rm -rf "$work"' EXIT
mkdir -p "$work/db"
write_abr_million 10 100000
mv "$work/addresses.txt" "$work/batch.txt"
awk 'NR % 10 == 0' "$work/batch.txt" >"$work/addresses.txt"
python3 -c '
import sys, urllib.parse
for line in open(sys.argv[1], encoding="utf-8"):
    print("/geocode?region=" + urllib.parse.quote("東京") + "&address=" + urllib.parse.quote(line.strip()))
' "$work/addresses.txt" >"$work/paths.txt"

printf '[MRK]\nDBDIR=%s/db\n' "$work" >"$work/mrk2tool.ini"
cli_run() { "$cli" --ini "$work/mrk2tool.ini" --quiet "$@"; }
cli_run init "$work/db" >/dev/null
cli_run register 東京 "$work/mt_rsdtdsp_rsdt_bench.csv" "$work/mt_rsdtdsp_rsdt_pos_bench.csv" >/dev/null
rows=$(cli_run check 東京 | sed -n 's/^行: //p')

seconds_of() {  # INPUT COMMAND... : wall seconds, best of $repeat
    local input=$1 best="" s e t r
    shift
    for ((r = 1; r <= repeat; r++)); do
        s=$(date +%s.%N)
        "$@" <"$input" >/dev/null || true
        e=$(date +%s.%N)
        t=$(awk -v a="$s" -v b="$e" 'BEGIN { printf "%.3f", b - a }')
        [[ -z $best ]] || awk -v t="$t" -v b="$best" 'BEGIN { exit !(t < b) }' && best=$t
    done
    echo "$best"
}
start_server() {
    "$cli" --ini "$work/mrk2tool.ini" serve --port 0 >"$work/serve.out" &
    server=$!
    for ((i = 0; i < 100; i++)); do
        url=$(grep -o 'http://[^ ]*/' "$work/serve.out" || true)
        [[ -n $url ]] && return
        sleep 0.1
    done
    echo "the server did not start" >&2
    exit 1
}
stop_server() {
    kill -TERM "$server"
    wait "$server" || true
    server=""
}

lookup10k=$(seconds_of "$work/addresses.txt" cli_run lookup 東京 -)
lookup100k=$(seconds_of "$work/batch.txt" cli_run lookup 東京 -)

start_server
# Answers first: every sampled address at 住居, as lookup answers it.
houses=$(head -200 "$work/paths.txt" | while read -r p; do curl -s "${url%/}$p"; echo; done |
    grep -c '"一致レベル":"住居"' || true)
cat >"$work/cycle.lua" <<'LUA'
local paths = {}
for line in io.lines(os.getenv("PATHS")) do paths[#paths + 1] = line end
local i = math.random(#paths)
request = function()
    i = i % #paths + 1
    return wrk.format("GET", paths[i])
end
LUA
PATHS="$work/paths.txt" timeout $((seconds + 30)) wrk -t2 -c16 -d"${seconds}s" --latency \
    -s "$work/cycle.lua" "$url" >"$work/wrk.txt"
stop_server
rps=$(awk '/^Requests\/sec:/ { print $2 }' "$work/wrk.txt")
p99=$(awk '$1 == "99%" { print $2 }' "$work/wrk.txt")
errors=$(grep -E 'Non-2xx|Socket errors' "$work/wrk.txt" || true)

start_server
post() { curl -s --max-time 300 --data-binary @"$work/batch.txt" -o "$work/posted.ndjson" "${url}geocode?region=%E6%9D%B1%E4%BA%AC"; }
post100k=$(seconds_of /dev/null post)
hwm=$(awk '/^VmHWM:/ { print $2 }' "/proc/$server/status")
stop_server
answered=$(wc -l <"$work/posted.ndjson")

echo "region: $rows houses; load average $(cut -d' ' -f1-3 /proc/loadavg) at the end"
echo "lookup 東京 - of 10000 addresses: ${lookup10k}s ($(awk -v t="$lookup10k" 'BEGIN { printf "%.0f", 10000 / t }') addresses/s; best of $repeat)"
echo "GET /geocode, wrk -t2 -c16 ${seconds}s: $rps requests/s, p99 $p99 (targets >= 8000/s, <= 10 ms); $houses of 200 sampled at 住居 ${errors:+; $errors}"
echo "lookup 東京 - of 100000 addresses: ${lookup100k}s (best of $repeat)"
echo "POST /geocode of 100000 addresses: ${post100k}s, $answered answers; ratio $(ratio "$post100k" "$lookup100k") (target <= 1.2)"
echo "server peak resident memory: $((hwm / 1024)) MB (target <= 100 MB)"
