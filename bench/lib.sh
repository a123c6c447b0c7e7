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
