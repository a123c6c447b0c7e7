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
