#!/usr/bin/env bash
# Pictures of the windows as a person sees them: the main window at start and with the bundled sample loaded
# on the generic palette, the About window and the colour help window. They are drawn by the real window
# classes on an X server (Xvfb), driven through their widgets. Then, from the real program under openbox: the
# whole window on a 1024x768 screen after a place saved on a larger one, the window "quillet film.srt" opens, and
# the window on screens smaller than it (1280x1024 at scale 2, 800x600), where it scrolls.
#   scripts/screenshot.sh [OUTPUT_FOLDER]      (default: screenshots/)
# Builds test_ui in $BUILD_DIR (default build/) when it is missing.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-screenshots}")
build=${BUILD_DIR:-build}

if [ ! -x "$build/test_ui" ]; then
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" -DQUILLET_BUILD_TESTS=ON >/dev/null
  cmake --build "$build" -j"$(nproc)" --target test_ui
fi
command -v xvfb-run >/dev/null || { echo "$0: xvfb-run is missing (apt-get install xvfb xauth)" >&2; exit 1; }

mkdir -p "$out"
QUILLET_SCREENSHOT_DIR="$out" QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" \
  "$build/test_ui" --gtest_also_run_disabled_tests --gtest_filter='Screenshots.*'
# The real program under a window manager: a 1024x768 screen after a place saved on a larger one, and the
# window that "quillet film.srt" opens.
bash tests/ui/desktop_session.sh "$build/quillet" "$out" >/dev/null || echo "$0: the desktop pictures were not made" >&2
ls -1 "$out"/*.png
