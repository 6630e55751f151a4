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

install_missing_packages() {
if [ ${#missing[@]} -eq 0 ]; then
    return 0
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
}
install_missing_packages

# The music font (Bravura, SIL Open Font License) with its SMuFL metadata, from the npm package
# pinned below. It is kept out of the tracked files, in .cache/, and compiled into the resources
# at build time.
if ! command -v npm >/dev/null 2>&1; then
    missing=(npm)
    install_missing_packages
fi
bravura_version="1.0.2"
bravura_dir="$here/../.cache/bravura-$bravura_version"
if [ ! -f "$bravura_dir/bravura.otf" ] || [ ! -f "$bravura_dir/metadata.json" ] || [ ! -f "$bravura_dir/LICENSE.txt" ]; then
    echo "setup: fetching the Bravura font $bravura_version"
    work="$(mktemp -d)"
    trap 'rm -rf "$work"' EXIT
    (cd "$work" && npm pack --silent "@vexflow-fonts/bravura@$bravura_version" >/dev/null)
    tar -xzf "$work"/vexflow-fonts-bravura-"$bravura_version".tgz -C "$work"
    mkdir -p "$bravura_dir"
    cp "$work/package/bravura.otf" "$work/package/metadata.json" "$work/package/LICENSE.txt" "$bravura_dir/"
fi

# The basic-pitch note-transcription network, which the listener's benchmark weighs against the
# program's own detector: fetched the same way into .cache/.
bash "$here/fetch-basic-pitch.sh"
