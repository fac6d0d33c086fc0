#!/usr/bin/env bash
# The side browser as a learner uses it: a folder of two recordings is the saved root; a click on
# the first plays it (its position moves on the strip), at its end the second plays, and dragging
# the second onto the waveform strip stops the preview and opens it as a course.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

lessons="$HOME/lessons"
mkdir -p "$lessons" "$HOME/Documents/qz/library"
sox -n -r 44100 -c 1 "$lessons/1 first.wav" synth 2 sine 440 || qz_fail "sox could not make the first recording"
sox -n -r 44100 -c 1 "$lessons/2 second.wav" synth 12 sine 550 || qz_fail "sox could not make the second recording"

# The settings file with the browser's root only (every other setting takes its default): the
# framework's compressed properties, a magic number, then a zlib stream of the count and the key
# and value texts, each ended by a zero byte.
{ printf 'CPRP'; { printf '\001\000\000\000'; printf 'FileBrowseRoot\0%s\0' "$lessons"; } | pigz -z; } \
    > "$HOME/Documents/qz/library/system.dat" || qz_fail "could not write the settings file"

# A digest of what the screen shows in the rectangle $1 x $2 at $3, $4.
area() {
    import -window root -crop "$1x$2+$3+$4" -depth 8 rgb:- 2>/dev/null | md5sum
}

# Waits up to $1 seconds for the area ($2..) to change from the digest $6.
wait_area_changes() {
    local seconds="$1" was="$6" i; shift
    for (( i = 0; i < seconds * 5; i++ )); do
        [ "$(area "$1" "$2" "$3" "$4")" != "$was" ] && return 0
        sleep 0.2
    done
    return 1
}

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
sleep 1
qz_locate "$main_window"

# The browser takes the right fifth of the window; its rows (22 px high) start 21 px below the top
# and its preview strip (30 px high) ends 1 px above the bottom.
browser_x=$((X + WIDTH - WIDTH / 5))
row_x=$((browser_x + 60))
first_y=$((Y + 21 + 11)) second_y=$((Y + 21 + 22 + 11))
strip_x=$((browser_x + 4)) strip_y=$((Y + HEIGHT - 31)) strip_w=$((WIDTH / 5 - 8))
second_row_w=$((WIDTH / 5 - 4))

# The rows are there once the folder has been read: the first row shows more than its background.
for (( i = 0; i < 100; i++ )); do
    colours="$(import -window root -crop "${second_row_w}x20+$browser_x+$((first_y - 10))" -format '%k' info: 2>/dev/null)"
    [ "${colours:-1}" -gt 1 ] && break
    sleep 0.2
done
qz_screenshot qz-browser-start

# A click that came too early for the window is given again, once.
for (( attempt = 0; attempt < 2; attempt++ )); do
    xdotool mousemove "$row_x" "$first_y" click 1
    sleep 0.3
    second_row="$(area "$second_row_w" 20 "$browser_x" "$((second_y - 10))")"
    strip="$(area "$strip_w" 28 "$strip_x" "$strip_y")"
    wait_area_changes 5 "$strip_w" 28 "$strip_x" "$strip_y" "$strip" && break
done
[ "$attempt" -lt 2 ] || { qz_screenshot qz-browser-first-still; qz_fail "the preview of the first recording does not move"; }
qz_screenshot qz-browser-first-playing

# At the end of the first, the selection moves on to the second row and the second plays.
wait_area_changes 10 "$second_row_w" 20 "$browser_x" "$((second_y - 10))" "$second_row" \
    || { qz_screenshot qz-browser-no-next; qz_fail "the end of the first recording did not select the second"; }
sleep 0.5
strip="$(area "$strip_w" 28 "$strip_x" "$strip_y")"
wait_area_changes 5 "$strip_w" 28 "$strip_x" "$strip_y" "$strip" \
    || { qz_screenshot qz-browser-second-still; qz_fail "the second recording does not play after the first"; }
qz_screenshot qz-browser-second-playing

# A real drag: press on the second row, move in steps onto the waveform strip, release.
target_x=$((X + 200)) target_y=$((Y + 30))
xdotool mousemove "$row_x" "$second_y"
sleep 0.2
xdotool mousedown 1
for (( step = 1; step <= 20; step++ )); do
    xdotool mousemove "$((row_x + (target_x - row_x) * step / 20))" "$((second_y + (target_y - second_y) * step / 20))"
    sleep 0.05
done
sleep 0.3
xdotool mouseup 1

learning_title_pattern='^qZ - 2 second \([0-9]{4}-[0-9]{2}-[0-9]{2}\) - (Learning\.\.\.|学习中\.\.\.)$'
qz_wait_main_title "$learning_title_pattern" 30 \
    || { qz_screenshot qz-browser-drop; qz_fail "the drop did not open the course; the title reads \"$(qz_main_window_title)\""; }
qz_screenshot qz-browser-course-open

# The preview stopped when the file was dropped: the strip stands still.
sleep 0.5
strip="$(area "$strip_w" 28 "$strip_x" "$strip_y")"
wait_area_changes 2 "$strip_w" 28 "$strip_x" "$strip_y" "$strip" && qz_fail "the preview plays on after the drop"

qz_quit "$main_window"
echo "PASS"
