#!/usr/bin/env bash
# The date control's calendar shows a stored day in bold and drops the mark when another
# program removes the file; the Quick List's "On This Day" lists last year's entry of today and
# opens it when chosen.
source "$(dirname "$0")/lib.sh"
export HOME="$E2E_DIR/home" LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$HOME"
DOCS="$APP_DIR/Docs"
mkdir -p "$DOCS/Backup"
rtf() { printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard %s\\par\r\n}' "$1"; }

# A stored day of this month that is not today (today is framed, which would change its cell).
MONTH=$(date +%Y%m)
DAY=15
[ "$(date +%d)" = 15 ] && DAY=16
STORED="$DOCS/jx$MONTH$DAY.rtf"
rtf "Stored on the $DAY" > "$STORED"
# Today's day in an earlier year (the 29th of February comes back every four years).
if [ "$(date +%m%d)" = 0229 ]; then EARLIER=$(( $(date +%Y) - 4 )); else EARLIER=$(( $(date +%Y) - 1 )); fi
LAST_YEAR="$DOCS/jx$EARLIER$(date +%m%d).rtf"
rtf "Written a year ago" > "$LAST_YEAR"
# The side bar opens on On This Day.
printf '[Quick List]\r\nIs Open=1\r\nCurrent Filter Index=4\r\n' > "$APP_DIR/jornix.ini"

click_at() {
    eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
    xdotool mousemove $((X + $1)) $((Y + $2)) click 1
    sleep 0.8
}
# The calendar's arrow at the right end of the date control, measured on this layout.
open_calendar() {
    eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
    xdotool mousemove $((X + WIDTH - 14)) $((Y + 40)) click 1
    sleep 1
}
# The pop-up: the program's other visible window, smaller than the main one.
popup() {
    for id in $(xdotool search --onlyvisible --pid "$APP_PID" "" 2>/dev/null); do
        [ "$id" = "$APP_WIN" ] && continue
        eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
        [ "${WIDTH:-0}" -ge 150 ] && [ "${WIDTH:-0}" -lt 500 ] && { echo "$id"; return 0; }
    done
    return 1
}
shoot_popup() {
    local id
    id=$(popup) || return 1
    eval "$(xdotool getwindowgeometry --shell "$id")"
    import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$1"
}

start_app

open_calendar
popup_shown() { popup >/dev/null; }
check "the date control's arrow opens the calendar" popup_shown
shoot_popup "$E2E_DIR/marked.png"
keys Escape
rm "$STORED"
open_calendar
shoot_popup "$E2E_DIR/unmarked.png"
keys Escape
# The two pictures differ in the stored day's cell alone, which was darker (bold) before.
box=$(convert "$E2E_DIR/marked.png" "$E2E_DIR/unmarked.png" -compose difference -composite \
    -colorspace gray -threshold 15% -format '%@' info: 2>/dev/null || true)
echo "changed area: $box"
small_box() {
    [[ "$box" =~ ^([0-9]+)x([0-9]+)\+[0-9]+\+[0-9]+$ ]] || return 1
    [ "${BASH_REMATCH[1]}" -gt 0 ] && [ "${BASH_REMATCH[1]}" -le 40 ] && [ "${BASH_REMATCH[2]}" -le 30 ]
}
check "only one day's cell changed when its file went away" small_box
darker() {
    local a b
    a=$(convert "$E2E_DIR/marked.png" -crop "$box" -colorspace gray -format '%[fx:mean]' info:)
    b=$(convert "$E2E_DIR/unmarked.png" -crop "$box" -colorspace gray -format '%[fx:mean]' info:)
    echo "mean brightness of the cell: stored $a, removed $b"
    awk -v a="$a" -v b="$b" 'BEGIN { exit !(a < b - 0.02) }'
}
check "the stored day was drawn in bold" darker

# On This Day lists last year's entry first; choosing it opens it.
LIST_X=660 LINE1_Y=119
click_at $LIST_X $LINE1_Y
keys ctrl+End
typed " and read again"
keys ctrl+s
check "On This Day listed and opened last year's entry" wait_file "$LAST_YEAR" "read again"
quit_app
check "the filter is kept" ini_has "Current Filter Index=4"
finish
