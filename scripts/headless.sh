# Sourced by the test scripts: gives the tests a display with a window manager and a running
# audio device, starting only what is missing, and stops exactly what it started.
#   qz_headless_start   sets DISPLAY, starts Xvfb / openbox / a JACK dummy server when needed
#   qz_headless_stop    stops the processes that qz_headless_start started, by their ids

qz_started_pids=()

qz_wait_for() { # seconds, command...
    local tries=$(( $1 * 10 )); shift
    while ! "$@" >/dev/null 2>&1; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

qz_has_window_manager() {
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"
}

qz_jack_running() {
    JACK_NO_START_SERVER=1 jack_lsp >/dev/null 2>&1
}

qz_headless_start() {
    if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        local n=90
        # A display may also be held where this /tmp can't see it (another root on the same
        # machine answers on its abstract socket): ask the number itself too.
        while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || xdpyinfo -display ":$n" >/dev/null 2>&1; do
            n=$((n + 1))
        done
        # No key repeat: on a loaded machine a key's release can come late enough for the server
        # to repeat it, which types stray characters into the program under test.
        Xvfb ":$n" -screen 0 1600x1000x24 -nolisten tcp -ardelay 60000 >/dev/null 2>&1 &
        qz_started_pids+=($!)
        export DISPLAY=":$n"
        qz_wait_for 30 xdpyinfo || { echo "Xvfb did not start" >&2; return 1; }
        echo "started Xvfb on $DISPLAY"
    fi
    if ! qz_has_window_manager; then
        openbox >/dev/null 2>&1 &
        qz_started_pids+=($!)
        qz_wait_for 30 qz_has_window_manager || { echo "openbox did not start" >&2; return 1; }
        echo "started openbox"
    fi
    if ! qz_jack_running; then
        jackd --no-realtime -d dummy -r 44100 -p 512 >/dev/null 2>&1 &
        qz_started_pids+=($!)
        qz_wait_for 30 qz_jack_running || { echo "jackd did not start" >&2; return 1; }
        echo "started a JACK dummy server"
    fi
    # Clients must never start a server of their own behind our back.
    export JACK_NO_START_SERVER=1
}

qz_headless_stop() {
    local i
    for (( i=${#qz_started_pids[@]}-1; i>=0; i-- )); do
        kill "${qz_started_pids[$i]}" 2>/dev/null || true
        wait "${qz_started_pids[$i]}" 2>/dev/null || true
    done
    qz_started_pids=()
}
