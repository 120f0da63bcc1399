#!/usr/bin/env bash
# A second start of the same journal while the first runs: a message box from the second
# process, which then ends, and the first runs on. After the first is killed, its lock file is
# stale and the next start takes it over and opens normally.
source "$(dirname "$0")/lib.sh"

SECOND_PID=""
trap '[ -n "$SECOND_PID" ] && kill -9 "$SECOND_PID" 2>/dev/null; cleanup' EXIT

start_app
FIRST_PID=$APP_PID
check "the first start shows its main window" main_window >/dev/null
check "the first start holds the lock file" test -e "$APP_DIR/jornix.lock"

(cd "$APP_DIR" && exec ./jornix >>"$E2E_DIR/second.txt" 2>&1) &
SECOND_PID=$!
# Windows are told apart by id rather than by process: xdotool's process search is not reliable
# with two copies of the same program on one display.
FIRST_WIN=$APP_WIN
others() { xdotool search --onlyvisible --name "Tarvex's Diary" 2>/dev/null | grep -vx "$FIRST_WIN" || true; }
box=""
for _ in $(seq 1 100); do
    box=$(others | head -n 1)
    [ -n "$box" ] && break
    sleep 0.1
done
check "the second start shows a message box" test -n "$box"
if [ -n "$box" ]; then
    sleep 0.3
    eval "$(xdotool getwindowgeometry --shell "$box")"
    echo "the second start's window: ${WIDTH:-?}x${HEIGHT:-?}"
    check "the second start's window is a message box, not a main window" test "${HEIGHT:-999}" -lt 300
    check "the second start opened no other window" test "$(others | wc -l)" -eq 1
    focus "$box"
    keys Return
fi
ended=no
for _ in $(seq 1 100); do
    kill -0 "$SECOND_PID" 2>/dev/null || { ended=yes; break; }
    sleep 0.1
done
check "the second process ends after the message" test "$ended" = yes
[ "$ended" = yes ] && SECOND_PID=""
check "the first process still runs" kill -0 "$FIRST_PID"
check "the first process still shows its window" test "$(count_windows "Tarvex's Diary")" -ge 1

# A crash of the first: SIGKILL leaves its lock file behind.
kill -9 "$FIRST_PID"
wait "$FIRST_PID" 2>/dev/null || true
APP_PID=""
check "the killed program left its lock file" test -e "$APP_DIR/jornix.lock"

launch_app
win=$(main_window || true)
check "a new start takes over the stale lock and shows its main window" test -n "$win"
check "the new start shows no message box" \
    test "$(xdotool search --onlyvisible --name "Tarvex's Diary" 2>/dev/null | wc -l)" -eq 1
if [ -n "$win" ]; then
    APP_WIN=$win
    quit_app
    check "the program ends normally" test -z "$APP_PID"
fi
finish
