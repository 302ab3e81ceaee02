#!/usr/bin/env bash
# Opens the demo's first clip under Xvfb and measures on it from outside with the mouse and
# keyboard as a user would (xdotool): Quick Measure from the clip's context menu, the scale bar
# clicked as 1000 mm, a point object, and the target clicked on a few frames while the window
# steps on by itself. Saves build/screenshot-measure.png with the table beside the clip. The
# user's own settings are not touched: the run keeps its preferences in a temporary folder.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
lumetra_demo_setup xdotool

lumetra_screenshot "$PWD/build/screenshot-measure.png" 1280x800x24 '
  # The about box shows for a while at start and takes the clicks meant for the windows below.
  for _ in $(seq 20); do
    xdotool search --onlyvisible --name "^About Lumetra$" >/dev/null || break
    sleep 0.5
  done
  c() { xdotool mousemove "$1" "$2" click 1; sleep 0.5; }
  # The master time bar to 530 ms, frame 73 of the clip (a middle click sets a slider where it
  # is clicked).
  bar=$(xdotool search --onlyvisible --name "^Lumetra$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$bar")"
  xdotool mousemove $((X + 125)) $((Y + 83)) click 2
  sleep 1
  clip=$(xdotool search --onlyvisible --name "^cam1_colour.avi$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$clip")"
  # The picture fills the top of the window at 100 %: image pixel (x, y), y counted from the
  # bottom row, lies at (CX + x, CY + 239 - y).
  CX=$X CY=$Y
  xdotool mousemove $((CX + 160)) $((CY + 120)) click 3
  sleep 0.5
  xdotool key q
  sleep 1.5
  measure=$(xdotool search --onlyvisible --name "^Quick Measure" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$measure")"
  QX=$X QY=$Y
  # The window opens on its Scale page: the ends of the scale bar, 1000 mm, the new factor.
  c $((CX + 20)) $((CY + 239 - 16))
  c $((CX + 220)) $((CY + 239 - 16))
  c $((QX + 206)) $((QY + 64))
  xdotool type 1000
  sleep 0.3
  c $((QX + 332)) $((QY + 120))
  # The Objects page, a new point; then the Collection page.
  c $((QX + 193)) $((QY + 32))
  c $((QX + 221)) $((QY + 122))
  c $((QX + 41)) $((QY + 32))
  # The target where the demo puts it on frames 73 to 80 (scene mm x 0.2 = pixels).
  for f in 73 74 75 76 77 78 79 80; do
    read -r x y < <(awk -v f=$f "BEGIN { t = (f - 20) / 100
      x = (300 + 1000 * t) * 0.2; y = (500 + 1200 * t - 1200 * t * t) * 0.2
      printf \"%d %d\n\", x + 0.5, y + 0.5 }")
    c $((CX + x)) $((CY + 239 - y))
  done
  sleep 1.5
' "$PWD/build/demo/cam1_colour.avi"
