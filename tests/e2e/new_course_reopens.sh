#!/usr/bin/env bash
# A learner's first course: starts qZ, presses Ctrl+N, types a recording's path into the file
# chooser and sees the course in the title; quits, starts again and finds the same course open.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# Four tones of three seconds, and a lyrics file with one line for each.
recording="$HOME/lesson.wav"
sox -n -r 44100 -c 1 "$recording" synth 3 sine 440 : synth 3 sine 550 : synth 3 sine 660 : synth 3 sine 330 \
    || qz_fail "sox could not make the recording"
printf '[00:00.00]First line\n[00:03.00]Second line\n[00:06.00]Third line\n[00:09.00]Fourth line\n' \
    > "$HOME/lesson.lrc"

# The interface starts in Simplified Chinese.
chooser_titles=("Select an audio file and open it" "选择一个音频文件并打开")
learning_title_pattern='^qZ - lesson \([0-9]{4}-[0-9]{2}-[0-9]{2}\) - (Learning\.\.\.|学习中\.\.\.)$'

start_qz() {
    "$app" >/dev/null 2>&1 &
    QZ_PID=$!
}

quit_qz() {
    qz_click_close_button "$1"
    for (( i = 0; i < 100; i++ )); do kill -0 "$QZ_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$QZ_PID" 2>/dev/null && qz_fail "the close button did not quit qZ"
    wait "$QZ_PID"
    local status=$?
    QZ_PID=
    [ "$status" -eq 0 ] || qz_fail "qZ ended with status $status"
}

# Clicks into the chooser's file name box, which lies near its bottom edge.
click_file_name_box() {
    local id="$1" x y w h
    x="$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')"
    y="$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')"
    w="$(xwininfo -id "$id" | awk '/Width/ {print $2}')"
    h="$(xwininfo -id "$id" | awk '/Height/ {print $2}')"
    xdotool mousemove "$((x + w * 65 / 100))" "$((y + h - 63))" click 1
}

title_of_main_window() {
    xdotool getwindowname "$(xdotool search --name '^qZ' | head -n 1)" 2>/dev/null
}

start_qz
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
xdotool windowactivate --sync "$main_window" >/dev/null 2>&1
sleep 0.5
xdotool key --window "$main_window" ctrl+n
chooser="$(qz_wait_titled 20 "${chooser_titles[@]}")" || qz_fail "Ctrl+N opened no file chooser"
sleep 0.5
qz_screenshot qz-new-course-chooser

click_file_name_box "$chooser"
sleep 0.3
# A full path moves the chooser to the file's folder; the second Return opens the file.
xdotool type --delay 10 "$recording"
xdotool key Return
sleep 0.3
xdotool key Return

for (( i = 0; i < 200; i++ )); do
    [[ "$(title_of_main_window)" =~ $learning_title_pattern ]] && break
    sleep 0.1
done
title="$(title_of_main_window)"
[[ "$title" =~ $learning_title_pattern ]] || qz_fail "the title reads \"$title\" after opening the recording"
sleep 1
qz_screenshot qz-new-course-open

course_text="$(ls "$HOME"/Documents/qz/library/temp/*.xml 2>/dev/null | head -n 1)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"
sentences="$(grep -o '<SENTENCE ' "$course_text" | wc -l)"
[ "$sentences" -eq 4 ] || qz_fail "the course holds $sentences sentences instead of one per lyrics line"

quit_qz "$main_window"

start_qz
for (( i = 0; i < 300; i++ )); do
    [[ "$(title_of_main_window)" =~ $learning_title_pattern ]] && break
    sleep 0.1
done
[[ "$(title_of_main_window)" == "$title" ]] || qz_fail "the next start shows \"$(title_of_main_window)\", not the course"
sleep 1
qz_screenshot qz-course-reopened
quit_qz "$(xdotool search --name '^qZ' | head -n 1)"
echo "PASS"
