#!/usr/bin/env bash
# Started without a display, qZ says so in one line on standard error and ends with a non-zero
# status instead of crashing; so do the test executables.
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
app="$1"
qz_make_home

check_refusal() { # name, command...
    local name="$1" errors status; shift
    errors="$(mktemp)"
    timeout 30 env -u DISPLAY "$@" >/dev/null 2>"$errors"
    status=$?
    [ "$status" -ne 0 ] || qz_fail "$name without a display ended with status 0"
    [ "$status" -lt 124 ] || qz_fail "$name without a display hung or crashed (status $status)"
    grep -q "no display" "$errors" || qz_fail "$name said nothing clear: $(head -c 300 "$errors")"
    [ "$(wc -l <"$errors")" -eq 1 ] || qz_fail "$name printed more than one line: $(head -c 300 "$errors")"
    rm -f "$errors"
}

check_refusal qZ "$app"
check_refusal "qZ on a display that does not exist" env DISPLAY=:9876 "$app"
tests="$(dirname "$app")/tests/qz_tests"
[ -x "$tests" ] && check_refusal qz_tests "$tests"
echo "PASS"
