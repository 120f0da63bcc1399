#!/usr/bin/env bash
# Date jumps over stored entries, then keyword files: new, rename, mark for start-up, delete,
# and a marked tab dragged into a new place, all from the keyboard and mouse.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
TODAY=$(today_entry)
mkdir -p "$DOCS/Backup"
for day in 01 05 20; do
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard March %s\\par\r\n}' "$day" > "$DOCS/jx202603$day.rtf"
done
marker() { keys ctrl+End; typed " $1"; keys ctrl+s; }

start_app
check "today's entry exists while it is shown" wait_file "$DOCS/$TODAY" exists
keys F7
check "F7 leaves today without a file" wait_file "$DOCS/$TODAY" missing
marker M20
check "F7 from today opens 20 March" wait_file "$DOCS/jx20260320.rtf" M20
keys F7 F7 F7
marker M01
check "F7 skips to 5 and then 1 March and stops there" wait_file "$DOCS/jx20260301.rtf" M01
keys F8
marker M05
check "F8 from 1 March opens 5 March" wait_file "$DOCS/jx20260305.rtf" M05
keys F8 F8
marker END
check "F8 stops at the last entry" wait_file "$DOCS/jx20260320.rtf" END
check "no day between was written" test "$(ls "$DOCS" | grep -c '^jx')" -eq 3

# New keyword files: untitled0, then untitled1; typing on the first is saved on leaving it.
keys ctrl+n
answer "Keyword File" Return
typed "keyword text"
keys ctrl+n
answer "Keyword File" Return
check "switching tabs saved kw_untitled0.rtf" wait_file "$DOCS/kw_untitled0.rtf" "keyword text"
check "the second proposal was untitled1 (its tab is empty, so no file)" test ! -e "$DOCS/kw_untitled1.rtf"

# Open untitled0 again from the list, rename it to Plans.
keys ctrl+o
answer "Open Keyword File" Return
keys alt+f r
answer "Keyword File" ctrl+a text:Plans Return
check "rename writes kw_Plans.rtf" wait_file "$DOCS/kw_Plans.rtf" "keyword text"
check "rename removes kw_untitled0.rtf" wait_file "$DOCS/kw_untitled0.rtf" missing

# Mark Plans for start-up through the File menu (Save is disabled and skipped).
keys alt+f Down Down Down Down Return
check "Load Tab At Startup writes startup.txt" wait_file "$DOCS/startup.txt" "Plans"

# Delete untitled1: No keeps it, Yes removes tab and file.
keys ctrl+n
answer "Keyword File" ctrl+a text:Scratch Return
typed "scratch text"; keys ctrl+s
check "Scratch saved" wait_file "$DOCS/kw_Scratch.rtf" "scratch text"
keys alt+f d
answer "Delete Keyword File" n
check "answered No: the file stays" test -e "$DOCS/kw_Scratch.rtf"
keys alt+f d
answer "Delete Keyword File" y
check "answered Yes: the file goes" wait_file "$DOCS/kw_Scratch.rtf" missing
quit_app

# The marked tab comes back; mark a second one and drag it before the first.
start_app
keys ctrl+n
answer "Keyword File" ctrl+a text:Later Return
typed "later text"
keys alt+f Down Down Down Down Down Return
check "both marked tabs are listed" wait_file "$DOCS/startup.txt" "Later"
check "in tab order" bash -c "tr -d '\r' < '$DOCS/startup.txt' | paste -sd, | grep -qx 'Plans,Later'"
eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
# Tabs sit just under the tool bar row (offsets measured on a screenshot of this layout); the
# last tab (Later, selected) is dragged onto Plans.
TAB_ROW_Y=69 PLANS_TAB_X=85 LATER_TAB_X=141
tab_y=$((Y + TAB_ROW_Y))
xdotool mousemove $((X + LATER_TAB_X)) $tab_y mousedown 1 sleep 0.2 \
        mousemove $((X + LATER_TAB_X - 20)) $tab_y sleep 0.2 \
        mousemove $((X + PLANS_TAB_X)) $tab_y sleep 0.2 mouseup 1
check "after the drag startup.txt follows the new order" \
    bash -c "for i in \$(seq 1 30); do tr -d '\r' < '$DOCS/startup.txt' | paste -sd, | grep -qx 'Later,Plans' && exit 0; sleep 0.1; done; exit 1"
quit_app
start_app
check "the marked tabs reopened (Later's text was saved at exit)" wait_file "$DOCS/kw_Later.rtf" "later text"
quit_app
finish
