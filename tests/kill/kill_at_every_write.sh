#!/usr/bin/env bash
# Kills qZ's write roads (SIGKILL) at random moments and checks every restart: the kill driver
# runs one kind of write in a data folder of its own, is killed a random time after the write
# started, and a fresh driver then starts as the application does and checks that no course was
# lost and that every file it finds is the old version or the new one.
#   kill_at_every_write.sh DRIVER
# QZ_KILL_ROUNDS (100) sets the number of kills, QZ_KILL_SEED the seed of the random moments.
set -uo pipefail

driver="$1"
rounds="${QZ_KILL_ROUNDS:-100}"
seed="${QZ_KILL_SEED:-$(date +%s)}"
RANDOM=$seed
echo "seed $seed (QZ_KILL_SEED=$seed repeats the same moments)"

work="$(mktemp -d /tmp/qz-kill.XXXXXX)"
pid=""
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

now_ms() {
    local t="${EPOCHREALTIME/./}"
    echo $(( t / 1000 ))
}

# Starts the write of the kind in the home and waits until it says that it started; the driver's
# process id in $pid. False when it ended or said nothing first.
start_write() {
    local kind="$1" home="$2" i
    HOME="$home" "$driver" write "$kind" >"$home/progress.txt" 2>"$home/write-errors.txt" &
    pid=$!
    for (( i = 0; i < 6000; i++ )); do
        grep -q '^go$' "$home/progress.txt" 2>/dev/null && return 0
        kill -0 "$pid" 2>/dev/null || { grep -q '^go$' "$home/progress.txt"; return; }
        sleep 0.01
    done
    return 1
}

read -r -a kinds <<<"$("$driver" kinds)"
[ "${#kinds[@]}" -gt 0 ] || fail "the driver names no kind of write"

# Every kind's starting point is prepared once and copied for each round. A write that runs to
# its end within three seconds is timed once, and its kills fall within that time; the others
# repeat their write and are killed within a second.
declare -A window kills ended intact
for kind in "${kinds[@]}"; do
    template="$work/template-$kind"
    mkdir -p "$template"
    HOME="$template" timeout 300 "$driver" prepare "$kind" >"$work/prepare-$kind.txt" 2>&1 ||
        { cat "$work/prepare-$kind.txt" >&2; fail "can't prepare $kind"; }
    home="$work/timing"
    rm -rf "$home" && cp -a "$template" "$home"
    start_write "$kind" "$home" || { cat "$home/write-errors.txt" >&2; fail "the $kind write did not start"; }
    started=$(now_ms)
    for (( i = 0; i < 300; i++ )); do
        grep -q '^done$' "$home/progress.txt" && break
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.01
    done
    if grep -q '^done$' "$home/progress.txt"; then
        window[$kind]=$(( $(now_ms) - started + 1 ))
        wait "$pid" || { cat "$home/write-errors.txt" >&2; fail "the $kind write failed without a kill"; }
    elif kill -0 "$pid" 2>/dev/null; then
        kill -KILL "$pid"; wait "$pid" 2>/dev/null
        window[$kind]=1000
    else
        cat "$home/write-errors.txt" >&2
        fail "the $kind write failed without a kill"
    fi
    pid=""
    kills[$kind]=0; ended[$kind]=0; intact[$kind]=0
    echo "$kind: kills within ${window[$kind]} ms of the write's start"
done

lost=0
for (( round = 0; round < rounds; round++ )); do
    kind="${kinds[round % ${#kinds[@]}]}"
    home="$work/round"
    rm -rf "$home" && cp -a "$work/template-$kind" "$home"
    delay=$(( (RANDOM * 32768 + RANDOM) % ${window[$kind]} ))
    start_write "$kind" "$home" || { cat "$home/write-errors.txt" >&2; fail "round $round: the $kind write did not start"; }
    sleep "$(printf '%d.%03d' $(( delay / 1000 )) $(( delay % 1000 )))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    kills[$kind]=$(( kills[$kind] + 1 ))
    grep -q '^done$' "$home/progress.txt" && ended[$kind]=$(( ended[$kind] + 1 ))

    result="$(HOME="$home" timeout 120 "$driver" check "$kind" "$home/progress.txt" 2>"$home/check-errors.txt")"
    if [ "$result" = "intact" ]; then
        intact[$kind]=$(( intact[$kind] + 1 ))
    else
        lost=$(( lost + 1 ))
        saved="$(grep -c '^saved' "$home/progress.txt")"
        echo "round $round, $kind killed after $delay ms ($saved versions saved): ${result:-the check crashed}"
        tail -n 5 "$home/check-errors.txt"
    fi
done

echo "kills by kind of write (killed / ended before the kill / courses intact after the restart):"
total=0
for kind in "${kinds[@]}"; do
    printf '  %-12s %3d / %3d / %3d\n' "$kind" "${kills[$kind]}" "${ended[$kind]}" "${intact[$kind]}"
    total=$(( total + kills[$kind] ))
done
# Courseware generation is to join the kinds once its road is built.
echo "kills: $total, restarts with every course intact: $(( total - lost )), with a fault: $lost"
[ "$lost" -eq 0 ]
