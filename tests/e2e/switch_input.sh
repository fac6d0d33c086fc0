#!/usr/bin/env bash
# Return switches the text input of a page sentence, also from inside an open text field: Return
# in the main window opens the selected sentence's foreign-text field, Return there stores the
# typed text and opens the native-text field, and Return there stores that one and goes back to
# the foreign-text field. Read back from the course text, which qZ saves after every change.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

recording="$HOME/switch.wav"
sox -n -r 44100 -c 1 "$recording" synth 2 sine 440 : synth 2 sine 550 || qz_fail "sox could not make the recording"
printf '[00:00.00]First line\n[00:02.00]Second line\n' > "$HOME/switch.lrc"

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - switch ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\" after opening"
qz_activate "$main_window"
sleep 1
course_text="$(qz_course_text)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"

# The text attribute $1 of the first sentence in the saved course text.
first_text() {
    grep -o "$1=\"[^\"]*\"" "$course_text" | head -n 1 | sed "s/$1=\"\(.*\)\"/\1/"
}

# Waits up to 10 s for the first sentence's attribute $1 to read $2.
expect_text() {
    local i
    for (( i = 0; i < 100; i++ )); do
        [ "$(first_text "$1")" = "$2" ] && return 0
        sleep 0.1
    done
    qz_screenshot qz-switch-input-failed
    qz_fail "$3: the first sentence's $1 reads \"$(first_text "$1")\" instead of \"$2\""
}

# Typed into whichever field is open. The letters are no shortcut of the main window, so that
# text typed with no field open changes nothing there.
type_text() {
    xdotool type --delay 60 "$1"
    sleep 0.3
}

xdotool key ctrl+Home
sleep 0.3
xdotool key Return
sleep 0.5
xdotool key ctrl+a BackSpace
type_text "quux"
xdotool key Return
expect_text EnglishText quux "Return in the foreign-text field"
sleep 0.5
type_text "wuxia"
qz_screenshot qz-switch-input-native
xdotool key Return
expect_text ChineseText wuxia "Return in the native-text field"
sleep 0.5
# Back in the foreign-text field, which holds what was stored.
xdotool key End
type_text "x"
xdotool key Return
expect_text EnglishText quuxx "Return in the foreign-text field opened again"
expect_text ChineseText wuxia "the second switch"
xdotool key Escape
sleep 0.5

qz_quit "$main_window"
echo "PASS"
