#!/usr/bin/env bash
# A learner splits a new course at its pauses: opens a recording of eight phrases with pauses
# between them, presses Ctrl+/ and finds the course saved as eight sentences; Ctrl+Z makes it one
# sentence again and Ctrl+Y splits it once more. Read from the course text, saved after each change.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

# Eight phrases of 3.5 s, each followed by 1.5 s of silence.
recording="$HOME/phrases.wav"
sox -n -r 44100 -c 1 "$recording" synth 3.5 sine 300 vol 0.5 pad 0 1.5 repeat 7 \
    || qz_fail "sox could not make the recording"

qz_start "$app"
main_window="$(qz_wait_window '^qZ$' 30)" || qz_fail "the main window \"qZ\" did not appear"
qz_open_recording "$main_window" "$recording"
qz_wait_main_title '^qZ - phrases ' 20 || qz_fail "the title reads \"$(qz_main_window_title)\" after opening"
for (( i = 0; i < 100; i++ )); do
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$main_window" ] && break
    xdotool windowactivate "$main_window" >/dev/null 2>&1
    sleep 0.1
done
sleep 1
course_text="$(qz_course_text)"
[ -f "$course_text" ] || qz_fail "no course text in the temporary folder"

saved_sentences() {
    grep -o '<SENTENCE ' "$course_text" | wc -l
}

# Presses the key (again, up to $3 times, when nothing changed within 5 s: now and then the first
# key after a modal window closed is lost) and waits up to 20 s in all (the sanitizer build is
# slow) for the saved course text to hold that many sentences.
press_and_expect() {
    local expected="$1" key="$2" presses="${3:-1}" attempt i
    for (( attempt = 0; attempt < presses; attempt++ )); do
        xdotool windowactivate --sync "$main_window" >/dev/null 2>&1
        sleep 0.3
        qz_press "$main_window" "$key"
        for (( i = 0; i < 200 / presses; i++ )); do
            [ "$(saved_sentences)" -eq "$expected" ] && return 0
            sleep 0.1
        done
    done
    qz_screenshot qz-auto-split-failed
    qz_fail "after $key the course text holds $(saved_sentences) sentences instead of $expected"
}

[ "$(saved_sentences)" -eq 1 ] || qz_fail "the new course holds $(saved_sentences) sentences instead of one"
press_and_expect 8 ctrl+slash
sleep 0.5
qz_screenshot qz-auto-split
# The third sentence starts 0.18 s before its phrase, ten seconds in.
third_start="$(grep -o 'StartSamples="[0-9]*"' "$course_text" | sed -n 3p | tr -dc '0-9')"
[ "$third_start" = "$((441000 - 7938 + 1))" ] || qz_fail "the third sentence starts at $third_start"
# A second undo or redo finds nothing more to do, so these keys may be pressed again.
press_and_expect 1 ctrl+z 3
press_and_expect 8 ctrl+y 3

qz_quit "$main_window"
echo "PASS"
