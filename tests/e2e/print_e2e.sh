#!/usr/bin/env bash
# Ctrl+P on the real window opens the print dialog; with no printer installed it offers a PDF
# file, and printing from it writes the document's text into that file.
source "$(dirname "$0")/lib.sh"
PDF="$E2E_DIR/printed entry.pdf"

start_app
typed "Printed from the keyboard"
keys ctrl+p
DIALOG=$(wait_window "^Print$") || { fail "Ctrl+P opened no print dialog"; finish; }
echo "ok: Ctrl+P opened the print dialog"
focus "$DIALOG"
# The output file field, by its mnemonic; its proposal is replaced with our own path.
keys alt+f ctrl+a
typed "$PDF"
import -window root "$E2E_DIR/dialog.png" 2>/dev/null || true
keys Return
dialog_closed() {
    for _ in $(seq 1 50); do
        xwininfo -id "$DIALOG" 2>/dev/null | grep -q IsViewable || return 0
        sleep 0.1
    done
    return 1
}
check "the dialog closed after printing" dialog_closed
check "the PDF file was written" wait_file "$PDF" exists
sleep 0.5
check "the PDF holds the document's text" \
    bash -c "pdftotext -layout '$PDF' - | grep -q 'Printed from the keyboard'"
check "the PDF has one page with its number" \
    bash -c "[ \"\$(pdfinfo '$PDF' | sed -n 's/^Pages: *//p')\" = 1 ] && pdftotext '$PDF' - | grep -q 'Page 1'"
check "the header names the Diary tab" bash -c "pdftotext '$PDF' - | grep -q '^Diary - '"
quit_app
finish
