#!/usr/bin/env bash
# Ctrl+Shift+E exports the diary entries of this month: to PDF, the three stored entries' texts
# in date order; to OpenDocument text, a file LibreOffice reads with the same text.
source "$(dirname "$0")/lib.sh"
export HOME="$E2E_DIR/home" LANG=C.UTF-8 LC_ALL=C.UTF-8
mkdir -p "$HOME"
DOCS="$APP_DIR/Docs"
mkdir -p "$DOCS/Backup"
MONTH=$(date +%Y%m)
# Written out of order on purpose: the export goes by date, not by when a file was made.
for entry in "03 gamma" "01 alpha" "02 beta"; do
    printf '{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\pard Day %s\\par\r\n}' "$entry" \
        > "$DOCS/jx$MONTH${entry%% *}.rtf"
done
PDF="$E2E_DIR/out/month export.pdf"
ODT="$E2E_DIR/out/month export.odt"
mkdir -p "$E2E_DIR/out"

# The export dialog, then the file dialog: its name field has the focus.
export_to() {
    local path=$1; shift
    keys ctrl+shift+e
    answer "^Export$" "$@" Return || return 1
    answer "^Export As$" ctrl+a "text:$path" Return
}
# The words of the three entries, in the order the file holds them.
order_of() { grep -o -E 'Day 0[123] (alpha|beta|gamma)' | tr '\n' '|'; }
WANT="Day 01 alpha|Day 02 beta|Day 03 gamma|"

start_app
# "Diary entries" (Alt+D); the range offered is this month, the format PDF.
export_to "$PDF" alt+d
check "the PDF was written" wait_file "$PDF" exists
sleep 0.5
got=$(pdftotext "$PDF" - | order_of)
echo "PDF: $got"
check "the PDF holds the three entries in date order" [ "$got" = "$WANT" ]
check "each entry has a page of its own" \
    bash -c "[ \"\$(pdfinfo '$PDF' | sed -n 's/^Pages: *//p')\" = 3 ]"

# The dialog keeps the last choice; two steps down the format list is OpenDocument text.
export_to "$ODT" alt+o Down Down
check "the OpenDocument file was written" wait_file "$ODT" exists
sleep 0.5
text=$(libreoffice_text "$ODT")
got=$(echo "$text" | order_of)
echo "LibreOffice read: $got"
check "LibreOffice reads the three entries in date order" [ "$got" = "$WANT" ]
dates_shown() { grep -q "$(date +%Y)" <<<"$text"; }
check "the dates stand above the entries" dates_shown
check "nothing was left beside the exports" \
    bash -c "[ \"\$(ls -A '$E2E_DIR/out' | wc -l)\" = 2 ]"
quit_app
finish
