#!/usr/bin/env bash
# Runs one command under a virtual display of its own (and a window manager, and a JACK dummy
# server when none runs), then stops what it started:
#   scripts/with-display.sh ctest --test-dir build/release -R Review
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
source "$root/scripts/headless.sh"
unset DISPLAY
trap qz_headless_stop EXIT
qz_headless_start >/dev/null || exit 1
qz_jack_running && export QZ_AUDIO_DEVICE_EXPECTED=1
"$@"
