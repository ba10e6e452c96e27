#!/usr/bin/env bash
# Memory soak of the main window: runs stelmap connected to stelmap-sim for a
# stretch of receiver time and prints the window's resident memory once a
# receiver minute, as "minute,rss_kib,wall_seconds" lines (CSV on stdout, or
# --out FILE). The receive log is full after 50,000 lines; from then on the
# curve should be flat.
#
#   bench/soak_memory.sh [--minutes 60] [--rate 10] [--dual] [--speed 1]
#                        [--build DIR] [--out FILE] [--offscreen]
#                        [--wrap "heaptrack -o FILE"]
#
# --speed runs the simulator that many times faster than real time (its
# --speed option), so an hour of fixes takes an hour divided by it; the
# samples stay one per receiver minute. The window runs under Xvfb unless
# --offscreen is given. Its settings go to a scratch directory, so the
# user's own settings are left alone.
set -euo pipefail

minutes=60
rate=10
dual=()
speed=1
build="$(cd "$(dirname "$0")/.." && pwd)/build/default"
out=/dev/stdout
offscreen=0
wrap=""
while (($#)); do
    case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --rate) rate=$2; shift 2 ;;
    --dual) dual=(--dual); shift ;;
    --speed) speed=$2; shift 2 ;;
    --build) build=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    --offscreen) offscreen=1; shift ;;
    --wrap) wrap=$2; shift 2 ;;
    *) echo "soak_memory.sh: unknown option $1" >&2; exit 2 ;;
    esac
done

stelmap="$build/app/stelmap"
sim="$build/tools/sim/stelmap-sim"
for exe in "$stelmap" "$sim"; do
    [[ -x $exe ]] || { echo "soak_memory.sh: $exe is not built" >&2; exit 2; }
done

scratch=$(mktemp -d)
sim_pid=""
xvfb_pid=""
win_pid=""
cleanup() {
    for pid in $win_pid $sim_pid $xvfb_pid; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

speed_args=()
[[ $speed == 1 ]] || speed_args=(--speed "$speed")
"$sim" --rate "$rate" "${dual[@]}" "${speed_args[@]}" >"$scratch/sim.out" 2>"$scratch/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
    [[ -s $scratch/sim.out ]] && break
    sleep 0.1
done
port=$(head -n1 "$scratch/sim.out")
[[ $port == /dev/* ]] || { echo "soak_memory.sh: the simulator gave no port" >&2; exit 1; }

export XDG_CONFIG_HOME="$scratch/config"
if ((offscreen)); then
    export QT_QPA_PLATFORM=offscreen
else
    display=":$((90 + RANDOM % 400))"
    Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    sleep 1
    export DISPLAY=$display QT_QPA_PLATFORM=xcb
fi
# shellcheck disable=SC2086  # the wrapper is a command line of its own
$wrap "$stelmap" --connect "$port" >"$scratch/window.log" 2>&1 &
win_pid=$!

# The window's own process: a wrapper such as heaptrack starts it as a child.
window_process() {
    local child
    child=$(pgrep -P "$win_pid" -n 2>/dev/null || true)
    if [[ -n $child && -n $wrap ]]; then echo "$child"; else echo "$win_pid"; fi
}

interval=$(awk -v s="$speed" 'BEGIN { printf "%.3f", 60 / s }')
start=$(date +%s.%N)
echo "minute,rss_kib,wall_seconds" >"$out"
for ((minute = 0; minute <= minutes; ++minute)); do
    if ((minute > 0)); then
        # Sleep to the minute's mark, not by a fixed amount, so delays do not add up.
        target=$(awk -v st="$start" -v m="$minute" -v i="$interval" 'BEGIN { printf "%.3f", st + m * i }')
        now=$(date +%s.%N)
        pause=$(awk -v t="$target" -v n="$now" 'BEGIN { d = t - n; printf "%.3f", (d > 0 ? d : 0) }')
        sleep "$pause"
    fi
    pid=$(window_process)
    if ! kill -0 "$pid" 2>/dev/null; then
        echo "soak_memory.sh: the window is gone at minute $minute" >&2
        cat "$scratch/window.log" >&2
        exit 1
    fi
    rss=$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status")
    wall=$(awk -v st="$start" -v n="$(date +%s.%N)" 'BEGIN { printf "%.0f", n - st }')
    echo "$minute,$rss,$wall" >>"$out"
done
if [[ -s $scratch/sim.err ]]; then
    cat "$scratch/sim.err" >&2
fi
