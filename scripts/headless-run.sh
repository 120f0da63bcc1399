#!/usr/bin/env bash
# Runs the program on the current (virtual) display, waits for its window, takes a
# screenshot and closes the window with Alt+F4 as a user would.
set -euo pipefail
program=$1
shot=$2
"$program" &
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
