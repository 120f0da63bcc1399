#!/usr/bin/env bash
# Installs the Debian packages the project needs, once. Sourced by ./run and ./test.
# Usage: deps.sh build|run|test|bench
set -euo pipefail
kind=${1:-build}
# librsvg2-bin draws the icon's PNG sizes from its SVG at build time; the RTF reader fills
# documents through Qt's private text API.
pkgs=(cmake ninja-build g++ pkg-config ccache qt6-base-dev qt6-base-private-dev qt6-base-dev-tools
      libgl-dev libsimpleini-dev libicu-dev libgtest-dev fonts-dejavu-core librsvg2-bin
      libhunspell-dev hunspell-en-us libqt6sql6-sqlite)
case "$kind" in
  bench) pkgs+=(libbenchmark-dev valgrind) ;;
  run)  pkgs+=(xvfb xdotool x11-utils imagemagick) ;;
  test) pkgs+=(xvfb xdotool x11-utils imagemagick poppler-utils pandoc unrtf libreoffice-writer-nogui
               clang libclang-rt-14-dev libbenchmark-dev hunspell-de-de
               desktop-file-utils appstream lintian dpkg-dev file) ;;
esac
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
if [ "$(id -u)" -eq 0 ]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "These Debian packages are missing; install them with:" >&2
  echo "  sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
