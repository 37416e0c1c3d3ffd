#!/usr/bin/env bash
# The real window under a real window manager (Xvfb and openbox, a 1024x768 screen): moved and closed, it opens
# at that same place three times running; a place stored off the screen opens it where it can be reached.
#   tests/ui/reopen_in_place.sh PATH_TO_QUILLET      (exit 77: skipped, a tool is missing)
set -euo pipefail
program=$1
for tool in Xvfb openbox xwininfo wmctrl; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing (scripts/bootstrap installs it)"; exit 77; }
done

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done; exit 1; }

# The settings file lives beside the program: a copy in the scratch folder keeps the build folder clean.
cp "$program" "$work/quillet"
# The window is a module the program opens from its own folder.
cp "$(dirname "$program")/quillet_window.so" "$work/"
settings="$work/Quillet_Settings.ini"

# A display number of Xvfb's own choosing, so that parallel runs do not meet. -noreset: the server would reset
# when its last client leaves (the probe below), refusing connections for a moment.
Xvfb -displayfd 3 -noreset -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -n1 "$work/display")"
for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 200); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"

window=""
quillet=""
open_window() {
  "$work/quillet" >"$work/quillet-$1.log" 2>&1 &
  quillet=$!
  pids+=("$quillet")
  window=""
  for _ in $(seq 300); do
    window=$(wmctrl -l 2>/dev/null | awk '/Quillet By Veltrix$/ { print $1; exit }') || true
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "the window did not open ($1)"
  sleep 1  # shown, placed by the window manager, restored again at its first activation
}
# The top-left corner of the window's client area on the screen.
position() { xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x "," y }'; }
close_window() {
  wmctrl -i -c "$window"  # as the title bar's close button does
  wait "$quillet" || fail "the program did not end well ($1)"
}

open_window first
wmctrl -i -r "$window" -e 0,60,40,-1,-1
sleep 0.5
placed=$(position)
close_window first
grep -q '^NormPos=' "$settings" || fail "closing saved no position"
for run in 2 3 4; do
  open_window "start $run"
  [ "$(position)" = "$placed" ] || fail "start $run opened at $(position), not at $placed where the window was closed"
  close_window "start $run"
done

# Stored off the screen: the window opens on it, wholly (it fits).
sed -i 's/^\(NormPos[^=]*\)=.*/\1=5000,-4000,5803,-3295/' "$settings"
open_window "off the screen"
IFS=, read -r x y <<<"$(position)"
if [ "$x" -lt 0 ] || [ "$y" -lt 0 ] || [ $((x + 803)) -gt 1024 ] || [ $((y + 705)) -gt 768 ]; then
  fail "a place off the screen opened the window at $x,$y"
fi
close_window "off the screen"
echo "reopened at $placed three times; a place off the screen opened at $x,$y"
