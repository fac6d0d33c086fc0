#!/usr/bin/env bash
# A review day as a learner has it: a course left in the temporary folder as a review course,
# with two sentences due, opens asking for the first typed answer. A wrong word and Return beep
# and leave the caret on the first wrong character with the rest of the word selected, so typing
# the right letters over the selection makes the answer right; the next due sentence's field opens
# at once, and after the last one the "Congratulations!" box offers what comes next. The course
# text then holds the rescheduled intervals and dates and the counted reviews.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# Three tones of two seconds; qZ makes the course (and its waveform file) from them.
recording="$HOME/review.wav"
qz_write_tones "$recording" 2 3

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - review ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\" after opening"
sleep 1
qz_quit "$main_window"

# Turn the working set into a course under review, as archiving and the library leave it: the
# rendered audio beside the course text, and a course text with two sentences due.
temp="$HOME/Documents/qz/library/temp"
waveform="$(ls "$temp"/*.smg 2>/dev/null | head -n 1)"
[ -f "$waveform" ] || qz_fail "qZ left no waveform file in the temporary folder"
stem="$(basename "$waveform" .smg)"
oggenc -Q -o "$temp/$stem.ogg" "$recording" || qz_fail "oggenc could not make the course audio"

day() { LC_ALL=C date -d "$1" '+%-d %b %Y'; }
yesterday="$(day yesterday)"
three_days_ago="$(day '3 days ago')"
rm -f "$temp"/*.xml
cat > "$temp/$stem.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<COURSE AudioFile="$recording" LearnDate="1 Jan 2024 10:00:00" CourseName="review"
        CourseLength="264600" CourseSeconds="6.0" TotalSentences="3" TotalNeedReview="2"
        NextNeedReview="2" NowStatus="1" Notes="" NextReviewDate="$yesterday">
  <SENTENCE StartSamples="0" EndSamples="88199" EnglishText="a cat sleeps" ChineseText="" NeedReview="0"
            NextIntervalDays="0" TotalReviews="0" CorrectTimes="0" NextReviewDate=""/>
  <SENTENCE StartSamples="88200" EndSamples="176399" EnglishText="the dog runs" ChineseText="" NeedReview="1"
            NextIntervalDays="2" TotalReviews="1" CorrectTimes="1" NextReviewDate="$yesterday"/>
  <SENTENCE StartSamples="176400" EndSamples="264599" EnglishText="birds sing" ChineseText="" NeedReview="1"
            NextIntervalDays="5" TotalReviews="3" CorrectTimes="2" NextReviewDate="$three_days_ago"/>
</COURSE>
EOF

qz_start "$app"
qz_wait_main_title '^qZ - review .* - (Reviewing\.\.\.|复习中\.\.\.)$' 30 \
    || qz_fail "the review course did not reopen: the title reads \"$(qz_main_window_title)\""
main_window="$(xdotool search --onlyvisible --name '^qZ - review' | head -n 1)"
qz_activate "$main_window"
sleep 1
qz_screenshot qz-review-opened

incorrect_titles=("Incorrect!" "不正确！")
congratulation_titles=("Congratulations!" "恭喜！")

# The first due sentence's field has the focus: a wrong word, and Return.
xdotool type --delay 120 "the dgo runs"
xdotool key Return
sleep 1
qz_screenshot qz-review-wrong-answer
qz_wait_titled 0 "${incorrect_titles[@]}" >/dev/null && qz_fail "one wrong answer brought the \"Incorrect!\" box"

# The caret stands before "go" with "go" selected: typing "og" replaces it and the answer is
# right. Were the caret anywhere else, this second try would be wrong and bring the box.
xdotool type --delay 120 "og"
sleep 0.3
qz_screenshot qz-review-corrected
xdotool key Return
sleep 1
qz_wait_titled 0 "${incorrect_titles[@]}" >/dev/null && qz_fail "the corrected answer was judged wrong"

# The next due sentence's field opened by itself.
xdotool type --delay 120 "birds sing"
xdotool key Return
box="$(qz_wait_titled 15 "${congratulation_titles[@]}")" \
    || { qz_screenshot qz-review-no-box; qz_fail "no \"Congratulations!\" box after the last answer"; }
sleep 0.5
qz_screenshot qz-review-day-done
xdotool windowactivate --sync "$box" >/dev/null 2>&1
xdotool key Escape
for (( i = 0; i < 50; i++ )); do
    qz_wait_titled 0 "${congratulation_titles[@]}" >/dev/null || break
    sleep 0.1
done
qz_wait_titled 0 "${congratulation_titles[@]}" >/dev/null && qz_fail "Escape did not close the box"
qz_quit "$main_window"

# The attribute of the sentence of that index (0-based) in the saved course text.
attribute() {
    tr '\n' ' ' < "$temp/$stem.xml" | grep -o '<SENTENCE [^>]*>' | sed -n "$(( $1 + 1 ))p" \
        | grep -o " $2=\"[^\"]*\"" | sed 's/.*="\(.*\)"/\1/'
}
expect() {
    local actual
    actual="$(attribute "$1" "$2")"
    [ "$actual" = "$3" ] || qz_fail "sentence $1 holds $2=\"$actual\" instead of \"$3\""
}

# Right on the second of two attempts counts as right: 2 days become 5, a day late earns nothing.
expect 1 NextIntervalDays 5
expect 1 NextReviewDate "$(day '5 days')"
expect 1 TotalReviews 2
expect 1 CorrectTimes 2
# Three days late: 5 days become 12 (12.5 to even) and 1 more, which reaches the maximum of 13.
expect 2 NextIntervalDays 999999
expect 2 NextReviewDate "1 Feb 3013"
expect 2 TotalReviews 4
expect 2 CorrectTimes 3
expect 0 TotalReviews 0
echo "PASS"
