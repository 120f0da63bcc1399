#!/usr/bin/env bash
# A long entry of today (about a megabyte, read on a second thread while the window is built)
# opens whole at start-up: what is typed at its start and its end is saved with every word of
# it, the previous version goes to the backup copy, and the next start shows it all again.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY="$DOCS/$(today_entry)"
mkdir -p "$DOCS/Backup"
{
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\n'
    for i in $(seq 0 11999); do
        printf '\\pard Paragraph %d of a long day, with \\b bold\\b0  words in it.\\par\n' "$i"
    done
    printf '\\pard The very last line.\\par\n}'
} >"$ENTRY"
cp "$ENTRY" "$APP_DIR/original.rtf"

start_app
typed "Morning "
keys ctrl+End
typed " Evening"
keys ctrl+s
check "the start and the end of the long entry were typed into and saved" \
    wait_file "$ENTRY" "Evening"
check "typed before the first paragraph" grep -q "Morning Paragraph 0 of" "$ENTRY"
check "typed after the last line" grep -q "The very last line. Evening" "$ENTRY"
check "every paragraph is still there" grep -q "Paragraph 11999 of a long day" "$ENTRY"
check "the backup copy holds the entry as it was" \
    cmp -s "$DOCS/Backup/$(today_entry)" "$APP_DIR/original.rtf"
quit_app

start_app
keys ctrl+End
typed " Night"
quit_app
check "the next start showed the whole entry again" grep -q "Evening Night" "$ENTRY"
check "nothing was lost on the way" grep -q "Morning Paragraph 0 of" "$ENTRY"
finish
