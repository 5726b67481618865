#!/usr/bin/env bash
# Builds everything, then runs every test through CTest without a display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# A throwaway database server for the tests that run on a server too; it is
# stopped whatever the outcome. Without one those tests say they are skipped.
pgdir=$(mktemp -d /tmp/velinor-pg.XXXXXX)
trap 'bash scripts/pgcluster.sh stop "$pgdir"; rm -rf "$pgdir"' EXIT
if uri=$(bash scripts/pgcluster.sh start "$pgdir"); then
    export VELINOR_TEST_SERVER="$uri"
    echo "test: database server for the *_server tests at $uri"
else
    echo "test: NO database server could be started; the *_server tests are skipped" >&2
fi

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2 --timeout 300 || status=$?
exit "$status"
