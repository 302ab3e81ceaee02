#!/usr/bin/env bash
# Opens the demo test under Xvfb, picks its signals in the selection dialog from outside with the
# mouse as a user would (xdotool): Target X and Y overlaid, Target VX and the CSV column each in
# a band of their own; then sets the master time bar and saves build/screenshot-graph.png with
# the graph cursor at the video's time. The user's own settings are not touched.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
lumetra_demo_setup xdotool
mapfile -t demo < <(lumetra_demo_files)

lumetra_screenshot "$PWD/build/screenshot-graph.png" 1600x1000x24 '
  sleep 1
  c() { xdotool mousemove "$1" "$2" click "${3:-1}"; sleep 0.4; }
  # The information box of the text file: accept its guesses.
  xdotool key Return
  sleep 1.5
  # The selection dialog opens at the top-left corner (no window manager places it): pool list
  # on the left, group lists on the right, OK at the bottom.
  c 69 108; xdotool keydown ctrl; c 69 122; xdotool keyup ctrl; c 290 74
  c 69 81; c 290 291
  c 69 38; c 290 291
  c 552 505
  sleep 2
  graph=$(xdotool search --onlyvisible --name "^Signals$" | head -1)
  xdotool windowsize "$graph" 900 620 windowmove "$graph" 690 360
  sleep 1
  # The master time bar to 560 ms (a middle click sets a slider where it is clicked).
  bar=$(xdotool search --onlyvisible --name "^Lumetra$" | head -1)
  eval "$(xdotool getwindowgeometry --shell "$bar")"
  xdotool mousemove $((X + 125)) $((Y + 83)) click 2
  sleep 2
' "${demo[@]}"
