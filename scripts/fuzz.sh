#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time and fails on any crash, sanitizer
# report, hang or runaway memory. Each target starts from the seeds it makes itself with qZ's own
# writers, the few the tools here make (MP3), and the inputs kept in tests/fuzz/regressions, which
# it first replays once each.
#   scripts/fuzz.sh BUILD_DIR [SECONDS_PER_TARGET]
# QZ_FUZZ_JOBS sets how many targets run at once (half the cores by default).
# Needs a display (the targets use windows and the message loop); scripts/test.sh gives it one.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$1"
seconds="${2:-60}"
work="$(mktemp -d /tmp/qz-fuzz.XXXXXX)"
trap 'rm -rf "$work"' EXIT

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:suppressions=$root/tests/sanitizers/asan.supp"
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"

mapfile -t targets < <(find "$build/tests/fuzz" -maxdepth 1 -type f -name 'fuzz_*' -perm -u+x -printf '%f\n' | sort)
[ ${#targets[@]} -gt 0 ] || { echo "no fuzz targets in $build/tests/fuzz" >&2; exit 1; }

extra_seeds() { # target folder: seeds that qZ has no writer for
    case "$1" in
        fuzz_audio_mp3)
            sox -n -r 22050 -c 1 "$work/tone.wav" synth 0.2 sine 440 2>/dev/null
            lame --quiet -b 32 "$work/tone.wav" "$2/cbr.mp3" 2>/dev/null
            lame --quiet -V 6 "$work/tone.wav" "$2/vbr.mp3" 2>/dev/null
            ;;
    esac
}

run_target() { # name: seeds, the kept inputs once each, then the timed run
    local name="$1" corpus="$work/corpus/$1" log="$work/$1.log" kept="$root/tests/fuzz/regressions/$1"
    mkdir -p "$corpus" "$work/artifacts"
    QZ_FUZZ_WRITE_SEEDS="$corpus" "$build/tests/fuzz/$name" >"$log" 2>&1 || { echo "$name: making seeds failed"; return 1; }
    extra_seeds "$name" "$corpus"
    if [ -d "$kept" ] && [ -n "$(ls -A "$kept")" ]; then
        "$build/tests/fuzz/$name" -runs=1 "$kept"/* >>"$log" 2>&1 || { echo "$name: a kept input fails again"; return 1; }
        cp "$kept"/* "$corpus"/
    fi
    "$build/tests/fuzz/$name" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -malloc_limit_mb=1536 \
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$work/artifacts/$name-" "$corpus" >>"$log" 2>&1
}

jobs="${QZ_FUZZ_JOBS:-$(( ($(nproc) + 1) / 2 ))}"
echo "== Fuzzing ${#targets[@]} targets for $seconds s each, $jobs at a time"
for name in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$jobs" ]; do wait -n; done
    ( if run_target "$name" >"$work/$name.note"; then echo ok; else echo FAILED; fi >"$work/$name.result" ) &
done
wait
status=0
for name in "${targets[@]}"; do
    result="$(cat "$work/$name.result" 2>/dev/null || echo FAILED)"
    [ "$result" = ok ] || status=1
    runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$work/$name.log" | grep -o '[0-9]*$' | tail -n 1)"
    printf '   %-22s %-7s %s executions\n' "$name" "$result" "${runs:-?}"
    if [ "$result" = FAILED ]; then
        sed 's/^/      /' "$work/$name.note"
        grep -E 'ERROR|SUMMARY|invariant|Test unit written|==[0-9]+==|failed|fails' "$work/$name.log" | head -n 20 | sed 's/^/      /'
    fi
done
if [ $status -ne 0 ]; then
    mkdir -p "$root/build/fuzz-findings"
    cp "$work/artifacts"/* "$root/build/fuzz-findings/" 2>/dev/null
    for name in "${targets[@]}"; do
        [ "$(cat "$work/$name.result" 2>/dev/null)" = ok ] || cp "$work/$name.log" "$root/build/fuzz-findings/"
    done
    echo "   the logs and inputs that failed are in build/fuzz-findings: fix the fault, then keep each input in"
    echo "   tests/fuzz/regressions/<target>/ so that every later run tries it again"
fi
exit $status
