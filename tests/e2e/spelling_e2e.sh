#!/usr/bin/env bash
# Spelling as a user meets it: a misspelled word gets a red underline as it is typed, its pop-up
# menu (Menu key or Shift+F10 at the caret) offers the correction, and the saved entry holds the
# corrected word and nothing of the underline.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
ENTRY=$(today_entry)

# A world of its own: home, language, and the American English dictionary chosen explicitly.
export HOME="$E2E_DIR/home"
mkdir -p "$HOME"
export LANG=C.UTF-8 LC_ALL=C.UTF-8
if [ ! -e /usr/share/hunspell/en_US.dic ]; then
    echo "skipped: hunspell-en-us is not installed"
    exit 0
fi
printf '[Spelling]\nCheck As You Type=1\nDictionaries=en_US\n' >"$APP_DIR/jornix.ini"

# Visible windows of the program; an open pop-up menu is one more.
windows() { xdotool search --onlyvisible --pid "$APP_PID" '' 2>/dev/null | wc -l; }

# Pixels of the program's window that are clearly red (some icons have red in them too).
red_pixels() {
    import -window "$APP_WIN" "$E2E_DIR/shot.png" 2>/dev/null
    convert "$E2E_DIR/shot.png" -fuzz 35% -fill black +opaque red -fill white -opaque red \
        -format '%[fx:round(mean*w*h)]' info:
}

start_app
sleep 1
RED_BEFORE=$(red_pixels)
typed "We recieve letters "
sleep 1
check "the misspelled word is underlined in red" test "$(red_pixels)" -gt "$((RED_BEFORE + 5))"

# The caret to the start of the misspelled word; the Menu key opens the menu there, Escape
# closes it again without a change.
keys ctrl+Left ctrl+Left
WINDOWS=$(windows)
keys Menu
sleep 0.5
check "the Menu key opens the pop-up menu" test "$(windows)" -eq "$((WINDOWS + 1))"
keys Escape
sleep 0.3
check "Escape closes it" test "$(windows)" -eq "$WINDOWS"
focus "$APP_WIN"
keys ctrl+s
check "Escape leaves the word as it was" wait_file "$DOCS/$ENTRY" "recieve"

# Shift+F10, the first item (the best suggestion), Return.
keys shift+F10
sleep 0.5
check "Shift+F10 opens the pop-up menu" test "$(windows)" -eq "$((WINDOWS + 1))"
keys Down Return
sleep 0.5
focus "$APP_WIN"
keys ctrl+s
check "the first suggestion replaced the word" wait_file "$DOCS/$ENTRY" "We receive letters"
check "the misspelled word is gone from the file" bash -c "! grep -q recieve '$DOCS/$ENTRY'"
check "the underline never reached the file" bash -c "! grep -q '\\\\ul' '$DOCS/$ENTRY'"
sleep 0.5
check "no red underline is left on screen" test "$(red_pixels)" -eq "$RED_BEFORE"

# Undo takes the correction back in one step.
keys ctrl+z ctrl+s
check "undo brings the word back" wait_file "$DOCS/$ENTRY" "We recieve letters"
quit_app
finish
