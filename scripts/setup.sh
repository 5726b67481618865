#!/usr/bin/env bash
# Installs the Debian packages the build needs (only those missing), then
# configures and builds into build/. Safe to run again: nothing is redone
# that is already in place.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake g++ make pkg-config qt6-base-dev libgl-dev libsqlite3-dev libsodium-dev
          xvfb xauth fonts-dejavu-core fonts-liberation poppler-utils locales libxml2-utils)
# The PostgreSQL engine (libpq) and a server for its tests.
packages+=(libpq-dev postgresql-15)
# Qt's own dialogs in the user's language (qtbase_it.qm and the others).
packages+=(qt6-translations-l10n)
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

# The program is meant to run under an Italian locale: generate it if missing.
if ! locale -a 2>/dev/null | grep -qix 'it_IT.utf8'; then
    if [[ $(id -u) -eq 0 ]]; then
        echo "setup: generating the it_IT.UTF-8 locale"
        sed -i 's/^# *\(it_IT.UTF-8 UTF-8\)/\1/' /etc/locale.gen
        grep -qx 'it_IT.UTF-8 UTF-8' /etc/locale.gen || echo 'it_IT.UTF-8 UTF-8' >>/etc/locale.gen
        locale-gen >/dev/null
    else
        echo "setup: the it_IT.UTF-8 locale is missing; as root, enable it in /etc/locale.gen" \
             "and run locale-gen" >&2
    fi
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
