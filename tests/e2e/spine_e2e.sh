#!/usr/bin/env bash
# First start, typing and saving, the backup copy, an emptied entry, the settings written at
# exit, the window placement and a restore from backup, all as a user would do them.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY=$(today_entry)

# First start in an empty program folder.
start_app
check "first start creates Docs" test -d "$DOCS"
check "first start creates today's entry" wait_file "$DOCS/$ENTRY" exists
for key in "[General]" "Documents Directory=Docs" "Backup Documents Directory=Docs/Backup" \
           "[Editor]" "Font Name=Arial" "Font Size=12" "[Debug]" "Enabled=0" "Level=1" \
           "Include Date Stamp=1" "Enable Console=0" "Log To File=0" "Log Filename="; do
    check "jornix.ini holds '$key' before any save" ini_has "$key"
done
typed "Dear diary, hello from the keyboard"
keys ctrl+s
check "Ctrl+S writes the entry as RTF" wait_file "$DOCS/$ENTRY" '{\\rtf1'
check "the entry holds the typed text" wait_file "$DOCS/$ENTRY" "hello from the keyboard"
if command -v soffice >/dev/null; then
    check "LibreOffice reads the same text" \
        bash -c "$(declare -f libreoffice_text); E2E_DIR='$E2E_DIR' libreoffice_text '$DOCS/$ENTRY' | grep -q 'Dear diary, hello from the keyboard'"
else
    echo "skipped: LibreOffice is not installed"
fi
quit_app
for key in "Window State=" "Top=" "Left=" "Height=" "Width=" "Application Name=Tarvex's Diary" \
           "AutoSave Interval=10" "Backup Before Save=1" "On Top=0" "Remember Last Tab=1" \
           "Last Tab=Diary" "Is Open=0" "Width=" "Current Filter Index=0" "Current Tab=0" \
           "Show Tooltips=1" "Short Date Format=0" "Include Time In Insert=1" \
           "Find Text At Cursor=1" "Left Margin=1" "Right Margin=1" "Top Margin=1" \
           "Bottom Margin=1" "Print Tab Name In Header=1" "Print Page Number In Footer=1"; do
    check "Alt+F4 wrote '$key'" ini_has "$key"
done
check "startup.txt written at exit" test -e "$DOCS/startup.txt"

# Second run: the backup folder exists now; a second save keeps the first version.
start_app
check "the second start creates Docs/Backup" test -d "$DOCS/Backup"
xdotool windowmove "$APP_WIN" 60 70 && xdotool windowsize "$APP_WIN" 700 500
sleep 0.5
focus "$APP_WIN"
keys ctrl+End
typed " And a second line."
keys ctrl+s
check "the backup copy holds the version before the save" wait_file "$DOCS/Backup/$ENTRY" "hello from the keyboard"
if grep -q "second line" "$DOCS/Backup/$ENTRY"; then fail "the backup copy must be one version behind"; fi
check "the entry holds the new text" wait_file "$DOCS/$ENTRY" "second line"
keys ctrl+a Delete ctrl+s
check "an emptied, saved entry has no file" wait_file "$DOCS/$ENTRY" missing
check "and no backup copy" wait_file "$DOCS/Backup/$ENTRY" missing
eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
saved_w=$WIDTH; saved_h=$HEIGHT
quit_app
check "the placement was saved" ini_has "Width=$saved_w"

# Third run: the window comes back where it was; a missing entry comes back from its backup.
cat > "$DOCS/Backup/$ENTRY" <<'RTF'
{\rtf1\ansi\deff0{\fonttbl{\f0 Arial;}}\pard Kept safe in the backup\par
}
RTF
launch_app
msg=$(wait_window "Tarvex's Diary") || fail "no window at start"
eval "$(xdotool getwindowgeometry --shell "$msg")"
check "a message box tells of the restore before the window shows" test "$WIDTH" -lt 500
focus "$msg"
keys Return
APP_WIN=$(main_window) || { fail "main window did not appear"; finish; }
focus "$APP_WIN"
eval "$(xdotool getwindowgeometry --shell "$APP_WIN")"
check "the window has its saved size" test "$WIDTH" = "$saved_w" -a "$HEIGHT" = "$saved_h"
check "the restored text is the entry again" wait_file "$DOCS/$ENTRY" "Kept safe in the backup"
quit_app
finish
