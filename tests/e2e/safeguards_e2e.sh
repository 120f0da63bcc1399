#!/usr/bin/env bash
# Nothing an ordinary action does loses or misfiles text: typing a date into the date control
# opens that day only once it is complete, and a termination signal (a shut-down, a log-out)
# saves what was typed.
source "$(dirname "$0")/lib.sh"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
DOCS="$APP_DIR/Docs"
MONTH=$(date +%Y%m)
mkdir -p "$DOCS/Backup"

# The date control stands at the right end of the tool bar row; its text ends with the year
# and the pop-up button.
click_date_control() {
    eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
    xdotool mousemove $((X + WIDTH - 45)) $((Y + DATE_Y)) click 1
    sleep 0.5
}
DATE_Y=${DATE_Y:-44}
# A two-digit day whose first digit is a day too; neither may be today.
case "$(date +%-d)" in
    2|25) DAY=17 ;;
    *) DAY=25 ;;
esac
FIRST=0${DAY:0:1}

start_app
typed "today's words"
click_date_control
# Home goes to the first part of the date (the weekday), Tab to the day.
keys Home Tab
typed "$DAY"
check "typing half a date opens no day" wait_file "$DOCS/jx${MONTH}${FIRST}.rtf" missing
check "typing half a date saves nothing yet" test ! -e "$DOCS/jx${MONTH}${DAY}.rtf"
keys Return
check "Return opens the day typed" wait_file "$DOCS/jx${MONTH}${DAY}.rtf" exists
check "the day shown before was saved first" wait_file "$DOCS/$(today_entry)" "today's words"
typed "on the twenty-fifth"
keys ctrl+s
check "what is typed after Return goes into the day chosen" \
    wait_file "$DOCS/jx${MONTH}${DAY}.rtf" "on the twenty-fifth"
check "the day of the first digit was never opened" test ! -e "$DOCS/jx${MONTH}${FIRST}.rtf"
check "nothing typed went into another day" \
    bash -c "! grep -l twenty-fifth '$DOCS/'jx*.rtf | grep -v jx${MONTH}${DAY}.rtf"

# A termination signal saves the document and the settings as a close does.
keys ctrl+End
typed " and the shut-down came"
kill -TERM "$APP_PID"
wait_exit
check "SIGTERM saved the text typed" wait_file "$DOCS/jx${MONTH}${DAY}.rtf" "and the shut-down came"
check "SIGTERM saved the settings" ini_has "Window State="

start_app
typed "hangup "
kill -HUP "$APP_PID"
wait_exit
check "SIGHUP saved the text typed" wait_file "$DOCS/$(today_entry)" "hangup today's words"
finish
