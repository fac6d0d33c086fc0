# Shared by the end-to-end tests: they run the built program under the current display with a
# home folder of their own, and read it back through window titles and screenshots.

set -uo pipefail

qz_fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# A fresh home, removed at exit together with any program still running.
qz_make_home() {
    QZ_HOME="$(mktemp -d /tmp/qz-e2e-home.XXXXXX)"
    export HOME="$QZ_HOME"
    trap 'qz_cleanup' EXIT
}

qz_cleanup() {
    [ -n "${QZ_PID:-}" ] && kill "$QZ_PID" 2>/dev/null
    [ -n "${QZ_HOME:-}" ] && rm -rf "$QZ_HOME"
}

# Waits up to $2 seconds for a window whose title matches the regular expression $1 and prints its id.
qz_wait_window() {
    local pattern="$1" seconds="${2:-20}" id i
    for (( i = 0; i < seconds * 10; i++ )); do
        id="$(xdotool search --onlyvisible --name "$pattern" 2>/dev/null | head -n 1)"
        if [ -n "$id" ]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# Waits up to $2 seconds for a visible window whose title is exactly one of the texts after it
# (for a title that is translated) and prints its id.
qz_wait_titled() {
    local seconds="$1" id name title i; shift
    for (( i = 0; i <= seconds * 10; i++ )); do
        for id in $(xdotool search --onlyvisible --name '.' 2>/dev/null); do
            name="$(xdotool getwindowname "$id" 2>/dev/null)"
            for title in "$@"; do
                if [ "$name" = "$title" ]; then
                    echo "$id"
                    return 0
                fi
            done
        done
        sleep 0.1
    done
    return 1
}

qz_window_gone() {
    ! xdotool search --name "$1" >/dev/null 2>&1
}

# Clicks the close button that the window manager draws at the right end of the title bar.
qz_click_close_button() {
    local id="$1" x y w
    x="$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')"
    y="$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')"
    w="$(xwininfo -id "$id" | awk '/Width/ {print $2}')"
    xdotool mousemove "$((x + w - 10))" "$((y - 10))" click 1
}

qz_screenshot() {
    local target="${QZ_SCREENSHOT_DIR:-/tmp}/$1.png"
    import -window root "$target" 2>/dev/null && echo "screenshot: $target"
}

# The interface starts in Simplified Chinese; these titles match it in either language.
qz_chooser_titles=("Select an audio file and open it" "选择一个音频文件并打开")

qz_start() {
    "$1" >/dev/null 2>&1 &
    QZ_PID=$!
}

# Quits through the main window's close button and checks that qZ ended with status 0.
qz_quit() {
    local i
    qz_click_close_button "$1"
    for (( i = 0; i < 100; i++ )); do kill -0 "$QZ_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$QZ_PID" 2>/dev/null && qz_fail "the close button did not quit qZ"
    wait "$QZ_PID"
    local status=$?
    QZ_PID=
    [ "$status" -eq 0 ] || qz_fail "qZ ended with status $status"
}

qz_main_window_title() {
    xdotool getwindowname "$(xdotool search --onlyvisible --name '^qZ' | head -n 1)" 2>/dev/null
}

# Keys go to the active window: makes the window $1 the active one, asking again for up to 10 s
# (after a dialog closed, the window manager may hand the focus on late).
qz_activate() {
    local i
    for (( i = 0; i < 100; i++ )); do
        [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ] && return 0
        xdotool windowactivate "$1" >/dev/null 2>&1
        sleep 0.1
    done
    return 1
}

# Presses keys as the learner does: makes the window $1 the active one and sends the keys that
# follow to the active window through the X test extension (keys sent to a named window arrive as
# synthetic events, which the framework treats differently from typed ones).
qz_press() {
    local window="$1"; shift
    qz_activate "$window" || { echo "the window $window did not become active for the keys $*" >&2; return 1; }
    xdotool key "$@"
}

# Waits up to $2 seconds for the main window's title to match the regular expression $1.
qz_wait_main_title() {
    local pattern="$1" seconds="${2:-20}" i
    for (( i = 0; i < seconds * 10; i++ )); do
        [[ "$(qz_main_window_title)" =~ $pattern ]] && return 0
        sleep 0.1
    done
    return 1
}

# Clicks into the file chooser's file name box, which lies near its bottom edge.
qz_click_file_name_box() {
    local id="$1" x y w h
    x="$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}')"
    y="$(xwininfo -id "$id" | awk '/Absolute upper-left Y/ {print $4}')"
    w="$(xwininfo -id "$id" | awk '/Width/ {print $2}')"
    h="$(xwininfo -id "$id" | awk '/Height/ {print $2}')"
    xdotool mousemove "$((x + w * 65 / 100))" "$((y + h - 63))" click 1
}

# Presses Ctrl+N in the main window $1 and types the recording's path $2 into the chooser.
qz_open_recording() {
    local main_window="$1" recording="$2" chooser="" attempt i
    # A key press that reaches the window before it has the focus is lost: press again until
    # the chooser shows (a press while it is open goes to the chooser's modal loop, harmlessly).
    for (( attempt = 0; attempt < 3; attempt++ )); do
        qz_activate "$main_window"
        sleep 0.5
        qz_press "$main_window" ctrl+n
        chooser="$(qz_wait_titled 10 "${qz_chooser_titles[@]}")" && break
    done
    [ -n "$chooser" ] || qz_fail "Ctrl+N opened no file chooser"
    sleep 0.5
    qz_screenshot qz-new-course-chooser
    # Now and then the virtual display drops a typed character, and the chooser then stays with a
    # name that matches nothing: the name is typed again, over the old one, up to three times.
    for (( attempt = 0; attempt < 3; attempt++ )); do
        qz_type_into_chooser "$chooser" "$recording" && return 0
    done
    qz_screenshot qz-chooser-stayed
    qz_fail "the file chooser did not close on Return"
}

# Types the path $2 into the name box of the chooser $1 and presses Return until the chooser
# closes; false when it is still there.
qz_type_into_chooser() {
    local chooser="$1" path="$2" attempt i
    xdotool windowactivate --sync "$chooser" >/dev/null 2>&1 || return 0
    qz_click_file_name_box "$chooser"
    sleep 0.3
    xdotool key ctrl+a BackSpace
    xdotool type --delay 20 "$path"
    sleep 0.2
    qz_screenshot qz-new-course-typed
    # A full path first moves the chooser to the file's folder and a second Return opens the
    # file, but on some runs the first Return opens it at once. Return is pressed only while the
    # chooser is still there: one too many would reach the main window and open a text editor.
    for (( attempt = 0; attempt < 2; attempt++ )); do
        xdotool windowactivate --sync "$chooser" >/dev/null 2>&1 || return 0
        xdotool key Return
        for (( i = 0; i < 20; i++ )); do
            qz_wait_titled 0 "${qz_chooser_titles[@]}" >/dev/null || return 0
            sleep 0.1
        done
    done
    return 1
}

# The course text of the open course, once it exists.
qz_course_text() {
    ls "$HOME"/Documents/qz/library/temp/*.xml 2>/dev/null | head -n 1
}

# Sets X, Y, WIDTH and HEIGHT to where window $1 is on the screen (xdotool's own figures are
# off by the window manager's frame).
qz_locate() {
    local info
    info="$(xwininfo -id "$1")"
    X="$(awk '/Absolute upper-left X/ {print $4}' <<< "$info")"
    Y="$(awk '/Absolute upper-left Y/ {print $4}' <<< "$info")"
    WIDTH="$(awk '/Width/ {print $2}' <<< "$info")"
    HEIGHT="$(awk '/Height/ {print $2}' <<< "$info")"
}

# Writes recording $1: $3 tones of $2 whole seconds each (440, 550, 660 and 330 Hz in turn),
# 16-bit mono at 44.1 kHz.
qz_write_tones() {
    local file="$1" seconds="$2" count="$3" frequencies=(440 550 660 330) effects=() i
    for (( i = 0; i < count; i++ )); do
        (( i > 0 )) && effects+=(:)
        effects+=(synth "$seconds" sine "${frequencies[i % 4]}")
    done
    sox -n -r 44100 -b 16 -c 1 "$file" "${effects[@]}" || qz_fail "sox could not make $file"
}

# Writes the lyrics file beside recording $1: the lines after $2, one every $2 whole seconds.
qz_write_lyrics() {
    local lyrics="${1%.*}.lrc" seconds="$2" at=0 line
    shift 2
    : > "$lyrics"
    for line in "$@"; do
        printf '[%02d:%02d.00]%s\n' $(( at / 60 )) $(( at % 60 )) "$line" >> "$lyrics"
        at=$(( at + seconds ))
    done
}

# The colour of a pixel of the screen, as rrggbb.
qz_pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-Fa-f]\{6\}' | head -n 1 \
        | tr -d '#' | tr 'A-F' 'a-f'
}

# qZ's visible window of the size $1 (as 615x460), if any; not the window manager's frame
# around it, which has the same size.
qz_window_sized() {
    local id
    for id in $(xdotool search --onlyvisible --pid "$QZ_PID" 2>/dev/null); do
        [ "$(xdotool getwindowgeometry "$id" 2>/dev/null | awk '/Geometry/ {print $2}')" = "$1" ] && { echo "$id"; return 0; }
    done
    return 1
}
