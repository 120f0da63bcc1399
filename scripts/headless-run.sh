#!/usr/bin/env bash
# Runs the program on the current (virtual) display from its own folder, waits for its window,
# takes a screenshot and closes the window with Alt+F4 as a user would. A message box at
# start-up (anything shown before the main window) fails the run.
set -euo pipefail
program=$(realpath "$1")
shot=$(realpath -m "$2")
cd "$(dirname "$program")"
"./$(basename "$program")" &
pid=$!
win=""
for _ in $(seq 1 100); do
  win=$(xdotool search --onlyvisible --pid "$pid" --name "Tarvex" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
if [ -z "$win" ]; then
  echo "The program's window did not appear." >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi
sleep 1
# The main window is the only window, and a wide one; a message box shown first is neither.
windows=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l)
eval "$(xdotool getwindowgeometry --shell "$win")"
if [ "$windows" -ne 1 ] || [ "${WIDTH:-0}" -lt 500 ]; then
  import -window root "$shot"
  echo "The program showed a message box at start-up (see $shot)." >&2
  kill "$pid" 2>/dev/null || true
  exit 1
fi
import -window "$win" "$shot"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
xdotool key --window "$win" alt+F4
for _ in $(seq 1 100); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "The program did not close on Alt+F4; stopping it." >&2
  kill "$pid"
  exit 1
fi
echo "Started $program on a virtual display, saved a screenshot to $shot and closed it with Alt+F4."
