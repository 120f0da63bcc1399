#!/usr/bin/env bash
# Search Journal from the keyboard: a word typed into an old entry and saved is found from
# another day, choosing the result puts the caret on it in that entry; after the index file is
# deleted while the program is closed, the next start finds it again.
source "$(dirname "$0")/lib.sh"
export HOME="$E2E_DIR/home"
mkdir -p "$HOME"
DOCS="$APP_DIR/Docs"
INDEX_DIR="$XDG_CACHE_HOME/tarvex-diary"
mkdir -p "$DOCS/Backup"
printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Spring notes.\\par\r\n}' > "$DOCS/jx20250315.rtf"
printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard The day after.\\par\r\n}' > "$DOCS/jx20250316.rtf"

# Searches the journal for $1 and opens the first result; the caret is then on the match.
search_and_open() {
    keys ctrl+shift+j
    typed "$1"
    keys Return
    sleep 1
    keys Down Return
    sleep 0.8
}

start_app
# F7 twice: the newest stored day before today, then the one before it.
keys F7 F7
keys ctrl+End
typed " A quokka smiled."
keys ctrl+s
check "the word is saved in the old entry" wait_file "$DOCS/jx20250315.rtf" "quokka"
keys F8
sleep 0.5

search_and_open quokka
# The match is selected: Right puts the caret at its end, where the marker goes.
keys Right
typed "ZZ"
keys ctrl+s
check "the result opened the old entry with the caret on the word" \
    wait_file "$DOCS/jx20250315.rtf" "quokkaZZ"
check "the other day was left alone" bash -c "! grep -q ZZ '$DOCS/jx20250316.rtf'"
check "the index lives in the cache folder" bash -c "ls '$INDEX_DIR'/search-*.sqlite"
check "and not in the documents folder" bash -c "! ls '$DOCS' | grep -qi sqlite"
quit_app

# The index is a cache: without it the next start builds it again and finds the same.
rm -f "$INDEX_DIR"/search-*
start_app
sleep 1
search_and_open quokka
keys Left
typed "YY"
keys ctrl+s
check "after the index was deleted the word is found again" \
    wait_file "$DOCS/jx20250315.rtf" "YYquokkaZZ"
check "the index was built again" bash -c "ls '$INDEX_DIR'/search-*.sqlite"
quit_app
finish
