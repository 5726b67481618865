#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/. Safe to run again: nothing is redone
# that is already in place.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libsqlite3-dev libsodium-dev
          xvfb xauth fonts-dejavu-core fonts-liberation poppler-utils libxml2-utils)
# Building the .deb (cpack -G DEB) and checking it in the tests.
packages+=(dpkg-dev file desktop-file-utils)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
    if [[ $(id -u) -ne 0 ]]; then
        echo "setup: these Debian packages are missing: ${missing[*]}" >&2
        echo "setup: run this script as root, or install them with:" >&2
        echo "  sudo apt-get install ${missing[*]}" >&2
        exit 1
    fi
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Configure output goes to a log and is shown only when something is wrong.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
if ! cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$log" 2>&1; then
    cat "$log" >&2
    echo "setup: cmake configure failed" >&2
    exit 1
fi
cmake --build build -j2
