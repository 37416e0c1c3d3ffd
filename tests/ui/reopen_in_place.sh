#!/usr/bin/env bash
# The real window under a real window manager (Xvfb and openbox, a 1024x768 screen): moved and closed, it opens
# at that same place three times running; a place stored off the screen opens it where it can be reached.
#   tests/ui/reopen_in_place.sh PATH_TO_QUILLET      (exit 77: skipped, a tool is missing)
set -euo pipefail
program=$1
source "$(dirname "$0")/x_session.sh"
start_x 1024x768

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
