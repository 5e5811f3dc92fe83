#!/bin/bash
# The scale benchmark: JD Edwards-shaped schemas on the PostgreSQL and
# MariaDB servers (and SQLite files), kitvane-cli against the least ODBC work
# each case needs (kvbench_floor), direct and through a delay proxy that adds
# a round trip. Every time is the median of RUNS runs; ratios come from one
# run of this script, on a machine that may be busy with other work.
#
#   bench/run.sh [setup|measure|drop|all] [BUILD_DIR]     (default: all build)
#
# Environment: TABLES (5000), COLUMNS (30), ALIASES (100000), RTT_US (1000),
# RUNS (3), ENGINES ("postgresql mariadb"), KITVANE_PG_PORT (55432),
# KITVANE_MARIADB_PORT (53306), PROXY_BASE (47000). Databases, schemas and
# the MariaDB login are named kvbench_*; "drop" (and "all", at its end)
# removes them.
set -euo pipefail

step=${1:-all}
build=$(cd "${2:-build}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
tables=${TABLES:-5000}
columns=${COLUMNS:-30}
aliases=${ALIASES:-100000}
rtt_us=${RTT_US:-1000}
runs=${RUNS:-3}
engines=${ENGINES:-postgresql mariadb}
pg_port=${KITVANE_PG_PORT:-55432}
my_port=${KITVANE_MARIADB_PORT:-53306}
proxy_base=${PROXY_BASE:-47000}
password=kitvane
state=${KVBENCH_STATE:-/tmp/kvbench-state}
mkdir -p "$state"
cli=$build/cli/kitvane-cli
floor=$build/bench/kvbench_floor
proxy=$build/bench/kvbench_delayproxy
drivers=/usr/lib/x86_64-linux-gnu/odbc

psql_admin() { PGPASSWORD=$password psql -h 127.0.0.1 -p "$pg_port" -U kitvane -qAt -v ON_ERROR_STOP=1 "$@"; }
my_admin() { mysql -h 127.0.0.1 -P "$my_port" -u kitvane -p"$password" "$@"; }

# The data sources: each side direct and through its proxy.
write_odbc_ini() {
    export ODBCSYSINI=$state ODBCINI=$state/odbc.ini
    cat > "$state/odbcinst.ini" <<INI
[PostgreSQL Unicode]
Driver=$drivers/psqlodbcw.so
[MariaDB Unicode]
Driver=$drivers/libmaodbc.so
[SQLite3]
Driver=$drivers/libsqlite3odbc.so
INI
    : > "$state/odbc.ini"
    local side port
    for side in left right; do
        for port in "$pg_port:" "$((proxy_base + 1)):_wan"; do
            printf '[kvbench_pg_%s%s]\nDriver=PostgreSQL Unicode\nServername=127.0.0.1\nPort=%s\nDatabase=kvbench_pg\nUsername=kitvane\nPassword=%s\n\n' \
                "$side" "${port#*:}" "${port%%:*}" "$password" >> "$state/odbc.ini"
        done
        for port in "$my_port:" "$((proxy_base + 2)):_wan"; do
            printf '[kvbench_my_%s%s]\nDriver=MariaDB Unicode\nServer=127.0.0.1\nPort=%s\nDatabase=kvbench_%s\nUser=kvbench_user\nPassword=%s\n\n' \
                "$side" "${port#*:}" "${port%%:*}" "$side" "$password" >> "$state/odbc.ini"
        done
        printf '[kvbench_sq_%s]\nDriver=SQLite3\nDatabase=%s/kvbench_%s.db\n\n' "$side" "$state" "$side" >> "$state/odbc.ini"
    done
}

setup() {
    local side
    for engine in $engines; do
        echo "setup $engine: 2 x $tables tables x $columns columns, 2 x $aliases aliases" >&2
        case $engine in
        postgresql)
            psql_admin -d postgres -c "CREATE DATABASE kvbench_pg"
            for side in left right; do
                python3 "$here/genschema.py" postgresql "kvbench_$side" "$side" "$tables" "$columns" "$aliases" \
                    | psql_admin -d kvbench_pg
            done
            psql_admin -d kvbench_pg -c "VACUUM ANALYZE" ;;
        mariadb)
            my_admin -e "CREATE USER kvbench_user@'%' IDENTIFIED BY '$password'; GRANT SELECT ON \`kvbench\\_%\`.* TO kvbench_user@'%'"
            for side in left right; do
                python3 "$here/genschema.py" mariadb "kvbench_$side" "$side" "$tables" "$columns" "$aliases" | my_admin
            done ;;
        sqlite)
            for side in left right; do
                rm -f "$state/kvbench_$side.db"
                python3 "$here/genschema.py" sqlite "" "$side" "$tables" "$columns" "$aliases" \
                    | sqlite3 "$state/kvbench_$side.db"
            done ;;
        esac
    done
}

