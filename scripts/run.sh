#!/usr/bin/env bash
# Builds the program, creates a demo database on first use, and starts it in
# demo/ (it opens db1.mdb in its working directory).
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

if [[ ! -e demo/db1.mdb ]]; then
    mkdir -p demo
    build/tools/velinor-initdb --demo demo/db1.mdb
fi

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "run: there is no display (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
    echo "run: start it inside a virtual display:  xvfb-run -a bash scripts/run.sh" >&2
    echo "run: or set DISPLAY to a running X server and try again." >&2
    exit 1
fi

echo "run: demo login: admin / velinor"
cd demo
exec ../build/velinor "$@"
