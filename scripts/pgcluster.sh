#!/usr/bin/env bash
# A throwaway PostgreSQL server for the tests:
#   pgcluster.sh start DIR   initdb in DIR, start on 127.0.0.1 and a socket in
#                            DIR, print the URI of its maintenance database
#   pgcluster.sh stop DIR    stop it (nothing happens when it is not running)
# The server never runs as root: under root it runs as the user nobody.
set -euo pipefail

bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1 || true)
if [[ -z "$bin" || ! -x "$bin/initdb" ]]; then
    echo "pgcluster: no PostgreSQL server installed (postgresql-15)" >&2
    exit 1
fi

as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u nobody -- "$@"
    else
        "$@"
    fi
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' \
        2>/dev/null || echo $((20000 + RANDOM % 20000))
}

cmd=${1:-}
dir=${2:-}
[[ -n "$cmd" && -n "$dir" ]] || { echo "usage: pgcluster.sh start|stop DIR" >&2; exit 2; }

case "$cmd" in
start)
    mkdir -p "$dir"
    [[ $(id -u) -eq 0 ]] && chown nobody "$dir" && chmod 700 "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U velinor -A trust -E UTF8 --locale=C.UTF-8 \
        --no-sync >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; exit 1; }
    port=$(free_port)
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 \
        -o "-c listen_addresses=127.0.0.1 -p $port -k $dir -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200" \
        start >/dev/null || { cat "$dir/server.log" >&2; exit 1; }
    echo "postgresql://velinor@127.0.0.1:$port/postgres"
    ;;
stop)
    if [[ -f "$dir/data/postmaster.pid" ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
    fi
    ;;
*)
    echo "usage: pgcluster.sh start|stop DIR" >&2
    exit 2
    ;;
esac
