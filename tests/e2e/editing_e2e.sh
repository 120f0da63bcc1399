#!/usr/bin/env bash
# Formatting, find, find next, word count and insert date from the keyboard, checked in the
# saved entry and in what LibreOffice reads from it.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY=$(today_entry)

start_app
typed "alpha beta gamma beta delta beta"

# Select the first "beta" and make it bold.
keys Home
for _ in 1 2 3 4 5 6; do keys Right; done
for _ in 1 2 3 4; do keys shift+Right; done
keys ctrl+b

# Caret inside that word: Ctrl+F opens Find with it, Find Next selects the second "beta", F3
# the third, which the typing then replaces.
keys Left Right
keys ctrl+f
find_win=$(wait_window "^Find$" || true)
check "Ctrl+F opens the Find dialog" test -n "$find_win"
if [ -n "$find_win" ]; then
    focus "$find_win"
    keys Return
fi
focus "$APP_WIN"
keys F3
typed "omega"
keys ctrl+s
check "Find Next and F3 went from match to match" \
    wait_file "$DOCS/$ENTRY" "gamma beta delta omega"

# Ctrl+Shift+W shows the statistics in a box captioned with the title.
keys ctrl+shift+w
sleep 0.5
check "Ctrl+Shift+W shows the statistics box" test "$(count_windows "Tarvex's Diary")" -ge 2
keys Return
sleep 0.3
check "the box closes with Return" test "$(count_windows "Tarvex's Diary")" -eq 1

# Ctrl+D puts today's date at the end.
focus "$APP_WIN"
keys ctrl+End ctrl+d ctrl+s
check "Ctrl+D inserts today's date" wait_file "$DOCS/$ENTRY" "$(LC_ALL=C date +'%B') $(date +%Y)"

if command -v soffice >/dev/null; then
    out="$E2E_DIR/lo-html"
    mkdir -p "$out"
    soffice --headless -env:UserInstallation=file://"$E2E_DIR"/lo-profile \
        --convert-to html --outdir "$out" "$DOCS/$ENTRY" >/dev/null 2>&1
    html="$out/${ENTRY%.rtf}.html"
    check "LibreOffice reads the first beta bold" grep -q '<b>beta</b>' "$html"
    check "and only that word" test "$(grep -o '<b>[^<]*</b>' "$html" | wc -l)" -eq 1
else
    echo "skipped: LibreOffice is not installed"
fi
quit_app
finish
