#!/usr/bin/env bash
# Builds the .deb from a build tree and checks it: no lintian errors, the files a desktop needs,
# dependencies found by dpkg-shlibdeps, a stripped program that still carries its version
# record, and a package apt would install on this system.
set -uo pipefail
BUILD_DIR=${1:?usage: deb_package_test.sh build-dir cpack app-id package}
CPACK=${2:?}
APP_ID=${3:?}
PACKAGE=${4:?}
WORK=$(mktemp -d /tmp/jornix-deb.XXXXXX)
FAILURES=0
trap 'if [ "$FAILURES" -eq 0 ]; then rm -rf "$WORK"; else echo "kept $WORK for a look"; fi' EXIT
fail() { echo "FAIL: $*" >&2; FAILURES=$((FAILURES + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

if ! (cd "$BUILD_DIR" && "$CPACK" -G DEB -B "$WORK" >"$WORK/cpack.log" 2>&1); then
    cat "$WORK/cpack.log"
    fail "cpack -G DEB failed"
    exit 1
fi
DEB=$(ls "$WORK"/*.deb 2>/dev/null | head -n 1)
[ -n "$DEB" ] || { fail "cpack made no .deb"; exit 1; }
echo "built $(basename "$DEB")"

# lintian: errors fail the test (exit status 2), warnings are shown. Status 1 is lintian itself
# failing, which must not pass for a clean package either.
lintian --fail-on error "$DEB" >"$WORK/lintian.txt" 2>&1
status=$?
cat "$WORK/lintian.txt"
check "lintian ran (status $status)" test "$status" -ne 1
check "lintian reports no errors" bash -c "[ $status -eq 0 ] && ! grep -q '^E: ' '$WORK/lintian.txt'"

field() { dpkg-deb -f "$DEB" "$1"; }
check "the package is named $PACKAGE" test "$(field Package)" = "$PACKAGE"
DEPENDS=$(field Depends)
echo "Depends: $DEPENDS"
for lib in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6; do
    check "it depends on $lib" bash -c "grep -q '\\b$lib (>= ' <<<'$DEPENDS'"
done
# Loaded as plug-ins, so no library dependency names them.
for plugin in qt6-qpa-plugins libqt6sql6-sqlite; do
    check "it depends on $plugin" bash -c "grep -q '\\b$plugin\\b' <<<'$DEPENDS'"
done
# The private text API the reader uses changes from one Qt release to the next.
check "it depends on the Qt release it was built with" \
    bash -c "grep -q 'qt6-base-abi (= [0-9.]*)' <<<'$DEPENDS'"
check "it recommends a spelling dictionary" bash -c "dpkg-deb -f '$DEB' Recommends | grep -q hunspell"

dpkg-deb -c "$DEB" | awk '{print $NF}' | sed 's|^\./|/|' >"$WORK/contents.txt"
has() { grep -qx -- "$1" "$WORK/contents.txt"; }
for path in /usr/bin/jornix "/usr/share/applications/$APP_ID.desktop" \
            "/usr/share/metainfo/$APP_ID.metainfo.xml" \
            "/usr/share/icons/hicolor/scalable/apps/$APP_ID.svg" \
            "/usr/share/doc/$PACKAGE/copyright" "/usr/share/doc/$PACKAGE/changelog.gz" \
            "/usr/share/doc/$PACKAGE/user-guide.html" /usr/share/man/man1/jornix.1.gz; do
    check "it holds $path" has "$path"
done
for size in 16 32 48 64 128 256; do
    check "it holds the ${size}px icon" has "/usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png"
done
check "nothing outside /usr" bash -c "! grep -v '^/usr' '$WORK/contents.txt' | grep -qv '^/\$'"

mkdir -p "$WORK/root"
dpkg-deb -x "$DEB" "$WORK/root"
PROGRAM="$WORK/root/usr/bin/jornix"
check "the program is stripped" bash -c "file '$PROGRAM' | grep -q ', stripped'"
check "the program still carries its version record" \
    bash -c "readelf -S '$PROGRAM' | grep -q '\\.jornix_version'"
check "the desktop entry is valid" desktop-file-validate "$WORK/root/usr/share/applications/$APP_ID.desktop"
check "the AppStream metadata is valid" \
    appstreamcli validate --no-net "$WORK/root/usr/share/metainfo/$APP_ID.metainfo.xml"
check "the 48px icon is a 48 by 48 PNG" \
    bash -c "file '$WORK/root/usr/share/icons/hicolor/48x48/apps/$APP_ID.png' | grep -q 'PNG image data, 48 x 48'"

# What apt would do with it here: every dependency can be met (from the installed packages or
# the package lists); nothing is installed.
if apt-get install -s "$DEB" >"$WORK/apt.txt" 2>&1; then
    check "apt would install it" grep -q "^Inst $PACKAGE " "$WORK/apt.txt"
else
    cat "$WORK/apt.txt"
    fail "apt cannot meet the package's dependencies"
fi

if [ "$FAILURES" -eq 0 ]; then echo "all checks passed"; exit 0; fi
echo "$FAILURES check(s) failed" >&2
exit 1
