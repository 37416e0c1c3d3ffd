#!/usr/bin/env bash
# The real window as a desktop user meets it (Xvfb and openbox): a place saved on a 1280x1024 screen opens it
# wholly on 1024x768; a place saved at scale 1 is the same place at scale 1.5; "quillet film.srt", as a file
# manager starts it, opens the window with the subtitle listed and drawn; on a screen smaller than the window
# (1280x1024 at scale 2, 800x600) the window opens wholly on it, title bar included.
#   tests/ui/desktop_session.sh PATH_TO_QUILLET [SCREENSHOT_FOLDER]   (exit 77: skipped, a tool is missing)
# With a folder, the 1024x768 screen and the window with film.srt are kept there as PNG pictures.
set -euo pipefail
program=$1
shots=${2:-}
source "$(dirname "$0")/x_session.sh"
command -v import >/dev/null || { echo "SKIPPED: import is missing (imagemagick)"; exit 77; }
[ -z "$shots" ] || mkdir -p "$shots"
# region LEFT TOP WIDTH HEIGHT NAME: that part of the window's client area, as a picture of the screen.
region() {
  IFS=, read -r cx cy <<<"$(position)"
  import -window root -crop "$3x$4+$((cx + $1))+$((cy + $2))" +repage "$work/$5.png"
}

# ---- a larger screen, then a smaller one
start_x 1280x1024
open_window large
wmctrl -i -r "$window" -e 0,440,250,-1,-1
sleep 0.5
IFS=, read -r x y <<<"$(position)"
[ $((x + 803)) -gt 1024 ] || fail "the window did not move to the right half of the larger screen ($x,$y)"
close_window large
stop_x

start_x 1024x768
open_window small
IFS=, read -r left top right bottom <<<"$(frame_edges)"
if [ "$left" -lt 0 ] || [ "$top" -lt 0 ] || [ "$right" -gt 1024 ] || [ "$bottom" -gt 768 ]; then
  fail "a place saved on the larger screen opened the window at $left,$top-$right,$bottom on 1024x768"
fi
[ -z "$shots" ] || import -window root "$shots/small_screen_1024x768.png"
region 40 126 720 576 preview-empty  # nothing loaded yet
close_window small

# ---- open with: the subtitle is loaded as "Load SRT" loads it, its "all lines fit" message first
cp "$(dirname "$0")/../../samples/sample.srt" "$work/film.srt"
open_window "open with" "$work/film.srt"
box=$(wait_for_window 100 ' Quillet$')
[ -n "$box" ] || fail "no message box after opening film.srt"
wmctrl -i -c "$box"
sleep 0.5
region 116 84 190 36 list-loaded
region 40 126 720 576 preview-loaded
[ -z "$shots" ] || import -window "$window" "$shots/open_with_film_srt.png"
darkest=$(convert "$work/list-loaded.png" -colorspace Gray -format '%[fx:minima]' info:)
awk -v d="$darkest" 'BEGIN { exit !(d < 0.3) }' || fail "the subtitle list shows no entries (darkest $darkest)"
differing=$(compare -metric AE "$work/preview-empty.png" "$work/preview-loaded.png" null: 2>&1 || true)
[ "${differing%% *}" -gt 200 ] || fail "the preview shows no entry ($differing pixels differ from the empty window)"
close_window "open with"
stop_x

# ---- one place at two scales (the positions are device pixels)
rm -f "$settings"
start_x 1920x1200
open_window "scale 1"
wmctrl -i -r "$window" -e 0,300,100,-1,-1
sleep 0.5
placed=$(position)
close_window "scale 1"
QT_SCALE_FACTOR=1.5 open_window "scale 1.5"
IFS=, read -r x y <<<"$(position)"
IFS=, read -r px py <<<"$placed"
if [ $((x - px)) -lt -2 ] || [ $((x - px)) -gt 2 ] || [ $((y - py)) -lt -2 ] || [ $((y - py)) -gt 2 ]; then
  fail "closed at $placed at scale 1, opened at $x,$y at scale 1.5"
fi
close_window "scale 1.5"
stop_x

# ---- screens smaller than the window (1280x1024 at scale 2 is 640x512 of Qt's pixels): the whole frame, its title
# bar included, on the screen, and the window smaller, scrolling over its controls
for screen in 1280x1024:2 800x600:1; do
  size=${screen%:*}
  scale=${screen#*:}
  rm -f "$settings"
  start_x "$size"
  QT_SCALE_FACTOR=$scale open_window "$size at scale $scale"
  IFS=, read -r left top right bottom <<<"$(frame_edges)"
  if [ "$left" -lt 0 ] || [ "$top" -lt 0 ] || [ "$right" -gt "${size%x*}" ] || [ "$bottom" -gt "${size#*x}" ]; then
    fail "on $size at scale $scale the window's frame lies at $left,$top-$right,$bottom"
  fi
  [ -z "$shots" ] || import -window root "$shots/small_screen_${size}_scale_$scale.png"
  close_window "$size at scale $scale"
  stop_x
done

echo "a place saved on 1280x1024 opened wholly on 1024x768; one place at scales 1 and 1.5; quillet film.srt opened" \
  "loaded; wholly on 1280x1024 at scale 2 and on 800x600"
