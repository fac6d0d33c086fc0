#!/usr/bin/env bash
# The preferences as a learner uses them: Ctrl+comma opens the window, a colour picked in the
# pages' background swatch recolours the pages at once, Cancel brings the old colour back and
# leaves the settings file as it was, the language switched to English is stored by OK, and
# closing with an unsaved edit asks whether to save. Read back from screenshots and the settings
# file.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home
settings="$HOME/Documents/qz/library/system.dat"

# One stored setting: the file is the framework's compressed properties (a magic number, then a
# zlib stream of the count and the key and value texts, each ended by a zero byte).
stored() {
    local key value
    tail -c +5 "$settings" | pigz -dz 2>/dev/null | tail -c +5 | {
        while IFS= read -r -d '' key && IFS= read -r -d '' value; do
            [ "$key" = "$1" ] && { printf '%s' "$value"; return 0; }
        done
    }
}

# Waits up to 10 s for the pixel at $1,$2 to match the regular expression $3.
wait_pixel() {
    local i
    for (( i = 0; i < 100; i++ )); do [[ "$(qz_pixel "$1" "$2")" =~ $3 ]] && return 0; sleep 0.1; done
    return 1
}

# Presses Ctrl+comma until the preferences window (615 x 460, no title) shows; sets PX, PY.
open_preferences() {
    local attempt i id=""
    for (( attempt = 0; attempt < 3; attempt++ )); do
        [ -n "$id" ] && break
        xdotool windowactivate --sync "$main_window" >/dev/null 2>&1
        sleep 0.5
        # Typed as real keys into the active window: keys sent to a window directly leave the
        # framework believing Ctrl is still held once another window has the focus.
        xdotool key ctrl+comma
        for (( i = 0; i < 50; i++ )); do id="$(qz_window_sized 615x460)" && break; sleep 0.1; done
    done
    [ -n "$id" ] || qz_fail "Ctrl+comma opened no preferences window"
    # Where the window manager has put it, once it has.
    sleep 1
    qz_locate "$id"
    PX=$X PY=$Y PREFS=$id
}

click_in_preferences() {
    xdotool mousemove "$((PX + $1))" "$((PY + $2))" click 1
}

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_locate "$main_window"
# A point of the pages area, which shows its background while no course is open.
pages_x=$((X + 200)) pages_y=$((Y + 400))
# And one beside the pages' scroll bar, where the same background shows.
edge_x=$((X + WIDTH - 8)) edge_y=$((Y + HEIGHT * 7 / 10))
wait_pixel "$pages_x" "$pages_y" ^333333$ || qz_fail "the pages area reads $(qz_pixel "$pages_x" "$pages_y") at the start"
# The first start writes the settings file a few seconds after it began.
for (( i = 0; i < 100; i++ )); do [ -s "$settings" ] && break; sleep 0.1; done
[ -s "$settings" ] || qz_fail "no settings file was written"
sleep 1
before="$(md5sum < "$settings")"

open_preferences
qz_screenshot qz-preferences-opened
# Two turns of the wheel bring the pages' background row (15) into view, 88 px further up.
xdotool mousemove "$((PX + 200))" "$((PY + 200))"
xdotool click 5
sleep 0.3
xdotool click 5
swatch_y=$((8 + 30 * 15 - 88 + 12))
wait_pixel "$((PX + 440))" "$((PY + swatch_y))" ^333333$ \
    || { qz_screenshot qz-preferences-scrolled; qz_fail "no dark swatch where the pages' background row should be"; }
click_in_preferences 440 "$swatch_y"

# The colour selector's call-out box: 450 x 480 inside a border on every side.
for (( i = 0; i < 50; i++ )); do
    callout=""
    for id in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
        read -r w h < <(xdotool getwindowgeometry "$id" | awk '/Geometry/ {split($2, a, "x"); print a[1], a[2]}')
        if [ "$w" -gt 450 ] && [ "$w" -lt 530 ] && [ "$((h - w))" -eq 30 ]; then callout=$id; fi
    done
    [ -n "$callout" ] && break
    sleep 0.1
done
[ -n "$callout" ] || { qz_screenshot qz-no-callout; qz_fail "the swatch opened no colour selector"; }
qz_locate "$callout"
border=$(((WIDTH - 450) / 2))
# Near the top right of the colour space: full saturation and brightness of red, its hue.
xdotool mousemove "$((X + border + 385))" "$((Y + border + 45))" click 1
wait_pixel "$pages_x" "$pages_y" '^f[0-9a-f]0[0-9a-f]0[0-9a-f]$' \
    || { qz_screenshot qz-pages-not-red; qz_fail "the pages area reads $(qz_pixel "$pages_x" "$pages_y") after picking red"; }
qz_screenshot qz-preferences-pages-red

# A click back in the window closes the call-out; Cancel brings the stored colour back.
click_in_preferences 250 440
sleep 0.5
click_in_preferences $((404 + 35)) $((430 + 12))
wait_pixel "$pages_x" "$pages_y" ^333333$ || qz_fail "Cancel left the pages area at $(qz_pixel "$pages_x" "$pages_y")"
[[ "$(qz_pixel "$edge_x" "$edge_y")" =~ ^f[0-9a-f]0[0-9a-f]0[0-9a-f]$ ]] \
    && { qz_screenshot qz-red-left; qz_fail "Cancel left red beside the pages' scroll bar"; }
sleep 1
[ "$(md5sum < "$settings")" = "$before" ] || qz_fail "Cancel changed the settings file"
qz_window_sized 615x460 >/dev/null && qz_fail "Cancel left the window open"

# English, kept with OK. The panel is still scrolled down as it was left.
open_preferences
xdotool mousemove "$((PX + 200))" "$((PY + 200))"
xdotool click 4 click 4 click 4
sleep 0.5
click_in_preferences 440 50
sleep 0.8
xdotool key Up Return
sleep 1
xdotool key Escape
sleep 0.5
qz_screenshot qz-preferences-english
click_in_preferences $((333 + 35)) $((430 + 12))
for (( i = 0; i < 50; i++ )); do [ "$(stored Language)" = 1 ] && break; sleep 0.1; done
[ "$(stored Language)" = 1 ] || qz_fail "OK stored the language as \"$(stored Language)\""

# An unsaved edit (Simplified Chinese again), then the close box: the question comes, in English.
open_preferences
click_in_preferences 440 50
sleep 0.8
xdotool key Down Return
sleep 1
xdotool key Escape
sleep 0.5
qz_screenshot qz-preferences-chinese-again
qz_click_close_button "$PREFS"
question="$(qz_wait_titled 10 "Confirm" "确认")" || { qz_screenshot qz-no-question; qz_fail "closing with an edit asked nothing"; }
qz_screenshot qz-preferences-question
# Its two buttons sit side by side at the middle of its bottom edge; "Discard" is the right one.
qz_locate "$question"
xdotool mousemove "$((X + WIDTH / 2 + 36))" "$((Y + HEIGHT - 22))" click 1
for (( i = 0; i < 50; i++ )); do qz_window_sized 615x460 >/dev/null || break; sleep 0.1; done
qz_window_sized 615x460 >/dev/null && { qz_screenshot qz-discard-left; qz_fail "Discard left the window open"; }
[ "$(stored Language)" = 1 ] || qz_fail "Discard stored the language as \"$(stored Language)\""

qz_quit "$main_window"
echo "PASS"
