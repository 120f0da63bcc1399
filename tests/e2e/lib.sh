#!/usr/bin/env bash
# Shared steps of the end-to-end tests: each test runs the built program in a fresh program
# folder on the virtual display it was started on and drives it with xdotool as a user would.
set -euo pipefail
# The test suite runs Qt offscreen; these tests need the real window on the virtual display.
export QT_QPA_PLATFORM=xcb

JORNIX_BUILT=${1:?usage: test.sh path/to/jornix}
E2E_DIR=$(mktemp -d /tmp/jornix-e2e.XXXXXX)
APP_DIR="$E2E_DIR/program"
mkdir -p "$APP_DIR"
cp "$JORNIX_BUILT" "$APP_DIR/jornix"
# A private world, so that the tests pass on any machine: their own HOME (no desktop settings,
# no CUPS options of the user), the locale the checks are written for, and no print server, so
# the print dialog offers printing to a file whatever printers the machine has.
export HOME="$E2E_DIR/home"
mkdir -p "$HOME"
unset XDG_CONFIG_HOME XDG_DATA_HOME LANGUAGE
# The search index goes to the user's cache folder: each test has its own.
export XDG_CACHE_HOME="$E2E_DIR/cache"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
export CUPS_SERVER="$E2E_DIR/no-print-server.sock"
APP_PID=""
APP_WIN=""
FAILURES=0

cleanup() {
    [ -n "$APP_PID" ] && kill -9 "$APP_PID" 2>/dev/null || true
    if [ "$FAILURES" -eq 0 ]; then rm -rf "$E2E_DIR"; else echo "kept $E2E_DIR for a look"; fi
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
check() { # check "what" command...
    local what=$1; shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
}
finish() {
    if [ "$FAILURES" -eq 0 ]; then echo "all checks passed"; exit 0; fi
    echo "$FAILURES check(s) failed" >&2; exit 1
}

today_entry() { echo "jx$(date +%Y%m%d).rtf"; }

# Waits until a visible window of the program whose name matches $1 exists; prints its id.
wait_window() {
    local name=$1 id=""
    for _ in $(seq 1 100); do
        id=$(xdotool search --onlyvisible --pid "$APP_PID" --name "$name" 2>/dev/null | tail -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# Number of visible windows of the program whose name matches $1.
count_windows() {
    xdotool search --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null | wc -l
}

launch_app() {
    (cd "$APP_DIR" && exec ./jornix >>"$E2E_DIR/output.txt" 2>&1) &
    APP_PID=$!
}

start_app() {
    launch_app
    APP_WIN=$(wait_window "Tarvex's Diary") || { fail "main window did not appear"; finish; }
    focus "$APP_WIN"
    sleep 0.5
}

focus() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1 || xdotool windowfocus --sync "$1" >/dev/null 2>&1 || true
    sleep 0.2
}

# Keys go to the window that has the input focus, as a keyboard's would.
keys() { for k in "$@"; do xdotool key --clearmodifiers "$k"; sleep 0.25; done; }
typed() { xdotool type --delay 30 "$1"; sleep 0.3; }

# Waits for the program to end by itself (after Alt+F4), at most 10 s.
wait_exit() {
    for _ in $(seq 1 100); do
        kill -0 "$APP_PID" 2>/dev/null || { APP_PID=""; return 0; }
        sleep 0.1
    done
    fail "program did not end"
    kill -9 "$APP_PID" 2>/dev/null || true
    APP_PID=""
    return 1
}

# The id of the program's main window once it shows (message boxes at start-up come first).
main_window() {
    for _ in $(seq 1 100); do
        for id in $(xdotool search --onlyvisible --pid "$APP_PID" --name "Tarvex's Diary" 2>/dev/null); do
            eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
            [ "${WIDTH:-0}" -ge 500 ] && { echo "$id"; return 0; }
        done
        sleep 0.1
    done
    return 1
}

# Answers a dialog of the program: waits for the window named $1, sends it the keys that
# follow (a "text:..." argument is typed), then gives the main window the focus back, as a
# window manager would when a dialog closes.
answer() {
    local name=$1 id; shift
    id=$(wait_window "$name") || { fail "no window '$name' appeared"; return 1; }
    focus "$id"
    for k in "$@"; do
        case "$k" in
            text:*) typed "${k#text:}" ;;
            *) keys "$k" ;;
        esac
    done
    sleep 0.3
    focus "$APP_WIN"
}

quit_app() { focus "$APP_WIN"; keys alt+F4; wait_exit; }

# Waits up to 5 s for a file to satisfy a test ("exists", "missing", or a text it contains).
wait_file() {
    local path=$1 want=$2
    for _ in $(seq 1 50); do
        case "$want" in
            exists) [ -e "$path" ] && return 0 ;;
            missing) [ ! -e "$path" ] && return 0 ;;
            *) [ -e "$path" ] && grep -q -- "$want" "$path" && return 0 ;;
        esac
        sleep 0.1
    done
    return 1
}

ini_has() { grep -q -F -- "$1" "$APP_DIR/jornix.ini"; }

# The plain text LibreOffice reads from an RTF file.
libreoffice_text() {
    local out="$E2E_DIR/lo"
    mkdir -p "$out"
    soffice --headless -env:UserInstallation=file://"$E2E_DIR"/lo-profile \
        --convert-to txt:Text --outdir "$out" "$1" >/dev/null 2>&1
    cat "$out/$(basename "${1%.*}").txt"
}
