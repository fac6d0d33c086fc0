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
    local pattern="$1" seconds="${2:-20}" id
    for (( i = 0; i < seconds * 10; i++ )); do
        id="$(xdotool search --name "$pattern" 2>/dev/null | head -n 1)"
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
    local seconds="$1" id name title; shift
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
