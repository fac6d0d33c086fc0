#!/usr/bin/env bash
# Windows closed with Alt+F4 hand back a main window whose keys work at once: the window manager
# takes F4 and closes the window, so Alt's release never reaches qZ. In turn the notes editor
# (a tool window), the preferences (another one) and the library window (a modal dialog) are
# opened, closed with Alt+F4, and the next shortcut typed into the main window must open the
# next window. The pointer stays still on a corner of the main window that none of them covers:
# moving it, or a click, would tell qZ the true state of the keys and hide the fault.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

recording="$HOME/notes.wav"
sox -n -r 44100 -c 1 "$recording" synth 2 sine 440 : synth 2 sine 550 || qz_fail "sox could not make the recording"

# Each window as the learner tells it apart: by its title in either language, or by its size.
find_window() {
    case "$1" in
    notes) qz_wait_titled 0 "Course Note Book" "课程笔记本" ;;
    preferences) qz_window_sized 615x460 ;;
    library) qz_wait_titled 0 "Courses manager" "课程管理" ;;
    esac
}

wait_window() {
    local i
    for (( i = 0; i < 100; i++ )); do find_window "$1" && return 0; sleep 0.1; done
    return 1
}

# Types the key $2 into the main window and waits for the window $1; sets OPENED to its id. The
# key goes once only: a second press could pass for a first one that the fault lost.
open_with_key() {
    qz_activate "$main_window" || qz_fail "the main window did not become active before $2"
    sleep 0.5
    xdotool key "$2"
    OPENED="$(wait_window "$1")" || { qz_screenshot "qz-alt-f4-no-$1"; qz_fail "$2 opened no $1 window after $3"; }
}

# Closes the window $2 (named $1) with Alt+F4 typed into it, as the active window.
close_with_alt_f4() {
    local i
    qz_activate "$2" || qz_fail "the $1 window did not become active"
    sleep 0.5
    xdotool key alt+F4
    for (( i = 0; i < 100; i++ )); do find_window "$1" >/dev/null || return 0; sleep 0.1; done
    qz_screenshot "qz-alt-f4-kept-$1"
    qz_fail "Alt+F4 did not close the $1 window"
}

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - notes ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\" after opening"
qz_locate "$main_window"
xdotool mousemove "$((X + 30))" "$((Y + HEIGHT - 60))"
sleep 0.5

# Each row: the window that was open, the shortcut that opens it, and the next shortcut.
open_with_key notes F4 "opening the course"
steps=("notes preferences ctrl+comma" "preferences library ctrl+m" "library preferences ctrl+comma")
for step in "${steps[@]}"; do
    read -r closed next key <<< "$step"
    close_with_alt_f4 "$closed" "$OPENED"
    open_with_key "$next" "$key" "the $closed window was closed with Alt+F4"
    qz_screenshot "qz-alt-f4-$next-after-$closed"
done
close_with_alt_f4 preferences "$OPENED"

qz_quit "$main_window"
echo "PASS"
