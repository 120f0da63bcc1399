#!/usr/bin/env bash
# Entries holding pictures and objects the editor cannot show (a Windows metafile, an OLE
# object) are browsed past, edited around, copied and pasted: the objects stay in the files
# byte for byte, and an entry holding only such a picture is never taken for an empty one.
source "$(dirname "$0")/lib.sh"
DOCS="$APP_DIR/Docs"
mkdir -p "$DOCS/Backup"

METAFILE='{\pict\wmetafile8\picw2117\pich1411\picwgoal1440\pichgoal720 0100090000030c0000000000030000000000030000000000}'
OBJECT='{\object\objemb{\*\objclass Paint.Picture}\objw1440\objh720{\*\objdata 01050000020000000e000000}{\result {\pict\wmetafile8\picwgoal1440\pichgoal720 0100090000030c0000000000030000000000030000000000}}}'
HEAD='{\rtf1\ansi\deff0{\fonttbl{\f0\fswiss Arial;}}\pard\f0\fs24 '

# 1 March holds nothing but the metafile, in the entry and in its backup copy.
printf '%s%s\\par\r\n}' "$HEAD" "$METAFILE" > "$DOCS/jx20260301.rtf"
cp "$DOCS/jx20260301.rtf" "$DOCS/Backup/jx20260301.rtf"
# 10 March holds text around an OLE object.
printf '%sLunch with Ann %s and a walk.\\par\r\n}' "$HEAD" "$OBJECT" > "$DOCS/jx20260310.rtf"

has() { grep -q -F -- "$2" "$1"; }
count() { grep -o -F -- "$2" "$1" | wc -l; }

start_app
keys F7
check "F7 opens 10 March" wait_file "$DOCS/jx20260310.rtf" "Lunch with Ann"
keys F7
sleep 0.5
keys F8
sleep 0.5
check "leaving 1 March keeps its entry" test -e "$DOCS/jx20260301.rtf"
check "and its backup copy" test -e "$DOCS/Backup/jx20260301.rtf"
check "the entry still holds the metafile unchanged" has "$DOCS/jx20260301.rtf" "$METAFILE"
check "the backup still holds it too" has "$DOCS/Backup/jx20260301.rtf" "$METAFILE"

# Back on 10 March: write before the object and save.
keys ctrl+Home
typed "Edited. "
keys ctrl+s
check "the typing is saved" wait_file "$DOCS/jx20260310.rtf" "Edited. Lunch with Ann"
check "the object is written back byte for byte" has "$DOCS/jx20260310.rtf" "$OBJECT"

# Everything copied and pasted at the end: the object is there twice.
keys ctrl+a ctrl+c ctrl+End ctrl+v ctrl+s
sleep 0.5
check "a pasted copy carries the object whole" test "$(count "$DOCS/jx20260310.rtf" "$OBJECT")" -eq 2
quit_app
check "closing keeps the metafile entry" has "$DOCS/jx20260301.rtf" "$METAFILE"
finish
