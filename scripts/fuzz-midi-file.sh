#!/usr/bin/env bash
# Fuzzes the MIDI file check, libsmf's loader and the MIDI file reader (libFuzzer, clang).
#   scripts/fuzz-midi-file.sh [SECONDS]   (default 600)
# Seeds: the compiled tempo pieces of ./build and the kept cases. Inputs that crash are written
# as hex text to tests/data/midi_fuzz_cases/, which a regular test replays; so is a minimised
# set of the corpus that reaches new code, for the same test.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seconds="${1:-600}"
work="build-fuzz"
cases="tests/data/midi_fuzz_cases"
mkdir -p "$work/corpus" "$work/seeds" "$work/crashes" "$work/kept"

clang++ -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    -I src $(pkg-config --cflags Qt5Core smf) -fPIC \
    tests/fuzz/midi_file_fuzzer.cpp src/core/midi/midi_file_validator.cpp src/core/midi/midi_file.cpp \
    src/core/midi/midi_message.cpp src/core/midi/midi_stream.cpp src/core/error.cpp \
    $(pkg-config --libs Qt5Core smf) -o "$work/midi_file_fuzzer"

for mid in build/resources/midi/midi/*.mid; do
    [ -f "$mid" ] && cp "$mid" "$work/seeds/$(sha1sum "$mid" | cut -c1-16)"
done
for hex in "$cases"/*.hex; do
    [ -f "$hex" ] && xxd -r -p "$hex" > "$work/seeds/$(basename "$hex" .hex)"
done

export ASAN_OPTIONS=detect_leaks=0
status=0
nice -n 10 "$work/midi_file_fuzzer" -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$work/crashes/" -print_final_stats=1 "$work/corpus" "$work/seeds" || status=$?

# Keep what crashed, and a minimised corpus, as readable hex.
rm -rf "$work/kept" && mkdir -p "$work/kept"
"$work/midi_file_fuzzer" -merge=1 "$work/kept" "$work/corpus" > /dev/null 2>&1 || true
for input in "$work"/crashes/* "$work"/kept/*; do
    [ -f "$input" ] || continue
    name="$(basename "$input")"
    case "$name" in crash-*|leak-*|timeout-*|oom-*) prefix="crash" ;; *) prefix="case" ;; esac
    xxd -p "$input" > "$cases/$prefix-$(sha1sum "$input" | cut -c1-16).hex"
done
exit $status
