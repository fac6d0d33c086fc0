#!/usr/bin/env bash
# Makes the tip sound that the mobile audio files play before each unfamiliar sentence: a soft
# two-note chime (E6 falling to C6, a second long), synthesised with sox and encoded with oggenc.
# The Ogg file is committed, so building needs neither; run this after changing the sound.
set -euo pipefail
sounds="$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/sounds" && pwd)"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT

rate=44100
# One bell-like note: the fundamental and a quieter octave, struck softly and dying away.
note() {
    local name="$1" frequency="$2" seconds="$3" delay="$4"
    sox -D -n -r "$rate" -c 1 -b 16 "$scratch/$name-1.wav" synth "$seconds" sine "$frequency" \
        vol 0.5 fade h 0.012 "$seconds" "$(echo "$seconds - 0.02" | bc)"
    sox -D -n -r "$rate" -c 1 -b 16 "$scratch/$name-2.wav" synth "$seconds" sine "$(echo "$frequency * 2" | bc)" \
        vol 0.1 fade h 0.012 "$seconds" "$(echo "$seconds * 0.6" | bc)"
    sox -D -m "$scratch/$name-1.wav" "$scratch/$name-2.wav" "$scratch/$name.wav" pad "$delay"
}
note high 1318.51 0.55 0
note low 1046.50 0.72 0.28

sox -D -m "$scratch/high.wav" "$scratch/low.wav" "$scratch/chime.wav" trim 0 1.0 gain -n -4
# A fixed stream serial number keeps the file the same from run to run.
oggenc --quiet -q 4 --serial 402 -o "$sounds/tip.ogg" "$scratch/chime.wav"
