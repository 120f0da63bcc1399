#!/usr/bin/env bash
# `cmake --install` into a fresh prefix gives a program a desktop can list, and the installed
# program, in a folder it cannot write and with a fresh HOME, keeps its journal in the user's
# data folder: typed, closed, and found there, with no message box on the way.
source "$(dirname "$0")/lib.sh"
BUILD_DIR=$(dirname "$JORNIX_BUILT")
PREFIX="$E2E_DIR/prefix"
# The unprivileged user must reach the prefix and its HOME.
chmod 755 "$E2E_DIR"

if ! cmake --install "$BUILD_DIR" --prefix "$PREFIX" >"$E2E_DIR/install.txt" 2>&1; then
    cat "$E2E_DIR/install.txt"
    fail "cmake --install failed"
    finish
fi
DESKTOP=$(ls "$PREFIX"/share/applications/*.desktop 2>/dev/null | head -n 1)
check "a desktop entry is installed" test -n "$DESKTOP"
APP_ID=$(basename "${DESKTOP%.desktop}")
check "its name is a reverse-DNS id" bash -c "[[ '$APP_ID' =~ ^[a-z]+\\.[a-z0-9_]+\\.[A-Za-z0-9_.]+$ ]]"
check "the desktop entry is valid" desktop-file-validate "$DESKTOP"
check "the AppStream metadata is valid" \
    appstreamcli validate --no-net "$PREFIX/share/metainfo/$APP_ID.metainfo.xml"
check "the metainfo names the desktop entry" \
    grep -q "<launchable type=\"desktop-id\">$APP_ID.desktop</launchable>" \
    "$PREFIX/share/metainfo/$APP_ID.metainfo.xml"
check "the entry starts the installed program" \
    bash -c "grep -qx 'Exec=jornix' '$DESKTOP' && test -x '$PREFIX/bin/jornix'"
check "the scalable icon is installed" test -s "$PREFIX/share/icons/hicolor/scalable/apps/$APP_ID.svg"
for size in 16 24 32 48 64 128 256; do
    check "the ${size}px icon is installed" \
        bash -c "file '$PREFIX/share/icons/hicolor/${size}x$size/apps/$APP_ID.png' | grep -q 'PNG image data, $size x $size'"
done
check "the user guide is installed" test -s "$PREFIX/share/doc/tarvex-diary/user-guide.html"

# Read-only, as under /usr; the unprivileged user (when we are root) cannot write it at all.
chmod -R a-w "$PREFIX"
USER_HOME="$E2E_DIR/user-home"
mkdir -p "$USER_HOME"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
    chown 65534:65534 "$USER_HOME"
    # The virtual display's key, readable by that user.
    if [ -n "${XAUTHORITY:-}" ]; then
        cp "$XAUTHORITY" "$E2E_DIR/xauthority"
        chmod 644 "$E2E_DIR/xauthority"
        export XAUTHORITY="$E2E_DIR/xauthority"
    fi
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
DATA="$USER_HOME/.local/share/tarvex-diary"
launch_installed() {
    (cd "$USER_HOME" && exec "${run_as[@]}" env HOME="$USER_HOME" "$PREFIX/bin/jornix" \
        >>"$E2E_DIR/output.txt" 2>&1) &
    APP_PID=$!
}

launch_installed
APP_WIN=$(main_window) || { fail "the installed program showed no main window"; finish; }
sleep 1
check "no message box at the first start" test "$(count_windows "Tarvex's Diary")" -eq 1
check "the window belongs to its launcher (WM_CLASS)" \
    bash -c "xprop -id '$APP_WIN' WM_CLASS | grep -q \"\\\"$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")\\\"\""
focus "$APP_WIN"
typed "Written with the installed program"
quit_app
ENTRY="$DATA/Docs/$(today_entry)"
check "the entry is in the data folder" wait_file "$ENTRY" "Written with the installed program"
check "jornix.ini is in the data folder" grep -q "Documents Directory=Docs" "$DATA/jornix.ini"
check "nothing was written beside the program" \
    test "$(ls -A "$PREFIX/bin")" = "jornix"
check "nothing was written in the working folder" \
    bash -c "! ls -A '$USER_HOME' | grep -qv '^\\.'"

# The second start reads it back, again without a box.
launch_installed
APP_WIN=$(main_window) || { fail "the second start showed no main window"; finish; }
sleep 1
check "no message box at the second start" test "$(count_windows "Tarvex's Diary")" -eq 1
check "the second start shows the entry" \
    bash -c "grep -q 'Written with the installed program' '$ENTRY'"
quit_app

# Installed where the user can write (as root, or under ~/.local): still the data folder.
chmod -R u+w "$PREFIX"
if [ "$(id -u)" -eq 0 ]; then
    run_as=()
    chown -R root:root "$USER_HOME"
fi
rm -rf "$DATA"
launch_installed
APP_WIN=$(main_window) || { fail "the writable installed program showed no main window"; finish; }
quit_app
check "a writable installed program still uses the data folder" test -f "$DATA/jornix.ini"
check "and leaves its bin folder alone" test "$(ls -A "$PREFIX/bin")" = "jornix"
finish
