#!/usr/bin/env bash
# Fetches the basic-pitch note-transcription network (Spotify, Apache-2.0) used by the listener's
# second detector: its graph (model.json), its weights (the .bin shard) and its licence, from the
# npm package pinned below. They are kept out of the tracked files, in .cache/basic-pitch-<version>/,
# where src/listen/basic_pitch.cmake points the build. Returns at once when they are already there.
set -euo pipefail

basic_pitch_version="1.0.1"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
target="$here/../.cache/basic-pitch-$basic_pitch_version"

if [ -f "$target/model.json" ] && [ -f "$target/group1-shard1of1.bin" ] && [ -f "$target/LICENSE" ]; then
    exit 0
fi

if ! command -v npm >/dev/null 2>&1; then
    echo "fetch-basic-pitch: npm is needed (scripts/setup.sh installs it)" >&2
    exit 1
fi

echo "fetch-basic-pitch: fetching the basic-pitch model $basic_pitch_version"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(cd "$work" && npm pack --silent "@spotify/basic-pitch@$basic_pitch_version" >/dev/null)
tar -xzf "$work/spotify-basic-pitch-$basic_pitch_version.tgz" -C "$work" \
    package/LICENSE package/model/model.json package/model/group1-shard1of1.bin
mkdir -p "$target.partial"
cp "$work/package/model/model.json" "$work/package/model/group1-shard1of1.bin" \
    "$work/package/LICENSE" "$target.partial/"
rm -rf "$target"
mv "$target.partial" "$target"