drop() {
    psql_admin -d postgres -c "DROP DATABASE IF EXISTS kvbench_pg WITH (FORCE)" || true
    my_admin -e "DROP DATABASE IF EXISTS kvbench_left; DROP DATABASE IF EXISTS kvbench_right; DROP USER IF EXISTS kvbench_user@'%'" || true
    rm -f "$state"/kvbench_*.db
}

# Median wall time (s) of RUNS runs of a command, and its largest peak RSS (MB).
measure_cmd() {
    local times=() peak=0 i line
    for ((i = 0; i < runs; ++i)); do
        if ! /usr/bin/time -f "%e %M" -o "$state/time" "$@" > "$state/out" 2> "$state/err"; then
            echo "FAILED: $*" >&2
            cat "$state/err" >&2
            echo "nan 0"
            return
        fi
        line=$(tail -n 1 "$state/time")
        times+=("${line% *}")
        [ "${line#* }" -gt "$peak" ] && peak=${line#* }
    done
    printf '%s %d\n' "$(printf '%s\n' "${times[@]}" | sort -g | sed -n "$(((runs + 1) / 2))p")" $((peak / 1024))
}

report() {   # case, product command..., "--floor", floor command...
    local name=$1; shift
    local product=() floorcmd=()
    while [ "$1" != "--floor" ]; do product+=("$1"); shift; done
    shift
    floorcmd=("$@")
    local p f
    p=$(measure_cmd "${product[@]}")
    f=$(measure_cmd "${floorcmd[@]}")
    awk -v n="$name" -v p="${p% *}" -v m="${p#* }" -v f="${f% *}" \
        'BEGIN { printf "%-44s %8.2f s %8.2f s %7.2fx %6d MB\n", n, p, f, (f > 0 ? p / f : 0), m }'
}

pg_dump_diff() {   # port
    PGPASSWORD=$password pg_dump -h 127.0.0.1 -p "$1" -U kitvane -s -n kvbench_left kvbench_pg > "$state/left.sql"
    PGPASSWORD=$password pg_dump -h 127.0.0.1 -p "$1" -U kitvane -s -n kvbench_right kvbench_pg > "$state/right.sql"
    diff "$state/left.sql" "$state/right.sql" > /dev/null || true
}
export -f pg_dump_diff
export state password

measure() {
    write_odbc_ini
    "$proxy" $((proxy_base + 1)) "$pg_port" "$rtt_us" & local pg_proxy=$!
    "$proxy" $((proxy_base + 2)) "$my_port" "$rtt_us" & local my_proxy=$!
    trap 'kill $pg_proxy $my_proxy 2>/dev/null || true' RETURN
    sleep 0.3
    echo "# $(date -u '+%F %T') UTC; load average: $(cut -d' ' -f1-3 /proc/loadavg); $(nproc) cores"
    echo "# 2 x $tables tables x $columns columns, 2 x $aliases aliases; added round trip ${rtt_us} us; median of $runs"
    printf '%-44s %10s %10s %8s %9s\n' "case" "kitvane" "floor" "ratio" "peak"
    local engine key tag wan
    for engine in $engines; do
        case $engine in
        postgresql) tag=pg; key() { echo "kvbench_pg.kvbench_$1"; } ;;
        mariadb) tag=my; key() { echo "kvbench_$1."; } ;;
        sqlite) tag=sq; key() { echo "."; } ;;   # the tools offer it as ".main" (F98611)
        esac
        for wan in "" _wan; do
            [ "$engine" = sqlite ] && [ -n "$wan" ] && continue
            local catalog_l catalog_r schema_l schema_r
            case $engine in
            postgresql) catalog_l=kvbench_pg; catalog_r=kvbench_pg; schema_l=kvbench_left; schema_r=kvbench_right ;;
            mariadb) catalog_l=kvbench_left; catalog_r=kvbench_right; schema_l=""; schema_r="" ;;
            sqlite) catalog_l=""; catalog_r=""; schema_l=""; schema_r="" ;;
            esac
            report "$engine compare-tables${wan:+ +${rtt_us}us}" \
                "$cli" compare-tables --left "kvbench_${tag}_left$wan" --left-schema "$(key left)" \
                --right "kvbench_${tag}_right$wan" --right-schema "$(key right)" --sql-types --lang en \
                --floor "$floor" columns "kvbench_${tag}_left$wan" "$catalog_l" "$schema_l" \
                "kvbench_${tag}_right$wan" "$catalog_r" "$schema_r"
            if [ "$engine" = postgresql ]; then
                local port=$pg_port
                [ -n "$wan" ] && port=$((proxy_base + 1))
                report "  pg_dump -s of both schemas + diff${wan:+ +${rtt_us}us}" \
                    "$cli" compare-tables --left "kvbench_${tag}_left$wan" --left-schema "$(key left)" \
                    --right "kvbench_${tag}_right$wan" --right-schema "$(key right)" --sql-types --lang en \
                    --floor bash -c "pg_dump_diff $port"
            fi
        done
        local qual_l=$schema_l.
        [ "$engine" = mariadb ] && qual_l=$catalog_l.
        [ "$engine" = sqlite ] && qual_l=""
        local qual_r=$schema_r.
        [ "$engine" = mariadb ] && qual_r=$catalog_r.
        [ "$engine" = sqlite ] && qual_r=""
        echo "SELECT FRDTAI, FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC FROM ${qual_l}F9210 ORDER BY FRDTAI" > "$state/scan_left.sql"
        echo "SELECT FRDTAI, FRDTAT, FRDTAS, FROWTP, FRDTAD, FRCDEC FROM ${qual_r}F9210 ORDER BY FRDTAI" > "$state/scan_right.sql"
        report "$engine compare-dd" \
            "$cli" compare-dd --left "kvbench_${tag}_left" --left-schema "$(key left)" \
            --right "kvbench_${tag}_right" --right-schema "$(key right)" --lang en \
            --floor "$floor" exec "kvbench_${tag}_left" "$state/scan_left.sql" "kvbench_${tag}_right" "$state/scan_right.sql"
        : > "$state/stats.sql"
        local i prefix letters=({A..Z})
        for ((i = 1; i <= tables; ++i)); do
            (( i % 1000 == 7 )) && continue   # the left side lacks these (genschema.py)
            prefix=${letters[i % 26]}${letters[(i / 26) % 26]}
            printf 'SELECT COUNT(*) FROM %sF55%05d\nSELECT MAX(%sUPMJ) FROM %sF55%05d\n' "$qual_l" "$i" "$prefix" "$qual_l" "$i"
        done >> "$state/stats.sql"
        local tools_key
        tools_key=$(key left)
        [ "$engine" = sqlite ] && tools_key=.main
        report "$engine table-stats --date upmj" \
            "$cli" table-stats --dsn "kvbench_${tag}_left" --schema "$tools_key" --date upmj \
            --output "$state/stats.txt" --yes --lang en \
            --floor "$floor" exec "kvbench_${tag}_left" "$state/stats.sql"
        local t
        t=$(measure_cmd "$cli" decimal-update --dsn "kvbench_${tag}_left" --schema "$tools_key" --class AMOUNT \
            --multiply --power 2 --output "$state/decimal.txt" --yes --lang en)
        printf '%-44s %8.2f s %10s %8s %6d MB\n' "$engine decimal-update --class" "${t% *}" "-" "-" "${t#* }"
    done
}

case $step in
setup) setup ;;
measure) measure ;;
drop) drop ;;
all) trap drop EXIT; setup; measure ;;
*) echo "usage: $0 [setup|measure|drop|all] [BUILD_DIR]" >&2; exit 2 ;;
esac
