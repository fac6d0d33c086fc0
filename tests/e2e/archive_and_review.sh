#!/usr/bin/env bash
# A course's days as a learner lives them, with qZ started on chosen days (QZ_TEST_NOW):
#   day 0  learn a recording with lyrics, mark two sentences unfamiliar (their lyrics lines are
#          their texts) and archive it: the library holds the archive, the mobile folder its
#          mobile file, in which the familiar sentences play once and each unfamiliar one follows
#          the tip sound three times with its pauses;
#   day 1  the day before the review: today's mobile folder holds the mobile file, and nothing opens;
#   day 2  the course opens for review; both answers typed right close the review, "Review next
#          due course" packs it back into the library and says that all courses are done.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home
export QZ_TEST=1

# Four tones of three seconds, one lyrics line each.
recording="$HOME/lesson.wav"
qz_write_tones "$recording" 3 4
qz_write_lyrics "$recording" 3 "the first line" "the second line" "the third line" "the fourth line"

qz="$HOME/Documents/qz"
confirm_titles=("Confirm" "确认")
congratulation_titles=("Congratulations!" "恭喜！")

# Presses Return in the box of one of the titles once it shows; that box must then close (the
# next box may bear the same title and open at once).
boxes=0
answer_box() {
    local box i
    box="$(qz_wait_titled 30 "$@")" || { qz_screenshot qz-archive-no-box; qz_fail "no \"$1\" box"; }
    sleep 0.5
    boxes=$(( boxes + 1 ))
    qz_screenshot "qz-archive-box-$boxes"
    xdotool windowactivate --sync "$box" >/dev/null 2>&1
    xdotool key Return
    for (( i = 0; i < 100; i++ )); do
        xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$box" || return 0
        sleep 0.1
    done
    qz_fail "Return did not close the \"$1\" box"
}

# The number of sentences marked unfamiliar in the saved course text.
unfamiliar_count() {
    grep -o 'NeedReview="1"' "$(qz_course_text)" 2>/dev/null | wc -l
}

# The loudest frequency sox finds in $3 seconds of the file $1 from $2 seconds on, in Hz, and
# the RMS amplitude there.
rough_frequency() { sox "$1" -n trim "$2" "$3" stat 2>&1 | awk '/Rough   frequency/ { print $3 }'; }
rms() { sox "$1" -n trim "$2" "$3" stat 2>&1 | awk '/RMS     amplitude/ { print $3 }'; }
near() { awk -v a="$1" -v b="$2" -v t="$3" 'BEGIN { d = a - b; if (d < 0) d = -d; exit !(d <= t) }'; }

#----------------------------------------------------------------------------- day 0: learn, archive
export QZ_TEST_NOW=2030-01-10T10:00:00
qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - lesson \(2030-01-10\) - ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\""
qz_activate "$main_window"
sleep 1
stem="$(basename "$(qz_course_text)" .xml)"
[ "$stem" = "2030-0110-1000-00" ] || qz_fail "the working set's stem is \"$stem\", not the fixed day's"

# The second and the fourth sentence become unfamiliar.
qz_press "$main_window" ctrl+Home Right ctrl+j
sleep 0.3
qz_press "$main_window" Right Right ctrl+j
for (( i = 0; i < 100; i++ )); do [ "$(unfamiliar_count)" -eq 2 ] && break; sleep 0.1; done
[ "$(unfamiliar_count)" -eq 2 ] || qz_fail "$(unfamiliar_count) sentences are unfamiliar instead of two"
qz_screenshot qz-archive-marked

qz_press "$main_window" F2
answer_box "${confirm_titles[@]}"
qz_wait_main_title '^qZ$' 60 || { qz_screenshot qz-archive-not-cleared; qz_fail "archiving left \"$(qz_main_window_title)\""; }
sleep 0.5
qz_screenshot qz-archive-done

