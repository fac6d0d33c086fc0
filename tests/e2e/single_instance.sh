#!/usr/bin/env bash
# Starts qZ, starts it a second time (the running one must say so and the second must end),
# then quits through the window's close button with exit status 0.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

"$app" >/dev/null 2>&1 &
QZ_PID=$!
main_window="$(qz_wait_window '^qZ$' 90)" || qz_fail "the main window \"qZ\" did not appear"

timeout 60 "$app" >/dev/null 2>&1
second_status=$?
[ "$second_status" -eq 0 ] || qz_fail "the second start ended with status $second_status"
kill -0 "$QZ_PID" 2>/dev/null || qz_fail "the first instance ended"

# The interface starts in Simplified Chinese: the box's title is the translation of "Ah oh".
alert="$(qz_wait_titled 60 "Ah oh" "啊哦")" || qz_fail "the running instance showed no \"Ah oh\" box"
sleep 0.5
qz_screenshot qz-second-start
[ "$(xdotool search --name '^qZ$' | wc -l)" -eq 1 ] || qz_fail "a second main window appeared"

xdotool windowactivate --sync "$alert" >/dev/null 2>&1
qz_press "$alert" Return
for (( i = 0; i < 50; i++ )); do qz_wait_titled 0 "Ah oh" "啊哦" >/dev/null || break; sleep 0.1; done
qz_wait_titled 0 "Ah oh" "啊哦" >/dev/null && qz_fail "the box did not close on Return"

qz_click_close_button "$main_window"
for (( i = 0; i < 100; i++ )); do kill -0 "$QZ_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$QZ_PID" 2>/dev/null && qz_fail "the close button did not quit qZ"
wait "$QZ_PID"
status=$?
QZ_PID=
[ "$status" -eq 0 ] || qz_fail "qZ ended with status $status"
[ -f "$HOME/Documents/qz/library/system.dat" ] || qz_fail "no settings file was written"
echo "PASS"
