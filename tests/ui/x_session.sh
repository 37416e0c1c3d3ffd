# The real program under a real window manager, for the window scripts (sourced, not run): Xvfb and openbox in a
# scratch folder, the program copied there with its window module (its settings file lives beside it), and the
# moves a person makes. The sourcing script sets `program` (the built quillet) first.
for tool in Xvfb openbox xwininfo wmctrl; do
  command -v "$tool" >/dev/null || { echo "SKIPPED: $tool is missing (scripts/bootstrap --tests installs it)"; exit 77; }
done

work=$(mktemp -d)
pids=()
x_pids=()
cleanup() {
  for pid in "${pids[@]}" "${x_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*"; for log in "$work"/*.log; do echo "--- $log"; cat "$log"; done; exit 1; }

cp "$program" "$work/quillet"
cp "$(dirname "$program")/quillet_window.so" "$work/"
settings="$work/Quillet_Settings.ini"

# start_x WIDTHxHEIGHT: a display of that size with openbox on it. A display number of Xvfb's own choosing, so
# that parallel runs do not meet. -noreset: the server would reset when its last client leaves (the probe below),
# refusing connections for a moment.
start_x() {
  rm -f "$work/display"
  Xvfb -displayfd 3 -noreset -screen 0 "$1x24" -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
  x_pids=($!)
  for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$work/display")"
  for _ in $(seq 100); do xwininfo -root >/dev/null 2>&1 && break; sleep 0.1; done
  unset WAYLAND_DISPLAY QT_QPA_PLATFORM
  openbox --sm-disable >"$work/openbox.log" 2>&1 &
  x_pids+=($!)
  for _ in $(seq 200); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
  wmctrl -m >/dev/null 2>&1 || fail "openbox did not start"
}
stop_x() {
  for pid in "${x_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${x_pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  x_pids=()
}

window=""
quillet=""
# wait_for_window TENTHS REGEX: the id of the first window whose title line matches, waiting up to TENTHS/10 s.
wait_for_window() {
  for _ in $(seq "$1"); do
    wmctrl -l 2>/dev/null | awk -v re="$2" '$0 ~ re { print $1; found = 1; exit } END { exit !found }' && return 0
    sleep 0.1
  done
}
# open_window NAME [ARGUMENT...]: starts the program and waits for its main window.
open_window() {
  local name=$1
  shift
  "$work/quillet" "$@" >"$work/quillet-$name.log" 2>&1 &
  quillet=$!
  pids+=("$quillet")
  # A minute: a loaded machine starts the window slowly. While a file given to it loads, the title says so.
  window=$(wait_for_window 600 'Quillet By Veltrix( Loading Subtitle\.\.\.)?$')
  [ -n "$window" ] || fail "the window did not open ($name)"
  sleep 1  # shown, placed by the window manager, restored again at its first activation
}
# The top-left corner of the window's client area on the screen.
position() { xwininfo -id "$window" | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x "," y }'; }
# The window manager's frame around it: left,top,right,bottom on the screen.
frame_edges() {
  xwininfo -frame -id "$window" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } /Width:/ { w = $NF } /Height:/ { h = $NF }
         END { print x "," y "," x + w "," y + h }'
}
close_window() {
  wmctrl -i -c "$window"  # as the title bar's close button does
  wait "$quillet" || fail "the program did not end well ($1)"
}
