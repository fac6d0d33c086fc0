#!/usr/bin/env bash
# The colour selector of the preferences takes any number of adjustments while its box is open:
# clicks at two places of the colour space, a drag across it and a channel value typed with
# Return each recolour the swatch, and the box stays until Escape or a click outside it. Under
# the window manager a click that moves the keyboard focus re-activates a window the box blocks,
# which must not close the box. Every colour row of the panel's first screen is tried with real
# clicks; the swatch's colour is read back from screenshots.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# The selector's call-out box: 450 x 480 inside a border on every side.
callout() {
    local id w h
    for id in $(xdotool search --onlyvisible --pid "$QZ_PID" 2>/dev/null); do
        read -r w h < <(xdotool getwindowgeometry "$id" | awk '/Geometry/ {split($2, a, "x"); print a[1], a[2]}')
        if [ "$w" -gt 450 ] && [ "$w" -lt 530 ] && [ "$((h - w))" -eq 30 ]; then echo "$id"; return 0; fi
    done
    return 1
}

# The swatch of row $1 as the panel shows it unscrolled: rows are 30 px apart below an 8 px top.
swatch_y() { echo $((PY + 8 + 30 * $1 + 12)); }
swatch_colour() { qz_pixel "$((PX + 400))" "$(swatch_y "$1")"; }

# Waits up to 5 s for the swatch of row $1 to show another colour than $2; prints the new one.
wait_swatch_change() {
    local colour i
    for (( i = 0; i < 50; i++ )); do
        colour="$(swatch_colour "$1")"
        [ "$colour" != "$2" ] && { echo "$colour"; return 0; }
        sleep 0.1
    done
    return 1
}

# After an adjustment $2 of row $1, the box must still be open a moment later, and the swatch must
# show another colour than $3; sets COLOUR to the one it shows.
expect_adjusted() {
    local row="$1" what="$2" before="$3"
    COLOUR="$(wait_swatch_change "$row" "$before")" \
        || { qz_screenshot "qz-colour-unchanged-$row"; qz_fail "row $row: $what left the swatch at $before"; }
    sleep 0.5
    [ "$(callout)" = "$BOX" ] || { qz_screenshot "qz-colour-box-gone-$row"; qz_fail "row $row: $what closed the colour selector"; }
}

# Clicks at two points of the colour space (x and y of each, as for space_point), checking the
# swatch of row $1 after each.
click_twice() {
    local row="$1" before x y
    before="$(swatch_colour "$row")"
    read -r x y <<< "$(space_point "$2" "$3")"
    xdotool mousemove "$x" "$y" click 1
    expect_adjusted "$row" "a click in the colour space" "$before"
    read -r x y <<< "$(space_point "$4" "$5")"
    xdotool mousemove "$x" "$y" click 1
    expect_adjusted "$row" "a second click in the colour space" "$COLOUR"
}

# A point of the colour space, given inside the box's content (the selector), whose colour space
# spans about x 11 to 388 and y 45 to 307.
space_point() { echo "$((BX + $1)) $((BY + $2))"; }

open_box() {
    local row="$1" i
    # The learner's click into the window first, on the row's name: the window is then the active
    # one, from which the box's first click used to take the focus away.
    xdotool mousemove "$((PX + 100))" "$(swatch_y "$row")" click 1
    sleep 0.5
    xdotool mousemove "$((PX + 440))" "$(swatch_y "$row")" click 1
    for (( i = 0; i < 50; i++ )); do BOX="$(callout)" && break; sleep 0.1; done
    [ -n "$BOX" ] || { qz_screenshot "qz-colour-no-box-$row"; qz_fail "row $row: the swatch opened no colour selector"; }
    # Once the window manager has done with the new box.
    sleep 0.5
    qz_locate "$BOX"
    local border=$(((WIDTH - 450) / 2))
    BX=$((X + border)) BY=$((Y + border))
}

close_box_with_escape() {
    local i
    xdotool key Escape
    for (( i = 0; i < 50; i++ )); do callout >/dev/null || return 0; sleep 0.1; done
    qz_fail "row $1: Escape left the colour selector open"
}

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
prefs=""
for (( attempt = 0; attempt < 3 && ${#prefs} == 0; attempt++ )); do
    qz_activate "$main_window"
    sleep 0.5
    xdotool key ctrl+comma
    for (( i = 0; i < 50; i++ )); do prefs="$(qz_window_sized 615x460)" && break; sleep 0.1; done
done
[ -n "$prefs" ] || qz_fail "Ctrl+comma opened no preferences window"
sleep 1
qz_locate "$prefs"
PX=$X PY=$Y

# The status bar's background: two clicks, a drag and a typed red value, then Escape.
row=2
open_box $row
click_twice $row 300 80 120 250
# The drag's end, not its start, is what the swatch keeps.
read -r x y <<< "$(space_point 150 100)"
xdotool mousemove "$x" "$y" mousedown 1
before="$(swatch_colour $row)"
for step in 1 2 3 4 5; do
    xdotool mousemove "$((x + 40 * step))" "$((y + 20 * step))"
    sleep 0.05
done
xdotool mouseup 1
expect_adjusted $row "a drag in the colour space" "$before"
dragged="$COLOUR"
read -r x y <<< "$(space_point 350 200)"
xdotool mousemove "$x" "$y"
sleep 0.3
[ "$(swatch_colour $row)" = "$dragged" ] || qz_fail "row $row: moving after the drag changed the swatch"
# The red channel's value box, below the colour space: a click edits it, Return applies it.
read -r x y <<< "$(space_point 130 324)"
xdotool mousemove "$x" "$y" click 1
sleep 0.5
xdotool key ctrl+a
xdotool type --delay 50 "80"
xdotool key Return
expect_adjusted $row "a red value typed with Return" "$dragged"
[ "${COLOUR:0:2}" = 80 ] || qz_fail "row $row: the typed red value gave the swatch $COLOUR"
qz_screenshot qz-colour-adjusted
close_box_with_escape $row

# Every other colour row of the first screen: two clicks each, and a click outside the box, on
# the panel's empty left part, closes it.
for row in 3 4 5 7 8 9 10 11 12; do
    open_box $row
    click_twice $row 330 70 100 280
    xdotool mousemove "$((PX + 30))" "$((PY + 440))" click 1
    for (( i = 0; i < 50; i++ )); do callout >/dev/null || break; sleep 0.1; done
    callout >/dev/null && qz_fail "row $row: a click outside left the colour selector open"
    sleep 0.3
done

qz_screenshot qz-colour-rows
# Cancel brings the stored colours back and closes the window.
xdotool mousemove "$((PX + 404 + 35))" "$((PY + 430 + 12))" click 1
for (( i = 0; i < 50; i++ )); do qz_window_sized 615x460 >/dev/null || break; sleep 0.1; done
qz_quit "$main_window"
echo "PASS"
