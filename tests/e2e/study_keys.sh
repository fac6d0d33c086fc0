#!/usr/bin/env bash
# A learner's keys on a loaded course: Delete removes the selected sentence and Ctrl+Z brings it
# back, the arrows move the selection, Ctrl+Shift+1 moves a start, Space plays on through the
# running audio device, and Ctrl+L keeps the sentence repeating. Each effect is read from the course text, which qZ saves
# 100 ms after every change: Delete removes whichever sentence the keys before it selected.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# Four tones of two seconds, one lyrics line each.
recording="$HOME/keys.wav"
qz_write_tones "$recording" 2 4
qz_write_lyrics "$recording" 2 "First line" "Second line" "Third line" "Fourth line"
all_lines="First line,Second line,Third line,Fourth line"

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - keys ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\" after opening"
# Keys go to the active window: the main window again after the chooser.
qz_activate "$main_window"
sleep 1
course_text="$(qz_course_text)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"

# The lyrics lines that the saved course text holds, in order, joined by commas.
saved_lines() {
    grep -o 'EnglishText="[^"]*"' "$course_text" | sed 's/EnglishText="\(.*\)"/\1/' | paste -sd, -
}

# Presses the keys and waits up to 10 s (the sanitizer build is slow) for the saved course text
# to hold the expected lines.
press_and_expect() {
    local expected="$1"; shift
    local key i
    for key in "$@"; do
        qz_press "$main_window" "$key"
        sleep 0.2
    done
    for (( i = 0; i < 100; i++ )); do
        [ "$(saved_lines)" = "$expected" ] && return 0
        sleep 0.1
    done
    qz_screenshot qz-keys-failed
    qz_fail "after $* the course text holds \"$(saved_lines)\" instead of \"$expected\""
}

press_and_expect "Second line,Third line,Fourth line" Delete
press_and_expect "$all_lines" ctrl+z
press_and_expect "First line,Third line,Fourth line" ctrl+Home Right Delete
press_and_expect "$all_lines" ctrl+z
press_and_expect "First line,Second line,Fourth line" ctrl+Home Down Down Delete
press_and_expect "$all_lines" ctrl+z
press_and_expect "First line,Second line,Third line" ctrl+Home Up Delete
press_and_expect "$all_lines" ctrl+z
press_and_expect "First line,Second line,Fourth line" ctrl+End Left Delete
press_and_expect "$all_lines" ctrl+z

# Ctrl+Shift+1 moves the selected sentence's start 0.1 s later, although X types "!" for it.
second_start() {
    grep -o 'StartSamples="[0-9]*"' "$course_text" | sed -n 2p | tr -dc '0-9'
}
qz_press "$main_window" ctrl+Home Right ctrl+shift+1
for (( i = 0; i < 50; i++ )); do [ "$(second_start)" = 92610 ] && break; sleep 0.1; done
[ "$(second_start)" = 92610 ] || qz_fail "Ctrl+Shift+1 left the second sentence starting at $(second_start)"
qz_press "$main_window" ctrl+z
for (( i = 0; i < 50; i++ )); do [ "$(second_start)" = 88200 ] && break; sleep 0.1; done
[ "$(second_start)" = 88200 ] || qz_fail "Ctrl+Z left the second sentence starting at $(second_start)"

# Space plays the first sentence; without the sentence loop play moves on to the second one,
# which Delete then removes.
qz_press "$main_window" ctrl+Home
sleep 0.3
qz_press "$main_window" space
sleep 3
qz_screenshot qz-keys-playing
qz_press "$main_window" space
press_and_expect "First line,Third line,Fourth line" Delete
press_and_expect "$all_lines" ctrl+z

# With the sentence loop on (three hearings with pauses) the first sentence is still the
# selected one three seconds later.
qz_press "$main_window" ctrl+l
sleep 0.3
qz_press "$main_window" ctrl+Home
sleep 0.3
qz_press "$main_window" space
sleep 3
qz_screenshot qz-keys-looping
qz_press "$main_window" space
press_and_expect "Second line,Third line,Fourth line" Delete

qz_quit "$main_window"
echo "PASS"
