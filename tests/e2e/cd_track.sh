#!/usr/bin/env bash
# A course from an audio-CD track: qZ is pointed at a folder of ripped images, the learner opens
# the second track's ".cda" file through the chooser, sees "Extracting audio data..." and then
# the course made of the extracted track.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# An image of two tracks: two seconds of 440 Hz, then ten minutes of 880 Hz (long enough for the
# extraction's window to be seen by a watcher that polls, also on a loaded machine). CD data is raw 16-bit little-endian stereo in whole sectors.
images="$HOME/images"
mkdir -p "$images"
sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw "$images/one.raw" synth 2 sine 440 \
    && sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw "$images/two.raw" synth 600 sine 880 \
    || qz_fail "sox could not make the tracks"
cat "$images/one.raw" "$images/two.raw" > "$images/lesson.bin" && rm "$images"/*.raw
cat > "$images/lesson.cue" <<'CUE'
TITLE "Lesson"
FILE "lesson.bin" BINARY
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 01 00:02:00
CUE
export QZ_CD_IMAGES="$images"
track="$HOME/Documents/qz/audio-cd/lesson.cue/Track02.cda"

learning_title_pattern='^qZ - CD-Track02 \([0-9]{4}-[0-9]{2}-[0-9]{2}\) - (Learning\.\.\.|学习中\.\.\.)$'

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"

# The extraction's window shows only while the track is copied: watch for it from now on, with
# one quick search at a time.
seen="$HOME/extracting-seen"
(
    for (( i = 0; i < 3000; i++ )); do
        if xdotool search --onlyvisible --name '^(Extracting audio data\.\.\.|正在提取音频数据\.\.\.)$' >/dev/null 2>&1; then
            touch "$seen"
            qz_screenshot qz-cd-extracting
            exit 0
        fi
        sleep 0.01
    done
) &
watcher=$!

qz_open_recording "$main_window" "$track"
qz_wait_main_title "$learning_title_pattern" 30
title="$(qz_main_window_title)"
[[ "$title" =~ $learning_title_pattern ]] || qz_fail "the title reads \"$title\" after opening the track"
kill "$watcher" 2>/dev/null
wait "$watcher" 2>/dev/null
[ -f "$seen" ] || qz_fail "no window \"Extracting audio data...\" was seen"
sleep 1
qz_screenshot qz-cd-course-open

course_text="$(qz_course_text)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"
grep -q 'AudioFile="[^"]*/CD-Track02.wav"' "$course_text" || qz_fail "the course is not made of the extracted track"
[ -f "$HOME/Documents/qz/library/temp/CD-Track02.wav" ] || qz_fail "the extracted track is not in the temporary folder"

qz_quit "$main_window"
echo "PASS"
