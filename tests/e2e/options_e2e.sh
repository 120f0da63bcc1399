#!/usr/bin/env bash
# The Options dialog and the About box, opened from the keyboard as a user would.
source "$(dirname "$0")/lib.sh"
INI="$APP_DIR/jornix.ini"

# Visible windows of the program whose title is exactly $1 (a search pattern alone also
# matches the main window here).
titled() {
    local n=0 id
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" --name "$1" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && n=$((n + 1))
    done
    echo "$n"
}
wait_titled() {
    for _ in $(seq 1 50); do
        [ "$(titled "$1")" -ge 1 ] && return 0
        sleep 0.1
    done
    return 1
}

start_app

# F2 opens Options on "Printing"; the first Tab stops after the page tabs are the two check
# boxes, then Left and Top.
keys F2
check "F2 opens the Options window" wait_titled Options
answer "Options" Tab Tab Tab Tab ctrl+a text:37 Return
check "OK saves the new top margin" wait_file "$INI" "Top Margin=37"
check "the Options window is gone after OK" test "$(titled Options)" -eq 0

# Escape cancels: a margin typed into the dialog never reaches the file.
keys F2
answer "Options" Tab Tab Tab Tab ctrl+a text:55 Escape
sleep 0.5
check "Escape leaves the top margin as it was" ini_has "Top Margin=37"
check "the Options window is gone after Escape" test "$(titled Options)" -eq 0

# Help > About... is the last item of the Help menu.
keys alt+h Up Return
check "About... opens the About window" wait_titled About
answer "About" Escape
check "Escape closes the About window" test "$(titled About)" -eq 0
keys alt+h Up Return
check "About... opens again" wait_titled About
answer "About" Return
check "Return closes the About window" test "$(titled About)" -eq 0

quit_app
check "the margin is still in the file after exit" ini_has "Top Margin=37"
finish
