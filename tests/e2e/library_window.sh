#!/usr/bin/env bash
# The course library as a learner opens it: with three archived courses (one due in a few days,
# one finished, one due next week) and the mobile file of one of them, Ctrl+M opens the
# "Courses manager" window at its own size, showing them; OK closes it and qZ goes on. The
# window is kept as a screenshot.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home
export QZ_TEST=1 QZ_TEST_NOW=2030-01-10T12:00

library="$HOME/Documents/qz/library/course"
mobile="$HOME/Documents/qz/library/mobile"
scratch="$HOME/scratch"
mkdir -p "$library" "$mobile" "$scratch"

sox -n -r 44100 -b 16 -c 1 "$scratch/tone.wav" synth 2 sine 440 || qz_fail "sox could not make the tone"
oggenc -Q -o "$scratch/tone.ogg" "$scratch/tone.wav" || qz_fail "oggenc could not make the course audio"

# archive STEM TITLE NEXT_REVIEW_DATE STATUS: a course archive as the library holds it.
archive() {
    local stem="$1" folder="$scratch/$1"
    mkdir -p "$folder"
    cat > "$folder/$stem.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<COURSE AudioFile="$stem.ogg" LearnDate="1 Jan 2030 10:00:00am" CourseName="$2" CourseLength="88200"
        CourseSeconds="2.0" TotalSentences="3" TotalNeedReview="1" NextNeedReview="1" NowStatus="$4"
        Notes="" NextReviewDate="$3"/>
EOF
    cp "$scratch/tone.ogg" "$folder/$stem.ogg"
    zip -q -j -X "$library/$stem.mqz" "$folder/$stem.xml" "$folder/$stem.ogg" || qz_fail "zip could not pack $stem"
}
archive 2030-0101-1000-00 "Greetings" "13 Jan 2030" 1
archive 2030-0102-1000-00 "Weather" "" -1
archive 2030-0105-1000-00 "At the station" "17 Jan 2030" 1
cp "$scratch/tone.ogg" "$mobile/M-2030-0101-1000-00.ogg"

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"

titles=("Courses manager" "课程管理")
library_window=""
for (( attempt = 0; attempt < 3; attempt++ )); do
    qz_activate "$main_window"
    sleep 0.5
    xdotool key ctrl+m
    library_window="$(qz_wait_titled 10 "${titles[@]}")" && break
done
[ -n "$library_window" ] || qz_fail "Ctrl+M opened no library window"
sleep 1
qz_screenshot qz-library-window

# The panel is 716 x 680 inside the dialog's frame, whatever frame the window has around it.
info="$(xwininfo -id "$library_window")"
x="$(awk '/Absolute upper-left X/ {print $4}' <<< "$info")"
y="$(awk '/Absolute upper-left Y/ {print $4}' <<< "$info")"
width="$(awk '/Width/ {print $2}' <<< "$info")"
height="$(awk '/Height/ {print $2}' <<< "$info")"
border=$(( (width - 716) / 2 ))
(( border >= 0 && border <= 20 && height >= 680 && height <= 740 )) \
    || qz_fail "the library window is ${width}x${height}, not 716x680 in a frame"

# OK stands at the right end of the buttons' row, 10 px from the right and 30 px from the bottom.
for (( attempt = 0; attempt < 3; attempt++ )); do
    xdotool mousemove "$((x + width - border - 40))" "$((y + height - border - 17))" click 1
    for (( i = 0; i < 30; i++ )); do
        qz_wait_titled 0 "${titles[@]}" >/dev/null || break 2
        sleep 0.1
    done
done
qz_wait_titled 0 "${titles[@]}" >/dev/null && qz_fail "OK did not close the library window"

# The courses are still there, read and never written.
[ "$(ls "$library" | wc -l)" -eq 3 ] || qz_fail "the library changed: $(ls "$library")"
qz_quit "$main_window"
echo "PASS"
