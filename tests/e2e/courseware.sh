#!/usr/bin/env bash
# Courseware as a learner hands it on: a course made from a recording with lyrics (the lines are
# the sentences' texts) gets an unfamiliar sentence; F12 saves it as "qz/courseware/lesson.qzc"
# through the save chooser; the course is given up, and the ".qzc" opened with "New course" is a
# learning course again, on its own copy of the audio, with its texts and its mark and no review
# dates.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

recording="$HOME/lesson.wav"
qz_write_tones "$recording" 3 3
qz_write_lyrics "$recording" 3 "the first line" "the second line" "the third line"

qz="$HOME/Documents/qz"
courseware="$qz/courseware/lesson.qzc"
learning_title='^qZ - lesson \([0-9]{4}-[0-9]{2}-[0-9]{2}\) - (Learning\.\.\.|学习中\.\.\.)$'
confirm_titles=("Confirm" "确认")

# Presses the key $1 in the main window until a window of one of the titles after it shows (a
# press before the window has the focus is lost) and prints its id.
press_until_titled() {
    local key="$1" id attempt; shift
    for (( attempt = 0; attempt < 3; attempt++ )); do
        qz_activate "$main_window"
        qz_press "$main_window" "$key"
        id="$(qz_wait_titled 10 "$@")" && { echo "$id"; return 0; }
    done
    return 1
}

unfamiliar_count() {
    grep -o ' NeedReview="1"' "$(qz_course_text)" 2>/dev/null | wc -l
}

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title "$learning_title" 20 || qz_fail "the title reads \"$(qz_main_window_title)\""
qz_activate "$main_window"
sleep 1

# The second sentence becomes unfamiliar.
qz_press "$main_window" ctrl+Home Right ctrl+j
for (( i = 0; i < 100; i++ )); do [ "$(unfamiliar_count)" -eq 1 ] && break; sleep 0.1; done
[ "$(unfamiliar_count)" -eq 1 ] || { cat "$(qz_course_text)" >&2; qz_fail "$(unfamiliar_count) sentences are unfamiliar instead of one"; }
qz_screenshot qz-courseware-marked

#----------------------------------------------------------------------------- generate
save_titles=("Generate courseware" "生成课件")
chooser="$(press_until_titled F12 "${save_titles[@]}")" || qz_fail "F12 opened no save chooser"
sleep 0.5
qz_screenshot qz-courseware-chooser
[ -d "$qz/courseware" ] || qz_fail "the chooser opened before \"qz/courseware\" was made"
# The helpers wait for the open chooser's titles to go; here it is the save chooser's.
open_titles=("${qz_chooser_titles[@]}")
qz_chooser_titles=("${save_titles[@]}")
typed=""
for (( attempt = 0; attempt < 3; attempt++ )); do
    qz_type_into_chooser "$chooser" "$courseware" && { typed=1; break; }
done
qz_chooser_titles=("${open_titles[@]}")
[ -n "$typed" ] || { qz_screenshot qz-courseware-chooser-stayed; qz_fail "the save chooser did not close"; }

for (( i = 0; i < 600; i++ )); do
    [ -f "$courseware" ] && [ ! -d "$qz/generateCourseware" ] && break
    sleep 0.1
done
[ -f "$courseware" ] || { qz_screenshot qz-courseware-none; qz_fail "no courseware file $courseware"; }
[ -d "$qz/generateCourseware" ] && qz_fail "the scratch folder is still there"
entries="$(unzip -Z1 "$courseware" | sort | paste -sd' ' -)"
[ "$entries" = "lesson.ogg lesson.smg lesson.xml" ] || qz_fail "the courseware holds \"$entries\""
unzip -p "$courseware" lesson.xml | grep -q 'AudioFile=' && qz_fail "the courseware names the learner's audio"
[ "$(unzip -p "$courseware" lesson.ogg | head -c 4)" = "OggS" ] || qz_fail "the courseware audio is no Ogg file"
qz_screenshot qz-courseware-generated

#----------------------------------------------------------------------------- give up, open it
qz_wait_main_title "$learning_title" 10 || qz_fail "generating changed the title to \"$(qz_main_window_title)\""
# On a loaded display a key may reach the box before it has the focus, or the main window after
# the box has gone: the question is asked again until the course is given up.
for (( round = 0; round < 4; round++ )); do
    box="$(press_until_titled F3 "${confirm_titles[@]}")" || continue
    for (( attempt = 0; attempt < 3; attempt++ )); do
        sleep 0.5
        qz_wait_titled 0 "${confirm_titles[@]}" >/dev/null || break
        xdotool windowactivate --sync "$box" >/dev/null 2>&1
        qz_press "$box" Return
        qz_wait_main_title '^qZ$' 3 && break 2
    done
    qz_wait_main_title '^qZ$' 2 && break
done
qz_wait_main_title '^qZ$' 20 || { qz_screenshot qz-courseware-not-given-up; qz_fail "giving up left \"$(qz_main_window_title)\""; }
[ -d "$qz/library/temp" ] && qz_fail "the working set is still there after giving up"

qz_open_recording "$main_window" "$courseware"
qz_wait_main_title "$learning_title" 30 \
    || { qz_screenshot qz-courseware-not-opened; qz_fail "the courseware did not open: \"$(qz_main_window_title)\""; }
sleep 1
qz_screenshot qz-courseware-opened

course_text="$(qz_course_text)"
stem="$(basename "$course_text" .xml)"
[ -f "$qz/library/temp/courseware-$stem.ogg" ] || qz_fail "no courseware audio beside the course text"
[ -f "$qz/library/temp/$stem.smg" ] || qz_fail "no waveform file beside the course text"
grep -q "AudioFile=\"$qz/library/temp/courseware-$stem.ogg\"" "$course_text" \
    || qz_fail "the course does not play its own copy of the audio"
[ "$(unfamiliar_count)" -eq 1 ] || qz_fail "$(unfamiliar_count) sentences are unfamiliar instead of one"
text="$(tr '\n' ' ' < "$course_text")"
for line in "the first line" "the second line" "the third line"; do
    grep -q "EnglishText=\"$line\"" <<< "$text" || qz_fail "the text \"$line\" is missing"
done
grep -o '<SENTENCE [^>]*>' <<< "$text" | sed -n 2p | grep -q 'NeedReview="1"' \
    || qz_fail "the mark is not on the second sentence"
grep -Eq 'NextReviewDate=|TotalReviews=|CorrectTimes=' <<< "$text" && qz_fail "the course keeps review data"

qz_quit "$main_window"
echo "PASS"
