#!/usr/bin/env bash
# Kills qZ's write roads (SIGKILL) at random moments and checks every restart: the kill driver
# runs one kind of write in a data folder of its own, is killed a random time after the write
# started, and a fresh driver then starts as the application does and checks that no course was
# lost and that every file it finds is the old version or the new one.
#   kill_at_every_write.sh DRIVER
# QZ_KILL_ROUNDS (100) sets the number of kills, QZ_KILL_SEED the seed of the random moments and
# QZ_KILL_LANES (3) how many rounds run at once.
set -uo pipefail

driver="$1"
rounds="${QZ_KILL_ROUNDS:-100}"
seed="${QZ_KILL_SEED:-$(date +%s)}"
RANDOM=$seed
echo "seed $seed (QZ_KILL_SEED=$seed repeats the same moments)"

work="$(mktemp -d /tmp/qz-kill.XXXXXX)"
pid=""
lane_pids=()
cleanup() {
    [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
    [ "${#lane_pids[@]}" -gt 0 ] && kill "${lane_pids[@]}" 2>/dev/null && wait "${lane_pids[@]}" 2>/dev/null
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

# One round: a fresh copy of the kind's starting point, the write killed after the delay, then the
# restart's check. Its outcome goes into result-ROUND: the kind, whether the write had ended before
# the kill, and the check's verdict.
run_round() {
    local round="$1" kind="$2" delay="$3" home="$work/round-$1" result ended=0
    rm -rf "$home" && cp -a "$work/template-$kind" "$home"
    if ! start_write "$kind" "$home"; then
        printf '%s 0\nthe write did not start: %s\n' "$kind" "$(tail -n 3 "$home/write-errors.txt")" >"$work/result-$round"
        return
    fi
    sleep "$(printf '%d.%03d' $(( delay / 1000 )) $(( delay % 1000 )))"
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    pid=""
    grep -q '^done$' "$home/progress.txt" && ended=1
    result="$(HOME="$home" timeout 120 "$driver" check "$kind" "$home/progress.txt" 2>"$home/check-errors.txt")"
    if [ "$result" != "intact" ]; then
        result="killed after $delay ms, $(grep -c '^saved' "$home/progress.txt") versions saved: ${result:-the check crashed}
$(tail -n 5 "$home/check-errors.txt")"
    fi
    printf '%s %d\n%s\n' "$kind" "$ended" "$result" >"$work/result-$round"
    rm -rf "$home"
}

# The moments are drawn here, in round order, so that a seed gives the same ones however the rounds
# are shared out; the rounds run in a few lanes at once, each in a home of its own.
lanes="${QZ_KILL_LANES:-3}"
declare -a round_kind round_delay
for (( round = 0; round < rounds; round++ )); do
    round_kind[round]="${kinds[round % ${#kinds[@]}]}"
    round_delay[round]=$(( (RANDOM * 32768 + RANDOM) % ${window[${round_kind[round]}]} ))
done
lane_pids=()
for (( lane = 0; lane < lanes; lane++ )); do
    (
        pid=""
        trap '[ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null' EXIT
        trap 'exit 1' TERM INT
        for (( round = lane; round < rounds; round += lanes )); do
            run_round "$round" "${round_kind[round]}" "${round_delay[round]}"
        done
    ) &
    lane_pids+=($!)
done
wait "${lane_pids[@]}"
lane_pids=()

lost=0
for (( round = 0; round < rounds; round++ )); do
    { read -r kind ended_before; result="$(cat)"; } <"$work/result-$round" 2>/dev/null ||
        { kind="${round_kind[round]}"; ended_before=0; result="no outcome"; }
    kills[$kind]=$(( kills[$kind] + 1 ))
    ended[$kind]=$(( ended[$kind] + ended_before ))
    if [ "$result" = "intact" ]; then
        intact[$kind]=$(( intact[$kind] + 1 ))
    else
        lost=$(( lost + 1 ))
        echo "round $round, $kind $result"
    fi
done

echo "kills by kind of write (killed / ended before the kill / courses intact after the restart):"
total=0
for kind in "${kinds[@]}"; do
    printf '  %-12s %3d / %3d / %3d\n' "$kind" "${kills[$kind]}" "${ended[$kind]}" "${intact[$kind]}"
    total=$(( total + kills[$kind] ))
done
echo "kills: $total, restarts with every course intact: $(( total - lost )), with a fault: $lost"
[ "$lost" -eq 0 ]
