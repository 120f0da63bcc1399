#!/usr/bin/env bash
# Start-up measured from outside: the time from starting the program to its main window being
# visible, on a virtual display, for an empty journal, a journal of 7,300 small days and 500
# keyword files, and a journal whose today's entry is 5 MB.
#
#   scripts/startup-times.sh [runs]          median, fastest and slowest of runs (default 5),
#                                            and the median of the large start minus the
#                                            empty one, run for run
#   scripts/startup-times.sh --once <kind>   one start of the prepared journal <kind> (empty,
#                                            many or large) that ends as soon as the window
#                                            shows (the program is killed, nothing being
#                                            modified): a whole-process timer then times start
#                                            to window
#
# The optimised build (the bench preset) is measured. Each kind of journal is made once in its
# own program folder under build-bench/startup/; every run starts on it as it was left.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb

root=build-bench/startup
kinds=(empty many large)

prepare() {
    cmake --preset bench >/dev/null
    cmake --build --preset bench --target jornix sample_journal >/dev/null
    rm -rf "$root"
    for kind in "${kinds[@]}"; do
        mkdir -p "$root/$kind"
        cp build-bench/jornix "$root/$kind/jornix"
        build-bench/bench/sample_journal "$root/$kind/Docs" "$kind"
        # A first start writes the settings file and the folders it keeps and builds the search
        # index, as any later start finds them.
        run_once "$kind" settle >/dev/null
    done
}

# Waits until a process has used no processor time for a second (at most a minute).
wait_idle() {
    local pid=$1 last=-1 now
    for _ in $(seq 1 60); do
        now=$(awk '{print $14 + $15}' "/proc/$pid/stat" 2>/dev/null || echo gone)
        [ "$now" = "$last" ] && return 0
        last=$now
        sleep 1
    done
}

now_ms() { echo $(($(date +%s%N) / 1000000)); }

# Starts the program of one journal, prints the milliseconds until its main window is visible,
# then ends it: with SIGTERM, waiting for it to save and go, or (with "kill") at once, or (with
# "settle") with SIGTERM once it has finished what it does after showing its window.
run_once() {
    local dir="$root/$1" start pid win="" elapsed
    start=$(now_ms)
    (cd "$dir" && exec ./jornix >>output.txt 2>&1) &
    pid=$!
    while [ -z "$win" ]; do
        win=$(xdotool search --onlyvisible --pid "$pid" --name "Tarvex's Diary" 2>/dev/null |
            head -n 1 || true)
        if ! kill -0 "$pid" 2>/dev/null; then
            # A virtual display shared with other work now and then refuses a connection;
            # such a start is made again, anything else ends the measurement.
            if tail -n 5 "$dir/output.txt" | grep -q 'platform plugin "xcb"' &&
                [ "${3:-0}" -lt 3 ]; then
                echo "the display refused the program; starting it again" >&2
                run_once "$1" "${2:-}" $((${3:-0} + 1))
                return
            fi
            echo "the program ended before its window showed (see $dir/output.txt)" >&2
            return 1
        fi
        if [ $(($(now_ms) - start)) -gt 60000 ]; then
            kill -9 "$pid" 2>/dev/null || true
            echo "no window within a minute" >&2
            return 1
        fi
    done
    elapsed=$(($(now_ms) - start))
    if [ "${2:-}" = kill ]; then
        kill -KILL "$pid"
    elif [ "${2:-}" = settle ]; then
        wait_idle "$pid"
        kill -TERM "$pid"
    else
        kill -TERM "$pid"
    fi
    { wait "$pid" || true; } 2>/dev/null
    echo "$elapsed"
}

if [ "${1:-}" = "--once" ]; then
    run_once "${2:?which journal: empty, many or large}" kill
    exit
fi

runs=${1:-5}
prepare
# The kinds take turns, run by run, so that a machine whose speed drifts during the measurement
# weighs on each alike; each large start is also set against the empty start of its own turn.
declare -A times last
differences=()
for _ in $(seq 1 "$runs"); do
    for kind in "${kinds[@]}"; do
        last[$kind]=$(run_once "$kind")
        times[$kind]+="${last[$kind]} "
    done
    differences+=($((last[large] - last[empty])))
done
# Prints the median, fastest and slowest of the figures given.
summary() {
    local sorted=($(printf "%s\n" "$@" | sort -n))
    echo "${sorted[$(((${#sorted[@]} - 1) / 2))]} ${sorted[0]} ${sorted[-1]}"
}
printf "%-8s %8s %8s %8s   (ms from start to visible window, %d runs)\n" journal median fastest slowest "$runs"
for kind in "${kinds[@]}"; do
    printf "%-8s %8s %8s %8s\n" "$kind" $(summary ${times[$kind]})
done
printf "%-8s %8s %8s %8s   (large minus empty, turn by turn)\n" "+large" $(summary "${differences[@]}")
