#!/usr/bin/env bash
# F6 and the Quick List: this month's entries, choosing a line opens its day (after saving the
# day shown), the Keywords filter opens keyword tabs, and the side bar's settings survive a
# restart.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
TODAY=$(today_entry)
MONTH=$(date +%Y%m)
mkdir -p "$DOCS/Backup"
for d in 01 02; do
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Day %s\\par\r\n}' "$d" > "$DOCS/jx$MONTH$d.rtf"
done
for k in Alpha Beta; do
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard %s\\par\r\n}' "$k" > "$DOCS/kw_$k.rtf"
done
# Places in the window, measured on a screenshot of this layout: the side bar's lines are
# 14 pixels apart below the filter box.
LIST_X=660 LINE1_Y=119 LINE_STEP=14 FILTER_X=668 FILTER_Y=94
click_at() {
    eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.6
}
line_y() { echo $((LINE1_Y + LINE_STEP * $1)); }

start_app
typed "written today"
keys F6
sleep 0.5
import -window "$APP_WIN" "$E2E_DIR/quicklist.png"
# Oldest first: day 01, day 02, today. Choosing day 01 saves today's text first.
click_at $LIST_X "$(line_y 0)"
check "choosing a line saved the day shown first" wait_file "$DOCS/$TODAY" "written today"
keys ctrl+End; typed " chosen"; keys ctrl+s
check "the first line opened the oldest entry of the month" wait_file "$DOCS/jx${MONTH}01.rtf" "chosen"
click_at $LIST_X "$(line_y 1)"
keys ctrl+End; typed " second"; keys ctrl+s
check "the second line opened the next entry" wait_file "$DOCS/jx${MONTH}02.rtf" "second"

# The Keywords filter (the last but one of the drop-down), then the second keyword.
click_at $FILTER_X $FILTER_Y
keys End Up Return
sleep 0.5
click_at $LIST_X "$(line_y 1)"
keys ctrl+End; typed " kw"; keys ctrl+s
check "choosing a keyword line opens its tab" wait_file "$DOCS/kw_Beta.rtf" "kw"
quit_app
check "Is Open saved" ini_has "Is Open=1"
check "filter saved" ini_has "Current Filter Index=3"
check "side bar width saved" ini_has "[Quick List]"
width=$(grep -A4 '^\[Quick List\]' "$APP_DIR/jornix.ini" | grep '^Width=' | cut -d= -f2)

start_app
# The side bar is open on Keywords with Alpha first: choosing it opens Alpha's tab.
click_at $LIST_X "$(line_y 0)"
keys ctrl+End; typed " again"; keys ctrl+s
check "after a restart the side bar is open on Keywords" wait_file "$DOCS/kw_Alpha.rtf" "again"
quit_app
check "Is Open still 1" ini_has "Is Open=1"
check "filter still 3" ini_has "Current Filter Index=3"
check "width kept" ini_has "Width=$width"
check "Current Tab kept" ini_has "Current Tab=0"
finish
