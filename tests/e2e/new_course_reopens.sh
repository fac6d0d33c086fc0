#!/usr/bin/env bash
# A learner's first course: starts qZ, presses Ctrl+N, types a recording's path into the file
# chooser and sees the course in the title; quits, starts again and finds the same course open.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# Four tones of three seconds, and a lyrics file with one line for each.
recording="$HOME/lesson.wav"
qz_write_tones "$recording" 3 4
qz_write_lyrics "$recording" 3 "First line" "Second line" "Third line" "Fourth line"

learning_title_pattern='^qZ - lesson \([0-9]{4}-[0-9]{2}-[0-9]{2}\) - (Learning\.\.\.|学习中\.\.\.)$'

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title "$learning_title_pattern" 20
title="$(qz_main_window_title)"
[[ "$title" =~ $learning_title_pattern ]] || qz_fail "the title reads \"$title\" after opening the recording"
sleep 1
qz_screenshot qz-new-course-open

course_text="$(qz_course_text)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"
sentences="$(grep -o '<SENTENCE ' "$course_text" | wc -l)"
[ "$sentences" -eq 4 ] || qz_fail "the course holds $sentences sentences instead of one per lyrics line"

qz_quit "$main_window"

qz_start "$app"
qz_wait_main_title "$learning_title_pattern" 30
[[ "$(qz_main_window_title)" == "$title" ]] || qz_fail "the next start shows \"$(qz_main_window_title)\", not the course"
sleep 1
qz_screenshot qz-course-reopened
qz_quit "$(xdotool search --onlyvisible --name '^qZ' | head -n 1)"
echo "PASS"
