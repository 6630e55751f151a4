#!/usr/bin/env bash
# Starts the built program. Without a desktop session (no DISPLAY, no WAYLAND_DISPLAY, no platform
# chosen) it runs inside a virtual X server so that the program still comes up.
set -euo pipefail
program="$1"; shift
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "run: no desktop session found; starting Cantorela inside a virtual X server (xvfb-run)"
    exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
