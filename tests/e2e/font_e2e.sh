#!/usr/bin/env bash
# The font dialog from the keyboard: a colour chosen there is in the saved entry.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY=$(today_entry)

# Visible windows of the program titled exactly $1 (a search pattern alone also matches the
# main window).
titled() {
    local n=0 id
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && n=$((n + 1))
    done
    echo "$n"
}
# Sends keys to the window titled exactly $1 once it shows, then gives the main window the
# focus back, as a window manager would when a dialog closes.
answer_titled() {
    local title=$1 id="" candidate; shift
    for _ in $(seq 1 100); do
        for candidate in $(xdotool search --onlyvisible --pid "$APP_PID" --name "$title" 2>/dev/null); do
            [ "$(xdotool getwindowname "$candidate" 2>/dev/null)" = "$title" ] && id=$candidate
        done
        [ -n "$id" ] && break
        sleep 0.1
    done
    [ -n "$id" ] || { fail "no window '$title' appeared"; return 1; }
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
gone() {
    for _ in $(seq 1 50); do
        [ "$(titled "$1")" -eq 0 ] && return 0
        sleep 0.1
    done
    return 1
}

start_app
typed "colourful words"
keys ctrl+a ctrl+shift+f
# Alt+C reaches the colour list, R picks "Red", Return is OK.
answer_titled "Font" alt+c r Return
check "the font dialog closes with Return" gone "Font"
keys ctrl+s
check "the entry holds the colour red" wait_file "$DOCS/$ENTRY" '\\red255\\green0\\blue0;'
check "and the words are written in it" wait_file "$DOCS/$ENTRY" '\\cf1 colourful words'

# Escape cancels: the size typed into the dialog never reaches the entry.
keys ctrl+a ctrl+shift+f
answer_titled "Font" alt+s text:40 Escape
check "the font dialog closes with Escape" gone "Font"
keys ctrl+s
sleep 0.5
check "Escape leaves the size as it was" bash -c "! grep -q 'fs80' '$DOCS/$ENTRY'"

quit_app
finish