archive="$qz/library/course/$stem.mqz"
mobile="$qz/library/mobile/M-$stem.ogg"
[ -f "$archive" ] || qz_fail "no archive $archive"
entries="$(unzip -Z1 "$archive" | sort | paste -sd' ' -)"
[ "$entries" = "$stem.ogg $stem.smg $stem.xml" ] || qz_fail "the archive holds \"$entries\""
unzip -p "$archive" "$stem.xml" | grep -q 'NowStatus="1"' || qz_fail "the archived course is no review course"
[ -d "$qz/library/temp" ] && qz_fail "the working set is still there after archiving"
[ -f "$mobile" ] || qz_fail "no mobile file $mobile"

# Familiar: 3 s once. Unfamiliar: 1 s of tip, then three times 3 s and 2.7 s of pause.
samples="$(soxi -s "$mobile")"
expected=$(( 2 * 132300 + 2 * (44100 + 3 * (132300 + 119070)) ))
[ "$samples" -eq "$expected" ] || qz_fail "the mobile file holds $samples samples instead of $expected"
near "$(rough_frequency "$mobile" 0.5 2)" 440 30 || qz_fail "the first sentence does not open the mobile file"
near "$(rough_frequency "$mobile" 3.1 0.8)" 1150 300 || qz_fail "no tip sound before the second sentence"
near "$(rough_frequency "$mobile" 4.5 2)" 550 30 || qz_fail "the second sentence does not follow its tip"
near "$(rms "$mobile" 7.2 2.3)" 0 0.002 || qz_fail "no pause after the second sentence"
near "$(rough_frequency "$mobile" 10.2 2)" 550 30 || qz_fail "the second sentence is not repeated after its pause"
third_start="$(awk 'BEGIN { print 4 + 3 * 5.7 }')"
near "$(rough_frequency "$mobile" "$third_start" 2.5)" 660 30 || qz_fail "the third sentence does not follow"
qz_quit "$main_window"

#----------------------------------------------------------------------------- day 1: the day folder
export QZ_TEST_NOW=2030-01-11T08:00:00
qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "qZ did not start on the day before the review"
sleep 2
[ "$(qz_main_window_title)" = "qZ" ] || qz_fail "a course opened a day early: \"$(qz_main_window_title)\""
[ -f "$qz/mobile-2030-0111/M-$stem.ogg" ] || qz_fail "today's mobile folder lacks the course's mobile file"
cmp -s "$mobile" "$qz/mobile-2030-0111/M-$stem.ogg" || qz_fail "the day folder's copy differs"
qz_quit "$main_window"

#----------------------------------------------------------------------------- day 2: the review
export QZ_TEST_NOW=2030-01-12T08:00:00
qz_start "$app"
qz_wait_main_title '^qZ - lesson \(2030-01-10\) - (Reviewing\.\.\.|复习中\.\.\.)$' 30 \
    || qz_fail "the course did not open for review: \"$(qz_main_window_title)\""
main_window="$(xdotool search --onlyvisible --name '^qZ - lesson' | head -n 1)"
qz_activate "$main_window"
sleep 1
qz_screenshot qz-archive-review-opened

# The first due sentence's answer field has the focus; the next one opens by itself.
xdotool type --delay 120 "the second line"
xdotool key Return
sleep 1
xdotool type --delay 120 "the fourth line"
xdotool key Return
# "This course review completed today": Return is "Review next due course", which closes the day.
answer_box "${congratulation_titles[@]}"
answer_box "${congratulation_titles[@]}"
qz_wait_main_title '^qZ$' 30 || qz_fail "closing the day left \"$(qz_main_window_title)\""
qz_screenshot qz-archive-day-closed

unzip -p "$archive" "$stem.xml" | tr '\n' ' ' | grep -o 'NextReviewDate="[^"]*"' | head -n 1 \
    | grep -qv 'NextReviewDate="12 Jan 2030"' || qz_fail "the day close left the course due today"
[ -d "$qz/library/temp" ] && qz_fail "the working set is still there after the day close"
qz_quit "$main_window"
echo "PASS"
