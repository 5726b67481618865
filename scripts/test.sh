#!/usr/bin/env bash
# Builds everything, then runs every test through CTest without a display.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

status=0
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j2 --timeout 300 || status=$?
exit "$status"
