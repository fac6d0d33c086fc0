#!/usr/bin/env bash
# Renders the SVG drawings in resources/icons to the PNG files the program embeds. The PNGs are
# committed, so building needs no converter; run this after editing a drawing
# (needs rsvg-convert, Debian package librsvg2-bin).
set -euo pipefail
icons="$(cd "$(dirname "${BASH_SOURCE[0]}")/../resources/icons" && pwd)"

# Toolbar glyphs are shown about 13 pixels high inside 29 x 25 buttons: twice that keeps them
# sharp when the framework scales them down. Badge pictures are drawn at their own 64 x 64 size.
toolbar=(menu join undo redo delete merge autoSplit note toStart previous sentenceStart play next toEnd pause effect)
badges=(inormal isentenceLoop icourseLoop ibothLoop)

for name in "${toolbar[@]}"; do
    rsvg-convert -w 26 -h 26 "$icons/$name.svg" -o "$icons/$name.png"
done
for name in "${badges[@]}"; do
    rsvg-convert -w 64 -h 64 "$icons/$name.svg" -o "$icons/$name.png"
done
