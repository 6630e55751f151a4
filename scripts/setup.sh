#!/usr/bin/env bash
# Installs the Debian packages listed in scripts/debian-packages.txt that are not installed yet.
# Safe to run again and again: with everything present it only checks and returns.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
list="$here/debian-packages.txt"

wanted=()
while IFS= read -r line; do
    line="${line%%#*}"
    line="$(echo "$line" | xargs)"
    [ -n "$line" ] && wanted+=("$line")
done < "$list"

missing=()
for pkg in "${wanted[@]}"; do
    status="$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)"
    [ "$status" = "installed" ] || missing+=("$pkg")
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

if ! command -v apt-get >/dev/null 2>&1; then
    echo "setup: these packages are missing and apt-get is not available: ${missing[*]}" >&2
    exit 1
fi

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then
        as_root=(sudo)
    else
        echo "setup: need root (or sudo) to install: ${missing[*]}" >&2
        exit 1
    fi
fi

echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
