#!/usr/bin/env bash
# Tabs switch from the keyboard while the editor has the focus: Ctrl+Tab and Ctrl+PgDown to the
# next, Ctrl+Shift+Tab and Ctrl+PgUp to the one before, each saving the page it leaves; the
# editor never receives them as a tab character.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY="$DOCS/$(today_entry)"
mkdir -p "$DOCS/Backup"
printf 'Garden\r\nRecipes\r\n' >"$DOCS/startup.txt"
for name in Garden Recipes; do
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard %s notes\\par\n}' "$name" \
        >"$DOCS/kw_$name.rtf"
done

start_app
typed "Diary words"
keys ctrl+Tab
check "leaving the Diary tab saved it" wait_file "$ENTRY" "Diary words"
keys ctrl+End
typed " weeded"
keys ctrl+Next
check "Ctrl+Tab showed Garden, and Ctrl+PgDown saved it" wait_file "$DOCS/kw_Garden.rtf" "weeded"
keys ctrl+End
typed " baked"
keys ctrl+Tab
check "Ctrl+PgDown showed Recipes, and Ctrl+Tab saved it" wait_file "$DOCS/kw_Recipes.rtf" "baked"
keys ctrl+End
typed " after the round"
keys ctrl+s
check "after the last tab came the first" wait_file "$ENTRY" "after the round"
keys ctrl+shift+Tab
keys ctrl+End
typed " back again"
keys ctrl+Prior
check "Ctrl+Shift+Tab went back to Recipes, and Ctrl+PgUp saved it" \
    wait_file "$DOCS/kw_Recipes.rtf" "back again"
keys ctrl+End
typed " and on"
keys ctrl+s
check "Ctrl+PgUp showed Garden" wait_file "$DOCS/kw_Garden.rtf" "and on"
for file in "$ENTRY" "$DOCS/kw_Garden.rtf" "$DOCS/kw_Recipes.rtf"; do
    check "no tab character reached $(basename "$file")" bash -c "! grep -q '\\\\tab' '$file'"
done
quit_app
finish
